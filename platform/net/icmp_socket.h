// socket(AF_INET, SOCK_RAW, IPPROTO_ICMP): ICMP echo over an IcmpTransport. Sends
// the ICMP bytes as given; receives whole IPv4 datagrams (IP header first), as a raw
// socket on Windows does. bind accepts any AF_INET address: the transport decides
// where replies come from.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "net/datagram_queue.h"
#include "net/endpoint.h"
#include "net/icmp_transport.h"
#include "net/socket_impl.h"

namespace vek::net {

class IcmpSocket final : public SocketImpl {
 public:
  // Null with *error set when no transport can be had (no permission).
  static std::shared_ptr<IcmpSocket> Create(DWORD* error);
  explicit IcmpSocket(std::unique_ptr<IcmpTransport> transport) : m_transport(std::move(transport)) {}

  DWORD Bind(const sockaddr* name, int nameLength) override;
  DWORD GetSockName(sockaddr* name, int* nameLength) override;
  DWORD SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength, int* sent) override;
  DWORD RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength, int* received) override;
  DWORD SetOption(int level, int name, const char* value, int length) override;
  DWORD GetOption(int level, int name, char* value, int* length) override;
  DWORD Ioctl(u_long command, u_long* argument) override;
  void Close() override;

 private:
  const std::unique_ptr<IcmpTransport> m_transport;
  std::mutex m_lock;  // guards m_queue, m_local
  DatagramQueue<Ipv4Endpoint> m_queue;
  Ipv4Endpoint m_local;
  std::atomic<bool> m_closed{false};
  std::atomic<bool> m_bound{false};
  std::atomic<bool> m_broadcast{false};
  std::atomic<bool> m_nonBlocking{false};
  std::atomic<DWORD> m_receiveTimeoutMs{0};
  std::atomic<DWORD> m_sendTimeoutMs{0};
  std::atomic<DWORD> m_receiveBuffer{65536};
  std::atomic<DWORD> m_sendBuffer{65536};
};

}  // namespace vek::net
