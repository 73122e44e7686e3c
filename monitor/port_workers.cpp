// The workers of the port operations: each finds its port, holds it for the
// length of the call and hands the call to it.
#include "port_workers.h"

#include <cstdint>
#include <cstring>

#include "debug_log.h"
#include "framework/message_box.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "monitor_globals.h"
#include "monitor_strings.h"
#include "port_dialog_session.h"
#include "port_list.h"
#include "print_port.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace

HANDLE PortHandleOf(int number) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(number)); }

int PortNumberOf(HANDLE handle) {
  auto value = reinterpret_cast<std::intptr_t>(handle);
  // Never a real port's number: 0, negative or beyond an int.
  if (value <= 0 || value > INT32_MAX) return 0;
  return static_cast<int>(value);
}

BOOL WINAPI XYZOpenPort(LPWSTR pName, PHANDLE pHandle) {
  if (pHandle == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  *pHandle = nullptr;
  CPortHold port = HoldPortByName(pName);
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  if (!port->OpenPrintPort()) return FALSE;
  *pHandle = PortHandleOf(port->m_Handle);
  return TRUE;
}

BOOL WINAPI XYZStartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD /*Level*/, LPBYTE /*pDocInfo*/) {
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  return port->StartPrintPort(pPrinterName, JobId);
}

BOOL WINAPI XYZWritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten) {
  if (pBuffer == nullptr || pcbWritten == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  *pcbWritten = 0;
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  return port->WritePrintData(pBuffer, cbBuf, pcbWritten);
}

BOOL WINAPI XYZReadPort(HANDLE hPort, LPBYTE /*pBuffer*/, DWORD /*cbBuffer*/, LPDWORD pcbRead) {
  theDebugLog.Trace("ReadPort( %d ) Enter", PortNumberOf(hPort));
  if (hPort == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  // The monitor never returns data from the device.
  if (pcbRead) *pcbRead = 0;
  return FALSE;
}

BOOL WINAPI XYZEndDocPort(HANDLE hPort) {
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  return port->EndPrintPort();
}

BOOL WINAPI XYZClosePort(HANDLE hPort) {
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  port->ClosePrintPort();
  return TRUE;
}

BOOL WINAPI XYZConfigurePort(LPWSTR /*pName*/, HWND hWnd, LPWSTR pPortName) {
  CPortHold port = HoldPortByName(pPortName);
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  if (port->IsJobActive()) {
    MessageBoxW(hWnd, MonitorString(IDS_PORT_IN_USE).c_str(), g_MonitorName, MB_ICONERROR);
    return TRUE;
  }
  // The port stays held while the dialog runs: it cannot be deleted meanwhile.
  RunPortDialog(hWnd, port.get());
  return TRUE;
}

BOOL WINAPI XYZDeletePort(LPWSTR /*pName*/, HWND /*hWnd*/, LPWSTR pPortName) {
  if (pPortName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return DeletePrintPort(pPortName);
}

BOOL WINAPI XYZGetPrinterDataFromPort(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer,
                                      DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                      LPDWORD lpcbReturned) {
  if (lpcbReturned) *lpcbReturned = 0;
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port) return Fail(ERROR_INVALID_PARAMETER);
  theDebugLog.Trace("XYZGetPrinterDataFromPort() ControlID = %d, ValueName = %s, InSize = %d, OutSize = %d", ControlID,
                    pValueName, cbInBuffer, cbOutBuffer);
  port->GetPrinterData(ControlID, pValueName, lpInBuffer, cbInBuffer, lpOutBuffer, cbOutBuffer, lpcbReturned);
  if (lpcbReturned) *lpcbReturned = 0;
  return FALSE;
}

BOOL WINAPI XYZSetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD /*reserved*/) {
  CPortHold port = HoldPortByHandle(PortNumberOf(hPort));
  if (!port || lpCTO == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::memcpy(&port->m_TimeOuts, lpCTO, sizeof port->m_TimeOuts);
  theDebugLog.Trace("XYZSetPortTimeOuts() ReadTotalTimeoutMultiplier = %d, ReadTotalTimeoutConstant = %d, "
                    "WriteTotalTimeoutConstant = %d",
                    lpCTO->ReadTotalTimeoutMultiplier, lpCTO->ReadTotalTimeoutConstant,
                    lpCTO->WriteTotalTimeoutConstant);
  return TRUE;
}
