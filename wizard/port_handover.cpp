#include "wizard/port_handover.h"

#include <cstdio>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "protocol/trace.h"
#include "registry/registry.h"
#include "spooler/winspool.h"

CStringA g_MonitorKeyName = kVekMonitorKeyName;

namespace {

// Key names are read with room for this many characters; longer ones are no
// monitor of ours and are passed over.
constexpr DWORD kKeyNameRoom = 50;
constexpr int kMaxPortNumber = 0x7FFFFFFF;

DWORD Registry(DWORD packetType) { return packetType == 1 ? 2 : packetType == 2 ? 1 : 0; }

std::string MonitorPath(const CStringA& monitorKey) { return std::string(kMonitorsKey) + "\\" + monitorKey.GetString(); }

BOOL IsVekMonitor(HKEY monitors, const char* name) {
  if (std::string(name) != kVekMonitorKeyName) return FALSE;
  HKEY key = nullptr;
  if (RegOpenKeyExA(monitors, name, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
  DWORD type = 0, size = 0;
  LONG sized = RegQueryValueExA(key, "Version", nullptr, &type, nullptr, &size);
  BYTE version = 0;
  // Only a one-byte value is read: an empty one has no byte to compare.
  BOOL accepted = FALSE;
  if (sized == ERROR_SUCCESS && size == 1 &&
      RegQueryValueExA(key, "Version", nullptr, &type, &version, &size) == ERROR_SUCCESS)
    accepted = version == kVekMonitorVersion;
  RegCloseKey(key);
  return accepted;
}

}  // namespace

BOOL FindMonitorKeyName(CStringA* name) {
  HKEY monitors = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorsKey, 0, KEY_READ, &monitors) != ERROR_SUCCESS) return FALSE;
  BOOL found = FALSE;
  for (DWORD index = 0; !found; ++index) {
    char key[kKeyNameRoom] = {};
    DWORD length = kKeyNameRoom;
    LONG result = RegEnumKeyExA(monitors, index, key, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    if (IsVekMonitor(monitors, key)) {
      *name = key;
      found = TRUE;
    }
  }
  RegCloseKey(monitors);
  return found;
}

BOOL ReadPortNames(std::vector<std::string>* names, DWORD* error) {
  names->clear();
  std::vector<BYTE> buffer;
  DWORD needed = 0, returned = 0;
  // The list may grow between the size query and the listing.
  for (int attempt = 0; attempt < 3; ++attempt) {
    BOOL ok = EnumPortsA(nullptr, 2, buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                         &needed, &returned);
    if (ok) {
      const auto* ports = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
      for (DWORD i = 0; i < returned; ++i) names->emplace_back(ports[i].pPortName ? ports[i].pPortName : "");
      return TRUE;
    }
    *error = GetLastError();
    if (*error != ERROR_INSUFFICIENT_BUFFER) return FALSE;
    buffer.assign(needed + 50, 0);
  }
  return FALSE;
}

BOOL MakePortName(const BYTE* node, BYTE modelCode, const std::vector<std::string>& taken, char* name,
                  std::size_t size) {
  const char* format = modelCode == kModelCodeG ? "VEKG%02X%02X%02X-%d" : "VEK%02X%02X%02X-%d";
  for (int n = 1; n < kMaxPortNumber; ++n) {
    int length = std::snprintf(name, size, format, node[3], node[4], node[5], n);
    if (length < 0 || static_cast<std::size_t>(length) >= size) break;
    bool used = false;
    for (const std::string& port : taken) used = used || vek::CompareNoCase(port, name) == 0;
    if (!used) return TRUE;
  }
  if (size > 0) name[0] = '\0';
  return FALSE;
}

BOOL WriteHandedOverPort(const CStringA& monitorKey, const char* name, const PortRecord& record, DWORD* error) {
  // Only under a monitor key that is there: no key of a monitor is made here.
  HKEY monitor = nullptr;
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, MonitorPath(monitorKey).c_str(), 0, KEY_ALL_ACCESS, &monitor);
  HKEY key = nullptr;
  if (result == ERROR_SUCCESS) {
    const std::string path = std::string(kTempPortKey) + "\\" + name;
    result = RegCreateKeyExA(monitor, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                             nullptr);
    RegCloseKey(monitor);
  }
  if (result != ERROR_SUCCESS) {
    *error = static_cast<DWORD>(result);
    DebugTrace("CreateNetworkPort() = %ld[Create TempPort Failed]\r\n", static_cast<long>(result));
    return FALSE;
  }
  const DWORD retry = record.retryTimeout;
  const DWORD portId = static_cast<DWORD>(static_cast<LONG>(static_cast<signed char>(record.portId)));
  const DWORD packetType = Registry(record.packetType);
  const DWORD model = record.model;
  struct Value {
    const char* name;
    DWORD type;
    const void* data;
    DWORD size;
  } values[] = {
      {"Network", REG_BINARY, record.network, sizeof record.network},
      {"Node", REG_BINARY, record.node, sizeof record.node},
      {"IPAddress", REG_BINARY, record.ipAddress, sizeof record.ipAddress},
      {"RetryTimeout", REG_DWORD, &retry, sizeof retry},
      {"PortID", REG_DWORD, &portId, sizeof portId},
      {"PacketType", REG_DWORD, &packetType, sizeof packetType},
      {"PSName", REG_BINARY, record.psName, sizeof record.psName},
      {"Model", REG_DWORD, &model, sizeof model},
  };
  BOOL written = TRUE;
  for (const Value& value : values) {
    result = RegSetValueExA(key, value.name, 0, value.type, static_cast<const BYTE*>(value.data), value.size);
    if (result != ERROR_SUCCESS && written) {
      *error = static_cast<DWORD>(result);
      written = FALSE;
    }
  }
  RegCloseKey(key);
  return written;
}

void RemoveHandedOverPort(const CStringA& monitorKey, const char* name) {
  HKEY monitor = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MonitorPath(monitorKey).c_str(), 0, KEY_ALL_ACCESS, &monitor) != ERROR_SUCCESS)
    return;
  HKEY temp = nullptr;
  if (RegOpenKeyExA(monitor, kTempPortKey, 0, KEY_ALL_ACCESS, &temp) == ERROR_SUCCESS) {
    RegDeleteKeyA(temp, name);
    RegCloseKey(temp);
  }
  RegDeleteKeyA(monitor, kTempPortKey);
  RegCloseKey(monitor);
}
