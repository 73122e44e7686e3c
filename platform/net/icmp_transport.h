// How ICMP echo messages reach the network: behind an interface, so tests can put a
// fake in place of the system's sockets. socket(AF_INET, SOCK_RAW, IPPROTO_ICMP)
// creates one transport per socket through the installed factory.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "kernel/types.h"

namespace vek::net {

// Every method returns 0 or a WSA error code and never throws. Send and Receive
// may run at the same time on different threads.
class IcmpTransport {
 public:
  virtual ~IcmpTransport() = default;

  // Sends one ICMP message (ICMP header and data, as given) to an IPv4 address in
  // network byte order.
  virtual DWORD Send(std::uint32_t destination, std::span<const std::uint8_t> message) = 0;

  // Receives one whole IPv4 datagram: IP header, then the ICMP message. *source is
  // the sender's address in network byte order. timeoutMs: INFINITE waits forever,
  // 0 only looks; WSAETIMEDOUT when nothing came.
  virtual DWORD Receive(DWORD timeoutMs, std::vector<std::uint8_t>* datagram, std::uint32_t* source) = 0;

  // Wakes a blocked Receive, which then fails with WSAEINTR, as do later calls.
  virtual void Close() = 0;
};

// Returns a transport, or null with *error set to the WSA code socket() reports.
using IcmpTransportFactory = std::function<std::unique_ptr<IcmpTransport>(DWORD* error)>;

// Replaces the factory for the whole process; nullptr restores the system's.
void InstallIcmpTransportFactory(IcmpTransportFactory factory);

// Through the installed factory.
std::unique_ptr<IcmpTransport> CreateIcmpTransport(DWORD* error);

// The system's transports. Automatic takes a raw socket where permitted (root or
// CAP_NET_RAW), else an unprivileged ping socket, whose replies get a synthesised
// IPv4 header; when neither is permitted, null with WSAEACCES (or
// WSAESOCKTNOSUPPORT when the system has no ping sockets).
enum class IcmpSocketKind { Automatic, Raw, Ping };
std::unique_ptr<IcmpTransport> CreateSystemIcmpTransport(IcmpSocketKind kind, DWORD* error);

}  // namespace vek::net
