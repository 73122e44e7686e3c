// Every request the emulator received, for tests to assert on the wire.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/transport.h"

namespace vek::emu {

// The bytes of a data datagram the log keeps: past every header form's fields.
constexpr std::size_t kDataHeadKept = 16;

struct LoggedRequest {
  std::size_t device = 0;      // index of the device that took it
  bool broadcast = false;      // UDP broadcast socket, IPX broadcast node, NetBIOS group name
  TransportKind transport = TransportKind::Udp;
  Via via = Via::Main;         // the device's endpoint it arrived at
  std::uint32_t fromAddress = 0;  // UDP: host order
  std::uint16_t fromPort = 0;     // UDP port or IPX socket
  std::string peer;            // the sender, as text
  int ipxPacketType = -1;      // IPX only
  std::uint16_t command = 0;   // its command word in the device's dialect; 0: not its dialect
  std::string kind;            // search, status, connect, data, eoj, upload, ... or other
  std::string note;            // what became of it
  bool answered = false;       // the device made an answer (sent now or later)
  // The datagram; of a data datagram only its first kDataHeadKept bytes (its
  // header and fields), so a log kept whole does not hold every job's bytes.
  std::vector<std::uint8_t> data;
  std::size_t size = 0;        // the datagram's whole length
  std::chrono::steady_clock::time_point when;
};

class RequestLog {
 public:
  using Predicate = std::function<bool(const std::vector<LoggedRequest>&)>;

  void Add(LoggedRequest request);
  std::vector<LoggedRequest> Snapshot() const;
  std::size_t Count() const;
  void Clear();
  // Keeps the last requests only, at least limit and fewer than twice as many
  // (0: all); a program that runs for long must not grow without end.
  void SetLimit(std::size_t limit);
  // Waits until predicate holds for the log, at most timeout; true when it held.
  bool WaitFor(const Predicate& predicate, std::chrono::milliseconds timeout) const;
  // Waits until at least count requests are logged.
  bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex m_lock;
  mutable std::condition_variable m_changed;
  std::vector<LoggedRequest> m_requests;
  std::size_t m_limit = 0;
};

}  // namespace vek::emu
