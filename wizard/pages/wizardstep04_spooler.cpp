// The printer page's restart of the "Spooler" service, for systems that read their
// ports only when the spooler starts.
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/thread.h"
#include "spooler/winsvc.h"
#include "wizard/pages/wizardstep04.h"

namespace {

constexpr int kTries = 3;
constexpr int kPolls = 11;
constexpr DWORD kPollMs = 1000;

struct ServiceHandles {
  SC_HANDLE manager = nullptr;
  SC_HANDLE service = nullptr;
  ServiceHandles() {
    manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (manager) service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
  }
  ~ServiceHandles() {
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
  }
  ServiceHandles(const ServiceHandles&) = delete;
  ServiceHandles& operator=(const ServiceHandles&) = delete;
};

DWORD State(SC_HANDLE service) {
  SERVICE_STATUS status{};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

}  // namespace

int WizardStep04::StopSpooler() {
  ServiceHandles handles;
  if (!handles.service) return 1;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (State(handles.service) == SERVICE_STOPPED) break;
    SERVICE_STATUS status{};
    if (!ControlService(handles.service, SERVICE_CONTROL_STOP, &status)) continue;
    for (int poll = 0; poll < kPolls && State(handles.service) == SERVICE_RUNNING; ++poll) Sleep(kPollMs);
  }
  return 1;
}

int WizardStep04::StartSpooler() {
  ServiceHandles handles;
  if (!handles.service) return 1;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (State(handles.service) == SERVICE_RUNNING) break;
    if (!StartServiceA(handles.service, 0, nullptr)) {
      if (GetLastError() == ERROR_SERVICE_ALREADY_RUNNING) break;
      continue;
    }
    for (int poll = 0; poll < kPolls && State(handles.service) == SERVICE_START_PENDING; ++poll) Sleep(kPollMs);
  }
  return 1;
}
