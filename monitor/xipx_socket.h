// XIPXSocket: the monitor's socket over IPX. m_Address is the only destination the
// socket has; every successful Receive replaces it with the sender's address.
#pragma once

#include "net/winsock.h"
#include "xsocket.h"

class XIPXSocket : public XSocket {
 public:
  XIPXSocket();
  ~XIPXSocket() override;

  BOOL Create(int type) override;
  BOOL Close() override;
  BOOL IsEmpty() override;
  BOOL EnableBroadcast(BOOL on) override;
  int Send(const BYTE* data, int length) override;
  int Receive(BYTE* buffer, int size) override;

  // Sends to every known IPX network after refreshing the table by RIP; the node
  // and socket of m_Address stay as the owner set them.
  void SendToAllNetworks(const BYTE* data, int length);

  SOCKET m_Socket;
  SOCKADDR_IPX m_Address;
};

constexpr int kIPXAddressLength = 14;
