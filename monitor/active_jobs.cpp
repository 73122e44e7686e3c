#include "active_jobs.h"

#include <mutex>

#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"
#include "power_status.h"

namespace {

// Serialises the power thread's start and join; g_PortLock keeps the count and
// the stop event with it, so a count that drops to 0 always finds the thread it
// must stop already started.
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
  // A thread told to stop a moment ago is let go first (it ends within its
  // pause), so never two refuse suspension side by side.
  if (g_pPowerThread && WaitForSingleObject(g_hPowerStopEvent, 0) == WAIT_OBJECT_0) JoinPowerThread();
  EnterCriticalSection(&g_PortLock);
  // The count may have gone back to 0, or another start may have made the
  // thread, while this one waited.
  if (g_ActiveJobs > 0 && g_pPowerThread == nullptr) {
    ResetEvent(g_hPowerStopEvent);
    g_pPowerThread = StartPowerStatusThread();
  }
  LeaveCriticalSection(&g_PortLock);
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
