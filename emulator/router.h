// The IPX router the emulator can play: a station on the segment that answers
// routing-information requests (socket 0x0453, packet type 1) with the networks
// it is configured to know. Hosts send such a request to find the networks to
// search; an answer lists 8 bytes per network: the network number, then hops
// and ticks, big-endian as IPX has them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device_config.h"
#include "net/winsock.h"

namespace vek::emu {

constexpr std::uint16_t kRipSocket = 0x0453;
constexpr int kRipPacketType = 1;
constexpr std::uint16_t kRipRequest = 1;
constexpr std::uint16_t kRipResponse = 2;
// Entries in one answer, as IPX routers send them.
constexpr std::size_t kRipEntriesPerAnswer = 50;

// The answers to one request payload: every route for a request of network
// FF FF FF FF, else the routes of the networks asked for. None (with *note) for
// a datagram that is not a request.
std::vector<std::vector<std::uint8_t>> AnswerRip(std::span<const std::uint8_t> request, int packetType,
                                                 const std::vector<RipRoute>& routes, std::string* note);

struct RouterCounters {
  int requests = 0;  // datagrams to the router's socket
  int answered = 0;
  int ignored = 0;
  std::string lastIgnored;  // why the last one not answered was not
};

class IpxRouter {
 public:
  // A station of its own: network and node; routes are what it announces.
  IpxRouter(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
            std::vector<RipRoute> routes);
  ~IpxRouter();

  bool Open(std::string* message, int* error);
  void Run();
  void Close();
  RouterCounters Counters() const;
  std::string Describe() const;

 private:
  void Serve();

  const std::array<std::uint8_t, 4> m_network;
  const std::array<std::uint8_t, 6> m_node;
  const std::vector<RipRoute> m_routes;
  SOCKET m_socket = INVALID_SOCKET;
  std::thread m_thread;
  std::atomic<bool> m_stopping{false};
  mutable std::mutex m_lock;
  RouterCounters m_counters;
};

}  // namespace vek::emu
