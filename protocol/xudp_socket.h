// XUDPSocket: the wizard's UDP datagram socket. Callers write m_Address (family
// AF_INET, port 20560, the device's address or 255.255.255.255) before sending.
#pragma once

#include "protocol/xsocket.h"

class XUDPSocket : public XSocket {
 public:
  XUDPSocket();
  ~XUDPSocket() override;

  // arg is ignored: any local address and port.
  BOOL Create(int arg) override;
  // Binds to a local dotted address (NULL = any) and port (0 = any), closing
  // whatever was open first.
  BOOL Open(const char* address, int port);
  int Send(const char* data, int len, int flags) override;
  int Receive(char* buf, int size, int mode) override;

  // Whether this machine has UDP at all; run once at start-up.
  static BOOL LoadUDP();

  sockaddr_in m_Address;
  sockaddr_in m_FromAddress;
};
