// Time as the system's code reads it: a 32-bit millisecond tick that wraps, and Sleep.
// Every wait of the layer reads time through the installed clock, so unit tests
// of timing logic can substitute a virtual one.
#pragma once

#include <cstdint>

#include "kernel/types.h"

DWORD GetTickCount();
ULONGLONG GetTickCount64();
void Sleep(DWORD milliseconds);

namespace vek {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic scale; the tick count is its low 32 bits.
  virtual std::uint64_t NowMs() = 0;
  virtual void SleepMs(DWORD milliseconds) = 0;
  virtual bool IsVirtual() const { return false; }
};

// A clock that moves only when told. Sleep advances it by the time slept, so a
// single-threaded test runs through throttles and time-outs at once; waits with a
// time-out end when Advance passes their deadline.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(std::uint64_t startMs = 0);
  std::uint64_t NowMs() override;
  void SleepMs(DWORD milliseconds) override;
  bool IsVirtual() const override { return true; }
  void Advance(std::uint64_t milliseconds);
  void Set(std::uint64_t nowMs);

 private:
  std::uint64_t m_now;
};

// Installs a clock for the whole process (nullptr restores the real one). The caller
// keeps ownership and must uninstall before destroying it.
void InstallClock(Clock* clock);
Clock& CurrentClock();

// Threads blocked in a handle wait right now, so tests can tell a waiter has started
// waiting before they move a virtual clock.
std::size_t BlockedWaiters();

// RAII installation for tests.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) { InstallClock(&clock); }
  ~ScopedClock() { InstallClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace vek
