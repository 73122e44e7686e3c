// XStatusRound: asks many print servers for their printer status at once, so
// that the whole takes about the time one status query waits (3500 ms),
// however many servers there are and however many never answer.
//
// The requests go out from one socket to each server's configured address, in
// small batches with the answers taken in between, so that a crowd of answers
// never overflows the socket. An answer counts for the server whose address it
// came from. Nothing blocks: the owner calls Step from its timer until Over,
// and its window stays responsive meanwhile.
//
//   round.Begin(servers);
//   on each tick: for (CPrintServer* ps : round.Step()) show ps's status;
//                 if (round.Over()) { round.End(); the rest show as unknown; }
#pragma once

#include <vector>

#include "kernel/types.h"
#include "protocol/xudp_socket.h"

class CPrintServer;

class XStatusRound {
 public:
  // The time each server is given to answer, from its request (ms).
  static constexpr DWORD kAnswerTime = 3500;
  // Requests sent between two looks at the answers, and per step.
  static constexpr int kBatch = 16;
  static constexpr int kStepRequests = 128;
  // Datagrams taken in at one look at most.
  static constexpr int kLookLimit = 1024;

  XStatusRound();
  ~XStatusRound();
  XStatusRound(const XStatusRound&) = delete;
  XStatusRound& operator=(const XStatusRound&) = delete;

  // Starts a round over the servers (not owned: they must outlive the round or
  // its End). A server that cannot be asked (not found over UDP, no IP
  // settings) is over at once, unanswered; so is every server when no socket
  // can be had.
  void Begin(const std::vector<CPrintServer*>& servers);
  // Sends the next requests and takes in the answers waiting; the servers whose
  // status came in this step, their status bytes taken.
  std::vector<CPrintServer*> Step();
  // Every server has answered or had its time.
  BOOL Over() const;
  // Closes the socket; the servers not answered by now stay unanswered.
  void End();

  BOOL Answered(const CPrintServer* server) const;
  int AnsweredCount() const { return m_AnsweredCount; }
  int Count() const { return static_cast<int>(m_Entries.size()); }

 private:
  struct Entry {
    CPrintServer* server;
    BYTE address[4];
    BOOL askable;  // found over UDP, with IP settings
    BOOL sent;
    BOOL answered;
  };
  void SendNext(int count);
  void TakeAnswers(std::vector<CPrintServer*>* answered);

  std::vector<Entry> m_Entries;
  std::size_t m_NextToAsk;
  DWORD m_LastSendTick;
  int m_SentCount;
  int m_AnsweredCount;
  BOOL m_Running;
  XUDPSocket m_Socket;
  std::vector<BYTE> m_Received;
};
