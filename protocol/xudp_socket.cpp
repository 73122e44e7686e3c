#include "protocol/xudp_socket.h"

#include <cstring>

#include "protocol/trace.h"

XUDPSocket::XUDPSocket() {
  m_Socket = INVALID_SOCKET;
  m_Timeout = XSOCKET_DEFAULT_TIMEOUT;
  std::memset(&m_Address, 0, sizeof(m_Address));
  std::memset(&m_FromAddress, 0, sizeof(m_FromAddress));
}

XUDPSocket::~XUDPSocket() { Close(); }

BOOL XUDPSocket::Create(int /*arg*/) { return Open(NULL, 0); }

BOOL XUDPSocket::Open(const char* address, int port) {
  Close();
  m_Socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (m_Socket == INVALID_SOCKET) {
    m_bCreated = FALSE;
    return FALSE;
  }
  sockaddr_in local;
  std::memset(&local, 0, sizeof(local));
  local.sin_family = AF_INET;
  local.sin_port = htons(static_cast<u_short>(port));
  local.sin_addr.s_addr = address == NULL ? htonl(INADDR_ANY) : inet_addr(address);
  // Text that is no address reads as INADDR_NONE, which Linux would bind as the
  // broadcast address; Windows refuses it.
  const BOOL badAddress = address != NULL && local.sin_addr.s_addr == INADDR_NONE;
  if (badAddress || bind(m_Socket, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR || !ApplyTimeout()) {
    Close();
    m_bCreated = FALSE;
    return FALSE;
  }
  m_bCreated = TRUE;
  return TRUE;
}

int XUDPSocket::Send(const char* data, int len, int /*flags*/) {
  return SendTo(data, len, reinterpret_cast<const sockaddr*>(&m_Address), sizeof(m_Address));
}

int XUDPSocket::Receive(char* buf, int size, int mode) {
  return ReceiveFrom(buf, size, mode, reinterpret_cast<sockaddr*>(&m_FromAddress), sizeof(m_FromAddress));
}

BOOL XUDPSocket::LoadUDP() {
  SOCKET probe = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (probe == INVALID_SOCKET) {
    SocketTrace("XUDPSocket::LoadUDP() UDP Unsupport");
    return FALSE;
  }
  closesocket(probe);
  SocketTrace("XUDPSocket::LoadUDP() UDP Support");
  return TRUE;
}
