#include "debug_log.h"
#include "framework/message_api.h"
#include "job_threads.h"
#include "kernel/errors.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "print_messages.h"
#include "print_port.h"

IMPLEMENT_DYNCREATE(CQueryStatusThread, CWinThread)

namespace {

// The device error a status other than clear stands for.
int ErrorOfStatus(int status) {
  switch (status & 0x0F) {
    case 1: return static_cast<int>(ERROR_OUT_OF_PAPER);
    case 3: return 0;  // busy: not an error
    default: return static_cast<int>(ERROR_IO_DEVICE);
  }
}

}  // namespace

CQueryStatusThread::CQueryStatusThread() : m_pPort(nullptr) {}

BOOL CQueryStatusThread::InitInstance() {
  if (IsEventSet(m_pPort->m_hEndEvent)) return FALSE;
  theDebugLog.Trace("[%s]::QueryStatusThread Start", m_pPort->m_PortName);
  return TRUE;
}

BOOL CQueryStatusThread::OnIdle(LONG /*count*/) {
  CPrintPort* port = m_pPort;
  HANDLE stops[3] = {g_hShutdownEvent, port->m_hCloseEvent, port->m_hEndEvent};
  HANDLE handles[6] = {stops[0], stops[1], stops[2], port->m_hJobCheckEvent, port->m_hQueueCheckEvent,
                       port->m_hStatusEvent};
  DWORD result = WaitForMultipleObjects(6, handles, FALSE, kThreadWaitMs);
  if (result < WAIT_OBJECT_0 + 3 || result == WAIT_FAILED) {
    PostQuitMessage(0);
    return FALSE;
  }
  switch (result) {
    case WAIT_OBJECT_0 + 3:
      // Reset first: a request made during the query is not lost.
      ResetEvent(port->m_hJobCheckEvent);
      port->IsJobDeleted();
      break;
    case WAIT_OBJECT_0 + 4:
      ResetEvent(port->m_hQueueCheckEvent);
      port->JobsInQueue();
      break;
    case WAIT_OBJECT_0 + 5: {
      int status = 0;
      if (port->GetPrintServerStatus(&status) && status == 0) {
        port->m_ErrorCode = 0;
        ResetEvent(port->m_hStatusEvent);
        theDebugLog.Trace("[%s]::QueryStatusThread ResetEvent", port->m_PortName);
        break;
      }
      // Stored once, so a writer never sees a passing value.
      port->m_ErrorCode = status != 0 ? ErrorOfStatus(status) : static_cast<int>(ERROR_IO_DEVICE);
      // The event stays set: the query repeats until the status is clear.
      WaitForMultipleObjects(3, stops, FALSE, kStatusRetryMs);
      break;
    }
    default: break;
  }
  return TRUE;
}

int CQueryStatusThread::ExitInstance() {
  theDebugLog.Trace("[%s]::QueryStatusThread Close", m_pPort->m_PortName);
  SetEvent(m_pPort->m_hQueryThreadDone);
  return CWinThread::ExitInstance();
}
