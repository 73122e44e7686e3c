// The print server behind a VEK port, as vek-spool names it to a person: from
// the values of the record the monitor keeps for the port (the names of the
// wizard's hand-over record), read as data that may be damaged.
#include <cstdio>
#include <cstring>

#include "kernel/errors.h"
#include "registry/subkey_values.h"
#include "spooler/names.h"
#include "spooler/spooler.h"
#include "spooler/store.h"
#include "spooler/vek_spool.h"

namespace vek::spool_tool {

namespace {

namespace store = spooler::store;

const registry::ValueRow* Find(const std::vector<registry::ValueRow>& values, const char* name) {
  for (const registry::ValueRow& value : values)
    if (spooler::SameName(value.name, name)) return &value;
  return nullptr;
}

// Binary data of exactly that size, else nothing.
const BYTE* Exactly(const std::vector<registry::ValueRow>& values, const char* name, std::size_t size) {
  const registry::ValueRow* value = Find(values, name);
  return value && value->type == REG_BINARY && value->data.size() == size ? value->data.data() : nullptr;
}

}  // namespace

std::string DescribeServer(DWORD packetType, const BYTE address[4], const BYTE network[4], const BYTE mac[6],
                           const std::string& netbiosName) {
  char text[64];
  switch (packetType) {
    case kPacketTypeIpx:
      std::snprintf(text, sizeof text, "IPX network %02X%02X%02X%02X node %02X:%02X:%02X:%02X:%02X:%02X", network[0],
                    network[1], network[2], network[3], mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
      return text;
    case kPacketTypeNetBeui: return "NetBIOS name " + netbiosName;
    default:
      std::snprintf(text, sizeof text, "%u.%u.%u.%u", address[0], address[1], address[2], address[3]);
      return text;
  }
}

bool ReadVekPort(const std::string& port, VekPort* record) {
  *record = VekPort{};
  store::Key key;
  std::string path = store::Join(store::Join(store::kMonitors, spooler::kVekMonitorName), "Ports");
  if (key.Open(HKEY_LOCAL_MACHINE, store::Join(path, port)) != ERROR_SUCCESS) return false;
  if (registry::ReadKeyValues(key.get(), &record->values) != ERROR_SUCCESS) return false;
  const std::vector<registry::ValueRow>& values = record->values;
  DWORD packetType = kPacketTypeUdp;
  store::DwordOf(Find(values, "PacketType"), &packetType);
  store::DwordOf(Find(values, "PortID"), &record->portId);
  store::DwordOf(Find(values, "RetryTimeout"), &record->retryTimeout);
  const BYTE* address = Exactly(values, "IPAddress", 4);
  const BYTE* network = Exactly(values, "Network", 4);
  const BYTE* node = Exactly(values, "Node", 6);
  std::string netbiosName;
  if (const registry::ValueRow* name = Find(values, "PSName"); name && name->type == REG_BINARY) {
    for (BYTE c : name->data) {
      if (c == 0) break;
      netbiosName.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
  }
  const BYTE none[6] = {};
  bool known = packetType == kPacketTypeIpx      ? network && node
               : packetType == kPacketTypeNetBeui ? !netbiosName.empty()
                                                  : address != nullptr;
  if (known)
    record->server = DescribeServer(packetType, address ? address : none, network ? network : none,
                                    node ? node : none, netbiosName);
  return true;
}

}  // namespace vek::spool_tool
