// socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX): a station's socket on the simulated IPX
// segment (see net/ipx_segment.h for what the socket calls do with it).
//
// Each socket has its own attachment to the segment and so hears every frame; it
// keeps the frames addressed to it and drops the rest as it reads them. Frames are
// hostile input: anything that does not parse as IPX is dropped.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "net/datagram_queue.h"
#include "net/ipx_endpoint.h"
#include "net/ipx_header.h"
#include "net/segment_link.h"
#include "net/socket_impl.h"

namespace vek::net {

class IpxSocket final : public SocketImpl {
 public:
  // Joins the configured segment as the process's station. Null with *error set
  // when the segment cannot be joined.
  static std::shared_ptr<IpxSocket> Create(DWORD* error);
  IpxSocket(std::unique_ptr<SegmentLink> link, const IpxAddress& station);
  ~IpxSocket() override;

  DWORD Bind(const sockaddr* name, int nameLength) override;
  DWORD GetSockName(sockaddr* name, int* nameLength) override;
  DWORD SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) override;
  DWORD RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) override;
  DWORD SetOption(int level, int name, const char* value, int length) override;
  DWORD GetOption(int level, int name, char* value, int* length) override;
  DWORD Ioctl(u_long command, u_long* argument) override;
  void Close() override;

 private:
  DWORD SetSocketOption(int name, const char* value, int length);
  DWORD SetIpxOption(int name, const char* value, int length);
  // With m_lock held.
  DWORD BindLocked(std::uint16_t requested);
  void ReleaseNumberLocked();
  bool AcceptsLocked(const IpxFrame& frame) const;
  // Reads frames from the segment into m_queue: until one is kept, or (all) until
  // the segment has none left or the queue is full.
  DWORD FillQueueLocked(bool all);

  const std::unique_ptr<SegmentLink> m_link;
  std::mutex m_lock;  // guards everything below it, and the reads from m_link
  DatagramQueue<IpxAddress> m_queue;
  IpxAddress m_local;  // the station; its socket number once bound
  bool m_bound = false;
  bool m_closed = false;
  std::atomic<bool> m_broadcast{false};
  std::atomic<bool> m_reuseAddress{false};
  std::atomic<bool> m_nonBlocking{false};
  std::atomic<bool> m_receiveHeader{false};
  std::atomic<std::uint8_t> m_packetType{0};
  std::atomic<DWORD> m_receiveTimeoutMs{0};
  std::atomic<DWORD> m_sendTimeoutMs{0};
};

}  // namespace vek::net
