// Ending a document: drain the queue, end the connection, remove the job.
#include "debug_log.h"
#include "job_threads.h"
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "print_port.h"
#include "system_helpers.h"

namespace {

constexpr DWORD kDrainCycleMs = 2500;
constexpr DWORD kDrainStatusMs = 2000;
// The sender leaves its loop within one receive and one bounded batch.
constexpr DWORD kSenderLeaveMs = 5000;

}  // namespace

BOOL CPrintPort::EndPrintPort() {
  if (!m_bOpened) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // After a failed start there is no connection to end.
  if (!m_bJobStarted) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
  }
  SetEvent(m_hEndDocEvent);
  SetEvent(m_hQueueCheckEvent);
  SetEvent(m_hJobCheckEvent);
  BOOL result = FALSE;
  // The job was removed before the device acknowledged all of it: what it did not
  // acknowledge is dropped, and the end says so rather than report it printed.
  BOOL cancelled = FALSE;

  while (m_bConnected) {
    if (!IsEventSet(m_hSendEvent)) {
      result = TRUE;
      break;
    }
    if (m_bJobDeleted) {
      cancelled = TRUE;
      break;
    }
    DWORD now = GetTickCount();
    DWORD sinceSend = ElapsedSince(m_LastSendTick, now);
    DWORD sinceStatus = ElapsedSince(m_LastStatusTick, now);
    int deviceError = m_ErrorCode.load();
    BOOL keepOn = TRUE;
    // Silence alone never ends the drain: only a device error that is not out
    // of paper, after the time-out.
    if (sinceSend > static_cast<DWORD>(m_RetryTimeout) * 1000 && deviceError != 0 &&
        deviceError != static_cast<int>(ERROR_OUT_OF_PAPER))
      keepOn = FALSE;
    if (IsStopRequested()) keepOn = FALSE;
    if (sinceSend > kStatusKickMs && sinceStatus > kDrainStatusMs) {
      if (deviceError != 0) {
        m_LastStatusTick = now;
      } else {
        SetEvent(m_hStatusEvent);
      }
    }
    // Meanwhile the spooler shows why the job does not end, a try at every status
    // kick as the writes fail.
    ReportDeviceState(SilenceReport(sinceSend), kStatusKickMs);
    if (!keepOn) break;
    SetEvent(m_hQueueCheckEvent);
    SetEvent(m_hJobCheckEvent);
    // Woken early when the sender is done or the job is found deleted.
    WaitForStop(kDrainCycleMs, m_hWakeEvent);
  }

  // The last acknowledgement may have come with the removal.
  if (cancelled && !IsEventSet(m_hSendEvent)) {
    cancelled = FALSE;
    result = TRUE;
  }
  BOOL senderLeft = TRUE;
  if (IsEventSet(m_hSendEvent)) {
    theDebugLog.Trace("[%s]::EndPrintPort() Reset WritePort Event", m_PortName);
    ResetEvent(m_hSendEvent);
    DWORD start = GetTickCount();
    while (m_pPrintThread && m_pPrintThread->m_bSending) {
      if (static_cast<DWORD>(GetTickCount() - start) > kSenderLeaveMs) {
        senderLeft = FALSE;
        break;
      }
      Sleep(10);
    }
  }

  // The print socket is the sender's until it has left.
  if (senderLeft && m_pPrintSocket) DestroyConnection();
  if (m_hPrinter) SetJobW(m_hPrinter, m_JobId, 0, nullptr, JOB_CONTROL_CANCEL);
  if (g_bWinNT && !g_bWinNT3) ClearPortStatus(m_PortName);
  ForgetReportedState();

  if (m_JobsInQueue <= 1 || !senderLeft) StopJobThreads();
  m_bJobStarted = FALSE;
  m_bConnected = FALSE;
  if (cancelled) {
    SetLastError(ERROR_PRINT_CANCELLED);
  } else if (!result) {
    int deviceError = m_ErrorCode.load();
    SetLastError(deviceError != 0 ? static_cast<DWORD>(deviceError) : ERROR_IO_DEVICE);
  } else {
    SetLastError(ERROR_SUCCESS);
  }
  return result;
}
