// Starting a document: the job threads and sockets, then the connection.
#include <cstring>

#include "debug_log.h"
#include "job_threads.h"
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "monitor_globals.h"
#include "print_messages.h"
#include "print_port.h"
#include "ring_buffer.h"
#include "system_helpers.h"

namespace {

constexpr BYTE kBusyBits = 0xF0;
constexpr BYTE kRefusedBits = 0x0F;
constexpr DWORD kBusyRetryMs = 5000;

}  // namespace

void CPrintPort::ResetWindow() {
  m_Sequence = 0;
  m_bCanSend = FALSE;
  m_bShortPacket = TRUE;
  m_BytesQueued = 0;
  m_BytesAcked = 0;
  m_PendingSkip = 0;
  m_pQueue->Reset();
  std::memset(m_SlotLength, 0, sizeof m_SlotLength);
  std::memset(m_SlotPending, 0, sizeof m_SlotPending);
}

BOOL CPrintPort::StartPrintPort(LPCWSTR printerName, DWORD jobId) {
  if (!TransportSupported()) {
    theDebugLog.Trace("[%s]::StartPrintPort() Protocol Not Support !", m_PortName);
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  if (!m_bOpened) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (m_bJobStarted) {
    // One document at a time.
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  m_JobId = jobId;
  for (HANDLE event : {m_hEndEvent, m_hJobCheckEvent, m_hStatusEvent, m_hQueueCheckEvent, m_hSendEvent,
                       m_hEndDocEvent, m_hQueryThreadDone, m_hPrintThreadDone, m_hWakeEvent, m_hDataEvent,
                       m_hRoomEvent})
    ResetEvent(event);
  m_bJobDeleted = FALSE;
  m_bConnected = FALSE;
  m_ErrorCode = 0;
  m_RoomWanted = 0;

  BOOL threads = TRUE;
  if (!m_bThreadsRunning) threads = StartJobThreads(printerName);

  while (threads && m_pPrintThread && m_pStatusThread && m_hPrinter && !m_bConnected) {
    int status = 0;
    if (!CreateConnection(&status)) break;
    if (status & kBusyBits) {
      // Each busy answer is one more try.
      ReportDeviceState(PortReport::Busy, 0);
      SetEvent(m_hJobCheckEvent);
      // The status thread wakes this wait when it finds the job deleted.
      WaitForStop(kBusyRetryMs, m_hWakeEvent);
      if (m_bJobDeleted || IsStopRequested()) {
        SetJobW(m_hPrinter, m_JobId, 0, nullptr, JOB_CONTROL_CANCEL);
        break;
      }
      continue;
    }
    // Only the "NET" devices refuse: an older device's low bits carry no refusal,
    // so a job it then does not take ends through the silence that the write and
    // end paths report, as any device that stops taking data.
    if (m_Model == 1 && (status & kRefusedBits)) break;
    m_bConnected = TRUE;
  }

  if (m_bConnected) {
    ReportDeviceState(PortReport::Clear);
    if (m_Packets > 1 && m_pPrintThread) m_pPrintThread->SetThreadPriority(THREAD_PRIORITY_NORMAL);
    // Everything the threads read is in place before they are told to start.
    DWORD now = GetTickCount();
    m_LastSendTick = now;
    m_LastStatusTick = now;
    m_ErrorCode = 0;
    m_bJobDeleted = FALSE;
    ResetEvent(m_hWakeEvent);
    ResetWindow();
    SetEvent(m_hStatusEvent);
    SetEvent(m_hSendEvent);
    m_bJobStarted = TRUE;
    theDebugLog.Trace("[%s]::StartPrintPort() OK !", m_PortName);
    return TRUE;
  }

  StopJobThreads();
  m_pQueue->Reset();
  if (g_bWinNT && !g_bWinNT3) ClearPortStatus(m_PortName);
  ForgetReportedState();
  SetLastError(ERROR_IO_DEVICE);
  theDebugLog.Trace("[%s]::StartPrintPort() Failed !", m_PortName);
  return FALSE;
}
