// The sliding window: up to m_Packets data packets go out back to back; the
// device's acknowledgement frees the slots it covers and grants the next window.
// Unacknowledged packets go again with every window at their old sequence
// numbers; nothing is sent again on a time-out alone.
#include <algorithm>
#include <cstring>

#include "debug_log.h"
#include "kernel/clock.h"
#include "kernel/sync.h"
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
  if (m_PendingSkip > 0) m_PendingSkip -= m_pQueue->Skip(m_PendingSkip);
}

BOOL CPrintPort::DrainedAtEndOfDocument() {
  return IsEventSet(m_hEndDocEvent) && m_BytesAcked.load() == m_BytesQueued.load();
}

void CPrintPort::FinishSending() {
  m_bCanSend = FALSE;
  ResetEvent(m_hSendEvent);
  SetEvent(m_hWakeEvent);
}

BOOL CPrintPort::SendPrintData() {
  BYTE* packet = m_pSendBuffer;
  BuildDataHeader(packet, m_Model, m_PacketType, m_PortID);
  const int dataOffset = DataOffset(m_Model);
  BOOL sent = FALSE;
  if (LockQueue()) {
    ApplyPendingSkip();
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
    // Lets the spooler refill the queue before a small window goes out.
    if (m_Packets < kShortWindow) Sleep(static_cast<DWORD>(30 - 5 * m_Packets));
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

  int n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize);
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
    n = ReceiveFromDevice(m_pPrintSocket, m_pReceiveBuffer, kReplyBufferSize);
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
