#include "net/ipx_socket.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/deadline.h"
#include "net/ipx_config.h"
#include "net/ipx_segment.h"
#include "net/ipx_socket_numbers.h"
#include "net/option_value.h"

namespace vek::net {
namespace {

// As for UDP: a reader that only polls FIONREAD cannot make the queue grow without
// bound; past it the system's buffer fills and drops.
constexpr std::size_t kMinQueueLimit = 65536;

}  // namespace

std::shared_ptr<IpxSocket> IpxSocket::Create(DWORD* error) {
  DWORD failure = 0;
  auto link = SegmentLink::Open(IpxSegmentEndpoint(), &failure);
  if (!link) {
    // A segment that cannot be joined is a network that is down, whatever the cause.
    *error = (failure == WSAEMFILE || failure == WSAENOBUFS) ? failure : static_cast<DWORD>(WSAENETDOWN);
    return nullptr;
  }
  return std::make_shared<IpxSocket>(std::move(link), IpxProcessStation());
}

IpxSocket::IpxSocket(std::unique_ptr<SegmentLink> link, const IpxAddress& station)
    : m_link(std::move(link)), m_local(station) {
  m_local.socket = 0;
}

IpxSocket::~IpxSocket() {
  std::lock_guard guard(m_lock);
  ReleaseNumberLocked();
}

void IpxSocket::ReleaseNumberLocked() {
  if (!m_bound || m_local.socket == 0) return;
  ReleaseIpxSocketNumber(m_local);
  m_local.socket = 0;
}

DWORD IpxSocket::BindLocked(std::uint16_t requested) {
  std::uint16_t granted = 0;
  if (DWORD error = ClaimIpxSocketNumber(m_local, requested, &granted)) return error;
  m_local.socket = granted;
  m_bound = true;
  // Frames heard before the socket had its number were for someone else.
  m_link->Drain();
  return 0;
}

DWORD IpxSocket::Bind(const sockaddr* name, int nameLength) {
  IpxAddress requested;
  if (DWORD error = ReadIpxAddress(name, nameLength, &requested)) return error;
  std::lock_guard guard(m_lock);
  if (m_bound || m_closed) return WSAEINVAL;
  if (!IsZero(requested.network) && requested.network != m_local.network) return WSAEADDRNOTAVAIL;
  if (!IsZero(requested.node) && requested.node != m_local.node) return WSAEADDRNOTAVAIL;
  return BindLocked(requested.socket);
}

DWORD IpxSocket::GetSockName(sockaddr* name, int* nameLength) {
  if (DWORD error = CheckIpxAddressBuffer(name, nameLength)) return error;
  std::lock_guard guard(m_lock);
  if (!m_bound) return WSAEINVAL;
  return WriteIpxAddress(m_local, name, nameLength);
}

DWORD IpxSocket::SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) {
  if (flags & MSG_OOB) return WSAEOPNOTSUPP;
  if (to == nullptr) return WSAEDESTADDRREQ;
  IpxAddress destination;
  if (DWORD error = ReadIpxAddress(to, toLength, &destination)) return error;
  if (static_cast<std::size_t>(length) > kIpxMaxPayload) return WSAEMSGSIZE;
  if (IsZero(destination.node) || destination.socket == 0) return WSAEADDRNOTAVAIL;
  if (IsBroadcast(destination.node) && !m_broadcast) return WSAEACCES;

  IpxHeader header;
  {
    std::lock_guard guard(m_lock);
    if (m_closed) return WSAEINTR;
    // The system binds an unbound socket on its first send.
    if (!m_bound) {
      if (DWORD error = BindLocked(0)) return error;
    }
    header.source = m_local;
  }
  header.packetType = m_packetType;
  header.destination = destination;
  if (IsZero(destination.network)) header.destination.network = header.source.network;

  auto payload = std::span(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(length));
  if (DWORD error = m_link->Send(BuildIpxFrame(header, payload), m_nonBlocking)) return error;
  *sent = length;
  return 0;
}

bool IpxSocket::AcceptsLocked(const IpxFrame& frame) const {
  const IpxAddress& destination = frame.header.destination;
  const IpxAddress& source = frame.header.source;
  if (source == m_local) return false;  // our own frame, back from the segment
  if (!UsableNode(source.node)) return false;
  // Network 0 is the sender's own network.
  const IpxNetwork& network = IsZero(destination.network) ? source.network : destination.network;
  if (network != m_local.network) return false;
  if (destination.node != m_local.node && !IsBroadcast(destination.node)) return false;
  return destination.socket == m_local.socket;
}

DWORD IpxSocket::FillQueueLocked(bool all) {
  int limit = 0;
  if (all && m_link->GetReceiveBuffer(&limit) != 0) limit = 0;
  const std::size_t queueLimit = std::max(static_cast<std::size_t>(limit > 0 ? limit : 0), kMinQueueLimit);
  std::vector<std::uint8_t> bytes;
  while (m_queue.TotalBytes() < queueLimit) {
    DWORD error = m_link->Receive(&bytes);
    if (error == WSAEWOULDBLOCK) return 0;
    if (error) return error;
    std::optional<IpxFrame> frame = ParseIpxFrame(bytes);
    if (!frame || !AcceptsLocked(*frame)) continue;
    Datagram<IpxAddress> datagram;
    if (m_receiveHeader) {
      datagram.data.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(
                                                             kIpxHeaderSize + frame->payload.size()));
    } else {
      datagram.data.assign(frame->payload.begin(), frame->payload.end());
    }
    datagram.from = frame->header.source;
    m_queue.Push(std::move(datagram));
    if (!all) return 0;
  }
  return 0;
}

DWORD IpxSocket::RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) {
  if (flags & ~MSG_PEEK) return WSAEOPNOTSUPP;
  if (from && CheckIpxAddressBuffer(from, fromLength)) return WSAEFAULT;
  {
    std::lock_guard guard(m_lock);
    if (!m_bound) return WSAEINVAL;
  }
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
        IpxAddress source;
        if (DWORD error = m_queue.Take(buffer, length, (flags & MSG_PEEK) != 0, &source, received)) return error;
        return from ? WriteIpxAddress(source, from, fromLength) : 0;
      }
    }
    if (m_nonBlocking) return WSAEWOULDBLOCK;
    DWORD remaining = deadline.RemainingMs();
    if (remaining == 0) return WSAETIMEDOUT;
    if (DWORD error = m_link->WaitReadable(remaining)) return error;
  }
}

DWORD IpxSocket::SetSocketOption(int name, const char* value, int length) {
  bool on = false;
  DWORD number = 0;
  switch (name) {
    case SO_BROADCAST:
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      m_broadcast = on;
      return 0;
    case SO_REUSEADDR:
      // Every station shares the segment anyway; kept only to be read back.
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      m_reuseAddress = on;
      return 0;
    case SO_RCVTIMEO:
      if (DWORD error = ReadDwordOption(value, length, &number)) return error;
      m_receiveTimeoutMs = number;
      return 0;
    case SO_SNDTIMEO:
      if (DWORD error = ReadDwordOption(value, length, &number)) return error;
      if (DWORD error = m_link->SetSendTimeout(number)) return error;
      m_sendTimeoutMs = number;
      return 0;
    case SO_RCVBUF:
      if (DWORD error = ReadDwordOption(value, length, &number)) return error;
      if (static_cast<int>(number) < 0) return WSAEINVAL;
      return m_link->SetReceiveBuffer(static_cast<int>(number));
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD IpxSocket::SetIpxOption(int name, const char* value, int length) {
  bool on = false;
  DWORD number = 0;
  switch (name) {
    case IPX_PTYPE:
      if (DWORD error = ReadDwordOption(value, length, &number)) return error;
      if (number > 0xFF) return WSAEINVAL;
      m_packetType = static_cast<std::uint8_t>(number);
      return 0;
    case VEK_IPX_RECEIVE_HEADER:
      if (DWORD error = ReadBoolOption(value, length, &on)) return error;
      m_receiveHeader = on;
      return 0;
    case VEK_IPX_STATION: {
      IpxAddress station;
      if (DWORD error = ReadIpxAddress(reinterpret_cast<const sockaddr*>(value), length, &station)) return error;
      if (!UsableNetwork(station.network) || !UsableNode(station.node)) return WSAEINVAL;
      std::lock_guard guard(m_lock);
      if (m_bound) return WSAEINVAL;
      m_local.network = station.network;
      m_local.node = station.node;
      return 0;
    }
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD IpxSocket::SetOption(int level, int name, const char* value, int length) {
  if (level == SOL_SOCKET) return SetSocketOption(name, value, length);
  if (level == NSPROTO_IPX) return SetIpxOption(name, value, length);
  return WSAENOPROTOOPT;
}

DWORD IpxSocket::GetOption(int level, int name, char* value, int* length) {
  if (level == NSPROTO_IPX) {
    switch (name) {
      case IPX_PTYPE: return WriteDwordOption(m_packetType, value, length);
      case VEK_IPX_RECEIVE_HEADER: return WriteDwordOption(m_receiveHeader ? 1 : 0, value, length);
      default: return WSAENOPROTOOPT;
    }
  }
  if (level != SOL_SOCKET) return WSAENOPROTOOPT;
  int size = 0;
  switch (name) {
    case SO_BROADCAST: return WriteDwordOption(m_broadcast ? 1 : 0, value, length);
    case SO_REUSEADDR: return WriteDwordOption(m_reuseAddress ? 1 : 0, value, length);
    case SO_RCVTIMEO: return WriteDwordOption(m_receiveTimeoutMs, value, length);
    case SO_SNDTIMEO: return WriteDwordOption(m_sendTimeoutMs, value, length);
    case SO_TYPE: return WriteDwordOption(SOCK_DGRAM, value, length);
    case SO_RCVBUF:
      if (DWORD error = m_link->GetReceiveBuffer(&size)) return error;
      return WriteDwordOption(static_cast<DWORD>(size), value, length);
    default:
      return WSAENOPROTOOPT;
  }
}

DWORD IpxSocket::Ioctl(u_long command, u_long* argument) {
  if (argument == nullptr) return WSAEFAULT;
  if (command == static_cast<u_long>(FIONBIO)) {
    m_nonBlocking = *argument != 0;
    return 0;
  }
  if (command == static_cast<u_long>(FIONREAD)) {
    std::lock_guard guard(m_lock);
    if (m_closed) return WSAEINTR;
    if (m_bound) {
      if (DWORD error = FillQueueLocked(true)) return error;
    }
    std::size_t total = m_queue.TotalBytes();
    *argument = total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u_long>(total);
    return 0;
  }
  return WSAEINVAL;
}

void IpxSocket::Close() {
  std::lock_guard guard(m_lock);
  m_closed = true;
  ReleaseNumberLocked();
  m_link->Shutdown();
}

}  // namespace vek::net
