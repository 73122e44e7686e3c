// XNBFSocket: the monitor's socket over NetBIOS datagrams (NetBEUI). It registers
// a random unique name of its own on the LANAs NetBIOS is bound to and sends to
// one remote name: a print server's, or the discovery name "QIMPrintServer".
// Several asynchronous receives stay pending on every LANA it listens on; the
// first LANA on which any socket of the process receives becomes the primary
// LANA, and from then on every socket sends and listens on that one only.
//
// The socket has no thread of its own: NetBIOS completes the receives into their
// events, and the owner's thread waits on them in IsEmpty and Receive. A pending
// NCB belongs to NetBIOS, so Close cancels and waits for every one of them before
// the buffers, the events and the object go.
#pragma once

#include "monitor_globals.h"
#include "net/netbios.h"
#include "xsocket.h"

constexpr int kMaxNCBs = 5;              // receives per LANA at most
constexpr int kMinNCBs = 3;              // and at least
constexpr int kPrintNCBs = 3;            // the print path's sockets
constexpr int kSearchNCBs = 5;           // the server search's socket
constexpr int kNBDatagramSize = 1000;    // the receive size, and the most Receive returns
constexpr int kNBNameLength = 18;        // names as the socket keeps them, without the terminator
constexpr char kNBSearchName[] = "QIMPrintServer";

class XNBFSocket : public XSocket {
 public:
  // ncbs: the receives kept pending per LANA, clamped into 3..5.
  explicit XNBFSocket(int ncbs);
  // The owner calls Close first.
  ~XNBFSocket() override;

  // The argument is ignored.
  BOOL Create(int type) override;
  BOOL Close() override;
  BOOL IsEmpty() override;
  // Datagrams need no permission to reach a group name: always TRUE.
  BOOL EnableBroadcast(BOOL on) override;
  // One datagram to the remote name on every LANA of the send set: length when
  // at least one LANA sent it, SOCKET_ERROR when none did, 0 when not created.
  int Send(const BYTE* data, int length) override;
  // Waits up to a second for a datagram on the primary LANA, earliest first;
  // copies at most min(size, 1000) bytes and returns that count, or 0.
  int Receive(BYTE* buffer, int size) override;

  // The destination: the first 18 characters of name (16 of them go on the wire).
  void SetRemoteName(const char* name);
  // The NetBIOS name of the last accepted datagram's sender.
  const char* GetSenderName() const { return m_SenderName; }
  // Zeroes the receive buffers NetBIOS does not hold, so that nothing received
  // before is read again.
  void ClearBuffers();

  NCB m_NCB[kMaxLanas][kMaxNCBs];
  HANDLE m_hEvent[kMaxLanas][kMaxNCBs];
  // One buffer per LANA and receive, so completions on two LANAs stay apart.
  BYTE* m_pRecvBuffer[kMaxLanas][kMaxNCBs];
  char m_LocalName[kNBNameLength + 1];
  char m_RemoteName[kNBNameLength + 1];
  char m_SenderName[kNBNameLength + 1];
  int m_LanaCount;
  int m_NCBCount;
  int m_Lana[kMaxLanas];
  BOOL m_bRegistered[kMaxLanas];
  int m_NameNumber[kMaxLanas];
  BOOL m_bListening;
  int m_SendLanaCount;
  int m_SendLana[kMaxLanas];
  int m_ListenLanaCount;
  int m_ListenLana[kMaxLanas];
  HGLOBAL m_hBufferBlock;
  // When each receive was armed: a LANA completes its receives in the order they
  // were armed, so the earliest armed of the completed ones arrived first.
  DWORD m_ArmOrder[kMaxLanas][kMaxNCBs];
  DWORD m_NextArm;

 protected:
  BOOL RegisterName();
  void UnregisterName();
  BOOL Listen();
  BOOL CancelListen();
  BOOL SetAsyncReceive(int slot, int index);
  void MakeLocalName();

 private:
  // The slots to send on or listen on: every registered slot while no primary
  // LANA is elected, else the registered slot of the primary LANA. The count.
  int ActiveSlots(int* slots) const;
  BOOL IsPending(int slot, int index);
  // Cancels every receive still pending and waits until NetBIOS lets go of it;
  // FALSE when one is still held after some seconds.
  BOOL ReleasePendingReceives();
  void CloseEvents();
  void FreeBuffers();
};
