// The NetBEUI probe, fed with whatever the two RPC keys it reads may hold: values
// of any name, type and data. Each input is written to a machine root of the
// fuzzer's own before the probe runs. Whatever the registry says, the probe must
// take at most five distinct LANAs an NCB can carry, report NetBEUI exactly when
// it took one, elect a primary only when there is no choice, and find nothing
// where no value of the names it looks for was written.
//
// Input: one byte of set-up (bit 0, 1: make the RPC ClientProtocols and Netbios
// keys even without values; bits 2-3: the other transports of "Protocols"), then
// up to kMaxValues values, each:
//   1 byte  bit 0: the Netbios key, else ClientProtocols; bit 1: the name begins
//           with the RPC-over-NetBIOS protocol name; bit 2: the name's characters
//           are 16-bit, else bytes; bit 3: the data is text (bytes widened, with
//           the terminator), else raw; bits 4-7: the type (kTypes)
//   1 byte  the name's length in characters (mod 41), then the characters
//   1 byte  the data's length (mod 49), then the data
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kernel/errors.h"
#include "kernel/strings.h"
#include "monitor_globals.h"
#include "net/netbios.h"
#include "net/netbios_segment.h"
#include "registry/registry.h"
#include "transport_probes.h"

namespace {

constexpr LPCWSTR kKeys[2] = {u"SOFTWARE\\Microsoft\\Rpc\\ClientProtocols", u"SOFTWARE\\Microsoft\\Rpc\\Netbios"};
constexpr char16_t kProtocol[] = u"ncacn_nb_nb";
constexpr std::size_t kProtocolLength = sizeof kProtocol / sizeof kProtocol[0] - 1;
// Each value is a write to the store; more make an input slow and find no more.
constexpr int kMaxValues = 16;
// Past the probe's buffers (29 characters of name, 30 bytes of data) by a little.
constexpr std::size_t kNameChars = 41;
constexpr std::size_t kDataBytes = 49;
constexpr int kMaxLanasTaken = 5;
constexpr DWORD kTypes[16] = {REG_SZ,     REG_SZ,   REG_SZ,        REG_DWORD,    REG_DWORD, REG_BINARY,
                              REG_BINARY, REG_NONE, REG_EXPAND_SZ, REG_MULTI_SZ, 5,         6,
                              8,          11,       0x7FFFFFFF,    0xFFFFFFFF};

using Input = vek::fuzz::ByteReader;

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// As the store compares names: ASCII letters in either case.
bool BeginsWithProtocol(const std::u16string& name, bool exact) {
  if (name.size() < kProtocolLength || (exact && name.size() != kProtocolLength)) return false;
  for (std::size_t i = 0; i < kProtocolLength; i++)
    if (Lower(name[i]) != kProtocol[i]) return false;
  return true;
}


}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vek::fuzz::UseOwnMachineRoot();

  // LANA 0 on a segment of our own, so that the probe's resets touch no one else's.
  std::mt19937 generator{std::random_device{}()};
  const std::string segment = "127.255.255.255:" + std::to_string(20000 + generator() % 40000);
  if (!vek::net::SetNetbiosSegment(segment.c_str()) || !vek::net::SetNetbiosLanas("0")) std::abort();
  NCB reset{};
  reset.ncb_command = NCBRESET;
  reset.ncb_lana_num = 0;
  if (Netbios(&reset) != NRC_GOODRET) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(std::span<const std::uint8_t>(data, size));
  const std::uint8_t setup = input.Byte();

  HKEY keys[2] = {nullptr, nullptr};
  auto key = [&](int which) {
    if (keys[which] == nullptr && RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeys[which], 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &keys[which], nullptr) != ERROR_SUCCESS)
      std::abort();
    return keys[which];
  };
  for (LPCWSTR path : kKeys) RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
  if (setup & 1) key(0);
  if (setup & 2) key(1);

  // Whether a value of a name the probe takes was written at all.
  bool installedWritten = false;
  bool lanaWritten = false;
  for (int v = 0; v < kMaxValues && !input.Empty(); v++) {
    const std::uint8_t kind = input.Byte();
    const int which = kind & 1;
    std::u16string name = (kind & 2) ? kProtocol : u"";
    const std::size_t nameChars = input.Byte() % kNameChars;
    for (std::size_t i = 0; i < nameChars; i++) {
      char16_t c = input.Byte();
      if (kind & 4) c = static_cast<char16_t>(c | (input.Byte() << 8));
      name.push_back(c);
    }
    const DWORD type = kTypes[kind >> 4];
    std::vector<BYTE> value;
    const std::size_t dataBytes = input.Byte() % kDataBytes;
    for (std::size_t i = 0; i < dataBytes; i++) {
      value.push_back(input.Byte());
      if (kind & 8) value.push_back(0);
    }
    if (kind & 8) value.insert(value.end(), {0, 0});
    // The name as the registry keeps it: up to its first null, through UTF-8.
    name.resize(std::char_traits<char16_t>::length(name.c_str()));
    const std::u16string stored = vek::ToWide(vek::ToNarrow(name));
    if (which == 0 && BeginsWithProtocol(stored, true)) installedWritten = true;
    if (which == 1 && BeginsWithProtocol(stored, false)) lanaWritten = true;
    RegSetValueExW(key(which), name.c_str(), 0, type, value.data(), static_cast<DWORD>(value.size()));
  }
  for (HKEY k : keys)
    if (k != nullptr) RegCloseKey(k);

  g_Protocols = static_cast<WORD>(PROTOCOL_NETBEUI | ((setup >> 2) & (PROTOCOL_IPX | PROTOCOL_UDP)));
  g_SupportedProtocols = 0;
  g_LanaCount = 0;
  std::memset(g_LanaTable, 0, sizeof g_LanaTable);
  g_PrimaryLana = -1;

  const BOOL found = LoadNetBEUI();

  const int count = g_LanaCount;
  if (found != TRUE && found != FALSE) __builtin_trap();
  if (count < 0 || count > kMaxLanasTaken) __builtin_trap();
  if ((found == TRUE) != (count > 0)) __builtin_trap();
  if (g_SupportedProtocols.load() != (found ? PROTOCOL_NETBEUI : 0)) __builtin_trap();
  for (int i = 0; i < kMaxLanas; i++) {
    if (i >= count && g_LanaTable[i] != 0) __builtin_trap();
    if (i < count && (g_LanaTable[i] < 0 || g_LanaTable[i] > 255)) __builtin_trap();
    for (int j = 0; j < i && i < count; j++)
      if (g_LanaTable[i] == g_LanaTable[j]) __builtin_trap();
  }
  // With a single LANA it is the primary; with more the first receive elects one.
  const int primary = g_PrimaryLana.load();
  if (primary != (count == 1 ? 0 : -1)) __builtin_trap();
  if (!installedWritten && found) __builtin_trap();
  if (!lanaWritten && count != 0) __builtin_trap();
  return 0;
}
