// The system's ICMP transports: a raw ICMP socket, or an unprivileged ping socket.
// A ping socket hands out the ICMP message alone; the IPv4 header in front of it is
// synthesised, so callers see the same datagram either way.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "net/deadline.h"
#include "net/icmp_transport.h"
#include "net/posix_socket.h"
#include "net/wsa_errors.h"

namespace vek::net {
namespace {

constexpr std::size_t kMaxDatagram = 65536;
constexpr std::size_t kIpHeaderLength = 20;
constexpr std::uint8_t kDefaultTtl = 64;

std::uint16_t HeaderChecksum(const std::uint8_t* header, std::size_t length) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < length; i += 2) sum += static_cast<std::uint32_t>(header[i] << 8 | header[i + 1]);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

// The IPv4 header a raw socket would have delivered in front of message.
void SynthesiseIpHeader(std::uint8_t* header, std::size_t messageLength, std::uint8_t ttl, std::uint32_t source,
                        std::uint32_t destination) {
  const std::size_t total = kIpHeaderLength + messageLength;
  std::memset(header, 0, kIpHeaderLength);
  header[0] = 0x45;  // version 4, five 32-bit words
  header[2] = static_cast<std::uint8_t>(total >> 8);
  header[3] = static_cast<std::uint8_t>(total);
  header[8] = ttl;
  header[9] = IPPROTO_ICMP;
  std::memcpy(header + 12, &source, 4);
  std::memcpy(header + 16, &destination, 4);
  const std::uint16_t checksum = HeaderChecksum(header, kIpHeaderLength);
  header[10] = static_cast<std::uint8_t>(checksum >> 8);
  header[11] = static_cast<std::uint8_t>(checksum);
}

class SystemIcmpTransport final : public IcmpTransport {
 public:
  SystemIcmpTransport(int fd, bool raw) : m_fd(fd), m_raw(raw) {}
  ~SystemIcmpTransport() override { posix::Close(m_fd); }

  DWORD Send(std::uint32_t destination, std::span<const std::uint8_t> message) override {
    if (m_closed) return WSAEINTR;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = destination;
    for (;;) {
      ssize_t n = ::sendto(m_fd, message.data(), message.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to),
                           sizeof(to));
      if (n >= 0) return 0;
      if (errno != EINTR) return posix::WsaErrorFromErrno(errno);
    }
  }

  DWORD Receive(DWORD timeoutMs, std::vector<std::uint8_t>* datagram, std::uint32_t* source) override {
    Deadline deadline(timeoutMs);
    for (;;) {
      if (m_closed) return WSAEINTR;
      DWORD error = TakeOne(datagram, source);
      if (error != static_cast<DWORD>(WSAEWOULDBLOCK)) return m_closed ? WSAEINTR : error;
      DWORD remaining = deadline.RemainingMs();
      if (remaining == 0) return WSAETIMEDOUT;
      if ((error = posix::WaitReadable(m_fd, remaining))) return error;
    }
  }

  void Close() override {
    m_closed = true;
    posix::Shutdown(m_fd);
  }

 private:
  DWORD TakeOne(std::vector<std::uint8_t>* datagram, std::uint32_t* source) {
    thread_local std::vector<std::uint8_t> scratch(kIpHeaderLength + kMaxDatagram);
    // A ping socket's message goes after room for the header we put in front of it.
    const std::size_t offset = m_raw ? 0 : kIpHeaderLength;
    sockaddr_in from{};
    iovec buffer{scratch.data() + offset, kMaxDatagram};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo)) + CMSG_SPACE(sizeof(int))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof(from);
    message.msg_iov = &buffer;
    message.msg_iovlen = 1;
    message.msg_control = m_raw ? nullptr : control;
    message.msg_controllen = m_raw ? 0 : sizeof(control);
    ssize_t n;
    do {
      n = ::recvmsg(m_fd, &message, MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return posix::WsaErrorFromErrno(errno);
    std::size_t length = static_cast<std::size_t>(n);
    if (!m_raw) {
      std::uint32_t local = 0;
      std::uint8_t ttl = kDefaultTtl;
      for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != IPPROTO_IP) continue;
        if (c->cmsg_type == IP_PKTINFO) {
          in_pktinfo info;
          std::memcpy(&info, CMSG_DATA(c), sizeof(info));
          local = info.ipi_addr.s_addr;
        } else if (c->cmsg_type == IP_TTL) {
          int value;
          std::memcpy(&value, CMSG_DATA(c), sizeof(value));
          ttl = static_cast<std::uint8_t>(value);
        }
      }
      SynthesiseIpHeader(scratch.data(), length, ttl, from.sin_addr.s_addr, local);
      length += kIpHeaderLength;
    }
    datagram->assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    *source = from.sin_addr.s_addr;
    return 0;
  }

  const int m_fd;
  const bool m_raw;
  std::atomic<bool> m_closed{false};
};

int OpenRaw(int* error) {
  int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
  *error = fd < 0 ? errno : 0;
  return fd;
}

int OpenPing(int* error) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd < 0) {
    *error = errno;
    return fd;
  }
  // The destination and TTL of each reply, for the synthesised header.
  int on = 1;
  ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof(on));
  ::setsockopt(fd, IPPROTO_IP, IP_RECVTTL, &on, sizeof(on));
  *error = 0;
  return fd;
}

// What socket() reports when the system gives no ICMP socket of the kind asked.
DWORD RefusalCode(int error) {
  if (error == EPERM || error == EACCES) return WSAEACCES;
  if (error == EPROTONOSUPPORT || error == ESOCKTNOSUPPORT || error == EAFNOSUPPORT) return WSAESOCKTNOSUPPORT;
  return posix::WsaErrorFromErrno(error);
}

}  // namespace

std::unique_ptr<IcmpTransport> CreateSystemIcmpTransport(IcmpSocketKind kind, DWORD* error) {
  int rawError = 0;
  if (kind != IcmpSocketKind::Ping) {
    int fd = OpenRaw(&rawError);
    if (fd >= 0) return std::make_unique<SystemIcmpTransport>(fd, true);
    if (kind == IcmpSocketKind::Raw) {
      *error = RefusalCode(rawError);
      return nullptr;
    }
  }
  int pingError = 0;
  int fd = OpenPing(&pingError);
  if (fd >= 0) return std::make_unique<SystemIcmpTransport>(fd, false);
  *error = RefusalCode(pingError);
  return nullptr;
}

}  // namespace vek::net
