// A wait limit in milliseconds, as the socket time-outs give it. Socket waits happen
// in the operating system, so they run on the real monotonic clock.
#pragma once

#include <chrono>

#include "kernel/types.h"

namespace vek::net {

class Deadline {
 public:
  // INFINITE never expires.
  explicit Deadline(DWORD milliseconds)
      : m_infinite(milliseconds == INFINITE),
        m_end(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)) {}

  // INFINITE, or the milliseconds left rounded up (0 once expired), so a wait for the
  // remainder never ends before the deadline.
  DWORD RemainingMs() const {
    if (m_infinite) return INFINITE;
    auto left = m_end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms >= static_cast<long long>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(ms);
  }

 private:
  bool m_infinite;
  std::chrono::steady_clock::time_point m_end;
};

}  // namespace vek::net
