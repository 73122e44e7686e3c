// XSocket: the wizard's datagram socket interface. Every device exchange of the
// wizard creates one, points m_Address at the device or the broadcast address,
// sends one request and reads the replies with a receive time-out.
//
// Results are BOOL 1/0 or byte counts (0 for nothing); nothing throws. A socket
// object belongs to one thread at a time.
#pragma once

#include "kernel/types.h"
#include "net/winsock.h"

// Receive modes: XSOCKET_POLL reads only what already waits and never blocks;
// any other mode blocks for at most m_Timeout milliseconds.
constexpr int XSOCKET_WAIT = 0;
constexpr int XSOCKET_POLL = 2;

constexpr int XSOCKET_DEFAULT_TIMEOUT = 1000;

class XSocket {
 public:
  XSocket();
  virtual ~XSocket();
  XSocket(const XSocket&) = delete;
  XSocket& operator=(const XSocket&) = delete;

  virtual BOOL Create(int arg) = 0;
  // 1 when something was open (it is closed now), 0 when nothing was.
  virtual BOOL Close();
  // Note the order: option name first, level last.
  virtual BOOL SetOption(int optname, const char* optval, int optlen, int level);
  virtual BOOL Ioctl(long cmd, u_long* argp);
  // len 0 sends data as a NUL-terminated text. flags are ignored.
  virtual int Send(const char* data, int len, int flags) = 0;
  // A datagram longer than size is dropped and reads as 0, never cut short.
  virtual int Receive(char* buf, int size, int mode) = 0;
  // 0 only while a created socket has datagram bytes waiting.
  virtual BOOL IsEmpty();
  // Remembered, and applied at once when a socket is open.
  virtual BOOL SetTimeout(int ms);
  // Only on an open socket; a closed one ignores it.
  virtual BOOL EnableBroadcast(BOOL on);
  virtual void Trace(const char* text);

  BOOL m_bCreated;
  int m_Timeout;
  SOCKET m_Socket;

 protected:
  int SendTo(const char* data, int len, const sockaddr* to, int toLength);
  int ReceiveFrom(char* buf, int size, int mode, sockaddr* from, int fromLength);
  BOOL ApplyTimeout();
};
