#include "protocol/xipx_socket.h"

#include <cstring>

XIPXSocket::XIPXSocket() {
  m_Socket = INVALID_SOCKET;
  m_Timeout = XSOCKET_DEFAULT_TIMEOUT;
  std::memset(&m_Address, 0, sizeof(m_Address));
  std::memset(&m_FromAddress, 0, sizeof(m_FromAddress));
}

XIPXSocket::~XIPXSocket() { Close(); }

BOOL XIPXSocket::Create(int arg) {
  Close();
  m_Socket = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  if (m_Socket == INVALID_SOCKET) {
    m_bCreated = FALSE;
    return FALSE;
  }
  SOCKADDR_IPX local;
  std::memset(&local, 0, sizeof(local));
  local.sa_family = AF_IPX;
  local.sa_socket = static_cast<unsigned short>(arg);
  if (bind(m_Socket, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR ||
      !SetPacketType(XIPX_PACKET_TYPE) || !ApplyTimeout()) {
    Close();
    m_bCreated = FALSE;
    return FALSE;
  }
  m_bCreated = TRUE;
  return TRUE;
}

BOOL XIPXSocket::SetPacketType(int type) {
  return SetOption(IPX_PTYPE, reinterpret_cast<const char*>(&type), sizeof(type), NSPROTO_IPX);
}

int XIPXSocket::Send(const char* data, int len, int /*flags*/) {
  return SendTo(data, len, reinterpret_cast<const sockaddr*>(&m_Address), sizeof(m_Address));
}

int XIPXSocket::Receive(char* buf, int size, int mode) {
  return ReceiveFrom(buf, size, mode, reinterpret_cast<sockaddr*>(&m_FromAddress), sizeof(m_FromAddress));
}
