// The library's exports: the initialisers that hand the spooler its table of
// operations, one export per operation, and the explicit shutdown.
#include "debug_log.h"
#include "driver_app.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "port_driver.h"
#include "port_workers.h"
#include "spooler/winspool.h"

#define DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

MONITOREX g_MonitorEx;

bool StartLibrary() { return theApp.StartLibrary() != FALSE; }

}  // namespace

DRIVER_EXPORT LPMONITOREX WINAPI InitializePrintMonitor(LPWSTR pRegistryRoot) {
  g_MonitorEx.dwMonitorSize = sizeof(MONITOR);
  MONITOR& ops = g_MonitorEx.Monitor;
  ops.pfnEnumPorts = XYZEnumPorts;
  ops.pfnOpenPort = XYZOpenPort;
  ops.pfnOpenPortEx = nullptr;
  ops.pfnStartDocPort = XYZStartDocPort;
  ops.pfnWritePort = XYZWritePort;
  ops.pfnReadPort = XYZReadPort;
  ops.pfnEndDocPort = XYZEndDocPort;
  ops.pfnClosePort = XYZClosePort;
  ops.pfnAddPort = XYZAddPort;
  ops.pfnAddPortEx = nullptr;
  ops.pfnConfigurePort = XYZConfigurePort;
  ops.pfnDeletePort = XYZDeletePort;
  ops.pfnGetPrinterDataFromPort = XYZGetPrinterDataFromPort;
  ops.pfnSetPortTimeOuts = XYZSetPortTimeOuts;
  if (StartLibrary() && InitializePortDriver(pRegistryRoot)) {
    theDebugLog.Trace("InitializePrintMonitor() OK !");
    return &g_MonitorEx;
  }
  theDebugLog.Trace("InitializePrintMonitor() Failed !");
  return nullptr;
}

DRIVER_EXPORT BOOL WINAPI InitializeMonitorEx(LPWSTR pRegistryRoot, MONITOR_WITHOUT_ADDPORTEX* pMonitor) {
  if (pMonitor == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  pMonitor->pfnEnumPorts = XYZEnumPorts;
  pMonitor->pfnOpenPort = XYZOpenPort;
  pMonitor->pfnOpenPortEx = nullptr;
  pMonitor->pfnStartDocPort = XYZStartDocPort;
  pMonitor->pfnWritePort = XYZWritePort;
  pMonitor->pfnReadPort = XYZReadPort;
  pMonitor->pfnEndDocPort = XYZEndDocPort;
  pMonitor->pfnClosePort = XYZClosePort;
  pMonitor->pfnAddPort = XYZAddPort;
  pMonitor->pfnConfigurePort = XYZConfigurePort;
  pMonitor->pfnDeletePort = XYZDeletePort;
  pMonitor->pfnGetPrinterDataFromPort = XYZGetPrinterDataFromPort;
  pMonitor->pfnSetPortTimeOuts = XYZSetPortTimeOuts;
  if (StartLibrary() && InitializePortDriver(pRegistryRoot)) {
    theDebugLog.Trace("InitializeMonitorEx() OK !");
    return TRUE;
  }
  theDebugLog.Trace("X : InitializeMonitorEx() Failed !");
  return FALSE;
}

DRIVER_EXPORT BOOL WINAPI InitializeMonitor(LPWSTR pRegistryRoot) {
  if (StartLibrary() && InitializePortDriver(pRegistryRoot)) {
    theDebugLog.Trace("InitializeMonitor() OK !");
    return TRUE;
  }
  theDebugLog.Trace("InitializeMonitor() Failed !");
  return FALSE;
}

DRIVER_EXPORT void VekShutdownMonitor() { theApp.StopLibrary(); }

DRIVER_EXPORT BOOL WINAPI EnumPortsW(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                                     LPDWORD pcReturned) {
  theDebugLog.Trace("EnumPorts() Enter");
  return XYZEnumPorts(pName, Level, pPorts, cbBuf, pcbNeeded, pcReturned);
}

DRIVER_EXPORT BOOL WINAPI OpenPort(LPWSTR pName, PHANDLE pHandle) {
  theDebugLog.Trace("OpenPort() Enter");
  return XYZOpenPort(pName, pHandle);
}

DRIVER_EXPORT BOOL WINAPI StartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo) {
  theDebugLog.Trace("StartDocPort( %d ) Enter", PortNumberOf(hPort));
  return XYZStartDocPort(hPort, pPrinterName, JobId, Level, pDocInfo);
}

DRIVER_EXPORT BOOL WINAPI WritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten) {
  return XYZWritePort(hPort, pBuffer, cbBuf, pcbWritten);
}

DRIVER_EXPORT BOOL WINAPI ReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead) {
  return XYZReadPort(hPort, pBuffer, cbBuffer, pcbRead);
}

DRIVER_EXPORT BOOL WINAPI EndDocPort(HANDLE hPort) {
  theDebugLog.Trace("EndDocPort( %d ) Enter", PortNumberOf(hPort));
  return XYZEndDocPort(hPort);
}

DRIVER_EXPORT BOOL WINAPI ClosePort(HANDLE hPort) {
  theDebugLog.Trace("ClosePort( %d ) Enter", PortNumberOf(hPort));
  return XYZClosePort(hPort);
}

DRIVER_EXPORT BOOL WINAPI AddPortW(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName) {
  theDebugLog.Trace("AddPort() Enter");
  return XYZAddPort(pName, hWnd, pMonitorName);
}

DRIVER_EXPORT BOOL WINAPI ConfigurePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName) {
  theDebugLog.Trace("ConfigurePort() Enter");
  return XYZConfigurePort(pName, hWnd, pPortName);
}

DRIVER_EXPORT BOOL WINAPI DeletePortW(LPWSTR pName, HWND hWnd, LPWSTR pPortName) {
  theDebugLog.Trace("DeletePort() Enter");
  return XYZDeletePort(pName, hWnd, pPortName);
}

DRIVER_EXPORT BOOL WINAPI GetPrinterDataFromPort(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer,
                                                 DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                                 LPDWORD lpcbReturned) {
  theDebugLog.Trace("GetPrinterDataFromPort( %d ) Enter", PortNumberOf(hPort));
  return XYZGetPrinterDataFromPort(hPort, ControlID, pValueName, lpInBuffer, cbInBuffer, lpOutBuffer, cbOutBuffer,
                                   lpcbReturned);
}

DRIVER_EXPORT BOOL WINAPI SetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved) {
  theDebugLog.Trace("SetPortTimeOuts( %d ) Enter", PortNumberOf(hPort));
  return XYZSetPortTimeOuts(hPort, lpCTO, reserved);
}
