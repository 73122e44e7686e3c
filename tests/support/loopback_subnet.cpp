#include "support/loopback_subnet.h"

#include <unistd.h>

#include <atomic>
#include <mutex>
#include <random>

#include "net/broadcast.h"

namespace vek::test {
namespace {

// 20600 to 28499: below the ephemeral range, above the device port (20560) and
// below the segments' default ports (28500, 28600).
constexpr unsigned kFirstSegmentPort = 20600;
constexpr unsigned kSegmentPortsPerProcess = 4;
constexpr unsigned kSegmentSlots = 1975;

int RandomBelow(int limit) {
  static std::mutex lock;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard guard(lock);
  return static_cast<int>(generator() % static_cast<unsigned>(limit));
}

// The override the live scopes set, innermost last in effect.
std::mutex g_broadcastLock;
std::optional<std::string> g_broadcastOverride;

}  // namespace

LoopbackSubnet::LoopbackSubnet() : m_a(2 + RandomBelow(253)), m_b(RandomBelow(256)) {}

LoopbackSubnet::LoopbackSubnet(int a, int b) : m_a(a), m_b(b) {}

std::uint32_t LoopbackSubnet::Host(int host) const {
  return 0x7F000000u | (static_cast<std::uint32_t>(m_a) << 16) | (static_cast<std::uint32_t>(m_b) << 8) |
         (static_cast<std::uint32_t>(host) & 0xFF);
}

std::string LoopbackSubnet::Dotted(int host) const {
  return "127." + std::to_string(m_a) + "." + std::to_string(m_b) + "." + std::to_string(host & 0xFF);
}

std::uint16_t RandomSegmentPort() {
  // Each process has four ports of its own, chosen by its id: tests running side
  // by side never share a segment, as random ports now and then did. The first
  // pick is random within the four, so a process reusing an id soon after
  // another is unlikely to meet what that one left.
  static std::atomic<unsigned> next{static_cast<unsigned>(RandomBelow(kSegmentPortsPerProcess))};
  const unsigned slot = static_cast<unsigned>(getpid()) % kSegmentSlots;
  return static_cast<std::uint16_t>(kFirstSegmentPort + slot * kSegmentPortsPerProcess +
                                    next++ % kSegmentPortsPerProcess);
}

ScopedBroadcast::ScopedBroadcast(const std::string& dotted) {
  std::lock_guard guard(g_broadcastLock);
  m_replaced = g_broadcastOverride;
  if (vek::net::SetBroadcastAddress(dotted.c_str())) g_broadcastOverride = dotted;
}

ScopedBroadcast::~ScopedBroadcast() {
  std::lock_guard guard(g_broadcastLock);
  if (m_replaced)
    vek::net::SetBroadcastAddress(m_replaced->c_str());
  else
    vek::net::ResetBroadcastAddress();
  g_broadcastOverride = m_replaced;
}

}  // namespace vek::test
