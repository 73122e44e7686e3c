// The VEK monitor's record of a port as vek-spool reads it to name the print
// server: values of any name, type and size, as a damaged store or another
// monitor version may hold them. Whatever the record holds, the read succeeds,
// keeps every value, and names the server in printable text or not at all.
//
// Input: up to 16 values, each:
//   1 byte  bits 0-3: the name (kNames), bits 4-7: the type (kTypes)
//   1 byte  the data's length (mod 24), then the data
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "fuzz_support.h"
#include "kernel/errors.h"
#include "registry/registry.h"
#include "spooler/spooler.h"
#include "spooler/vek_spool.h"

namespace {

constexpr const char* kPort = "VEK123456-1";
constexpr const char* kNames[16] = {"PacketType", "IPAddress", "Network", "Node",     "PSName",     "PortID",
                                    "RetryTimeout", "Model",   "packettype", "IPADDRESS", "psname", "Other",
                                    "PacketType", "Node",      "PSName",     "IPAddress"};
constexpr DWORD kTypes[16] = {REG_DWORD, REG_BINARY, REG_BINARY, REG_SZ,   REG_DWORD,  REG_BINARY, REG_NONE,  REG_MULTI_SZ,
                              REG_DWORD, REG_BINARY, REG_BINARY, REG_DWORD, 0x7FFFFFFF, REG_BINARY, REG_DWORD, REG_BINARY};

std::string PortKey() {
  return std::string("System\\CurrentControlSet\\Control\\Print\\Monitors\\") + vek::spooler::kVekMonitorName +
         "\\Ports\\" + kPort;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vek::fuzz::UseOwnMachineRoot();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vek::fuzz::ByteReader input(std::span(data, size));
  const std::string path = PortKey();
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    std::abort();
  for (int i = 0; i < 16 && !input.Empty(); i++) {
    const std::uint8_t choice = input.Byte();
    std::uint8_t bytes[24] = {};
    const std::size_t length = input.Byte() % sizeof bytes;
    for (std::size_t b = 0; b < length; b++) bytes[b] = input.Byte();
    RegSetValueExA(key, kNames[choice & 15], 0, kTypes[choice >> 4], bytes, static_cast<DWORD>(length));
  }
  DWORD written = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &written, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);

  vek::spool_tool::VekPort port;
  if (!vek::spool_tool::ReadVekPort(kPort, &port)) std::abort();
  if (port.values.size() != written) std::abort();
  for (char c : port.server)
    if (c < 0x20 || c > 0x7E) std::abort();
  return 0;
}
