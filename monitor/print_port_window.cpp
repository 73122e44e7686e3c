// The sliding window: up to m_Packets data packets go out back to back; the
// device's acknowledgement frees the slots it covers and grants the next window.
// Unacknowledged packets go again with every window at their old sequence
// numbers; nothing is sent again on a time-out alone.
#include <algorithm>
#include <cstring>

#include "debug_log.h"
#include "kernel/clock.h"
#include "kernel/sync.h"
#include "monitor_globals.h"
#include "print_messages.h"
#include "print_port.h"
#include "ring_buffer.h"
#include "xsocket.h"

namespace {

// Datagrams taken in one batch: a flood cannot keep the sender from its window.
constexpr int kMaxBatch = 64;
constexpr int kShortWindow = 6;

}  // namespace

void CPrintPort::ApplyPendingSkip() {
  if (m_PendingSkip <= 0) return;
  m_PendingSkip -= m_pQueue->Skip(m_PendingSkip);
  OfferRoom();
}

DWORD CPrintPort::WaitForData(DWORD milliseconds) {
  HANDLE handles[5] = {g_hShutdownEvent, m_hCloseEvent, m_hEndEvent, m_hEndDocEvent, m_hDataEvent};
  return WaitForMultipleObjects(5, handles, FALSE, milliseconds);
}

// Acknowledgements that came while the sender held its permission with nothing in
// flight (the device's own repeats while it waits for data) grant nothing new:
// taken now, they are not read later as the answer to the next window.
void CPrintPort::DiscardIdleAcks() {
  for (int i = 0; i < kMaxBatch && !m_pPrintSocket->IsEmpty(); i++)
    if (ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize, TRUE) <= 0) break;
}

BOOL CPrintPort::DrainedAtEndOfDocument() {
  return IsEventSet(m_hEndDocEvent) && m_BytesAcked.load() == m_BytesQueued.load();
}

void CPrintPort::FinishSending() {
  m_bCanSend = FALSE;
  ResetEvent(m_hSendEvent);
  SetEvent(m_hWakeEvent);
}

BOOL CPrintPort::AwaitData() {
  for (;;) {
    if (!LockQueue()) return TRUE;
    ApplyPendingSkip();
    // Reset under the lock: a write that queues bytes after the look sets it again.
    ResetEvent(m_hDataEvent);
    bool pending = false;
    for (int i = 0; i < m_Packets; i++) pending = pending || m_SlotPending[i] != 0;
    const bool empty = !pending && m_pQueue->GetCount() == 0;
    UnlockQueue();
    if (!empty) return TRUE;
    if (IsStopRequested()) return FALSE;
    if (IsEventSet(m_hEndDocEvent)) {
      if (!DrainedAtEndOfDocument()) return TRUE;
      FinishSending();
      return FALSE;
    }
    DWORD result = WaitForData(kSocketReceiveTimeoutMs);
    DiscardIdleAcks();
    // Nothing came for a while: the window goes as it is.
    if (result == WAIT_TIMEOUT || result == WAIT_FAILED) return TRUE;
  }
}

BOOL CPrintPort::SendPrintData() {
  BYTE* packet = m_pSendBuffer;
  BuildDataHeader(packet, m_Model, m_PacketType, m_PortID);
  const int dataOffset = DataOffset(m_Model);
  BOOL sent = FALSE;
  if (LockQueue()) {
    ApplyPendingSkip();
    // Bytes queued after this look end the short-window pause below.
    ResetEvent(m_hDataEvent);
    const int queued = m_pQueue->GetCount();
    int offset = 0;
    for (int i = 0; i < m_Packets; i++) {
      int length = m_SlotPending[i] ? m_SlotLength[i] : std::max(queued - offset, 0);
      length = std::min(length, m_DataLength);
      if (length == 0 && !m_SlotPending[i] && m_Model != 1) {
        // The older devices take no empty packets.
        m_bCanSend = FALSE;
      } else {
        m_pQueue->Peek(packet + dataOffset, length, offset);
        std::memset(packet + dataOffset + length, 0, static_cast<std::size_t>(kDataOverhead - dataOffset));
        SetDataSlot(packet, m_Model, static_cast<BYTE>(m_Sequence + i), length);
        m_pPrintSocket->Send(packet, length + kDataOverhead);
        m_SlotLength[i] = length;
        offset += length;
        m_bCanSend = FALSE;
        m_LastSendTick = GetTickCount();
        m_SlotPending[i] = 1;
        sent = TRUE;
      }
      m_bShortPacket = length < m_DataLength;
    }
    UnlockQueue();
  }
  if (m_bShortPacket && !IsEventSet(m_hEndDocEvent)) {
    theDebugLog.Trace("[%s]::SendPrintData() Print Queue Empty", m_PortName);
    // Lets the spooler refill the queue before a small window goes out; over as
    // soon as it has, or has ended the document.
    if (m_Packets < kShortWindow) WaitForData(static_cast<DWORD>(30 - 5 * m_Packets));
  }
  return sent;
}

BOOL CPrintPort::ReceiveAck() {
  if (IsStopRequested()) {
    m_bCanSend = FALSE;
    return FALSE;
  }
  // Everything acknowledged once the document ended, whichever came first.
  if (DrainedAtEndOfDocument()) {
    FinishSending();
    return FALSE;
  }
  if (m_bCanSend) return TRUE;

  int n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize, TRUE);
  if (n <= 0) return FALSE;

  int pending = 0;
  while (pending < m_Packets && m_SlotPending[pending]) pending++;
  bool valid = false;
  BYTE acked = 0;
  int count = 0;
  for (int batch = 0;; batch++) {
    BYTE sequence = 0;
    if (ReadAck(m_pReceiveBuffer, n, m_Model, m_PacketType, &sequence)) {
      // Counted against the packets actually in flight, not the window.
      int covers = static_cast<BYTE>(sequence - m_Sequence);
      if (covers <= pending) {
        valid = true;
        acked = sequence;
        count = covers;
      }
    }
    if (batch + 1 >= kMaxBatch || m_pPrintSocket->IsEmpty()) break;
    // Only what is waiting: a stray among the batch must not turn the batch
    // into a wait for the next datagram.
    n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize, TRUE);
    if (n <= 0) break;
  }
  if (!valid) {
    if (IsStopRequested()) m_bCanSend = FALSE;
    return FALSE;
  }

  int freed = 0;
  for (int i = 0; i < count; i++) {
    m_BytesAcked += m_SlotLength[i];
    freed += m_SlotLength[i];
    m_SlotLength[i] = 0;
    m_SlotPending[i] = 0;
  }
  int to = 0;
  for (int from = 0; from < kMaxWindow; from++) {
    if (!m_SlotPending[from]) continue;
    if (from != to) {
      m_SlotLength[to] = m_SlotLength[from];
      m_SlotPending[to] = 1;
      m_SlotLength[from] = 0;
      m_SlotPending[from] = 0;
    }
    to++;
  }
  // The window base moves now; the bytes it passed must leave the queue before
  // the next window is built, with or without the lock this time.
  m_PendingSkip += freed;
  if (LockQueue()) {
    ApplyPendingSkip();
    // The end of the document is read first: once it is set no write adds to the
    // queue, so an empty queue is the job's end and not a write yet to come.
    const BOOL ended = IsEventSet(m_hEndDocEvent);
    int remaining = m_pQueue->GetCount();
    UnlockQueue();
    if (remaining == 0 && ended) {
      FinishSending();
      return FALSE;
    }
  }
  m_Sequence = acked;
  m_bCanSend = TRUE;
  if (IsStopRequested()) {
    m_bCanSend = FALSE;
    return FALSE;
  }
  return TRUE;
}
