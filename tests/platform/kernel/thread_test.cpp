#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "kernel/kernel.h"

namespace {

std::atomic<int> g_runs{0};

DWORD CountRun(LPVOID parameter) {
  ++g_runs;
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResume) {
  g_runs = 0;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, CountRun, reinterpret_cast<LPVOID>(42), CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(GetThreadId(thread), id);
  EXPECT_EQ(WaitForSingleObject(thread, 100), WAIT_TIMEOUT);
  EXPECT_EQ(g_runs.load(), 0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(ResumeThread(thread), 1u);
  ASSERT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
  EXPECT_EQ(g_runs.load(), 1);
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_EQ(ResumeThread(thread), 0u);
  CloseHandle(thread);
  EXPECT_EQ(ResumeThread(thread), 0xFFFFFFFFu);
}

TEST(Threads, IdsAreDistinctAndStablePerThread) {
  DWORD mine = GetCurrentThreadId();
  EXPECT_EQ(GetCurrentThreadId(), mine);
  DWORD other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, mine);
  EXPECT_NE(other, 0u);
}

TEST(Threads, PrioritiesAreRememberedNotEnforced) {
  HANDLE thread = CreateThread(nullptr, 0, CountRun, nullptr, CREATE_SUSPENDED, nullptr);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_LOWEST);
  EXPECT_FALSE(SetThreadPriority(thread, 99));
  EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
  ResumeThread(thread);
  WaitForSingleObject(thread, 2000);
  CloseHandle(thread);
}

TEST(Threads, LastErrorIsPerThread) {
  SetLastError(1117);
  DWORD seen = 1;
  std::thread([&] {
    seen = GetLastError();
    SetLastError(28);
  }).join();
  EXPECT_EQ(seen, 0u);
  EXPECT_EQ(GetLastError(), 1117u);
}

}  // namespace
