// Writing: the job's bytes into the queue, with the start-of-job throttle, the
// status kick and the transmission time-out.
#include <algorithm>

#include "debug_log.h"
#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "print_port.h"
#include "ring_buffer.h"
#include "system_helpers.h"

namespace {

constexpr LONGLONG kThrottleAcked = 4096;
constexpr LONGLONG kThrottleQueued = 10240;
constexpr DWORD kFirstPauseMs = 100;
constexpr DWORD kPauseStepMs = 5;
constexpr DWORD kPauseLimitMs = 160;
// The room a waiting write is woken for: enough to be worth a cycle, not the
// whole queue.
constexpr DWORD kRoomStep = 16 * 1024;

}  // namespace

BOOL CPrintPort::WriteThrottled() const {
  return m_BytesAcked.load() <= kThrottleAcked && m_BytesQueued.load() >= kThrottleQueued;
}

// A write that goes on to pause asks to be woken once the queue has wanted bytes
// free, and the start-of-job throttle no longer holds it back; room that is there
// already ends the pause at once.
void CPrintPort::ArmRoomWait(int wanted) {
  m_RoomWanted = wanted;
  OfferRoom();
}

// The sender calls this each time acknowledged bytes leave the queue.
void CPrintPort::OfferRoom() {
  int wanted = m_RoomWanted.load();
  if (wanted <= 0 || WriteThrottled() || m_pQueue->GetFreeSpace() < wanted) return;
  m_RoomWanted = 0;
  SetEvent(m_hRoomEvent);
}

BOOL CPrintPort::WritePrintData(const BYTE* data, DWORD length, LPDWORD written) {
  *written = 0;
  if (!m_bJobStarted) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return FALSE;
  }
  // The time-out counts only while data waits: a device that took everything
  // has not been silent while the spooler paused.
  if (m_BytesAcked.load() == m_BytesQueued.load()) m_LastSendTick = GetTickCount();

  DWORD taken = 0;
  BOOL result = FALSE;
  for (DWORD pause = kFirstPauseMs; pause < kPauseLimitMs && taken < length; pause += kPauseStepMs) {
    // Each pause waits for room: it ends once the device's acknowledgements made
    // the room this write waits for, and is a full pause when none come.
    ResetEvent(m_hRoomEvent);
    if (WriteThrottled()) {
      result = TRUE;
      if (LockQueue()) {
        ArmRoomWait(1);
        UnlockQueue();
      }
    } else if (LockQueue()) {
      int room = std::max(m_pQueue->GetFreeSpace(), 0);
      int n = static_cast<int>(std::min<DWORD>(static_cast<DWORD>(room), length - taken));
      n = m_pQueue->Write(data + taken, n);
      m_BytesQueued += n;
      taken += static_cast<DWORD>(n);
      if (taken < length) ArmRoomWait(static_cast<int>(std::min<DWORD>(length - taken, kRoomStep)));
      UnlockQueue();
      if (n > 0) SetEvent(m_hDataEvent);
      result = TRUE;
    }
    *written = taken;
    if (taken < length) {
      WaitForSingleObject(m_hRoomEvent, pause);
      m_RoomWanted = 0;
      m_bShortPacket = FALSE;
    }
  }

  DWORD now = GetTickCount();
  DWORD sinceSend = ElapsedSince(m_LastSendTick, now);
  DWORD sinceStatus = ElapsedSince(m_LastStatusTick, now);
  DWORD error = 0;
  int deviceError = m_ErrorCode.load();
  if (sinceSend > kStatusKickMs && sinceStatus > kStatusKickMs) {
    SetEvent(m_hStatusEvent);
    m_LastStatusTick = now;
    if (deviceError != 0) {
      error = static_cast<DWORD>(deviceError);
      result = FALSE;
    }
  }
  if (sinceSend > static_cast<DWORD>(m_RetryTimeout) * 1000) {
    if (deviceError != 0 && deviceError != static_cast<int>(ERROR_OUT_OF_PAPER)) {
      error = ERROR_IO_DEVICE;
      result = FALSE;
    } else {
      error = ERROR_OUT_OF_PAPER;
      if (g_bWinNT && g_bWinNT5x) {
        ReportPaperOut(m_PortName);
      } else {
        result = FALSE;
      }
    }
  }
  ReportDeviceState(SilenceReport(sinceSend));
  SetLastError(error);
  return result;
}
