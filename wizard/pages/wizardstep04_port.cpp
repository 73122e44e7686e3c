// The printer page's hand-over of a new port: the monitor's key, the port's name
// and record, AddPort through the spooler, and the check that the port is there.
#include <algorithm>
#include <cstring>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/clock.h"
#include "kernel/strings.h"
#include "kernel/thread.h"
#include "kernel/version.h"
#include "protocol/trace.h"
#include "registry/registry.h"
#include "spooler/winspool.h"
#include "wizard/pages/wizardstep04.h"
#include "wizard/port_handover.h"
#include "wizard/wizard_settings.h"

namespace {

// Windows NT before 5 reads its ports only when the spooler starts.
bool RestartsSpoolerForPorts() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 5;
}

// The port's own key among the spooler's ports (the spooler keeps its state there).
void SetPortKey(const char* name, bool present) {
  HKEY ports = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrintPortsKey, 0, KEY_ALL_ACCESS, &ports) != ERROR_SUCCESS) return;
  if (present) {
    HKEY port = nullptr;
    if (RegCreateKeyExA(ports, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &port, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(port);
  } else {
    RegDeleteKeyA(ports, name);
  }
  RegCloseKey(ports);
}

// A stop or start that came back at once is given a second more to settle.
void SettleAfter(DWORD since) {
  if (GetTickCount() - since < 1200) Sleep(1000);
}

}  // namespace

void WizardStep04::FindMonitorName() {
  CStringA name;
  if (!FindMonitorKeyName(&name)) return;
  g_MonitorKeyName = name;
  UpdateData(FALSE);
}

BOOL WizardStep04::CreateNetworkPort(DWORD* error) {
  using namespace WizardSettings;
  CWaitCursor wait;
  PortRecord record;
  record.model = 1;
  record.packetType = 1;  // UDP
  std::memcpy(record.node, m_ServerNodeID, sizeof record.node);
  std::memcpy(record.ipAddress, m_ServerIPAddress, sizeof record.ipAddress);
  record.portId = static_cast<BYTE>(m_PortID & 0xFF);
  record.retryTimeout = 90;

  // Without the list of ports no free name can be told: no name is guessed.
  std::vector<std::string> ports;
  if (!ReadPortNames(&ports, error)) {
    DebugTrace("CreateNetworkPort() = %lu[Read Ports Failed]\r\n", static_cast<unsigned long>(*error));
    return FALSE;
  }
  char name[sizeof m_PortName] = {};
  if (!MakePortName(m_ServerNodeID, m_ModelCode, ports, name, sizeof name)) {
    *error = ERROR_INVALID_NAME;
    return FALSE;
  }
  std::memcpy(m_PortName, name, sizeof m_PortName);

  if (!WriteHandedOverPort(g_MonitorKeyName, name, record, error)) {
    RemoveHandedOverPort(g_MonitorKeyName, name);
    return FALSE;
  }
  SetPortKey(name, true);
  BOOL added = AddPortA(nullptr, nullptr, g_MonitorKeyName.GetString());
  DWORD addError = added ? ERROR_SUCCESS : GetLastError();
  DebugTrace("CreateNetworkPort() AddPort(%s) = %d[%lu]\r\n", name, added, static_cast<unsigned long>(addError));
  RemoveHandedOverPort(g_MonitorKeyName, name);

  if (RestartsSpoolerForPorts()) {
    DWORD tick = GetTickCount();
    StopSpooler();
    SettleAfter(tick);
    Sleep(2000);
    tick = GetTickCount();
    StartSpooler();
    SettleAfter(tick);
  }

  // The port must be one of the spooler's now; AddPort's word alone is not enough.
  DWORD listError = ERROR_SUCCESS;
  BOOL listed = ReadPortNames(&ports, &listError);
  bool present = listed && std::any_of(ports.begin(), ports.end(),
                                       [&](const std::string& port) { return vek::CompareNoCase(port, name) == 0; });
  if (!present) {
    *error = !added ? addError : !listed ? listError : ERROR_UNKNOWN_PORT;
    SetPortKey(name, false);
    m_PortName[0] = '\0';
    return FALSE;
  }
  m_PortCreated = 1;
  return TRUE;
}
