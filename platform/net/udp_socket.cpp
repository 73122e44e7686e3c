#include "net/udp_socket.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "net/broadcast.h"
#include "net/deadline.h"
#include "net/inet_endpoint.h"
#include "net/option_value.h"
#include "net/posix_socket.h"

namespace vek::net {
namespace {

constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

// The queue never holds more than this, so a reader that only polls FIONREAD cannot
// make it grow without bound; past it the system's own buffer fills and drops.
constexpr std::size_t kMinQueueLimit = 65536;

}  // namespace

std::shared_ptr<UdpSocket> UdpSocket::Create(DWORD* error) {
  int fd = posix::OpenUdp(error);
  if (fd < 0) return nullptr;
  return std::make_shared<UdpSocket>(fd);
}

UdpSocket::~UdpSocket() { posix::Close(m_fd); }

DWORD UdpSocket::Bind(const sockaddr* name, int nameLength) {
  Ipv4Endpoint local;
  if (DWORD error = ReadInetAddress(name, nameLength, &local)) return error;
  if (m_bound) return WSAEINVAL;
  if (DWORD error = posix::Bind(m_fd, local)) return error;
  m_bound = true;
  return 0;
}

DWORD UdpSocket::GetSockName(sockaddr* name, int* nameLength) {
  if (DWORD error = CheckInetAddressBuffer(name, nameLength)) return error;
  if (!m_bound) return WSAEINVAL;
  Ipv4Endpoint local;
  if (DWORD error = posix::LocalEndpoint(m_fd, &local)) return error;
  return WriteInetAddress(local, name, nameLength);
}

DWORD UdpSocket::SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) {
  if (flags & MSG_OOB) return WSAEOPNOTSUPP;
  if (to == nullptr) return WSAEDESTADDRREQ;
  Ipv4Endpoint destination;
  if (DWORD error = ReadInetAddress(to, toLength, &destination)) return error;
  // The 0.0.0.0/8 block means "this host" as a source only; as Windows does, refuse
  // it as a destination instead of letting Linux route it onto the real network.
  const auto* octets = reinterpret_cast<const std::uint8_t*>(&destination.address);  // network order
  if (destination.port == 0 || octets[0] == 0) return WSAEADDRNOTAVAIL;

  // Windows refuses a broadcast without SO_BROADCAST; Linux would send to the mapped
  // address when it is a plain unicast one, so the rule is ours to enforce.
  const std::uint32_t mapped = MappedBroadcastAddress();
  if (destination.address == kLimitedBroadcast || destination.address == mapped) {
    if (!m_broadcast) return WSAEACCES;
    destination.address = mapped;
  }

  std::size_t count = 0;
  auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(length));
  if (DWORD error = posix::SendTo(m_fd, bytes, destination, m_nonBlocking, &count)) return error;
  m_bound = true;  // the system binds an unbound socket on its first send
  *sent = static_cast<int>(count);
  return 0;
}

DWORD UdpSocket::FillQueueLocked(bool all) {
  // A receive waiting in the system takes what arrives; queueing it here would
  // hand it to the next receive instead, out of order.
  if (m_waiting > 0) return 0;
  std::size_t queueLimit = kMinQueueLimit;
  if (all) {
    int limit = m_queueLimit;
    if (limit < 0 && posix::GetBufferSize(m_fd, posix::Buffer::Receive, &limit) == 0) m_queueLimit = limit;
    queueLimit = std::max(static_cast<std::size_t>(limit > 0 ? limit : 0), kMinQueueLimit);
  }
  do {
    Datagram<Ipv4Endpoint> datagram;
    DWORD error = posix::ReceiveDatagram(m_fd, &datagram.data, &datagram.from);
    if (error == WSAEWOULDBLOCK) return 0;
    if (error) return error;
    m_queue.Push(std::move(datagram));
  } while (all && m_queue.TotalBytes() < queueLimit);
  return 0;
}

namespace {

// A datagram received whole into the caller's buffer, as the queue hands them out:
// one longer than the buffer is dropped with WSAEMSGSIZE, the buffer untouched.
DWORD Deliver(std::span<const std::uint8_t> data, const Ipv4Endpoint& source, char* buffer, int length,
              sockaddr* from, int* fromLength, int* received) {
  if (length < 0 || data.size() > static_cast<std::size_t>(length)) return WSAEMSGSIZE;
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  *received = static_cast<int>(data.size());
  return from ? WriteInetAddress(source, from, fromLength) : 0;
}

}  // namespace

DWORD UdpSocket::RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) {
  if (flags & ~MSG_PEEK) return WSAEOPNOTSUPP;
  if (from && CheckInetAddressBuffer(from, fromLength)) return WSAEFAULT;
  if (!m_bound) return WSAEINVAL;
  if (flags & MSG_PEEK) return PeekFrom(buffer, length, from, fromLength, received);

  std::span<const std::uint8_t> data;
  Ipv4Endpoint source;
  {
    std::lock_guard guard(m_lock);
    if (m_closed) return WSAEINTR;
    if (!m_queue.Empty()) {
      DWORD error = m_queue.Take(buffer, length, false, &source, received);
      if (error) return error;
      return from ? WriteInetAddress(source, from, fromLength) : 0;
    }
    if (m_nonBlocking) {
      if (DWORD error = posix::ReceiveDatagramView(m_fd, false, &data, &source)) return error;
      return Deliver(data, source, buffer, length, from, fromLength, received);
    }
    ++m_waiting;
  }
  // Waits in the system, with the time-out SO_RCVTIMEO gave it; Close wakes it.
  DWORD error = 0;
  do {
    error = posix::ReceiveDatagramView(m_fd, true, &data, &source);
  } while (error == WSAEINTR && !m_closed);  // a signal: wait again
  {
    std::lock_guard guard(m_lock);
    --m_waiting;
    if (m_closed) return WSAEINTR;
  }
  if (error) return error;
  return Deliver(data, source, buffer, length, from, fromLength, received);
}

DWORD UdpSocket::PeekFrom(char* buffer, int length, sockaddr* from, int* fromLength, int* received) {
  const DWORD timeout = m_receiveTimeoutMs;
  Deadline deadline(timeout == 0 ? INFINITE : timeout);
  for (;;) {
    {
      std::lock_guard guard(m_lock);
      if (m_closed) return WSAEINTR;
      if (m_queue.Empty()) {
        if (DWORD error = FillQueueLocked(false)) return error;
      }
      if (!m_queue.Empty()) {
        Ipv4Endpoint source;
        DWORD error = m_queue.Take(buffer, length, true, &source, received);
        if (error) return error;
        return from ? WriteInetAddress(source, from, fromLength) : 0;
      }
    }
    if (m_nonBlocking) return WSAEWOULDBLOCK;
    DWORD remaining = deadline.RemainingMs();
    if (remaining == 0) return WSAETIMEDOUT;
    if (DWORD error = posix::WaitReadable(m_fd, remaining)) return error;
  }
}

DWORD UdpSocket::SetOption(int level, int name, const char* value, int length) {
  if (level != SOL_SOCKET) return WSAENOPROTOOPT;
  bool on = false;
  DWORD ms = 0;
  switch (name) {
    case SO_BROADCAST:
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      // Linux sends to a real broadcast address (127.255.255.255) only with its own flag.
      if (DWORD error = posix::SetFlag(m_fd, posix::Flag::Broadcast, on)) return error;
      m_broadcast = on;
      return 0;
    case SO_REUSEADDR:
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      if (DWORD error = posix::SetFlag(m_fd, posix::Flag::ReuseAddress, on)) return error;
      m_reuseAddress = on;
      return 0;
    case SO_RCVTIMEO:
      if (DWORD error = ReadDwordOption(value, length, &ms)) return error;
      if (DWORD error = posix::SetReceiveTimeout(m_fd, ms)) return error;
      m_receiveTimeoutMs = ms;
      return 0;
    case SO_SNDTIMEO:
      if (DWORD error = ReadDwordOption(value, length, &ms)) return error;
      if (DWORD error = posix::SetSendTimeout(m_fd, ms)) return error;
      m_sendTimeoutMs = ms;
      return 0;
    case SO_RCVBUF:
    case SO_SNDBUF:
      if (DWORD error = ReadDwordOption(value, length, &ms)) return error;
      if (static_cast<int>(ms) < 0) return WSAEINVAL;
      if (name == SO_RCVBUF) m_queueLimit = -1;  // the system may round it: read it again
      return posix::SetBufferSize(m_fd, name == SO_RCVBUF ? posix::Buffer::Receive : posix::Buffer::Send,
                                  static_cast<int>(ms));
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD UdpSocket::GetOption(int level, int name, char* value, int* length) {
  if (level != SOL_SOCKET) return WSAENOPROTOOPT;
  int size = 0;
  switch (name) {
    case SO_BROADCAST: return WriteDwordOption(m_broadcast ? 1 : 0, value, length);
    case SO_REUSEADDR: return WriteDwordOption(m_reuseAddress ? 1 : 0, value, length);
    case SO_RCVTIMEO: return WriteDwordOption(m_receiveTimeoutMs, value, length);
    case SO_SNDTIMEO: return WriteDwordOption(m_sendTimeoutMs, value, length);
    case SO_TYPE: return WriteDwordOption(SOCK_DGRAM, value, length);
    case SO_RCVBUF:
    case SO_SNDBUF:
      if (DWORD error = posix::GetBufferSize(m_fd, name == SO_RCVBUF ? posix::Buffer::Receive : posix::Buffer::Send,
                                             &size))
        return error;
      return WriteDwordOption(static_cast<DWORD>(size), value, length);
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD UdpSocket::Ioctl(u_long command, u_long* argument) {
  if (argument == nullptr) return WSAEFAULT;
  if (command == static_cast<u_long>(FIONBIO)) {
    m_nonBlocking = *argument != 0;
    return 0;
  }
  if (command == static_cast<u_long>(FIONREAD)) {
    std::lock_guard guard(m_lock);
    if (m_closed) return WSAEINTR;
    if (DWORD error = FillQueueLocked(true)) return error;
    std::size_t total = m_queue.TotalBytes();
    *argument = total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u_long>(total);
    return 0;
  }
  return WSAEINVAL;
}

void UdpSocket::Close() {
  std::lock_guard guard(m_lock);
  m_closed = true;
  posix::Shutdown(m_fd);
}

}  // namespace vek::net
