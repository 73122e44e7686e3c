#include "kernel/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "kernel/waitable.h"

namespace vek {
namespace {

class RealClock : public Clock {
 public:
  std::uint64_t NowMs() override {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void SleepMs(DWORD milliseconds) override {
    if (milliseconds == INFINITE) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

RealClock g_realClock;
std::atomic<Clock*> g_clock{&g_realClock};

}  // namespace

VirtualClock::VirtualClock(std::uint64_t startMs) : m_now(startMs) {}

std::uint64_t VirtualClock::NowMs() { return std::atomic_ref(m_now).load(); }

void VirtualClock::SleepMs(DWORD milliseconds) { Advance(milliseconds == INFINITE ? 0 : milliseconds); }

void VirtualClock::Advance(std::uint64_t milliseconds) {
  std::atomic_ref(m_now).fetch_add(milliseconds);
  kernel::WakeAllWaiters();
}

void VirtualClock::Set(std::uint64_t nowMs) {
  std::atomic_ref(m_now).store(nowMs);
  kernel::WakeAllWaiters();
}

void InstallClock(Clock* clock) {
  g_clock.store(clock ? clock : &g_realClock);
  kernel::WakeAllWaiters();
}

Clock& CurrentClock() { return *g_clock.load(); }

}  // namespace vek

DWORD GetTickCount() { return static_cast<DWORD>(vek::CurrentClock().NowMs()); }

ULONGLONG GetTickCount64() { return vek::CurrentClock().NowMs(); }

void Sleep(DWORD milliseconds) { vek::CurrentClock().SleepMs(milliseconds); }
