// Every request the emulator received, for tests to assert on the wire.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace vek::emu {

struct LoggedRequest {
  std::size_t device = 0;      // index of the device that took it
  bool broadcast = false;      // arrived on the broadcast socket
  std::uint32_t fromAddress = 0;  // host order
  std::uint16_t fromPort = 0;
  std::uint16_t command = 0;   // bytes 4-5 of a "NET" datagram; 0 for anything else
  bool answered = false;     // the device made an answer (sent now or later)
  std::vector<std::uint8_t> data;
  std::chrono::steady_clock::time_point when;
};

class RequestLog {
 public:
  using Predicate = std::function<bool(const std::vector<LoggedRequest>&)>;

  void Add(LoggedRequest request);
  std::vector<LoggedRequest> Snapshot() const;
  std::size_t Count() const;
  void Clear();
  // Waits until predicate holds for the log, at most timeout; true when it held.
  bool WaitFor(const Predicate& predicate, std::chrono::milliseconds timeout) const;
  // Waits until at least count requests are logged.
  bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex m_lock;
  mutable std::condition_variable m_changed;
  std::vector<LoggedRequest> m_requests;
};

}  // namespace vek::emu
