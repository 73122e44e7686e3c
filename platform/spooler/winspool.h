// The print spooler under its Windows names: printers, ports, jobs, and the table
// of operations a port monitor hands the spooler.
//
// Layouts are the spooler's: records of pointers to strings. Enumerations and Get
// calls pack the records at the start of the caller's buffer and their strings at
// its end, every pointer pointing inside the buffer. A null or short buffer fails
// with ERROR_INSUFFICIENT_BUFFER (122) and *pcbNeeded set to the size a second call
// needs; success sets the last error to 0. Names are case-insensitive. The narrow
// (A) forms take and return UTF-8, the wide (W) forms UTF-16.
//
// A spooler that is stopped (see winsvc.h) refuses new work, EnumPrinters, EnumPorts,
// AddPort, ConfigurePort, DeletePort, OpenPrinter and AddPrinter, with
// RPC_S_SERVER_UNAVAILABLE (1722); calls on handles already open keep working.
#pragma once

#include "framework/win_types.h"
#include "kernel/types.h"

#ifndef WINAPI
#define WINAPI
#endif

constexpr DWORD RPC_S_SERVER_UNAVAILABLE = 1722;
constexpr DWORD ERROR_SPL_NO_STARTDOC = 3003;

using ACCESS_MASK = DWORD;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

// Serial-port time-outs; a port monitor keeps them (20 bytes).
struct COMMTIMEOUTS {
  DWORD ReadIntervalTimeout;
  DWORD ReadTotalTimeoutMultiplier;
  DWORD ReadTotalTimeoutConstant;
  DWORD WriteTotalTimeoutMultiplier;
  DWORD WriteTotalTimeoutConstant;
};
using LPCOMMTIMEOUTS = COMMTIMEOUTS*;

// Device modes and security descriptors are never kept: the pointers are always null.
struct DEVMODEA;
struct DEVMODEW;
using LPDEVMODEA = DEVMODEA*;
using LPDEVMODEW = DEVMODEW*;
using PSECURITY_DESCRIPTOR = void*;

// ---- Printers ----------------------------------------------------------------

constexpr DWORD PRINTER_ENUM_DEFAULT = 0x00000001;
constexpr DWORD PRINTER_ENUM_LOCAL = 0x00000002;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x00000004;
constexpr DWORD PRINTER_ENUM_FAVORITE = 0x00000004;
constexpr DWORD PRINTER_ENUM_NAME = 0x00000008;
constexpr DWORD PRINTER_ENUM_REMOTE = 0x00000010;
constexpr DWORD PRINTER_ENUM_SHARED = 0x00000020;
constexpr DWORD PRINTER_ENUM_NETWORK = 0x00000040;

constexpr DWORD PRINTER_ENUM_EXPAND = 0x00004000;
constexpr DWORD PRINTER_ENUM_CONTAINER = 0x00008000;
constexpr DWORD PRINTER_ENUM_ICON8 = 0x00800000;  // PRINTER_INFO_1 Flags of a printer

constexpr DWORD PRINTER_ATTRIBUTE_QUEUED = 0x00000001;
constexpr DWORD PRINTER_ATTRIBUTE_DIRECT = 0x00000002;
constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x00000004;
constexpr DWORD PRINTER_ATTRIBUTE_SHARED = 0x00000008;
constexpr DWORD PRINTER_ATTRIBUTE_NETWORK = 0x00000010;
constexpr DWORD PRINTER_ATTRIBUTE_HIDDEN = 0x00000020;
constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x00000040;
constexpr DWORD PRINTER_ATTRIBUTE_ENABLE_DEVQ = 0x00000080;
constexpr DWORD PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS = 0x00000100;
constexpr DWORD PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST = 0x00000200;
constexpr DWORD PRINTER_ATTRIBUTE_WORK_OFFLINE = 0x00000400;
constexpr DWORD PRINTER_ATTRIBUTE_ENABLE_BIDI = 0x00000800;
constexpr DWORD PRINTER_ATTRIBUTE_RAW_ONLY = 0x00001000;
constexpr DWORD PRINTER_ATTRIBUTE_PUBLISHED = 0x00002000;

constexpr DWORD PRINTER_STATUS_PAUSED = 0x00000001;
constexpr DWORD PRINTER_STATUS_ERROR = 0x00000002;
constexpr DWORD PRINTER_STATUS_PENDING_DELETION = 0x00000004;
constexpr DWORD PRINTER_STATUS_PAPER_JAM = 0x00000008;
constexpr DWORD PRINTER_STATUS_PAPER_OUT = 0x00000010;
constexpr DWORD PRINTER_STATUS_MANUAL_FEED = 0x00000020;
constexpr DWORD PRINTER_STATUS_PAPER_PROBLEM = 0x00000040;
constexpr DWORD PRINTER_STATUS_OFFLINE = 0x00000080;
constexpr DWORD PRINTER_STATUS_IO_ACTIVE = 0x00000100;
constexpr DWORD PRINTER_STATUS_BUSY = 0x00000200;
constexpr DWORD PRINTER_STATUS_PRINTING = 0x00000400;
constexpr DWORD PRINTER_STATUS_OUTPUT_BIN_FULL = 0x00000800;
constexpr DWORD PRINTER_STATUS_NOT_AVAILABLE = 0x00001000;
constexpr DWORD PRINTER_STATUS_WAITING = 0x00002000;
constexpr DWORD PRINTER_STATUS_PROCESSING = 0x00004000;
constexpr DWORD PRINTER_STATUS_INITIALIZING = 0x00008000;
constexpr DWORD PRINTER_STATUS_WARMING_UP = 0x00010000;
constexpr DWORD PRINTER_STATUS_TONER_LOW = 0x00020000;
constexpr DWORD PRINTER_STATUS_NO_TONER = 0x00040000;
constexpr DWORD PRINTER_STATUS_USER_INTERVENTION = 0x00100000;
constexpr DWORD PRINTER_STATUS_OUT_OF_MEMORY = 0x00200000;
constexpr DWORD PRINTER_STATUS_DOOR_OPEN = 0x00400000;
constexpr DWORD PRINTER_STATUS_POWER_SAVE = 0x01000000;

constexpr ACCESS_MASK STANDARD_RIGHTS_REQUIRED = 0x000F0000;
constexpr ACCESS_MASK SERVER_ACCESS_ADMINISTER = 0x00000001;
constexpr ACCESS_MASK SERVER_ACCESS_ENUMERATE = 0x00000002;
constexpr ACCESS_MASK PRINTER_ACCESS_ADMINISTER = 0x00000004;
constexpr ACCESS_MASK PRINTER_ACCESS_USE = 0x00000008;
constexpr ACCESS_MASK PRINTER_ALL_ACCESS =
    STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE;  // 0xF000C

// SetPrinter commands (level 0); level 2 with command 0 sets the record.
constexpr DWORD PRINTER_CONTROL_PAUSE = 1;
constexpr DWORD PRINTER_CONTROL_RESUME = 2;
constexpr DWORD PRINTER_CONTROL_PURGE = 3;
constexpr DWORD PRINTER_CONTROL_SET_STATUS = 4;

constexpr DWORD NO_PRIORITY = 0;
constexpr DWORD MAX_PRIORITY = 99;
constexpr DWORD MIN_PRIORITY = 1;
constexpr DWORD DEF_PRIORITY = 1;

struct PRINTER_INFO_1A {
  DWORD Flags;
  LPSTR pDescription;
  LPSTR pName;
  LPSTR pComment;
};
struct PRINTER_INFO_1W {
  DWORD Flags;
  LPWSTR pDescription;
  LPWSTR pName;
  LPWSTR pComment;
};

struct PRINTER_INFO_2A {
  LPSTR pServerName;
  LPSTR pPrinterName;
  LPSTR pShareName;
  LPSTR pPortName;  // one port, or several separated by commas
  LPSTR pDriverName;
  LPSTR pComment;
  LPSTR pLocation;
  LPDEVMODEA pDevMode;
  LPSTR pSepFile;
  LPSTR pPrintProcessor;
  LPSTR pDatatype;
  LPSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;  // jobs queued or printing on the printer, in every process
  DWORD AveragePPM;
};
struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
  LPWSTR pShareName;
  LPWSTR pPortName;
  LPWSTR pDriverName;
  LPWSTR pComment;
  LPWSTR pLocation;
  LPDEVMODEW pDevMode;
  LPWSTR pSepFile;
  LPWSTR pPrintProcessor;
  LPWSTR pDatatype;
  LPWSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};

struct PRINTER_DEFAULTSA {
  LPSTR pDatatype;
  LPDEVMODEA pDevMode;
  ACCESS_MASK DesiredAccess;
};
struct PRINTER_DEFAULTSW {
  LPWSTR pDatatype;
  LPDEVMODEW pDevMode;
  ACCESS_MASK DesiredAccess;
};

using PPRINTER_INFO_1A = PRINTER_INFO_1A*;
using LPPRINTER_INFO_1A = PRINTER_INFO_1A*;
using PPRINTER_INFO_1W = PRINTER_INFO_1W*;
using LPPRINTER_INFO_1W = PRINTER_INFO_1W*;
using PPRINTER_INFO_2A = PRINTER_INFO_2A*;
using LPPRINTER_INFO_2A = PRINTER_INFO_2A*;
using PPRINTER_INFO_2W = PRINTER_INFO_2W*;
using LPPRINTER_INFO_2W = PRINTER_INFO_2W*;
using PPRINTER_DEFAULTSA = PRINTER_DEFAULTSA*;
using LPPRINTER_DEFAULTSA = PRINTER_DEFAULTSA*;
using PPRINTER_DEFAULTSW = PRINTER_DEFAULTSW*;
using LPPRINTER_DEFAULTSW = PRINTER_DEFAULTSW*;

// ---- Ports -------------------------------------------------------------------

constexpr DWORD PORT_TYPE_WRITE = 0x0001;
constexpr DWORD PORT_TYPE_READ = 0x0002;
constexpr DWORD PORT_TYPE_REDIRECTED = 0x0004;
constexpr DWORD PORT_TYPE_NET_ATTACHED = 0x0008;

// PORT_INFO_3 dwStatus
constexpr DWORD PORT_STATUS_OFFLINE = 1;
constexpr DWORD PORT_STATUS_PAPER_JAM = 2;
constexpr DWORD PORT_STATUS_PAPER_OUT = 3;
constexpr DWORD PORT_STATUS_OUTPUT_BIN_FULL = 4;
constexpr DWORD PORT_STATUS_PAPER_PROBLEM = 5;
constexpr DWORD PORT_STATUS_NO_TONER = 6;
constexpr DWORD PORT_STATUS_DOOR_OPEN = 7;
constexpr DWORD PORT_STATUS_USER_INTERVENTION = 8;
constexpr DWORD PORT_STATUS_OUT_OF_MEMORY = 9;
constexpr DWORD PORT_STATUS_TONER_LOW = 10;
constexpr DWORD PORT_STATUS_WARMING_UP = 11;
constexpr DWORD PORT_STATUS_POWER_SAVE = 12;

// PORT_INFO_3 dwSeverity
constexpr DWORD PORT_STATUS_TYPE_ERROR = 1;
constexpr DWORD PORT_STATUS_TYPE_WARNING = 2;
constexpr DWORD PORT_STATUS_TYPE_INFO = 3;

struct PORT_INFO_1A {
  LPSTR pName;
};
struct PORT_INFO_1W {
  LPWSTR pName;
};
struct PORT_INFO_2A {
  LPSTR pPortName;
  LPSTR pMonitorName;
  LPSTR pDescription;
  DWORD fPortType;
  DWORD Reserved;
};
struct PORT_INFO_2W {
  LPWSTR pPortName;
  LPWSTR pMonitorName;
  LPWSTR pDescription;
  DWORD fPortType;
  DWORD Reserved;
};
// SetPort level 3: the port's status. dwStatus 0 with a null pszStatus clears it;
// a non-zero dwStatus or a text sets it, with dwSeverity PORT_STATUS_TYPE_*.
struct PORT_INFO_3A {
  DWORD dwStatus;
  LPSTR pszStatus;
  DWORD dwSeverity;
};
struct PORT_INFO_3W {
  DWORD dwStatus;
  LPWSTR pszStatus;
  DWORD dwSeverity;
};

using PPORT_INFO_1A = PORT_INFO_1A*;
using LPPORT_INFO_1A = PORT_INFO_1A*;
using PPORT_INFO_1W = PORT_INFO_1W*;
using LPPORT_INFO_1W = PORT_INFO_1W*;
using PPORT_INFO_2A = PORT_INFO_2A*;
using LPPORT_INFO_2A = PORT_INFO_2A*;
using PPORT_INFO_2W = PORT_INFO_2W*;
using LPPORT_INFO_2W = PORT_INFO_2W*;
using PPORT_INFO_3A = PORT_INFO_3A*;
using LPPORT_INFO_3A = PORT_INFO_3A*;
using PPORT_INFO_3W = PORT_INFO_3W*;
using LPPORT_INFO_3W = PORT_INFO_3W*;

// ---- Jobs --------------------------------------------------------------------

constexpr DWORD JOB_CONTROL_PAUSE = 1;
constexpr DWORD JOB_CONTROL_RESUME = 2;
constexpr DWORD JOB_CONTROL_CANCEL = 3;
constexpr DWORD JOB_CONTROL_RESTART = 4;
constexpr DWORD JOB_CONTROL_DELETE = 5;

// Status of a job as GetJob reports it:
//   being spooled                       SPOOLING
//   queued, waiting for its port        0
//   printing                            PRINTING
//   printing, port reported paper out   PRINTING | ERROR | PAPEROUT (retrying)
//   printing, port reported an error    PRINTING | ERROR (retrying)
//   cancel asked, not yet ended         ... | DELETING
//   ended with every byte written       PRINTED (also when a cancel came after the last byte)
//   ended by a cancel before that       DELETED
//   ended by a failure                  ERROR
constexpr DWORD JOB_STATUS_PAUSED = 0x00000001;
constexpr DWORD JOB_STATUS_ERROR = 0x00000002;
constexpr DWORD JOB_STATUS_DELETING = 0x00000004;
constexpr DWORD JOB_STATUS_SPOOLING = 0x00000008;
constexpr DWORD JOB_STATUS_PRINTING = 0x00000010;
constexpr DWORD JOB_STATUS_OFFLINE = 0x00000020;
constexpr DWORD JOB_STATUS_PAPEROUT = 0x00000040;
constexpr DWORD JOB_STATUS_PRINTED = 0x00000080;
constexpr DWORD JOB_STATUS_DELETED = 0x00000100;
constexpr DWORD JOB_STATUS_BLOCKED_DEVQ = 0x00000200;
constexpr DWORD JOB_STATUS_USER_INTERVENTION = 0x00000400;
constexpr DWORD JOB_STATUS_RESTART = 0x00000800;
constexpr DWORD JOB_STATUS_COMPLETE = 0x00001000;

constexpr DWORD JOB_POSITION_UNSPECIFIED = 0;

struct JOB_INFO_1A {
  DWORD JobId;
  LPSTR pPrinterName;
  LPSTR pMachineName;  // null: the job was submitted on this machine
  LPSTR pUserName;
  LPSTR pDocument;
  LPSTR pDatatype;
  LPSTR pStatus;  // null: Status says it all
  DWORD Status;
  DWORD Priority;
  DWORD Position;
  DWORD TotalPages;
  DWORD PagesPrinted;
  SYSTEMTIME Submitted;  // UTC
};
struct JOB_INFO_1W {
  DWORD JobId;
  LPWSTR pPrinterName;
  LPWSTR pMachineName;
  LPWSTR pUserName;
  LPWSTR pDocument;
  LPWSTR pDatatype;
  LPWSTR pStatus;
  DWORD Status;
  DWORD Priority;
  DWORD Position;
  DWORD TotalPages;
  DWORD PagesPrinted;
  SYSTEMTIME Submitted;
};

struct DOC_INFO_1A {
  LPSTR pDocName;
  LPSTR pOutputFile;
  LPSTR pDatatype;
};
struct DOC_INFO_1W {
  LPWSTR pDocName;
  LPWSTR pOutputFile;
  LPWSTR pDatatype;
};

using PJOB_INFO_1A = JOB_INFO_1A*;
using LPJOB_INFO_1A = JOB_INFO_1A*;
using PJOB_INFO_1W = JOB_INFO_1W*;
using LPJOB_INFO_1W = JOB_INFO_1W*;
using PDOC_INFO_1A = DOC_INFO_1A*;
using LPDOC_INFO_1A = DOC_INFO_1A*;
using PDOC_INFO_1W = DOC_INFO_1W*;
using LPDOC_INFO_1W = DOC_INFO_1W*;

// ---- The spooler's calls ------------------------------------------------------
// Server names (pName) must be null or empty: only the local spooler exists.

BOOL WINAPI EnumPrintersA(DWORD Flags, LPCSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL WINAPI EnumPrintersW(DWORD Flags, LPCWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                          LPDWORD pcbNeeded, LPDWORD pcReturned);

// Unknown printer: ERROR_INVALID_PRINTER_NAME. pDefault may be null.
BOOL WINAPI OpenPrinterA(LPCSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault);
BOOL WINAPI OpenPrinterW(LPCWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault);
BOOL WINAPI ClosePrinter(HANDLE hPrinter);

// Level 2: pPrinterName and pPortName required (every listed port must exist:
// ERROR_UNKNOWN_PORT); the other strings are optional. Returns an open handle or null.
HANDLE WINAPI AddPrinterA(LPCSTR pName, DWORD Level, LPBYTE pPrinter);
HANDLE WINAPI AddPrinterW(LPCWSTR pName, DWORD Level, LPBYTE pPrinter);

// Levels 1 and 2.
BOOL WINAPI GetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
// Level 2 with Command 0 writes the record (the name cannot change; a changed port
// must exist). PRINTER_ATTRIBUTE_DEFAULT on one printer clears it on the others.
BOOL WINAPI SetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);
BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);

// A document sent to a printer becomes a job: its bytes are spooled to a file under
// the machine root and, at EndDocPrinter, a job thread of this process carries them
// to the printer's port through the port's monitor. Returns the job id, 0 on failure.
DWORD WINAPI StartDocPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
DWORD WINAPI StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
BOOL WINAPI WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
BOOL WINAPI EndDocPrinter(HANDLE hPrinter);
// Drops the document being spooled on this handle.
BOOL WINAPI AbortPrinter(HANDLE hPrinter);

// Level 1. The job must be one of the handle's printer (else ERROR_INVALID_PARAMETER).
BOOL WINAPI GetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                    LPDWORD pcbNeeded);
BOOL WINAPI GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                    LPDWORD pcbNeeded);
// Level 0 with JOB_CONTROL_CANCEL or JOB_CONTROL_DELETE: cancels the job (a job of
// another process is told through the store and notices within a second).
BOOL WINAPI SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command);
BOOL WINAPI SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command);

// Levels 1 and 2: the ports of every registered monitor, monitor by monitor. A
// monitor whose library cannot be loaded contributes no ports.
BOOL WINAPI EnumPortsA(LPCSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned);
BOOL WINAPI EnumPortsW(LPCWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned);
// Handed to the named monitor's AddPort (ERROR_UNKNOWN_PRINT_MONITOR when none).
BOOL WINAPI AddPortA(LPCSTR pName, HWND hWnd, LPCSTR pMonitorName);
BOOL WINAPI AddPortW(LPCWSTR pName, HWND hWnd, LPCWSTR pMonitorName);
// Handed to the monitor that has the port (ERROR_UNKNOWN_PORT when none).
BOOL WINAPI ConfigurePortA(LPCSTR pName, HWND hWnd, LPCSTR pPortName);
BOOL WINAPI ConfigurePortW(LPCWSTR pName, HWND hWnd, LPCWSTR pPortName);
BOOL WINAPI DeletePortA(LPCSTR pName, HWND hWnd, LPCSTR pPortName);
BOOL WINAPI DeletePortW(LPCWSTR pName, HWND hWnd, LPCWSTR pPortName);
// Level 3 only: records the port's status (in this process and in the store).
BOOL WINAPI SetPortA(LPCSTR pName, LPCSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo);
BOOL WINAPI SetPortW(LPCWSTR pName, LPCWSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo);
// The type a monitor casts GetProcAddress(LoadLibraryW(u"SPOOLSS.DLL"), "SetPortW") to.
using PFN_SETPORTW = BOOL(WINAPI*)(LPCWSTR pName, LPCWSTR pPortName, DWORD dwLevel, LPBYTE pPortInfo);

// ---- The port monitor's side ------------------------------------------------------
// A monitor is a shared library registered under HKLM
// "System\CurrentControlSet\Control\Print\Monitors\<name>" with its path in "Driver".
// The spooler loads it with dlopen, calls InitializePrintMonitor with that registry
// path (wide, e.g. u"System\\CurrentControlSet\\Control\\Print\\Monitors\\<name>")
// and keeps the table it returns. Before unloading it calls the library's
// VekShutdownMonitor when the library exports one: the monitor ends its threads
// there, never in its library destructors. Port handles are the monitor's own values.
// The spooler never holds a lock of its own while it calls the monitor, so the
// monitor may call back into the spooler (SetPortW, OpenPrinterW, GetJobW, ...) from
// any operation or thread.

using PFN_MONITOR_ENUMPORTS = BOOL(WINAPI*)(LPWSTR pName, DWORD Level, LPBYTE pPorts, DWORD cbBuf,
                                            LPDWORD pcbNeeded, LPDWORD pcReturned);
using PFN_MONITOR_OPENPORT = BOOL(WINAPI*)(LPWSTR pName, PHANDLE pHandle);
struct MONITOR;
using PFN_MONITOR_OPENPORTEX = BOOL(WINAPI*)(LPWSTR pPortName, LPWSTR pPrinterName, PHANDLE pHandle,
                                             MONITOR* pMonitor);
using PFN_MONITOR_STARTDOCPORT = BOOL(WINAPI*)(HANDLE hPort, LPWSTR pPrinterName, DWORD JobId,
                                               DWORD Level, LPBYTE pDocInfo);
using PFN_MONITOR_WRITEPORT = BOOL(WINAPI*)(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf,
                                            LPDWORD pcbWritten);
using PFN_MONITOR_READPORT = BOOL(WINAPI*)(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuffer,
                                           LPDWORD pcbRead);
using PFN_MONITOR_ENDDOCPORT = BOOL(WINAPI*)(HANDLE hPort);
using PFN_MONITOR_CLOSEPORT = BOOL(WINAPI*)(HANDLE hPort);
using PFN_MONITOR_ADDPORT = BOOL(WINAPI*)(LPWSTR pName, HWND hWnd, LPWSTR pMonitorName);
using PFN_MONITOR_ADDPORTEX = BOOL(WINAPI*)(LPWSTR pName, DWORD Level, LPBYTE lpBuffer,
                                            LPWSTR lpMonitorName);
using PFN_MONITOR_CONFIGUREPORT = BOOL(WINAPI*)(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
using PFN_MONITOR_DELETEPORT = BOOL(WINAPI*)(LPWSTR pName, HWND hWnd, LPWSTR pPortName);
using PFN_MONITOR_GETPRINTERDATAFROMPORT = BOOL(WINAPI*)(HANDLE hPort, DWORD ControlID,
                                                         LPWSTR pValueName, LPWSTR lpInBuffer,
                                                         DWORD cbInBuffer, LPWSTR lpOutBuffer,
                                                         DWORD cbOutBuffer, LPDWORD lpcbReturned);
using PFN_MONITOR_SETPORTTIMEOUTS = BOOL(WINAPI*)(HANDLE hPort, LPCOMMTIMEOUTS lpCTO, DWORD reserved);

// The operations, in this order (14 pointers). Null slots are allowed for
// pfnOpenPortEx, pfnAddPortEx, pfnReadPort, pfnGetPrinterDataFromPort,
// pfnSetPortTimeOuts; the spooler needs the others for what it asks of a monitor.
struct MONITOR {
  PFN_MONITOR_ENUMPORTS pfnEnumPorts;
  PFN_MONITOR_OPENPORT pfnOpenPort;
  PFN_MONITOR_OPENPORTEX pfnOpenPortEx;
  PFN_MONITOR_STARTDOCPORT pfnStartDocPort;
  PFN_MONITOR_WRITEPORT pfnWritePort;
  PFN_MONITOR_READPORT pfnReadPort;
  PFN_MONITOR_ENDDOCPORT pfnEndDocPort;
  PFN_MONITOR_CLOSEPORT pfnClosePort;
  PFN_MONITOR_ADDPORT pfnAddPort;
  PFN_MONITOR_ADDPORTEX pfnAddPortEx;
  PFN_MONITOR_CONFIGUREPORT pfnConfigurePort;
  PFN_MONITOR_DELETEPORT pfnDeletePort;
  PFN_MONITOR_GETPRINTERDATAFROMPORT pfnGetPrinterDataFromPort;
  PFN_MONITOR_SETPORTTIMEOUTS pfnSetPortTimeOuts;
};
using LPMONITOR = MONITOR*;

// dwMonitorSize: sizeof(MONITOR). The spooler also accepts 56, the size the table
// has where pointers are 4 bytes, and reads the full 14 slots in either case.
struct MONITOREX {
  DWORD dwMonitorSize;
  MONITOR Monitor;
};
using LPMONITOREX = MONITOREX*;

// The 13-slot table an older initialiser (InitializeMonitorEx) fills: MONITOR
// without pfnAddPortEx, so pfnConfigurePort directly follows pfnAddPort.
struct MONITOR_WITHOUT_ADDPORTEX {
  PFN_MONITOR_ENUMPORTS pfnEnumPorts;
  PFN_MONITOR_OPENPORT pfnOpenPort;
  PFN_MONITOR_OPENPORTEX pfnOpenPortEx;
  PFN_MONITOR_STARTDOCPORT pfnStartDocPort;
  PFN_MONITOR_WRITEPORT pfnWritePort;
  PFN_MONITOR_READPORT pfnReadPort;
  PFN_MONITOR_ENDDOCPORT pfnEndDocPort;
  PFN_MONITOR_CLOSEPORT pfnClosePort;
  PFN_MONITOR_ADDPORT pfnAddPort;
  PFN_MONITOR_CONFIGUREPORT pfnConfigurePort;
  PFN_MONITOR_DELETEPORT pfnDeletePort;
  PFN_MONITOR_GETPRINTERDATAFROMPORT pfnGetPrinterDataFromPort;
  PFN_MONITOR_SETPORTTIMEOUTS pfnSetPortTimeOuts;
};

// What a monitor library exports (extern "C"):
//   LPMONITOREX InitializePrintMonitor(LPWSTR pRegistryRoot);       required
//   BOOL InitializeMonitorEx(LPWSTR pRegistryRoot, MONITOR_WITHOUT_ADDPORTEX* pMonitor);
//   BOOL InitializeMonitor(LPWSTR pRegistryRoot);
//   void VekShutdownMonitor();                                       optional
using PFN_INITIALIZEPRINTMONITOR = LPMONITOREX(WINAPI*)(LPWSTR pRegistryRoot);
using PFN_INITIALIZEMONITOREX = BOOL(WINAPI*)(LPWSTR pRegistryRoot, MONITOR_WITHOUT_ADDPORTEX* pMonitor);
using PFN_INITIALIZEMONITOR = BOOL(WINAPI*)(LPWSTR pRegistryRoot);
using PFN_VEKSHUTDOWNMONITOR = void (*)();

// Where a monitor's pointers are 4 bytes, MONITOR is 56 bytes.
constexpr DWORD MONITOR_SIZE_32BIT = 56;
