// LoadNetBEUI: NetBEUI is usable when RPC over NetBIOS is installed
// ("ncacn_nb_nb" under ClientProtocols) and bound to at least one LANA (the
// "ncacn_nb_nb..." values under Rpc\Netbios, whose data is the LANA number).
#include <cstring>

#include "debug_log.h"
#include "kernel/errors.h"
#include "monitor_globals.h"
#include "netbios_helpers.h"
#include "registry/registry.h"
#include "transport_probes.h"

namespace {

constexpr LPCWSTR kClientProtocolsKey = u"SOFTWARE\\Microsoft\\Rpc\\ClientProtocols";
constexpr LPCWSTR kNetbiosKey = u"SOFTWARE\\Microsoft\\Rpc\\Netbios";
constexpr char16_t kNetbiosProtocol[] = u"ncacn_nb_nb";
constexpr std::size_t kNetbiosProtocolLength = sizeof kNetbiosProtocol / sizeof kNetbiosProtocol[0] - 1;
constexpr DWORD kValueNameChars = 30;  // names up to 29 characters
constexpr DWORD kValueDataBytes = 30;
constexpr int kMaxLanasTaken = 5;
constexpr int kHighestLana = 255;

bool StartsWithProtocol(const WCHAR* name, DWORD length) {
  return length >= kNetbiosProtocolLength &&
         std::memcmp(name, kNetbiosProtocol, kNetbiosProtocolLength * sizeof(WCHAR)) == 0;
}

// A decimal text as the registry gives it: digits after optional blanks and sign;
// whatever follows them is ignored, no digits read as 0.
long DecimalOf(const WCHAR* text, std::size_t chars) {
  std::size_t i = 0;
  while (i < chars && (text[i] == u' ' || text[i] == u'\t')) i++;
  bool negative = false;
  if (i < chars && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long value = 0;
  for (; i < chars && text[i] >= u'0' && text[i] <= u'9'; i++) {
    value = value * 10 + (text[i] - u'0');
    if (value > 0xFFFF) break;  // far beyond any LANA
  }
  return negative ? -value : value;
}

// The value's LANA number: a string as a decimal number, else the data's low 16 bits.
long LanaOf(DWORD type, const BYTE* data, DWORD size) {
  if (type == REG_SZ) {
    WCHAR text[kValueDataBytes / sizeof(WCHAR)];
    std::size_t chars = size / sizeof(WCHAR);
    std::memcpy(text, data, chars * sizeof(WCHAR));
    return DecimalOf(text, chars);
  }
  long low = size > 0 ? data[0] : 0;
  if (size > 1) low |= static_cast<long>(data[1]) << 8;
  return low;
}

bool KnownLana(int lana) {
  for (int i = 0; i < g_LanaCount; i++)
    if (g_LanaTable[i] == lana) return true;
  return false;
}

BOOL Unsupported() {
  theDebugLog.Trace("LoadNetBEUI() Unsupport NetBEUI !");
  return FALSE;
}

bool OpenKey(LPCWSTR path, HKEY* key) {
  LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, key);
  if (opened == ERROR_SUCCESS) return true;
  theDebugLog.Trace("LoadNetBEUI() = %d[Open Registry Key Error]", opened);
  return false;
}

// Values in order until the first that cannot be read; visit(name, length, type,
// data, size) for each.
template <typename Visit>
void EnumerateValues(HKEY key, Visit visit) {
  for (DWORD index = 0;; index++) {
    WCHAR name[kValueNameChars] = {};
    DWORD nameLength = kValueNameChars;
    BYTE data[kValueDataBytes] = {};
    DWORD size = kValueDataBytes;
    DWORD type = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) return;
    if (!visit(name, nameLength, type, data, size)) return;
  }
}

}  // namespace

BOOL LoadNetBEUI() {
  if (!(g_Protocols.load() & PROTOCOL_NETBEUI)) return Unsupported();

  HKEY key = nullptr;
  if (!OpenKey(kClientProtocolsKey, &key)) return FALSE;
  int installed = 0;
  EnumerateValues(key, [&](const WCHAR* name, DWORD length, DWORD type, const BYTE* data, DWORD size) {
    bool exact = length == kNetbiosProtocolLength && StartsWithProtocol(name, length);
    if (exact && type == REG_SZ && size >= sizeof(WCHAR) && (data[0] != 0 || data[1] != 0)) installed++;
    return true;
  });
  RegCloseKey(key);
  // RPC over NetBIOS is not installed.
  if (installed == 0) return Unsupported();

  if (!OpenKey(kNetbiosKey, &key)) return FALSE;
  EnumerateValues(key, [&](const WCHAR* name, DWORD length, DWORD type, const BYTE* data, DWORD size) {
    if (g_LanaCount >= kMaxLanasTaken) return false;
    if (!StartsWithProtocol(name, length)) return true;
    long lana = LanaOf(type, data, size);
    // Registry data is not trusted: a number no NCB can carry is no LANA.
    if (lana < 0 || lana > kHighestLana || KnownLana(static_cast<int>(lana))) return true;
    g_LanaTable[g_LanaCount++] = static_cast<int>(lana);
    theDebugLog.Trace("LoadNetBEUI() Find LANA %d", static_cast<int>(lana));
    return true;
  });
  RegCloseKey(key);
  if (g_LanaCount == 0) return Unsupported();

  g_SupportedProtocols.fetch_or(PROTOCOL_NETBEUI);
  theDebugLog.Trace("LoadNetBEUI() Support NetBEUI !");
  for (int i = 0; i < g_LanaCount; i++) NBResetAdapter(g_LanaTable[i]);
  if (g_LanaCount == 1) {
    g_PrimaryLana = 0;
    theDebugLog.Trace("LoadNetBEUI() Find Primary LANA %d", g_LanaTable[0]);
  }
  return TRUE;
}
