#include "debug_log.h"
#include "framework/message_api.h"
#include "job_threads.h"
#include "kernel/errors.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "print_port.h"

IMPLEMENT_DYNCREATE(CPrintServiceThread, CWinThread)

CPrintServiceThread::CPrintServiceThread() : m_pPort(nullptr), m_bSending(FALSE) {}

BOOL CPrintServiceThread::InitInstance() {
  if (IsEventSet(m_pPort->m_hEndEvent)) return FALSE;
  theDebugLog.Trace("[%s]::PrintServiceThread Start", m_pPort->m_PortName);
  return TRUE;
}

BOOL CPrintServiceThread::OnIdle(LONG /*count*/) {
  HANDLE handles[4] = {g_hShutdownEvent, m_pPort->m_hCloseEvent, m_pPort->m_hEndEvent, m_pPort->m_hSendEvent};
  DWORD result = WaitForMultipleObjects(4, handles, FALSE, kThreadWaitMs);
  if (result < WAIT_OBJECT_0 + 3 || result == WAIT_FAILED) {
    PostQuitMessage(0);
    return FALSE;
  }
  if (result == WAIT_OBJECT_0 + 3) {
    m_bSending = TRUE;
    // The loop also ends when the end of the document takes the send event away.
    // With nothing to send the permission is kept until there is, rather than
    // spent on a window of nothing.
    while (IsEventSet(m_pPort->m_hSendEvent) && m_pPort->ReceiveAck()) {
      if (m_pPort->AwaitData()) m_pPort->SendPrintData();
    }
    m_bSending = FALSE;
  }
  return TRUE;
}

int CPrintServiceThread::ExitInstance() {
  theDebugLog.Trace("[%s]::PrintServiceThread Close", m_pPort->m_PortName);
  SetEvent(m_pPort->m_hPrintThreadDone);
  return CWinThread::ExitInstance();
}
