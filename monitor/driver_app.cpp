#include "driver_app.h"

#include "active_jobs.h"
#include "bidi_thread.h"
#include "debug_log.h"
#include "framework/message_box.h"
#include "ipx_networks.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "monitor_strings.h"
#include "net/winsock.h"
#include "port_list.h"
#include "ps_info.h"
#include "resources/monitor_resources.h"
#include "system_helpers.h"
#include "xnbf_socket.h"

CDriverApp theApp;

CDriverApp::CDriverApp() : CWinApp("Driver") {}

BOOL CDriverApp::InitInstance() {
  theDebugLog.Trace("CDriverApp::InitInstance()");
  if (!AfxSocketInit()) {
    MessageBoxW(nullptr, MonitorString(IDS_SOCKETS_FAILED).c_str(), nullptr, MB_ICONERROR);
    return FALSE;
  }
  InitializeCriticalSection(&g_PortLock);
  g_hShutdownEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  g_hPowerStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ResetIPXNetworks();
  g_SupportedProtocols = 0;
  g_Protocols = 0;
  g_Settings = 0;
  g_PrimaryLana = -1;
  g_LanaCount = 0;
  g_bWinNT = IsWinNT();
  g_bWinNT3 = IsWinNT3();
  g_bWinNT5x = IsWinNT5x();
  g_ActiveJobs = 0;
  RegisterMonitorResources();
  return TRUE;
}

int CDriverApp::ExitInstance() {
  theDebugLog.Trace("CDriverApp::ExitInstance()");
  if (g_hShutdownEvent) SetEvent(g_hShutdownEvent);
  if (g_pNBFSearchSocket) {
    g_pNBFSearchSocket->Close();
    delete g_pNBFSearchSocket;
    g_pNBFSearchSocket = nullptr;
  }
  // Every port closes, and with it its job threads are joined; then the sweep
  // and the power thread, before the key, the lock and the events they use go.
  ClearPortList();
  FreePSInfoList();
  BOOL sweepEnded = StopBidiThread();
  StopPowerStatusThread();
  if (sweepEnded) {
    if (g_hMonitorKey) RegCloseKey(g_hMonitorKey);
    g_hMonitorKey = nullptr;
    if (g_PortLock.impl) DeleteCriticalSection(&g_PortLock);
    g_PortLock.impl = nullptr;
    if (g_hShutdownEvent) CloseHandle(g_hShutdownEvent);
    g_hShutdownEvent = nullptr;
  }
  if (g_hPowerStopEvent) CloseHandle(g_hPowerStopEvent);
  g_hPowerStopEvent = nullptr;
  WSACleanup();
  // Last: the tables live in this library, which may be unloaded next.
  UnregisterMonitorResources();
  return CWinApp::ExitInstance();
}
