// The BSD-socket side: the only code of the UDP transport that sees the operating
// system's socket headers.
#include "net/posix_socket.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

#include "net/deadline.h"
#include "net/wsa_errors.h"

namespace vek::net::posix {
namespace {

DWORD LastErrno() { return WsaErrorFromErrno(errno); }

sockaddr_in ToSockaddr(const Ipv4Endpoint& endpoint) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = endpoint.port;
  address.sin_addr.s_addr = endpoint.address;
  return address;
}

Ipv4Endpoint FromSockaddr(const sockaddr_in& address) {
  return Ipv4Endpoint{address.sin_addr.s_addr, address.sin_port};
}

DWORD SetIntOption(int fd, int level, int name, int value) {
  if (::setsockopt(fd, level, name, &value, sizeof(value)) != 0) return LastErrno();
  return 0;
}

// SO_SNDTIMEO or SO_RCVTIMEO; 0 = no time-out.
DWORD SetTimeoutOption(int fd, int name, DWORD milliseconds) {
  timeval limit{};
  limit.tv_sec = static_cast<time_t>(milliseconds / 1000);
  limit.tv_usec = static_cast<suseconds_t>((milliseconds % 1000) * 1000);
  if (::setsockopt(fd, SOL_SOCKET, name, &limit, sizeof(limit)) != 0) return LastErrno();
  return 0;
}

// Big enough for any IPv4 datagram, so a receive never truncates.
constexpr std::size_t kMaxDatagram = 65536;

}  // namespace

int OpenUdp(DWORD* error) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) *error = LastErrno();
  return fd;
}

DWORD Bind(int fd, const Ipv4Endpoint& local) {
  sockaddr_in address = ToSockaddr(local);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return LastErrno();
  return 0;
}

DWORD LocalEndpoint(int fd, Ipv4Endpoint* local) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return LastErrno();
  *local = FromSockaddr(address);
  return 0;
}

DWORD SetFlag(int fd, Flag flag, bool on) {
  int name = flag == Flag::ReuseAddress ? SO_REUSEADDR : SO_BROADCAST;
  return SetIntOption(fd, SOL_SOCKET, name, on ? 1 : 0);
}

DWORD SetBufferSize(int fd, Buffer which, int bytes) {
  return SetIntOption(fd, SOL_SOCKET, which == Buffer::Receive ? SO_RCVBUF : SO_SNDBUF, bytes);
}

DWORD GetBufferSize(int fd, Buffer which, int* bytes) {
  int value = 0;
  socklen_t length = sizeof(value);
  if (::getsockopt(fd, SOL_SOCKET, which == Buffer::Receive ? SO_RCVBUF : SO_SNDBUF, &value, &length) != 0)
    return LastErrno();
  *bytes = value / 2;
  return 0;
}

DWORD SetSendTimeout(int fd, DWORD milliseconds) { return SetTimeoutOption(fd, SO_SNDTIMEO, milliseconds); }

DWORD SendTo(int fd, std::span<const std::uint8_t> data, const Ipv4Endpoint& to, bool noWait,
             std::size_t* sent) {
  sockaddr_in address = ToSockaddr(to);
  int flags = MSG_NOSIGNAL | (noWait ? MSG_DONTWAIT : 0);
  for (;;) {
    ssize_t n = ::sendto(fd, data.data(), data.size(), flags, reinterpret_cast<const sockaddr*>(&address),
                         sizeof(address));
    if (n >= 0) {
      *sent = static_cast<std::size_t>(n);
      return 0;
    }
    if (errno == EINTR) continue;
    // A blocking send only reports EAGAIN when its SO_SNDTIMEO ran out.
    if (errno == EAGAIN && !noWait) return static_cast<DWORD>(WSAETIMEDOUT);
    return LastErrno();
  }
}

DWORD SetReceiveTimeout(int fd, DWORD milliseconds) { return SetTimeoutOption(fd, SO_RCVTIMEO, milliseconds); }

DWORD WaitReadable(int fd, DWORD timeoutMs) {
  Deadline deadline(timeoutMs);
  for (;;) {
    DWORD remaining = deadline.RemainingMs();
    // poll takes an int; long waits are done in slices.
    int slice = remaining == INFINITE ? -1 : static_cast<int>(remaining > 0x7FFFFFFF ? 0x7FFFFFFF : remaining);
    pollfd entry{fd, POLLIN, 0};
    int n = ::poll(&entry, 1, slice);
    if (n > 0) return 0;  // readable, shut down or in error: the receive will tell
    if (n < 0 && errno != EINTR) return LastErrno();
    if (n == 0 && deadline.RemainingMs() == 0) return static_cast<DWORD>(WSAETIMEDOUT);
  }
}

DWORD ReceiveDatagramView(int fd, bool wait, std::span<const std::uint8_t>* data, Ipv4Endpoint* from) {
  thread_local std::vector<std::uint8_t> scratch(kMaxDatagram);
  for (;;) {
    sockaddr_in address{};
    socklen_t length = sizeof(address);
    ssize_t n = ::recvfrom(fd, scratch.data(), scratch.size(), (wait ? 0 : MSG_DONTWAIT) | MSG_TRUNC,
                           reinterpret_cast<sockaddr*>(&address), &length);
    if (n < 0) {
      if (errno == EINTR && !wait) continue;
      // A receive that waits only reports EAGAIN when its SO_RCVTIMEO ran out.
      if (errno == EAGAIN && wait) return static_cast<DWORD>(WSAETIMEDOUT);
      return LastErrno();
    }
    std::size_t size = static_cast<std::size_t>(n) > scratch.size() ? scratch.size() : static_cast<std::size_t>(n);
    *data = std::span<const std::uint8_t>(scratch.data(), size);
    *from = FromSockaddr(address);
    return 0;
  }
}

DWORD ReceiveDatagram(int fd, std::vector<std::uint8_t>* data, Ipv4Endpoint* from) {
  std::span<const std::uint8_t> view;
  if (DWORD error = ReceiveDatagramView(fd, false, &view, from)) return error;
  data->assign(view.begin(), view.end());
  return 0;
}

void Shutdown(int fd) { ::shutdown(fd, SHUT_RDWR); }

void Close(int fd) {
  if (fd >= 0) ::close(fd);
}

}  // namespace vek::net::posix
