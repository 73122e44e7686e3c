// The discovery threads of the wizard. Both broadcast search requests over UDP
// for a fixed time and collect the devices' information replies in the thread's
// idle step:
//
// - CUDPSearchPSThread finds every print server of the maker (11 s): one record
//   per new device, appended to g_PrintServerList, and "Found <name>" in control
//   1032 of the owner window.
// - CUDPSearchPSThread1 finds the chosen server (m_ServerNodeID) again (3.5 s) and
//   records the address it reports as configured in m_ServerIPAddress, its reply
//   in m_LocatedReply and the address it answered from in m_LocatedAddress.
//
// Start them with BeginDiscoveryThread, then pump messages until m_SearchDone is
// 1: the "Found" text reaches the owner as a sent message. The thread objects
// delete themselves at their end.
#pragma once

#include <vector>

#include "framework/framework.h"
#include "kernel/types.h"
#include "protocol/discovery_ids.h"
#include "protocol/reply_joiner.h"
#include "protocol/xudp_socket.h"

// Time budgets, the request cycle and the pauses of the idle step (ms).
constexpr DWORD PS_SEARCH_BUDGET = 11000;
constexpr DWORD PS_LOCATE_BUDGET = 3500;
constexpr DWORD PS_REQUEST_CYCLE = 700;
constexpr DWORD PS_SEARCH_PAUSE = 100;
constexpr DWORD PS_LOCATE_PAUSE = 20;
// A device first found after this cycle is reached by broadcast later.
constexpr int PS_LATE_ROUND = 5;

// What both threads share: the owner, the socket and the request cycles.
class CUDPDiscoveryThread : public CWinThread {
  DECLARE_DYNAMIC(CUDPDiscoveryThread)

 public:
  CUDPDiscoveryThread();
  ~CUDPDiscoveryThread() override;

  // Discovery thread objects that exist, for a caller that must know the last
  // one is gone (the objects delete themselves after setting m_SearchDone).
  static int LiveCount();

  CWnd* m_pOwner;
  XUDPSocket m_Socket;
  DWORD m_StartTick;
  DWORD m_LastSendTick;
  int m_Round;

 protected:
  // Opens the socket and starts the clock.
  void StartSearch(LPCSTR trace);
  void EndSearch(LPCSTR trace);
  void SendSearch(DWORD destination, WORD command);
  // Receives and hands on every datagram waiting, each whole: a single reply can
  // be longer than the request buffer.
  void Drain();
  virtual void OnDatagram(const BYTE* buffer, int length) = 0;

  DECLARE_MESSAGE_MAP()

 private:
  std::vector<BYTE> m_Received;  // PS_MAX_DATAGRAM_LENGTH bytes
};

class CUDPSearchPSThread : public CUDPDiscoveryThread {
  DECLARE_DYNCREATE(CUDPSearchPSThread)

 public:
  CUDPSearchPSThread();
  ~CUDPSearchPSThread() override;

  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;

  // One received datagram: a part of a multi-part reply, a single reply, or
  // something to ignore.
  void HandleReply(const BYTE* buffer, int length);

  XReplyJoiner m_Joiner;

 protected:
  void OnDatagram(const BYTE* buffer, int length) override { HandleReply(buffer, length); }
  DECLARE_MESSAGE_MAP()

 private:
  // A complete information reply of a device (joined or single); a new device
  // whose MAC has the maker's prefix gets a record.
  void TakeReply(const BYTE* reply, int length, BOOL update);
};

class CUDPSearchPSThread1 : public CUDPDiscoveryThread {
  DECLARE_DYNCREATE(CUDPSearchPSThread1)

 public:
  // Clears m_ServerFound and m_LocatedReply.
  CUDPSearchPSThread1();
  ~CUDPSearchPSThread1() override;

  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;

  void HandleReply(const BYTE* buffer, int length);

 protected:
  void OnDatagram(const BYTE* buffer, int length) override { HandleReply(buffer, length); }
  DECLARE_MESSAGE_MAP()
};

// Starts a discovery thread (RUNTIME_CLASS(CUDPSearchPSThread) or
// RUNTIME_CLASS(CUDPSearchPSThread1)) for owner: only when UDP is available
// (bit 1 of m_Transports). It is created suspended, given its owner, and
// m_SearchDone is cleared before it is resumed, so a starter that polls
// m_SearchDone never sees the previous search's 1. NULL when no thread started
// (m_SearchDone is then unchanged).
CUDPDiscoveryThread* BeginDiscoveryThread(const CRuntimeClass* threadClass, CWnd* owner);
