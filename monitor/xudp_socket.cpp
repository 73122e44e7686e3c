#include "xudp_socket.h"

#include <cstring>

#include "debug_log.h"

XUDPSocket::XUDPSocket() : m_Socket(INVALID_SOCKET) { std::memset(&m_Address, 0, sizeof m_Address); }

XUDPSocket::~XUDPSocket() = default;

BOOL XUDPSocket::Create(int /*type*/) {
  if (m_bCreated) return TRUE;
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  int error = 0;
  if (s == INVALID_SOCKET) {
    error = WSAGetLastError();
  } else {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = 0;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    DWORD timeout = kSocketReceiveTimeoutMs;
    if (bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR ||
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout) ==
            SOCKET_ERROR) {
      error = WSAGetLastError();
      // A half-made socket is not kept.
      closesocket(s);
      s = INVALID_SOCKET;
    }
  }
  if (s == INVALID_SOCKET) {
    theDebugLog.Trace("XUDPSocket[%d]::Create() = %d", m_ID, error);
    m_bCreated = FALSE;
    return FALSE;
  }
  m_Socket = s;
  m_bCreated = TRUE;
  return TRUE;
}

BOOL XUDPSocket::Close() {
  if (!m_bCreated) return FALSE;
  closesocket(m_Socket);
  m_Socket = INVALID_SOCKET;
  m_bCreated = FALSE;
  return TRUE;
}

BOOL XUDPSocket::IsEmpty() {
  if (!m_bCreated) {
    theDebugLog.Trace("XUDPSocket[%d] Never Created", m_ID);
    return TRUE;
  }
  u_long waiting = 0;
  if (ioctlsocket(m_Socket, FIONREAD, &waiting) == SOCKET_ERROR) return TRUE;
  return waiting > 0 ? FALSE : TRUE;
}

BOOL XUDPSocket::EnableBroadcast(BOOL on) {
  if (!m_bCreated) {
    theDebugLog.Trace("XUDPSocket[%d] Never Created", m_ID);
    return FALSE;
  }
  int value = on ? 1 : 0;
  if (setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&value), sizeof value) ==
      SOCKET_ERROR) {
    theDebugLog.Trace("XUDPSocket[%d]::EnableBroadcast() = %d", m_ID, WSAGetLastError());
    return FALSE;
  }
  return TRUE;
}

int XUDPSocket::Send(const BYTE* data, int length) {
  if (!m_bCreated) {
    theDebugLog.Trace("XUDPSocket[%d] Never Created", m_ID);
    return 0;
  }
  if (sendto(m_Socket, reinterpret_cast<const char*>(data), length, 0, reinterpret_cast<const sockaddr*>(&m_Address),
             sizeof m_Address) == SOCKET_ERROR) {
    theDebugLog.Trace("XUDPSocket[%d]::Send() = %d", m_ID, WSAGetLastError());
    return SOCKET_ERROR;
  }
  return TRUE;
}

int XUDPSocket::Receive(BYTE* buffer, int size) {
  if (!m_bCreated) {
    theDebugLog.Trace("XUDPSocket[%d] Never Created", m_ID);
    return 0;
  }
  sockaddr_in from{};
  int fromLength = sizeof from;
  int n = recvfrom(m_Socket, reinterpret_cast<char*>(buffer), size, 0, reinterpret_cast<sockaddr*>(&from),
                   &fromLength);
  if (n == SOCKET_ERROR) {
    int error = WSAGetLastError();
    if (error != WSAETIMEDOUT) theDebugLog.Trace("XUDPSocket[%d]::Receive() = %d", m_ID, error);
    return 0;
  }
  m_Address = from;
  return n;
}
