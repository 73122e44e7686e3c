#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "kernel/kernel.h"

namespace {

TEST(RealClock, TickCountMovesWithSleep) {
  DWORD before = GetTickCount();
  Sleep(30);
  DWORD elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 29u);
  EXPECT_LT(elapsed, 3000u);
}

TEST(VirtualClock, TickCountWrapsAndDifferencesStayRight) {
  vek::VirtualClock clock(0xFFFFFF00ull);
  vek::ScopedClock installed(clock);
  DWORD start = GetTickCount();
  EXPECT_EQ(start, 0xFFFFFF00u);
  Sleep(0x200);  // sleeping moves virtual time, at once
  DWORD now = GetTickCount();
  EXPECT_EQ(now, 0x100u);
  EXPECT_EQ(now - start, 0x200u);
  EXPECT_EQ(GetTickCount64(), 0x100000100ull);
}

TEST(VirtualClock, TimedWaitEndsWhenTimeIsAdvancedPastItsDeadline) {
  vek::VirtualClock clock(1000);
  vek::ScopedClock installed(clock);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<DWORD> result{0xDEAD};
  std::thread waiter([&] { result = WaitForSingleObject(event, 5000); });
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (vek::BlockedWaiters() == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  clock.Advance(4000);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(result.load(), 0xDEADu);  // 4000 of 5000 virtual ms: still waiting
  clock.Advance(1000);
  waiter.join();
  EXPECT_EQ(result.load(), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(VirtualClock, UninstallRestoresTheRealClock) {
  {
    vek::VirtualClock clock(5);
    vek::ScopedClock installed(clock);
    EXPECT_TRUE(vek::CurrentClock().IsVirtual());
  }
  EXPECT_FALSE(vek::CurrentClock().IsVirtual());
}

}  // namespace
