// XIPXSocket: the wizard's IPX datagram socket. No path of the wizard sends over
// IPX; the class stands ready for the IPX segment of the net layer. Until that
// segment exists the system refuses AF_IPX sockets and Create fails.
#pragma once

#include "protocol/xsocket.h"

// The packet type the wizard's IPX datagrams carry.
constexpr int XIPX_PACKET_TYPE = 90;

class XIPXSocket : public XSocket {
 public:
  XIPXSocket();
  ~XIPXSocket() override;

  // Binds IPX socket number arg (as given, not byte-swapped) on network 0, node 0.
  BOOL Create(int arg) override;
  BOOL SetPacketType(int type);
  int Send(const char* data, int len, int flags) override;
  int Receive(char* buf, int size, int mode) override;

  SOCKADDR_IPX m_Address;
  SOCKADDR_IPX m_FromAddress;
};
