// XUDPSocket: the monitor's socket over UDP/IP. m_Address is the only destination
// the socket has; every successful Receive replaces it with the sender's address.
#pragma once

#include "net/winsock.h"
#include "xsocket.h"

class XUDPSocket : public XSocket {
 public:
  XUDPSocket();
  ~XUDPSocket() override;

  BOOL Create(int type) override;
  BOOL Close() override;
  BOOL IsEmpty() override;
  BOOL EnableBroadcast(BOOL on) override;
  int Send(const BYTE* data, int length) override;
  int Receive(BYTE* buffer, int size) override;

  SOCKET m_Socket;
  sockaddr_in m_Address;
};
