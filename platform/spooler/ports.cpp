// Ports: enumerated from the monitors, added, configured and deleted through them,
// and their status as the monitors set it.
#include "spooler/ports.h"

#include <iterator>
#include <string>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "spooler/api_types.h"
#include "spooler/monitors.h"
#include "spooler/pack.h"
#include "spooler/port_wait.h"
#include "spooler/service.h"
#include "registry/transaction.h"
#include "spooler/store.h"

namespace vek::spooler {

namespace {

std::string PortKey(const std::string& port) { return store::Join(store::kPorts, port); }

template <typename Char>
BOOL EnumPortsT(const Char* server, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                LPDWORD returned) {
  if (needed == nullptr || returned == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *needed = 0;
  *returned = 0;
  if (level != 1 && level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (!CheckRunning()) return FALSE;
  if (!IsLocalServer(server)) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
  std::vector<PortEntry> ports = AllPorts();
  using R = Records<Char>;
  if (level == 1) {
    return PackRecords<typename R::PortInfo1, Char>(
        ports.size(),
        [&](std::size_t i, typename R::PortInfo1& info, StringArea<Char>& strings) {
          info.pName = strings.Put(ports[i].name);
        },
        buffer, size, needed, returned);
  }
  return PackRecords<typename R::PortInfo2, Char>(
      ports.size(),
      [&](std::size_t i, typename R::PortInfo2& info, StringArea<Char>& strings) {
        info.pPortName = strings.Put(ports[i].name);
        info.pMonitorName = strings.Put(ports[i].monitor);
        info.pDescription = strings.Put(ports[i].description);
        info.fPortType = ports[i].type;
        info.Reserved = 0;
      },
      buffer, size, needed, returned);
}

// Ends a call handed to a monitor: the monitor's own error when it failed.
BOOL Finish(BOOL ok, DWORD error) {
  SetLastError(ok ? ERROR_SUCCESS : error);
  return ok ? TRUE : FALSE;
}

template <typename Char>
BOOL AddPortT(const Char* server, HWND window, const Char* monitorName) {
  if (!CheckRunning()) return FALSE;
  std::optional<std::string> name = Text(monitorName);
  if (!IsLocalServer(server) || !name || name->empty()) {
    SetLastError(IsLocalServer(server) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME);
    return FALSE;
  }
  MonitorPtr monitor = FindMonitor(*name);
  if (!monitor) return FALSE;
  if (!monitor->ops.pfnAddPort) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  std::u16string wideName = ToWide(monitor->name);
  SetLastError(ERROR_SUCCESS);
  BOOL ok = monitor->ops.pfnAddPort(nullptr, window, wideName.data());
  DWORD error = GetLastError();
  std::vector<PortEntry> ports;
  MonitorPorts(monitor, &ports);  // what it has now
  return Finish(ok, error);
}

// Hands a call on one port to the monitor that has it.
template <typename Char, typename Call>
BOOL OnPort(const Char* server, const Char* portName, Call call) {
  if (!CheckRunning()) return FALSE;
  std::optional<std::string> port = Text(portName);
  if (!IsLocalServer(server) || !port || port->empty()) {
    SetLastError(IsLocalServer(server) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME);
    return FALSE;
  }
  std::string spelling;
  MonitorPtr monitor = MonitorOfPort(*port, &spelling);
  if (!monitor) {
    SetLastError(ERROR_UNKNOWN_PORT);
    return FALSE;
  }
  std::u16string widePort = ToWide(spelling);
  return call(monitor, spelling, widePort);
}

template <typename Char>
BOOL ConfigurePortT(const Char* server, HWND window, const Char* portName) {
  return OnPort(server, portName, [&](const MonitorPtr& monitor, const std::string&, std::u16string& port) {
    if (!monitor->ops.pfnConfigurePort) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    BOOL ok = monitor->ops.pfnConfigurePort(nullptr, window, port.data());
    return Finish(ok, GetLastError());
  });
}

template <typename Char>
BOOL DeletePortT(const Char* server, HWND window, const Char* portName) {
  return OnPort(server, portName,
                [&](const MonitorPtr& monitor, const std::string& spelling, std::u16string& port) {
                  if (!monitor->ops.pfnDeletePort) {
                    SetLastError(ERROR_NOT_SUPPORTED);
                    return FALSE;
                  }
                  SetLastError(ERROR_SUCCESS);
                  BOOL ok = monitor->ops.pfnDeletePort(nullptr, window, port.data());
                  DWORD error = GetLastError();
                  std::vector<PortEntry> ports;
                  MonitorPorts(monitor, &ports);
                  if (ok) store::DeleteTree(HKEY_LOCAL_MACHINE, PortKey(spelling));
                  return Finish(ok, error);
                });
}

template <typename Char>
BOOL SetPortT(const Char* server, const Char* portName, DWORD level, LPBYTE data) {
  if (!IsLocalServer(server)) {
    SetLastError(ERROR_INVALID_NAME);
    return FALSE;
  }
  std::optional<std::string> port = Text(portName);
  if (!port || port->empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (level != 3) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (data == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Answered from the ports last seen: a monitor calls this from its own threads,
  // and is not asked for its ports meanwhile.
  if (!PortKnown(*port)) {
    SetLastError(ERROR_UNKNOWN_PORT);
    return FALSE;
  }
  const auto& info = *reinterpret_cast<const typename Records<Char>::PortInfo3*>(data);
  std::string text = Text(info.pszStatus).value_or("");
  if (text.size() > store::kMaxString - 1) text.resize(store::kMaxString - 1);
  LONG error = ERROR_SUCCESS;
  {
    registry::Transaction transaction;  // the three values land together
    store::Key key;
    error = key.Create(HKEY_LOCAL_MACHINE, PortKey(*port));
    if (error == ERROR_SUCCESS) {
      bool clear = info.dwStatus == 0 && text.empty();
      error = store::WriteDword(key.get(), "Status", clear ? 0 : info.dwStatus);
      if (error == ERROR_SUCCESS) error = store::WriteDword(key.get(), "Severity", clear ? 0 : info.dwSeverity);
      if (error == ERROR_SUCCESS) error = store::WriteString(key.get(), "StatusText", text);
    }
    key.Close();
    if (error == ERROR_SUCCESS) error = transaction.Commit();
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(static_cast<DWORD>(error));
    return FALSE;
  }
  bool clear = info.dwStatus == 0 && text.empty();
  PortWait::NoteStatus(*port, clear ? PortStatus{} : PortStatus{info.dwStatus, info.dwSeverity, text});
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace

PortStatus ReadPortStatus(const std::string& port) {
  PortStatus status;
  registry::Transaction reading(registry::Access::Read);
  store::Key key;
  if (key.Open(HKEY_LOCAL_MACHINE, PortKey(port)) != ERROR_SUCCESS) return status;
  status.status = store::DwordOr(key.get(), "Status", 0);
  status.severity = store::DwordOr(key.get(), "Severity", 0);
  status.text = store::StringOr(key.get(), "StatusText", "");
  return status;
}

DWORD PrinterStatusOfPort(const PortStatus& port) {
  DWORD status = 0;
  switch (port.status) {
    case PORT_STATUS_OFFLINE: status = PRINTER_STATUS_OFFLINE; break;
    case PORT_STATUS_PAPER_JAM: status = PRINTER_STATUS_PAPER_JAM; break;
    case PORT_STATUS_PAPER_OUT: status = PRINTER_STATUS_PAPER_OUT; break;
    case PORT_STATUS_OUTPUT_BIN_FULL: status = PRINTER_STATUS_OUTPUT_BIN_FULL; break;
    case PORT_STATUS_PAPER_PROBLEM: status = PRINTER_STATUS_PAPER_PROBLEM; break;
    case PORT_STATUS_NO_TONER: status = PRINTER_STATUS_NO_TONER; break;
    case PORT_STATUS_DOOR_OPEN: status = PRINTER_STATUS_DOOR_OPEN; break;
    case PORT_STATUS_USER_INTERVENTION: status = PRINTER_STATUS_USER_INTERVENTION; break;
    case PORT_STATUS_OUT_OF_MEMORY: status = PRINTER_STATUS_OUT_OF_MEMORY; break;
    case PORT_STATUS_TONER_LOW: status = PRINTER_STATUS_TONER_LOW; break;
    case PORT_STATUS_WARMING_UP: status = PRINTER_STATUS_WARMING_UP; break;
    case PORT_STATUS_POWER_SAVE: status = PRINTER_STATUS_POWER_SAVE; break;
    default: break;
  }
  if ((port.status != 0 || !port.text.empty()) && port.severity == PORT_STATUS_TYPE_ERROR)
    status |= PRINTER_STATUS_ERROR;
  return status;
}

DWORD JobErrorOfPortStatus(const PortStatus& port) {
  if (port.status == 0 && port.text.empty()) return ERROR_SUCCESS;
  if (port.status == PORT_STATUS_PAPER_OUT) return ERROR_OUT_OF_PAPER;
  switch (port.severity) {
    case PORT_STATUS_TYPE_ERROR: return ERROR_IO_DEVICE;
    case PORT_STATUS_TYPE_WARNING: return ERROR_BUSY;
    default: return ERROR_SUCCESS;
  }
}

std::string DescribePortStatus(const PortStatus& port) {
  if (!port.text.empty()) return port.text;
  // By PORT_STATUS_* code.
  static const char* const kNames[] = {
      "",          "Offline",         "Paper jam",     "Out of paper", "Output bin full", "Paper problem", "No toner",
      "Door open", "Needs attention", "Out of memory", "Toner low",    "Warming up",      "Power save"};
  if (port.status < std::size(kNames)) return kNames[port.status];
  return "Status " + std::to_string(port.status);
}

}  // namespace vek::spooler

using namespace vek::spooler;

BOOL WINAPI EnumPortsA(LPCSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned) {
  return EnumPortsT<char>(pName, Level, pPorts, cbBuf, pcbNeeded, pcReturned);
}
BOOL WINAPI EnumPortsW(LPCWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned) {
  return EnumPortsT<char16_t>(pName, Level, pPorts, cbBuf, pcbNeeded, pcReturned);
}
BOOL WINAPI AddPortA(LPCSTR pName, HWND hWnd, LPCSTR pMonitorName) {
  return AddPortT<char>(pName, hWnd, pMonitorName);
}
BOOL WINAPI AddPortW(LPCWSTR pName, HWND hWnd, LPCWSTR pMonitorName) {
  return AddPortT<char16_t>(pName, hWnd, pMonitorName);
}
BOOL WINAPI ConfigurePortA(LPCSTR pName, HWND hWnd, LPCSTR pPortName) {
  return ConfigurePortT<char>(pName, hWnd, pPortName);
}
BOOL WINAPI ConfigurePortW(LPCWSTR pName, HWND hWnd, LPCWSTR pPortName) {
  return ConfigurePortT<char16_t>(pName, hWnd, pPortName);
}
BOOL WINAPI DeletePortA(LPCSTR pName, HWND hWnd, LPCSTR pPortName) {
  return DeletePortT<char>(pName, hWnd, pPortName);
}
BOOL WINAPI DeletePortW(LPCWSTR pName, HWND hWnd, LPCWSTR pPortName) {
  return DeletePortT<char16_t>(pName, hWnd, pPortName);
}
BOOL WINAPI SetPortA(LPCSTR pName, LPCSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo) {
  return SetPortT<char>(pName, pPortName, dwLevel, pPortInfo);
}
BOOL WINAPI SetPortW(LPCWSTR pName, LPCWSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo) {
  return SetPortT<char16_t>(pName, pPortName, dwLevel, pPortInfo);
}
