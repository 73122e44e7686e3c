// A loopback subnet of one test: 127.A.B.0/24 picked at random, so tests that run
// in parallel processes keep their devices and their "broadcasts" apart. Devices
// live at 127.A.B.N; the test maps broadcasts to the unicast 127.A.B.255, where an
// in-process emulator takes them for all its devices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vek::test {

class LoopbackSubnet {
 public:
  // A in 2..254, B in 0..255, at random.
  LoopbackSubnet();
  LoopbackSubnet(int a, int b);

  int A() const { return m_a; }
  int B() const { return m_b; }
  // 127.A.B.host in host byte order, and as dotted text.
  std::uint32_t Host(int host) const;
  std::string Dotted(int host) const;
  std::uint32_t BroadcastHost() const { return Host(255); }
  std::string Broadcast() const { return Dotted(255); }
  bool Contains(std::uint32_t hostOrder) const { return (hostOrder & 0xFFFFFF00u) == Host(0); }

 private:
  int m_a;
  int m_b;
};

// A UDP port for a test's own IPX or NetBIOS segment, one of four that are this
// process's alone (in turn): below the ephemeral range, away from the device
// port and the segments' default ports.
std::uint16_t RandomSegmentPort();

// Maps broadcasts of the net layer to an address for the life of the object; at
// its end the mapping goes back to what it replaced (an enclosing scope's address,
// or the environment's when none), so scopes nest. Scopes end in the reverse order
// of their start.
class ScopedBroadcast {
 public:
  explicit ScopedBroadcast(const std::string& dotted);
  ~ScopedBroadcast();
  ScopedBroadcast(const ScopedBroadcast&) = delete;
  ScopedBroadcast& operator=(const ScopedBroadcast&) = delete;

 private:
  std::optional<std::string> m_replaced;  // the override before this scope, none for the environment
};

}  // namespace vek::test
