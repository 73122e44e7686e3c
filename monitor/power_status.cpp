#include "power_status.h"

#include "debug_log.h"
#include "framework/message_api.h"
#include "framework/message_map.h"
#include "framework/messages.h"
#include "kernel/errors.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"

IMPLEMENT_DYNCREATE(CPowerStatusWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CPowerStatusWnd, CFrameWnd)
  ON_MESSAGE(WM_POWER, OnPowerMessage)
END_MESSAGE_MAP()

LRESULT CPowerStatusWnd::OnPowerMessage(WPARAM wParam, LPARAM /*lParam*/) {
  theDebugLog.Trace("CPowerStatusWnd::OnPowerMessage()");
  return wParam == PWR_SUSPENDREQUEST ? -1 : 0;
}

IMPLEMENT_DYNCREATE(CPowerStatusThread, CWinThread)

BOOL CPowerStatusThread::InitInstance() {
  theDebugLog.Trace("PowerStatusThread Start");
  auto* window = new CPowerStatusWnd;
  m_pMainWnd = window;
  if (!window->Create(nullptr, nullptr, WS_OVERLAPPEDWINDOW, CFrameWnd::kDefaultRect, nullptr, nullptr, 0)) {
    m_pMainWnd = nullptr;
    delete window;
  }
  return TRUE;
}

BOOL CPowerStatusThread::OnIdle(LONG /*count*/) {
  // The last job's end or the library's stop; a wait that fails counts as a stop,
  // so the thread never spins on it.
  HANDLE stops[2] = {g_hPowerStopEvent, g_hShutdownEvent};
  DWORD result = MsgWaitForMultipleObjects(2, stops, FALSE, 1000, QS_SENDMESSAGE);
  if (result != WAIT_TIMEOUT && result != WAIT_OBJECT_0 + 2) {
    if (m_pMainWnd) m_pMainWnd->DestroyWindow();
    m_pMainWnd = nullptr;
    PostQuitMessage(0);
    return FALSE;
  }
  // The pause lets sent messages gather; a stop ends it at once.
  WaitForMultipleObjects(2, stops, FALSE, 300);
  return TRUE;
}

int CPowerStatusThread::ExitInstance() {
  theDebugLog.Trace("PowerStatusThread Close");
  if (m_pMainWnd) {
    CWnd* window = m_pMainWnd;
    m_pMainWnd = nullptr;
    window->Detach();
    delete window;
  }
  return CWinThread::ExitInstance();
}

CPowerStatusThread* StartPowerStatusThread() {
  auto* thread = static_cast<CPowerStatusThread*>(
      AfxBeginThread(RUNTIME_CLASS(CPowerStatusThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
  if (thread == nullptr) return nullptr;
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  thread->SetThreadPriority(THREAD_PRIORITY_LOWEST);
  return thread;
}
