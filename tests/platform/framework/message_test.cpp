// Messages between threads: a sender blocks until the owner retrieves messages, in
// any of its retrieval calls; timers fire only through the owner's own loop.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework_test_support.h"

namespace {

constexpr UINT kAsk = WM_APP + 1;

class CAnswerWnd : public CFrameWnd {
 public:
  std::atomic<int> asked{0};
  std::atomic<int> timers{0};
  std::atomic<DWORD> timerThread{0};
  LRESULT OnAsk(WPARAM w, LPARAM) {
    ++asked;
    return static_cast<LRESULT>(w * 2);
  }
  void OnTimer(UINT_PTR) {
    ++timers;
    timerThread = GetCurrentThreadId();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAnswerWnd, CFrameWnd)
  ON_MESSAGE(kAsk, OnAsk)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(CrossThreadSend, ServedByAMsgWaitForMultipleObjectsWaiter) {
  HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<HWND> window{nullptr};
  std::atomic<int> wakeups{0};
  std::thread owner([&] {
    auto* wnd = new CAnswerWnd;
    wnd->Create(nullptr, "power");
    window = wnd->m_hWnd;
    for (;;) {
      DWORD r = MsgWaitForMultipleObjects(1, &stop, FALSE, 1000, QS_SENDMESSAGE);
      if (r == WAIT_OBJECT_0) break;
      if (r == WAIT_OBJECT_0 + 1) ++wakeups;
    }
    wnd->DestroyWindow();  // deletes itself
  });
  ASSERT_TRUE(vek::test::WaitUntil([&] { return window.load() != nullptr; }));
  EXPECT_EQ(SendMessageA(window, kAsk, 21, 0), 42);
  EXPECT_EQ(SendMessageA(window, kAsk, 5, 0), 10);
  // The wait serves the message before it returns: the sender may be answered
  // before the owner counts the wake-up.
  EXPECT_TRUE(vek::test::WaitUntil([&] { return wakeups.load() >= 1; }));
  SetEvent(stop);
  owner.join();
  EXPECT_FALSE(IsWindow(window));
  CloseHandle(stop);
}

TEST(CrossThreadSend, ServedByAPeekMessagePumpAndNotBeforeIt) {
  std::atomic<HWND> window{nullptr};
  std::atomic<bool> pump{false};
  std::atomic<bool> done{false};
  CAnswerWnd* wnd = nullptr;
  std::thread owner([&] {
    wnd = new CAnswerWnd;
    wnd->Create(nullptr, "peek");
    window = wnd->m_hWnd;
    while (!pump) ::Sleep(1);
    MSG msg;
    while (!done) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      ::Sleep(1);
    }
    wnd->DestroyWindow();
  });
  ASSERT_TRUE(vek::test::WaitUntil([&] { return window.load() != nullptr; }));
  std::atomic<LRESULT> answer{-1};
  std::thread sender([&] { answer = SendMessageA(window, kAsk, 8, 0); });
  ::Sleep(50);
  EXPECT_EQ(answer.load(), -1);  // the owner is not retrieving messages yet
  pump = true;
  sender.join();
  EXPECT_EQ(answer.load(), 16);
  done = true;
  owner.join();
}

TEST(CrossThreadSend, ToAThreadThatEndedReturnsAtOnce) {
  std::atomic<HWND> window{nullptr};
  std::thread owner([&] {
    HWND w = CreateWindowExA(0, nullptr, "gone", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    window = w;
  });
  owner.join();
  EXPECT_FALSE(IsWindow(window));  // a thread's windows end with it
  EXPECT_EQ(SendMessageA(window, kAsk, 1, 0), 0);
}

TEST(Timers, FireOnlyThroughTheOwnersLoop) {
  CAnswerWnd* wnd = new CAnswerWnd;
  ASSERT_TRUE(wnd->Create(nullptr, "timer"));
  EXPECT_EQ(wnd->SetTimer(0x4000, 20), 0x4000u);
  ::Sleep(80);
  EXPECT_EQ(wnd->timers.load(), 0);  // nobody retrieved messages yet
  ASSERT_TRUE(vek::test::PumpUntil([&] { return wnd->timers >= 2; }));
  EXPECT_EQ(wnd->timerThread.load(), GetCurrentThreadId());
  // Another thread cannot start a timer on this window.
  UINT_PTR foreign = 1;
  std::thread([&] { foreign = ::SetTimer(wnd->m_hWnd, 9, 10, nullptr); }).join();
  EXPECT_EQ(foreign, 0u);
  EXPECT_TRUE(wnd->KillTimer(0x4000));
  int seen = wnd->timers;
  vek::test::PumpUntil([] { return false; }, 60);
  EXPECT_EQ(wnd->timers.load(), seen);
  EXPECT_FALSE(wnd->KillTimer(0x4000));
  wnd->DestroyWindow();
}

TEST(Timers, FollowTheVirtualClock) {
  vek::VirtualClock clock(1000);
  vek::ScopedClock installed(clock);
  CAnswerWnd* wnd = new CAnswerWnd;
  wnd->Create(nullptr, "virtual");
  wnd->SetTimer(1, 2000);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  clock.Advance(1999);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  clock.Advance(1);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 1u);
  DispatchMessageA(&msg);
  EXPECT_EQ(wnd->timers.load(), 1);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // one tick per period
  wnd->DestroyWindow();
}

TEST(Queue, PostedOrderThenQuitAndFilters) {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a thread has a queue once it looks at it
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 1, 1, 0);
  PostQuitMessage(3);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 2, 2, 0);
  // A filter passes over what it does not take.
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 2, WM_APP + 2, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_APP + 1);
  // WM_QUIT comes once the posted messages are gone.
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Queue, PostThreadMessageToAThreadWithoutQueueFails) {
  EXPECT_FALSE(PostThreadMessageA(0x7FFFFFF0, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST(Queue, MsgWaitTimesOutAndWakesForPostedInput) {
  DWORD start = GetTickCount();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 60, QS_ALLINPUT), WAIT_TIMEOUT);
  EXPECT_GE(GetTickCount() - start, 55u);
  DWORD self = GetCurrentThreadId();
  std::thread([&] { PostThreadMessageA(self, WM_APP + 3, 0, 0); }).join();
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
  // A posted message does not wake a wait for sent messages only.
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, QS_SENDMESSAGE), WAIT_TIMEOUT);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
