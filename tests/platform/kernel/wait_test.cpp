// Wait semantics the print path relies on: the lowest signalled index wins, manual
// events stay set, auto events wake one waiter, and a dead owner abandons its mutex.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "kernel/kernel.h"

namespace {

struct Handles {
  std::vector<HANDLE> list;
  ~Handles() {
    for (HANDLE h : list) CloseHandle(h);
  }
  HANDLE Add(HANDLE h) {
    list.push_back(h);
    return h;
  }
};

TEST(WaitAny, LowestSignalledIndexWins) {
  Handles h;
  HANDLE events[4];
  for (HANDLE& e : events) e = h.Add(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  SetEvent(events[3]);
  SetEvent(events[1]);
  SetEvent(events[2]);
  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 1);
  ResetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 2);
}

TEST(WaitAny, StopEventBeatsMutexInFirstPosition) {
  // The queue lock waits for (shutdown, end, close, mutex): a stop must win over the lock.
  Handles h;
  HANDLE stop = h.Add(CreateEventA(nullptr, TRUE, TRUE, nullptr));
  HANDLE mutex = h.Add(CreateMutexA(nullptr, FALSE, nullptr));
  HANDLE both[] = {stop, mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 1200), WAIT_OBJECT_0);
  // The mutex was not taken by that wait, so releasing it fails.
  EXPECT_FALSE(ReleaseMutex(mutex));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
}

TEST(Events, ManualResetStaysSignalledAutoResetWakesOne) {
  Handles h;
  HANDLE manual = h.Add(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE automatic = h.Add(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  SetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  SetEvent(automatic);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);

  // Two threads wait on the auto-reset event; one SetEvent releases exactly one.
  std::atomic<int> woken{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i)
    waiters.emplace_back([&] {
      if (WaitForSingleObject(automatic, 3000) == WAIT_OBJECT_0) ++woken;
    });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  SetEvent(automatic);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (woken == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(woken.load(), 1);
  SetEvent(automatic);
  for (auto& t : waiters) t.join();
  EXPECT_EQ(woken.load(), 2);
}

TEST(Events, SetFromAnotherThreadEndsAnInfiniteWait) {
  Handles h;
  HANDLE event = h.Add(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(event);
  });
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  setter.join();
}

TEST(Timeouts, ExpireAfterRoughlyTheTimeAsked) {
  Handles h;
  HANDLE event = h.Add(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 120), WAIT_TIMEOUT);
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, std::chrono::milliseconds(115));
  EXPECT_LT(took, std::chrono::seconds(3));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
}

TEST(Handles, ClosedOrBogusHandleFailsTheWait) {
  HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_FALSE(SetEvent(event));
  // A handle value is never reused by a later object.
  HANDLE next = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  EXPECT_NE(next, event);
  CloseHandle(next);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(Handles, WaitAllTakesEveryObjectAtOnce) {
  Handles h;
  HANDLE a = h.Add(CreateEventA(nullptr, FALSE, TRUE, nullptr));
  HANDLE b = h.Add(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  HANDLE both[] = {a, b};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
  // A wait-all that did not complete consumed nothing.
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);
  SetEvent(a);
  SetEvent(b);
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
}

TEST(Mutexes, RecursiveOwnershipAndRelease) {
  Handles h;
  HANDLE mutex = h.Add(CreateMutexA(nullptr, TRUE, nullptr));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owner enters again
  std::atomic<DWORD> other{0};
  std::thread([&] { other = WaitForSingleObject(mutex, 50); }).join();
  EXPECT_EQ(other.load(), WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseMutex(mutex));
  std::thread([&] { other = WaitForSingleObject(mutex, 50); }).join();
  EXPECT_EQ(other.load(), WAIT_TIMEOUT);  // still held once
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
}

TEST(Mutexes, AbandonedByADeadOwnerCountsAsTaken) {
  Handles h;
  HANDLE mutex = h.Add(CreateMutexA(nullptr, FALSE, nullptr));
  std::thread([&] { ASSERT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); }).join();
  HANDLE list[] = {h.Add(CreateEventA(nullptr, TRUE, FALSE, nullptr)), mutex};
  EXPECT_EQ(WaitForMultipleObjects(2, list, FALSE, 1000), WAIT_ABANDONED_0 + 1);
  // The waiter now owns it: another thread cannot take it, and it can be released.
  DWORD other = 0;
  std::thread([&] { other = WaitForSingleObject(mutex, 20); }).join();
  EXPECT_EQ(other, WAIT_TIMEOUT);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // no longer abandoned
  ReleaseMutex(mutex);
}

TEST(Mutexes, ThreadCreatedByTheLayerAbandonsBeforeItsHandleSignals) {
  Handles h;
  static HANDLE s_mutex;
  s_mutex = h.Add(CreateMutexA(nullptr, FALSE, nullptr));
  HANDLE thread = h.Add(CreateThread(nullptr, 0, [](LPVOID) -> DWORD { return WaitForSingleObject(s_mutex, 0); },
                                     nullptr, 0, nullptr));
  ASSERT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(s_mutex, 0), WAIT_ABANDONED_0);
  ReleaseMutex(s_mutex);
}

TEST(Named, SecondCreationOpensTheSameEvent) {
  Handles h;
  HANDLE first = h.Add(CreateEventA(nullptr, TRUE, FALSE, "vek-test-named"));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  HANDLE second = h.Add(CreateEventW(nullptr, TRUE, FALSE, u"vek-test-named"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
}

TEST(CriticalSections, AreRecursiveAndExclude) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  BOOL taken = TRUE;
  std::thread([&] { taken = TryEnterCriticalSection(&section); }).join();
  EXPECT_FALSE(taken);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  std::thread([&] {
    taken = TryEnterCriticalSection(&section);
    if (taken) LeaveCriticalSection(&section);
  }).join();
  EXPECT_TRUE(taken);
  DeleteCriticalSection(&section);
}

TEST(Interlocked, ReturnsTheWindowsResults) {
  LONG value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedExchange(&value, 9), 5);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 7), 9);  // no swap
  EXPECT_EQ(value, 9);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
  EXPECT_EQ(value, 1);
}

}  // namespace
