// XYZAddPort. The setup wizard hands a port over as a record under the monitor's
// TempPort key, named like the port, and calls AddPort without a window: that
// record becomes the port, with the checks the Add Port dialog makes. Without a
// record AddPort is the dialog's: a person picks a print server the monitor's
// own search found.
#include <cstring>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "framework/message_box.h"
#include "monitor_globals.h"
#include "port_dialog_session.h"
#include "port_list.h"
#include "port_names.h"
#include "port_workers.h"
#include "print_port.h"
#include "registry/registry.h"

namespace {

constexpr const char16_t* kTempPortKey = u"TempPort";
constexpr int kMinRetryTimeout = 30;
constexpr int kMaxRetryTimeout = 120;

BOOL Fail(DWORD error, const char* trace) {
  theDebugLog.Trace(trace, error);
  SetLastError(error);
  return FALSE;
}

// The first record under TempPort, by its name; false when there is none.
bool FirstHandedOverName(HKEY temp, WCHAR (&name)[kPortNameLength + 1], LONG* error) {
  DWORD length = kPortNameLength + 1;
  LONG found = RegEnumKeyExW(temp, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
  // Named beyond what a port may be called: refused, not skipped in silence.
  *error = found == ERROR_MORE_DATA ? static_cast<LONG>(ERROR_INVALID_NAME) : found;
  return found == ERROR_SUCCESS;
}

// TRUE only when the person added a port; a cancelled dialog is no error.
BOOL AddPortByDialog(HWND owner) {
  SetLastError(ERROR_SUCCESS);
  INT_PTR result = RunPortDialog(owner, nullptr);
  if (result == IDOK) {
    theDebugLog.Trace("XYZAddPort() OK !");
    return TRUE;
  }
  if (result == IDCANCEL) SetLastError(ERROR_SUCCESS);
  return FALSE;
}

}  // namespace

BOOL WINAPI XYZAddPort(LPWSTR /*pName*/, HWND hWnd, LPWSTR /*pMonitorName*/) {
  theDebugLog.Trace("XYZAddPort() Enter");
  if (g_hMonitorKey == nullptr) return Fail(ERROR_INVALID_HANDLE, "XYZAddPort() = %d[No Monitor Key]");
  HKEY temp = nullptr;
  if (RegOpenKeyExW(g_hMonitorKey, kTempPortKey, 0, KEY_ALL_ACCESS, &temp) != ERROR_SUCCESS)
    return AddPortByDialog(hWnd);
  WCHAR name[kPortNameLength + 1] = {};
  LONG error = ERROR_SUCCESS;
  bool found = FirstHandedOverName(temp, name, &error);
  if (!found) {
    RegCloseKey(temp);
    if (error == ERROR_INVALID_NAME) return Fail(ERROR_INVALID_NAME, "XYZAddPort() = %d[Invalid Port Name]");
    return AddPortByDialog(hWnd);
  }
  if (!IsUsablePortName(name)) {
    RegCloseKey(temp);
    return Fail(ERROR_INVALID_NAME, "XYZAddPort() = %d[Invalid Port Name]");
  }
  // A name another monitor's port has would be two ports to the spooler.
  bool taken = true;
  if (!PortNameTaken(name, &taken)) {
    DWORD error = GetLastError();
    RegCloseKey(temp);
    return Fail(error != ERROR_SUCCESS ? error : ERROR_INVALID_DATA, "XYZAddPort() = %d[Ports Not Listed]");
  }
  if (taken) {
    RegCloseKey(temp);
    return Fail(ERROR_ALREADY_EXISTS, "XYZAddPort() = %d[Port Already Exists]");
  }

  auto* port = new CPrintPort;
  std::memcpy(port->m_PortName, name, sizeof name);
  BOOL loaded = port->LoadFrom(temp, name);
  RegCloseKey(temp);
  if (!loaded) {
    delete port;
    return Fail(ERROR_INVALID_DATA, "XYZAddPort() = %d[Handed Over Record Incomplete]");
  }
  // The dialog's range for the time-out, on top of the record's load rules.
  if (port->m_RetryTimeout < kMinRetryTimeout) port->m_RetryTimeout = kMinRetryTimeout;
  if (port->m_RetryTimeout > kMaxRetryTimeout) port->m_RetryTimeout = kMaxRetryTimeout;

  // The name check and the append under one hold of the lock: two hand-overs of
  // one name cannot both succeed.
  EnterCriticalSection(&g_PortLock);
  if (FindPortByName(name)) {
    LeaveCriticalSection(&g_PortLock);
    delete port;
    return Fail(ERROR_ALREADY_EXISTS, "XYZAddPort() = %d[Port Already Exists]");
  }
  if (!port->Save()) {
    DWORD saveError = GetLastError();
    LeaveCriticalSection(&g_PortLock);
    port->Delete();
    delete port;
    return Fail(saveError != ERROR_SUCCESS ? saveError : ERROR_CANTWRITE, "XYZAddPort() = %d[Save Failed]");
  }
  g_PortList.AddTail(port);
  LeaveCriticalSection(&g_PortLock);
  theDebugLog.Trace("XYZAddPort() OK !");
  return TRUE;
}
