#include "protocol/status_round.h"

#include <cstring>

#include "kernel/clock.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/trace.h"

XStatusRound::XStatusRound()
    : m_NextToAsk(0),
      m_LastSendTick(0),
      m_SentCount(0),
      m_AnsweredCount(0),
      m_Running(FALSE),
      m_Received(PS_BUFFER_LENGTH) {}

XStatusRound::~XStatusRound() { End(); }

void XStatusRound::Begin(const std::vector<CPrintServer*>& servers) {
  End();
  m_Entries.clear();
  m_NextToAsk = 0;
  m_SentCount = 0;
  m_AnsweredCount = 0;
  m_Running = m_Socket.Create(0);
  for (CPrintServer* server : servers) {
    if (server == NULL) continue;
    Entry entry{server, {}, FALSE, FALSE, FALSE};
    BYTE request[PS_REQUEST_LENGTH];
    entry.askable = m_Running && server->BuildStatusRequest(request, entry.address);
    m_Entries.push_back(entry);
  }
  m_LastSendTick = GetTickCount();
  DebugTrace("XStatusRound::Begin() %d servers\r\n", Count());
}

std::vector<CPrintServer*> XStatusRound::Step() {
  std::vector<CPrintServer*> answered;
  if (!m_Running) return answered;
  // Batches with the answers taken in between: the socket never holds more
  // answers than one batch brings.
  TakeAnswers(&answered);
  for (int sent = 0; sent < kStepRequests && m_NextToAsk < m_Entries.size(); sent += kBatch) {
    SendNext(kBatch);
    TakeAnswers(&answered);
  }
  return answered;
}

void XStatusRound::SendNext(int count) {
  m_Socket.m_Address.sin_family = AF_INET;
  m_Socket.m_Address.sin_port = htons(PS_PORT);
  for (; count > 0 && m_NextToAsk < m_Entries.size(); m_NextToAsk++) {
    Entry& entry = m_Entries[m_NextToAsk];
    if (!entry.askable) continue;
    BYTE request[PS_REQUEST_LENGTH];
    BYTE address[4];
    if (!entry.server->BuildStatusRequest(request, address)) continue;
    std::memcpy(&m_Socket.m_Address.sin_addr.s_addr, address, 4);
    // A request the system refuses is not asked again: the server shows no status.
    m_Socket.Send(reinterpret_cast<const char*>(request), PS_REQUEST_LENGTH, 0);
    entry.sent = TRUE;
    m_SentCount++;
    m_LastSendTick = GetTickCount();
    count--;
  }
}

void XStatusRound::TakeAnswers(std::vector<CPrintServer*>* answered) {
  // However much arrives, one look ends: what is left waits for the next.
  for (int taken = 0; taken < kLookLimit && !m_Socket.IsEmpty(); taken++) {
    const int n = m_Socket.Receive(reinterpret_cast<char*>(m_Received.data()), static_cast<int>(m_Received.size()),
                                   XSOCKET_POLL);
    if (n <= 0) continue;
    // The first server at that address still waiting, whose generation the
    // answer is of.
    for (Entry& entry : m_Entries) {
      if (entry.answered || !entry.sent ||
          std::memcmp(entry.address, &m_Socket.m_FromAddress.sin_addr.s_addr, 4) != 0)
        continue;
      if (!entry.server->TakeStatusReply(m_Received.data(), n)) continue;
      entry.answered = TRUE;
      m_AnsweredCount++;
      answered->push_back(entry.server);
      break;
    }
  }
}

BOOL XStatusRound::Over() const {
  if (!m_Running) return TRUE;
  if (m_NextToAsk < m_Entries.size()) return FALSE;
  return m_AnsweredCount == m_SentCount || GetTickCount() - m_LastSendTick >= kAnswerTime;
}

void XStatusRound::End() {
  if (m_Running) DebugTrace("XStatusRound::End() %d of %d answered\r\n", m_AnsweredCount, Count());
  m_Running = FALSE;
  m_Socket.Close();
}

BOOL XStatusRound::Answered(const CPrintServer* server) const {
  for (const Entry& entry : m_Entries)
    if (entry.server == server) return entry.answered;
  return FALSE;
}
