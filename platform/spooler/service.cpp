// The service control manager's stand-in and the spooler's view of its own state.
#include "spooler/service.h"

#include <map>
#include <memory>
#include <mutex>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "registry/store_check.h"
#include "spooler/names.h"
#include "spooler/store.h"
#include "spooler/winspool.h"
#include "spooler/winsvc.h"

namespace vek::spooler {

namespace {

constexpr const char* kServiceName = "Spooler";

// Running unless the store says stopped; a store that cannot be used is its error.
LONG StoredState(DWORD* state) {
  *state = SERVICE_RUNNING;
  store::Key key;
  LONG error = key.Open(HKEY_LOCAL_MACHINE, store::kSpoolerService);
  if (registry::IsStoreError(error)) return error;
  if (error != ERROR_SUCCESS) return ERROR_SUCCESS;
  if (store::DwordOr(key.get(), "State", SERVICE_RUNNING) == SERVICE_STOPPED) *state = SERVICE_STOPPED;
  return ERROR_SUCCESS;
}

DWORD StoredState() {
  DWORD state = SERVICE_RUNNING;
  StoredState(&state);
  return state;
}

}  // namespace

bool SpoolerRunning() { return StoredState() == SERVICE_RUNNING; }

DWORD SpoolerGeneration() {
  store::Key key;
  if (key.Open(HKEY_LOCAL_MACHINE, store::kSpoolerService) != ERROR_SUCCESS) return 0;
  return store::DwordOr(key.get(), "Generation", 0);
}

BOOL CheckRunning() {
  DWORD state = SERVICE_RUNNING;
  if (LONG error = StoredState(&state)) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  if (state == SERVICE_RUNNING) return TRUE;
  SetLastError(RPC_S_SERVER_UNAVAILABLE);
  return FALSE;
}

}  // namespace vek::spooler

using namespace vek::spooler;

struct SC_HANDLE__ {
  bool manager = false;
};

namespace {

std::mutex g_handleLock;
std::map<SC_HANDLE, std::unique_ptr<SC_HANDLE__>> g_handles;

SC_HANDLE NewHandle(bool manager) {
  auto object = std::make_unique<SC_HANDLE__>();
  object->manager = manager;
  SC_HANDLE handle = object.get();
  std::lock_guard guard(g_handleLock);
  g_handles.emplace(handle, std::move(object));
  return handle;
}

// Whether the handle is open and of the kind asked for.
bool Valid(SC_HANDLE handle, bool manager) {
  std::lock_guard guard(g_handleLock);
  auto found = g_handles.find(handle);
  return found != g_handles.end() && found->second->manager == manager;
}

void FillStatus(DWORD state, LPSERVICE_STATUS status) {
  if (status == nullptr) return;
  *status = SERVICE_STATUS{};
  status->dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status->dwCurrentState = state;
  status->dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
}

BOOL SetState(DWORD state) {
  store::Key key;
  LONG error = key.Create(HKEY_LOCAL_MACHINE, store::kSpoolerService);
  if (error == ERROR_SUCCESS) error = store::WriteDword(key.get(), "State", state);
  if (error == ERROR_SUCCESS && state == SERVICE_RUNNING)
    error = store::WriteDword(key.get(), "Generation", store::DwordOr(key.get(), "Generation", 0) + 1);
  if (error != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  return TRUE;
}

}  // namespace

SC_HANDLE OpenSCManagerA(LPCSTR lpMachineName, LPCSTR lpDatabaseName, DWORD) {
  if ((lpMachineName != nullptr && *lpMachineName != '\0') ||
      (lpDatabaseName != nullptr && std::string_view(lpDatabaseName) != "ServicesActive")) {
    SetLastError(lpMachineName && *lpMachineName ? RPC_S_SERVER_UNAVAILABLE : ERROR_INVALID_NAME);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return NewHandle(true);
}

SC_HANDLE OpenServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, DWORD) {
  if (!Valid(hSCManager, true)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (lpServiceName == nullptr || !SameName(lpServiceName, kServiceName)) {
    SetLastError(ERROR_SERVICE_DOES_NOT_EXIST);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return NewHandle(false);
}

BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpServiceStatus) {
  if (!Valid(hService, false)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpServiceStatus == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FillStatus(SpoolerRunning() ? SERVICE_RUNNING : SERVICE_STOPPED, lpServiceStatus);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpServiceStatus) {
  if (!Valid(hService, false)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  bool running = SpoolerRunning();
  if (dwControl == SERVICE_CONTROL_INTERROGATE) {
    FillStatus(running ? SERVICE_RUNNING : SERVICE_STOPPED, lpServiceStatus);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  if (dwControl != SERVICE_CONTROL_STOP) {
    FillStatus(running ? SERVICE_RUNNING : SERVICE_STOPPED, lpServiceStatus);
    SetLastError(ERROR_INVALID_SERVICE_CONTROL);
    return FALSE;
  }
  if (!running) {
    FillStatus(SERVICE_STOPPED, lpServiceStatus);
    SetLastError(ERROR_SERVICE_NOT_ACTIVE);
    return FALSE;
  }
  if (!SetState(SERVICE_STOPPED)) return FALSE;
  FillStatus(SERVICE_STOPPED, lpServiceStatus);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL StartServiceA(SC_HANDLE hService, DWORD, LPCSTR*) {
  if (!Valid(hService, false)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (SpoolerRunning()) {
    SetLastError(ERROR_SERVICE_ALREADY_RUNNING);
    return FALSE;
  }
  if (!SetState(SERVICE_RUNNING)) return FALSE;
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL CloseServiceHandle(SC_HANDLE hSCObject) {
  std::lock_guard guard(g_handleLock);
  if (g_handles.erase(hSCObject) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
