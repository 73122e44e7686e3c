#include "port_driver.h"

#include <cstring>
#include <string>

#include "bidi_thread.h"
#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "port_list.h"
#include "print_port.h"
#include "registry/registry.h"

namespace {

constexpr DWORD kDisplayNameBytes = 50;

void ReadDisplayName() {
  g_MonitorDisplayName = kDefaultMonitorDisplayName;
  WCHAR name[kDisplayNameBytes / sizeof(WCHAR) + 1] = {};
  DWORD size = kDisplayNameBytes;
  if (RegQueryValueExW(g_hMonitorKey, u"PrintMonitor", nullptr, nullptr, reinterpret_cast<LPBYTE>(name), &size) !=
      ERROR_SUCCESS)
    return;
  // The value need not carry its terminator; the buffer has room for one more.
  name[std::min<DWORD>(size, kDisplayNameBytes) / sizeof(WCHAR)] = 0;
  g_MonitorDisplayName = name;
}

void LoadSavedPorts() {
  HKEY ports = nullptr;
  if (RegOpenKeyExW(g_hMonitorKey, u"Ports", 0, KEY_ALL_ACCESS, &ports) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; index++) {
    WCHAR name[kPortNameLength + 1] = {};
    DWORD length = kPortNameLength + 1;
    LONG found = RegEnumKeyExW(ports, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    // A name too long for a port is skipped; the ports after it still load.
    if (found == ERROR_MORE_DATA) continue;
    if (found != ERROR_SUCCESS) break;
    // A second initialiser finds its ports already there.
    if (FindPortByName(name)) continue;
    auto* port = new CPrintPort;
    std::memcpy(port->m_PortName, name, sizeof name);
    if (port->Load()) {
      AddPrintPort(port);
    } else {
      delete port;
    }
  }
  RegCloseKey(ports);
}

}  // namespace

void ReadMonitorValues(const char* settingsFailure) {
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG error = RegQueryValueExW(g_hMonitorKey, u"Settings", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
  if (error == ERROR_SUCCESS && size == sizeof value) {
    g_Settings = value;
  } else {
    theDebugLog.Trace(settingsFailure, error);
  }
  size = sizeof value;
  if (RegQueryValueExW(g_hMonitorKey, u"Protocols", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size) ==
          ERROR_SUCCESS &&
      size == sizeof value)
    g_Protocols = static_cast<WORD>(value & 0xFFFF);
  if (g_Protocols.load() == 0) g_Protocols = PROTOCOL_ALL;
}

BOOL InitializePortDriver(LPCWSTR registryPath) {
  if (registryPath == nullptr || registryPath[0] == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::u16string_view path(registryPath);
  std::size_t slash = path.rfind(u'\\');
  std::u16string name(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
  // The enumeration reads the name under the port lock.
  EnterCriticalSection(&g_PortLock);
  g_MonitorName = name.c_str();
  LeaveCriticalSection(&g_PortLock);

  if (g_hMonitorKey) {
    if (RegCloseKey(g_hMonitorKey) != ERROR_SUCCESS) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    g_hMonitorKey = nullptr;
  }
  DWORD disposition = 0;
  LONG error = RegCreateKeyExW(HKEY_LOCAL_MACHINE, registryPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                               nullptr, &g_hMonitorKey, &disposition);
  if (error != ERROR_SUCCESS) {
    g_hMonitorKey = nullptr;
    theDebugLog.Trace("InitializePortDriver() = %d[Open Registry Key Error]", error);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ReadDisplayName();
  DWORD zero = 0;
  error = RegSetValueExW(g_hMonitorKey, u"Shutdown", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
  if (error != ERROR_SUCCESS) theDebugLog.Trace("InitializePortDriver() = %d[Set Shutdown Failed]", error);
  ReadMonitorValues("InitializePortDriver() = %d[Read System Setting Failed]");
  LoadSavedPorts();
  StartBidiThread();
  return TRUE;
}
