#include "net/ipx_socket_numbers.h"

#include <mutex>
#include <random>
#include <set>
#include <tuple>

#include "net/wsa_errors.h"

namespace vek::net {
namespace {

using Key = std::tuple<IpxNetwork, IpxNode, std::uint16_t>;

struct Table {
  std::mutex lock;
  std::set<Key> held;
  std::uint16_t next;
};

constexpr unsigned kDynamicCount = kIpxLastDynamicSocket - kIpxFirstDynamicSocket + 1u;

Table& Numbers() {
  static Table* table = [] {
    auto* fresh = new Table;  // used by sockets closed late in the process
    fresh->next = static_cast<std::uint16_t>(kIpxFirstDynamicSocket + std::random_device{}() % kDynamicCount);
    return fresh;
  }();
  return *table;
}

}  // namespace

DWORD ClaimIpxSocketNumber(const IpxAddress& station, std::uint16_t requested, std::uint16_t* granted) {
  Table& table = Numbers();
  std::lock_guard guard(table.lock);
  if (requested != 0) {
    if (!table.held.emplace(station.network, station.node, requested).second) return WSAEADDRINUSE;
    *granted = requested;
    return 0;
  }
  for (unsigned tries = 0; tries < kDynamicCount; ++tries) {
    const std::uint16_t candidate = table.next;
    table.next = candidate == kIpxLastDynamicSocket ? kIpxFirstDynamicSocket
                                                    : static_cast<std::uint16_t>(candidate + 1);
    if (table.held.emplace(station.network, station.node, candidate).second) {
      *granted = candidate;
      return 0;
    }
  }
  return WSAENOBUFS;
}

void ReleaseIpxSocketNumber(const IpxAddress& address) {
  Table& table = Numbers();
  std::lock_guard guard(table.lock);
  table.held.erase(Key{address.network, address.node, address.socket});
}

}  // namespace vek::net
