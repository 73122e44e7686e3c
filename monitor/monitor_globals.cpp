#include "monitor_globals.h"

CPtrList g_PortList(10);
CPtrList g_PSInfoList(10);
CRITICAL_SECTION g_PortLock{};
HANDLE g_hShutdownEvent = nullptr;
HANDLE g_hPowerStopEvent = nullptr;
int g_ActiveJobs = 0;
BOOL g_bWinNT = FALSE;
BOOL g_bWinNT3 = FALSE;
BOOL g_bWinNT5x = FALSE;
HKEY g_hMonitorKey = nullptr;
CStringW g_MonitorName;
CStringW g_MonitorDisplayName;
std::atomic<DWORD> g_Settings{0};
std::atomic<WORD> g_Protocols{0};
std::atomic<WORD> g_SupportedProtocols{0};
int g_LanaTable[kMaxLanas] = {};
int g_LanaCount = 0;
std::atomic<int> g_PrimaryLana{-1};
XNBFSocket* g_pNBFSearchSocket = nullptr;
std::atomic<int> g_NextPortHandle{1};
