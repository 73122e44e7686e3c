// XSocket: the monitor's datagram socket interface. Every user of a transport (the
// print path, its status query, the port dialog's search) holds an XSocket* and
// calls these operations; which transport stands behind it is chosen once, from
// the port's packet type, when the object is made.
#pragma once

#include <atomic>

#include "kernel/types.h"

class XSocket {
 public:
  XSocket();
  // The owner calls Close before deleting.
  virtual ~XSocket();
  XSocket(const XSocket&) = delete;
  XSocket& operator=(const XSocket&) = delete;

  // type: the IPX packet type; the other transports ignore it.
  virtual BOOL Create(int type) = 0;
  virtual BOOL Close() = 0;
  // FALSE when a datagram is waiting.
  virtual BOOL IsEmpty() = 0;
  virtual BOOL EnableBroadcast(BOOL on) = 0;
  // TRUE (1) when the datagram went out (the NetBIOS socket: its length), 0 when
  // the socket was never created, SOCKET_ERROR (-1) on a send error.
  virtual int Send(const BYTE* data, int length) = 0;
  // The datagram's length, 0 for none (time-out, error, never created).
  virtual int Receive(BYTE* buffer, int size) = 0;

  BOOL m_bCreated;
  int m_ID;

  // One instance counter for every socket class; never reset.
  static std::atomic<int> m_NextID;
};

// The monitor's receive time-out of every transport.
constexpr DWORD kSocketReceiveTimeoutMs = 1000;
