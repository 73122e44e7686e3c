// The workers behind the monitor's exports, one per spooler operation.
#pragma once

#include "framework/win_types.h"
#include "kernel/types.h"
#include "spooler/winspool.h"

BOOL WINAPI XYZEnumPorts(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                         LPDWORD pcReturned);
BOOL WINAPI XYZOpenPort(LPWSTR pName, PHANDLE pHandle);
BOOL WINAPI XYZStartDocPort(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId, DWORD Level, LPBYTE pDocInfo);
BOOL WINAPI XYZWritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten);
BOOL WINAPI XYZReadPort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer, LPDWORD pcbRead);
BOOL WINAPI XYZEndDocPort(HANDLE hPort);
BOOL WINAPI XYZClosePort(HANDLE hPort);
BOOL WINAPI XYZAddPort(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
BOOL WINAPI XYZConfigurePort(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
BOOL WINAPI XYZDeletePort(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
BOOL WINAPI XYZGetPrinterDataFromPort(HANDLE hPort, DWORD ControlID, LPWSTR pValueName, LPWSTR lpInBuffer,
                                      DWORD cbInBuffer, LPWSTR lpOutBuffer, DWORD cbOutBuffer,
                                      LPDWORD lpcbReturned);
BOOL WINAPI XYZSetPortTimeOuts(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved);

// The port handle the spooler holds is the port's number, never a pointer.
HANDLE PortHandleOf(int number);
int PortNumberOf(HANDLE handle);
