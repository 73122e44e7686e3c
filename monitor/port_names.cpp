#include "port_names.h"

#include <algorithm>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/memory.h"
#include "kernel/strings.h"
#include "port_list.h"
#include "port_workers.h"
#include "print_port.h"
#include "spooler/winspool.h"
#include "system_helpers.h"

namespace {

// This monitor's own ports, through its own enumeration.
bool OwnPortNames(std::vector<std::u16string>* names) {
  DWORD needed = 0, returned = 0;
  if (!XYZEnumPorts(nullptr, 2, nullptr, 0, &needed, &returned) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    theDebugLog.Trace("EnumerateAllPortNames() = %d", GetLastError());
    return false;
  }
  DWORD size = needed + 4;
  HLOCAL block = LocalAlloc(LPTR, size);
  auto* buffer = static_cast<LPBYTE>(block ? LocalLock(block) : nullptr);
  if (buffer == nullptr) {
    theDebugLog.Trace("EnumerateAllPortNames() = %d", ERROR_NOT_ENOUGH_MEMORY);
    if (block) LocalFree(block);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  bool listed = XYZEnumPorts(nullptr, 2, buffer, size, &needed, &returned) != FALSE;
  if (!listed) theDebugLog.Trace("EnumerateAllPortNames() = %d", GetLastError());
  const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer);
  for (DWORD i = 0; listed && i < returned; ++i) {
    std::u16string name;
    if (GetCharSize() == 1) {
      // On Windows 9x the strings of the buffer are one byte a character.
      for (const auto* c = reinterpret_cast<const BYTE*>(info[i].pPortName); c && *c; ++c) name.push_back(*c);
    } else if (info[i].pPortName) {
      name = info[i].pPortName;
    }
    names->push_back(std::move(name));
  }
  LocalUnlock(block);
  LocalFree(block);
  return listed;
}

// Every monitor's ports, as the spooler lists them.
bool SpoolerPortNames(std::vector<std::u16string>* names) {
  std::vector<BYTE> buffer;
  DWORD needed = 0, returned = 0;
  // The list may grow between the size query and the listing.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (EnumPortsW(nullptr, 1, buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                   &returned)) {
      const auto* info = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
      for (DWORD i = 0; i < returned; ++i)
        if (info[i].pName) names->emplace_back(info[i].pName);
      return true;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    buffer.assign(needed, 0);
  }
  theDebugLog.Trace("EnumerateAllPortNames() = %d[Spooler]", GetLastError());
  return false;
}

}  // namespace

bool IsUsablePortName(LPCWSTR name) {
  std::size_t length = vek::WideLength(name);
  if (length == 0 || length > kPortNameLength) return false;
  if (name[0] == u' ' || name[length - 1] == u' ') return false;
  return std::none_of(name, name + length,
                      [](char16_t c) { return c < 0x20 || c == 0x7F || c == u',' || c == u'\\'; });
}

bool EnumerateAllPortNames(std::vector<std::u16string>* names) {
  return OwnPortNames(names) && SpoolerPortNames(names);
}

bool PortNameTaken(LPCWSTR name, bool* taken) {
  std::vector<std::u16string> names;
  if (!EnumerateAllPortNames(&names)) return false;
  *taken = std::any_of(names.begin(), names.end(),
                       [&](const std::u16string& existing) { return SamePortNameNoCase(existing.c_str(), name); });
  return true;
}
