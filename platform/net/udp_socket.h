// AF_INET datagram sockets with the Windows semantics the system relies on:
// millisecond receive time-outs that read WSAETIMEDOUT, oversize datagrams refused
// whole (WSAEMSGSIZE), FIONREAD counting every queued datagram, and SO_BROADCAST
// required for broadcasts, which go to the mapped broadcast address.
//
// A receive is one system call: it takes a datagram already queued by FIONREAD,
// or waits in the system with the socket's own time-out. While one waits so,
// FIONREAD counts only what is queued: what arrives is the waiting receive's.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "net/datagram_queue.h"
#include "net/endpoint.h"
#include "net/socket_impl.h"

namespace vek::net {

class UdpSocket final : public SocketImpl {
 public:
  // Null with *error set when the system refuses a socket.
  static std::shared_ptr<UdpSocket> Create(DWORD* error);
  ~UdpSocket() override;

  DWORD Bind(const sockaddr* name, int nameLength) override;
  DWORD GetSockName(sockaddr* name, int* nameLength) override;
  DWORD SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) override;
  DWORD RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) override;
  DWORD SetOption(int level, int name, const char* value, int length) override;
  DWORD GetOption(int level, int name, char* value, int* length) override;
  DWORD Ioctl(u_long command, u_long* argument) override;
  void Close() override;

  explicit UdpSocket(int fd) : m_fd(fd) {}

 private:
  // With m_lock held: moves datagrams waiting in the system into m_queue, one or
  // all, up to what the receive buffer would hold.
  DWORD FillQueueLocked(bool all);
  // A peek waits with the datagram queued, so the next receive finds it.
  DWORD PeekFrom(char* buffer, int length, sockaddr* from, int* fromLength, int* received);

  const int m_fd;
  std::mutex m_lock;  // guards m_queue and the reads from m_fd
  DatagramQueue<Ipv4Endpoint> m_queue;
  std::atomic<bool> m_closed{false};
  int m_waiting = 0;           // receives waiting in the system; guarded by m_lock
  std::atomic<int> m_queueLimit{-1};  // what the receive buffer holds; -1 not read yet
  std::atomic<bool> m_bound{false};
  std::atomic<bool> m_broadcast{false};
  std::atomic<bool> m_reuseAddress{false};
  std::atomic<bool> m_nonBlocking{false};
  std::atomic<DWORD> m_receiveTimeoutMs{0};
  std::atomic<DWORD> m_sendTimeoutMs{0};
};

}  // namespace vek::net
