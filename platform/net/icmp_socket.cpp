#include "net/icmp_socket.h"

#include <span>

#include "net/deadline.h"
#include "net/inet_endpoint.h"
#include "net/option_value.h"

namespace vek::net {

std::shared_ptr<IcmpSocket> IcmpSocket::Create(DWORD* error) {
  DWORD code = 0;
  std::unique_ptr<IcmpTransport> transport = CreateIcmpTransport(&code);
  if (!transport) {
    *error = code != 0 ? code : static_cast<DWORD>(WSAEACCES);
    return nullptr;
  }
  return std::make_shared<IcmpSocket>(std::move(transport));
}

DWORD IcmpSocket::Bind(const sockaddr* name, int nameLength) {
  Ipv4Endpoint local;
  if (DWORD error = ReadInetAddress(name, nameLength, &local)) return error;
  std::lock_guard guard(m_lock);
  if (m_bound) return WSAEINVAL;
  local.port = 0;  // ICMP has no ports
  m_local = local;
  m_bound = true;
  return 0;
}

DWORD IcmpSocket::GetSockName(sockaddr* name, int* nameLength) {
  if (DWORD error = CheckInetAddressBuffer(name, nameLength)) return error;
  std::lock_guard guard(m_lock);
  if (!m_bound) return WSAEINVAL;
  return WriteInetAddress(m_local, name, nameLength);
}

DWORD IcmpSocket::SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) {
  if (flags & MSG_OOB) return WSAEOPNOTSUPP;
  if (to == nullptr) return WSAEDESTADDRREQ;
  Ipv4Endpoint destination;
  if (DWORD error = ReadInetAddress(to, toLength, &destination)) return error;
  if (destination.address == 0) return WSAEADDRNOTAVAIL;
  if (destination.address == 0xFFFFFFFFu && !m_broadcast) return WSAEACCES;
  if (m_closed) return WSAEINTR;
  auto message = std::span(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(length));
  if (DWORD error = m_transport->Send(destination.address, message)) return error;
  *sent = length;
  return 0;
}

DWORD IcmpSocket::RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) {
  if (flags & ~MSG_PEEK) return WSAEOPNOTSUPP;
  if (from && CheckInetAddressBuffer(from, fromLength)) return WSAEFAULT;

  const bool peek = (flags & MSG_PEEK) != 0;
  const DWORD timeout = m_receiveTimeoutMs;
  Deadline deadline(timeout == 0 ? INFINITE : timeout);
  for (;;) {
    {
      std::lock_guard guard(m_lock);
      if (m_closed) return WSAEINTR;
      if (!m_queue.Empty()) {
        Ipv4Endpoint source;
        if (DWORD error = m_queue.Take(buffer, length, peek, &source, received)) return error;
        return from ? WriteInetAddress(source, from, fromLength) : 0;
      }
    }
    // The transport waits outside the lock, so FIONREAD and other receivers are not
    // held up; whatever it brings joins the queue behind earlier datagrams.
    const DWORD wait = m_nonBlocking ? 0 : deadline.RemainingMs();
    Datagram<Ipv4Endpoint> datagram;
    DWORD error = m_transport->Receive(wait, &datagram.data, &datagram.from.address);
    if (error == WSAETIMEDOUT) return m_nonBlocking ? WSAEWOULDBLOCK : WSAETIMEDOUT;
    if (error) return m_closed ? WSAEINTR : error;
    std::lock_guard guard(m_lock);
    m_queue.Push(std::move(datagram));
  }
}

DWORD IcmpSocket::SetOption(int level, int name, const char* value, int length) {
  if (level != SOL_SOCKET) return WSAENOPROTOOPT;
  bool on = false;
  DWORD number = 0;
  switch (name) {
    case SO_BROADCAST:
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      m_broadcast = on;
      return 0;
    case SO_REUSEADDR:
      // Nothing to share: ICMP has no ports.
      return ReadBoolOption(value, length, &on);
    case SO_RCVTIMEO:
    case SO_SNDTIMEO:
    case SO_RCVBUF:
    case SO_SNDBUF:
      if (DWORD error = ReadDwordOption(value, length, &number)) return error;
      if (name == SO_RCVTIMEO) m_receiveTimeoutMs = number;
      if (name == SO_SNDTIMEO) m_sendTimeoutMs = number;
      if (name == SO_RCVBUF) m_receiveBuffer = number;
      if (name == SO_SNDBUF) m_sendBuffer = number;
      return 0;
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD IcmpSocket::GetOption(int level, int name, char* value, int* length) {
  if (level != SOL_SOCKET) return WSAENOPROTOOPT;
  switch (name) {
    case SO_BROADCAST: return WriteDwordOption(m_broadcast ? 1 : 0, value, length);
    case SO_REUSEADDR: return WriteDwordOption(0, value, length);
    case SO_RCVTIMEO: return WriteDwordOption(m_receiveTimeoutMs, value, length);
    case SO_SNDTIMEO: return WriteDwordOption(m_sendTimeoutMs, value, length);
    case SO_RCVBUF: return WriteDwordOption(m_receiveBuffer, value, length);
    case SO_SNDBUF: return WriteDwordOption(m_sendBuffer, value, length);
    case SO_TYPE: return WriteDwordOption(SOCK_RAW, value, length);
    default: return WSAENOPROTOOPT;
  }
}

DWORD IcmpSocket::Ioctl(u_long command, u_long* argument) {
  if (argument == nullptr) return WSAEFAULT;
  if (command == static_cast<u_long>(FIONBIO)) {
    m_nonBlocking = *argument != 0;
    return 0;
  }
  if (command == static_cast<u_long>(FIONREAD)) {
    // Collect what has arrived so far (without waiting) before counting.
    for (;;) {
      Datagram<Ipv4Endpoint> datagram;
      DWORD error = m_transport->Receive(0, &datagram.data, &datagram.from.address);
      if (error == WSAETIMEDOUT) break;
      if (error) return m_closed ? WSAEINTR : error;
      std::lock_guard guard(m_lock);
      m_queue.Push(std::move(datagram));
      if (m_queue.TotalBytes() >= m_receiveBuffer) break;
    }
    std::lock_guard guard(m_lock);
    std::size_t total = m_queue.TotalBytes();
    *argument = total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u_long>(total);
    return 0;
  }
  return WSAEINVAL;
}

void IcmpSocket::Close() {
  m_closed = true;
  m_transport->Close();
}

}  // namespace vek::net
