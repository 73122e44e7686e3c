// One station's attachment to a simulated segment. A segment is a UDP broadcast
// address and port on loopback: every station binds that address and port with
// SO_REUSEADDR and sends each frame to it, so every station hears every frame (its
// own included) as stations on a shared medium do. Only a broadcast address gives
// that: a unicast datagram reaches one of the sockets sharing a port, not all.
//
// Thread-safe: one thread may wait and receive while others send.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "kernel/types.h"
#include "net/endpoint.h"

namespace vek::net {

class SegmentLink {
 public:
  // Null with *error (a WSA code) set when the segment cannot be joined.
  static std::unique_ptr<SegmentLink> Open(const Ipv4Endpoint& segment, DWORD* error);
  ~SegmentLink();
  SegmentLink(const SegmentLink&) = delete;
  SegmentLink& operator=(const SegmentLink&) = delete;

  const Ipv4Endpoint& Segment() const { return m_segment; }

  // One frame to every station. noWait: a full send buffer reads WSAEWOULDBLOCK.
  DWORD Send(std::span<const std::uint8_t> frame, bool noWait);
  // INFINITE waits forever, 0 only looks; WSAETIMEDOUT when the time passed.
  DWORD WaitReadable(DWORD timeoutMs);
  // The next frame without waiting; WSAEWOULDBLOCK when there is none.
  DWORD Receive(std::vector<std::uint8_t>* frame);
  // Drops every frame waiting now.
  void Drain();
  // Wakes every waiter for good; later waits return at once.
  void Shutdown();

  DWORD SetReceiveBuffer(int bytes);
  DWORD GetReceiveBuffer(int* bytes);
  DWORD SetSendTimeout(DWORD milliseconds);

 private:
  SegmentLink(int fd, const Ipv4Endpoint& segment) : m_fd(fd), m_segment(segment) {}

  const int m_fd;
  const Ipv4Endpoint m_segment;
};

}  // namespace vek::net
