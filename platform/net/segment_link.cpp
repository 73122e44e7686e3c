#include "net/segment_link.h"

#include "net/posix_socket.h"
#include "net/wsa_errors.h"

namespace vek::net {

std::unique_ptr<SegmentLink> SegmentLink::Open(const Ipv4Endpoint& segment, DWORD* error) {
  int fd = posix::OpenUdp(error);
  if (fd < 0) return nullptr;
  DWORD failure = posix::SetFlag(fd, posix::Flag::ReuseAddress, true);
  if (failure == 0) failure = posix::SetFlag(fd, posix::Flag::Broadcast, true);
  if (failure == 0) failure = posix::Bind(fd, segment);
  if (failure != 0) {
    posix::Close(fd);
    *error = failure;
    return nullptr;
  }
  return std::unique_ptr<SegmentLink>(new SegmentLink(fd, segment));
}

SegmentLink::~SegmentLink() { posix::Close(m_fd); }

DWORD SegmentLink::Send(std::span<const std::uint8_t> frame, bool noWait) {
  std::size_t sent = 0;
  return posix::SendTo(m_fd, frame, m_segment, noWait, &sent);
}

DWORD SegmentLink::WaitReadable(DWORD timeoutMs) { return posix::WaitReadable(m_fd, timeoutMs); }

DWORD SegmentLink::Receive(std::vector<std::uint8_t>* frame) {
  Ipv4Endpoint from;
  return posix::ReceiveDatagram(m_fd, frame, &from);
}

void SegmentLink::Drain() {
  std::vector<std::uint8_t> frame;
  while (Receive(&frame) == 0) {
  }
}

void SegmentLink::Shutdown() { posix::Shutdown(m_fd); }

DWORD SegmentLink::SetReceiveBuffer(int bytes) { return posix::SetBufferSize(m_fd, posix::Buffer::Receive, bytes); }

DWORD SegmentLink::GetReceiveBuffer(int* bytes) { return posix::GetBufferSize(m_fd, posix::Buffer::Receive, bytes); }

DWORD SegmentLink::SetSendTimeout(DWORD milliseconds) { return posix::SetSendTimeout(m_fd, milliseconds); }

}  // namespace vek::net
