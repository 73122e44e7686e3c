#include "protocol/xsocket.h"

#include <cstring>

#include "protocol/trace.h"

XSocket::XSocket() : m_bCreated(FALSE), m_Timeout(XSOCKET_DEFAULT_TIMEOUT), m_Socket(INVALID_SOCKET) {}

XSocket::~XSocket() { XSocket::Close(); }

BOOL XSocket::Close() {
  if (m_Socket == INVALID_SOCKET && !m_bCreated) return FALSE;
  if (m_Socket != INVALID_SOCKET) closesocket(m_Socket);
  m_Socket = INVALID_SOCKET;
  m_bCreated = FALSE;
  return TRUE;
}

BOOL XSocket::SetOption(int optname, const char* optval, int optlen, int level) {
  if (m_Socket == INVALID_SOCKET) return FALSE;
  return setsockopt(m_Socket, level, optname, optval, optlen) == SOCKET_ERROR ? FALSE : TRUE;
}

BOOL XSocket::Ioctl(long cmd, u_long* argp) {
  if (m_Socket == INVALID_SOCKET) return FALSE;
  return ioctlsocket(m_Socket, cmd, argp) == SOCKET_ERROR ? FALSE : TRUE;
}

BOOL XSocket::IsEmpty() {
  if (!m_bCreated) return TRUE;
  // FIONREAD counts every waiting datagram, so an empty one at the head does not
  // hide the ones behind it.
  u_long waiting = 0;
  if (!Ioctl(FIONREAD, &waiting)) return TRUE;
  return waiting == 0 ? TRUE : FALSE;
}

BOOL XSocket::ApplyTimeout() {
  const DWORD ms = static_cast<DWORD>(m_Timeout);
  return SetOption(SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof(ms), SOL_SOCKET);
}

BOOL XSocket::SetTimeout(int ms) {
  m_Timeout = ms;
  if (m_Socket == INVALID_SOCKET) return TRUE;
  return ApplyTimeout();
}

BOOL XSocket::EnableBroadcast(BOOL on) {
  if (m_Socket == INVALID_SOCKET) return TRUE;
  const int value = on;
  return SetOption(SO_BROADCAST, reinterpret_cast<const char*>(&value), sizeof(value), SOL_SOCKET);
}

void XSocket::Trace(const char* text) { SocketTrace(text); }

int XSocket::SendTo(const char* data, int len, const sockaddr* to, int toLength) {
  if (!m_bCreated || data == NULL) return 0;
  if (len == 0) len = static_cast<int>(std::strlen(data));
  const int sent = sendto(m_Socket, data, len, 0, to, toLength);
  return sent == SOCKET_ERROR ? 0 : sent;
}

int XSocket::ReceiveFrom(char* buf, int size, int mode, sockaddr* from, int fromLength) {
  if (!m_bCreated || buf == NULL || size <= 0) return 0;
  if (mode == XSOCKET_POLL) {
    u_long waiting = 0;
    if (!Ioctl(FIONREAD, &waiting) || waiting == 0) return 0;
    // Never more than waits: the head datagram is at most that long.
    if (waiting < static_cast<u_long>(size)) size = static_cast<int>(waiting);
  }
  const int received = recvfrom(m_Socket, buf, size, 0, from, &fromLength);
  return received == SOCKET_ERROR ? 0 : received;
}
