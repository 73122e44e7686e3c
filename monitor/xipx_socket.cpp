#include "xipx_socket.h"

#include <cstring>

#include "debug_log.h"
#include "ipx_networks.h"

XIPXSocket::XIPXSocket() : m_Socket(INVALID_SOCKET) { std::memset(&m_Address, 0, sizeof m_Address); }

XIPXSocket::~XIPXSocket() = default;

BOOL XIPXSocket::Create(int type) {
  if (m_bCreated) return TRUE;
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  int error = 0;
  if (s == INVALID_SOCKET) {
    error = WSAGetLastError();
  } else {
    // Network, node and socket 0: the stack picks a free socket number.
    SOCKADDR_IPX local{};
    local.sa_family = AF_IPX;
    int packetType = type;
    DWORD timeout = kSocketReceiveTimeoutMs;
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), kIPXAddressLength) == SOCKET_ERROR ||
        setsockopt(s, NSPROTO_IPX, IPX_PTYPE, reinterpret_cast<const char*>(&packetType), sizeof packetType) ==
            SOCKET_ERROR ||
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout) ==
            SOCKET_ERROR) {
      error = WSAGetLastError();
      // A half-made socket is not kept.
      closesocket(s);
      s = INVALID_SOCKET;
    }
  }
  if (s == INVALID_SOCKET) {
    theDebugLog.Trace("XIPXSocket[%d]::Create() = %d", m_ID, error);
    m_bCreated = FALSE;
    return FALSE;
  }
  m_Socket = s;
  m_bCreated = TRUE;
  return TRUE;
}

BOOL XIPXSocket::Close() {
  if (!m_bCreated) return FALSE;
  theDebugLog.Trace("XIPXSocket[%d]::Close() Close Socket", m_ID);
  closesocket(m_Socket);
  m_Socket = INVALID_SOCKET;
  m_bCreated = FALSE;
  return TRUE;
}

BOOL XIPXSocket::IsEmpty() {
  if (!m_bCreated) return TRUE;
  u_long waiting = 0;
  if (ioctlsocket(m_Socket, FIONREAD, &waiting) == SOCKET_ERROR) return TRUE;
  return waiting > 0 ? FALSE : TRUE;
}

BOOL XIPXSocket::EnableBroadcast(BOOL on) {
  if (!m_bCreated) return FALSE;
  int value = on ? 1 : 0;
  if (setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&value), sizeof value) ==
      SOCKET_ERROR) {
    theDebugLog.Trace("XIPXSocket[%d]::EnableBroadcast() = %d", m_ID, WSAGetLastError());
    return FALSE;
  }
  return TRUE;
}

int XIPXSocket::Send(const BYTE* data, int length) {
  if (!m_bCreated) {
    theDebugLog.Trace("XIPXSocket[%d] Never Created", m_ID);
    return 0;
  }
  if (sendto(m_Socket, reinterpret_cast<const char*>(data), length, 0, reinterpret_cast<const sockaddr*>(&m_Address),
             kIPXAddressLength) == SOCKET_ERROR) {
    theDebugLog.Trace("XIPXSocket[%d]::Send() = %d", m_ID, WSAGetLastError());
    return SOCKET_ERROR;
  }
  return TRUE;
}

int XIPXSocket::Receive(BYTE* buffer, int size) {
  if (!m_bCreated) {
    theDebugLog.Trace("XIPXSocket[%d] Never Created", m_ID);
    return 0;
  }
  SOCKADDR_IPX from{};
  int fromLength = kIPXAddressLength;
  int n = recvfrom(m_Socket, reinterpret_cast<char*>(buffer), size, 0, reinterpret_cast<sockaddr*>(&from),
                   &fromLength);
  if (n == SOCKET_ERROR) {
    int error = WSAGetLastError();
    if (error != WSAETIMEDOUT) theDebugLog.Trace("XIPXSocket[%d]::Receive() = %d", m_ID, error);
    return 0;
  }
  m_Address = from;
  return n;
}

void XIPXSocket::SendToAllNetworks(const BYTE* data, int length) {
  theDebugLog.Trace("XIPXSocket[%d]::SendToAllNetworks()", m_ID);
  IPXSearchAllNetworks();
  BYTE networks[kMaxIPXNetworks][kIPXNetworkEntrySize];
  int count = CopyIPXNetworks(networks);
  for (int i = 0; i < count; i++) {
    std::memcpy(m_Address.sa_netnum, networks[i], 4);
    Send(data, length);
  }
}
