#include "active_jobs.h"

#include <mutex>

#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"
#include "power_status.h"

namespace {

// Serialises the power thread's start and join; g_PortLock keeps the count.
std::mutex g_PowerThreadLock;
CPowerStatusThread* g_pPowerThread = nullptr;

void JoinPowerThread() {
  if (g_pPowerThread == nullptr) return;
  WaitForSingleObject(g_pPowerThread->m_hThread, INFINITE);
  delete g_pPowerThread;
  g_pPowerThread = nullptr;
}

}  // namespace

void AddActiveJob() {
  EnterCriticalSection(&g_PortLock);
  bool first = ++g_ActiveJobs == 1;
  LeaveCriticalSection(&g_PortLock);
  if (!first) return;

  std::lock_guard guard(g_PowerThreadLock);
  EnterCriticalSection(&g_PortLock);
  bool wanted = g_ActiveJobs > 0;
  LeaveCriticalSection(&g_PortLock);
  if (!wanted) return;
  // A thread told to stop a moment ago is let go first, so never two refuse
  // suspension side by side.
  if (g_pPowerThread && WaitForSingleObject(g_hPowerStopEvent, 0) == WAIT_OBJECT_0) JoinPowerThread();
  if (g_pPowerThread) return;
  ResetEvent(g_hPowerStopEvent);
  g_pPowerThread = StartPowerStatusThread();
}

void ReleaseActiveJob() {
  EnterCriticalSection(&g_PortLock);
  if (g_ActiveJobs > 0 && --g_ActiveJobs == 0) SetEvent(g_hPowerStopEvent);
  LeaveCriticalSection(&g_PortLock);
}

void StopPowerStatusThread() {
  std::lock_guard guard(g_PowerThreadLock);
  if (g_hPowerStopEvent) SetEvent(g_hPowerStopEvent);
  JoinPowerThread();
}
