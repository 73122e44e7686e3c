// Life cycle of framework threads: suspended start, the idle loop, quit by posted
// message, ExitInstance after a failed InitInstance, and auto-delete.
#include <gtest/gtest.h>

#include <atomic>

#include "framework_test_support.h"

namespace {

struct Events {
  std::atomic<int> idleCalls{0};
  std::atomic<int> exits{0};
  std::atomic<int> destroyed{0};
  std::atomic<int> threadMessages{0};
  std::atomic<bool> started{false};
  std::atomic<BOOL> initResult{TRUE};
  std::atomic<int> quitAfterIdles{3};
};
Events g;

constexpr UINT kPing = WM_APP + 7;

class CCountingThread : public CWinThread {
  DECLARE_DYNCREATE(CCountingThread)

 public:
  ~CCountingThread() override { ++g.destroyed; }
  BOOL InitInstance() override {
    g.started = true;
    return g.initResult;
  }
  BOOL OnIdle(LONG) override {
    if (++g.idleCalls >= g.quitAfterIdles) {
      PostQuitMessage(5);
      return FALSE;
    }
    return TRUE;
  }
  int ExitInstance() override {
    ++g.exits;
    return CWinThread::ExitInstance();
  }

 protected:
  void OnPing(WPARAM, LPARAM) { ++g.threadMessages; }
  DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CCountingThread, CWinThread)

BEGIN_MESSAGE_MAP(CCountingThread, CWinThread)
  ON_THREAD_MESSAGE(kPing, OnPing)
END_MESSAGE_MAP()

void ResetEvents() {
  g.idleCalls = 0;
  g.exits = 0;
  g.destroyed = 0;
  g.threadMessages = 0;
  g.started = false;
  g.initResult = TRUE;
  g.quitAfterIdles = 3;
}

TEST(FrameworkThread, SuspendedThreadRunsIdleLoopQuitsAndDeletesItself) {
  ResetEvents();
  CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CCountingThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(thread->IsKindOf(RUNTIME_CLASS(CWinThread)));
  // A posted thread message waits in the queue while the thread is suspended.
  EXPECT_TRUE(thread->PostThreadMessage(kPing, 0, 0));
  ::Sleep(30);
  EXPECT_FALSE(g.started.load());
  thread->ResumeThread();
  ASSERT_TRUE(vek::test::WaitUntil([] { return g.destroyed == 1; }));
  EXPECT_EQ(g.exits.load(), 1);
  EXPECT_EQ(g.threadMessages.load(), 1);
  EXPECT_GE(g.idleCalls.load(), 3);
}

TEST(FrameworkThread, FailedInitInstanceStillRunsExitInstance) {
  ResetEvents();
  g.initResult = FALSE;
  ASSERT_NE(AfxBeginThread(RUNTIME_CLASS(CCountingThread)), nullptr);
  ASSERT_TRUE(vek::test::WaitUntil([] { return g.destroyed == 1; }));
  EXPECT_EQ(g.exits.load(), 1);
  EXPECT_EQ(g.idleCalls.load(), 0);
}

TEST(FrameworkThread, ThreadWithoutAutoDeleteSurvivesAndSignalsItsHandle) {
  ResetEvents();
  CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(CCountingThread), 0, 0, CREATE_SUSPENDED);
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread->m_hThread, &code);
  EXPECT_EQ(code, 5u);  // the quit code through ExitInstance
  EXPECT_EQ(g.destroyed.load(), 0);
  delete thread;
  EXPECT_EQ(g.destroyed.load(), 1);
}

std::atomic<int> g_workerRuns{0};
UINT Worker(LPVOID parameter) {
  g_workerRuns += static_cast<int>(reinterpret_cast<std::uintptr_t>(parameter));
  return 0;
}

TEST(FrameworkThread, WorkerFunctionThread) {
  g_workerRuns = 0;
  CWinThread* thread = AfxBeginThread(Worker, reinterpret_cast<LPVOID>(4), THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_LOWEST);
  thread->m_bAutoDelete = FALSE;
  thread->ResumeThread();
  ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(g_workerRuns.load(), 4);
  delete thread;
}

TEST(FrameworkThread, RuntimeClassesCreateByName) {
  const CRuntimeClass* found = CRuntimeClass::FromName("CCountingThread");
  ASSERT_EQ(found, RUNTIME_CLASS(CCountingThread));
  EXPECT_TRUE(found->IsDerivedFrom(RUNTIME_CLASS(CCmdTarget)));
  EXPECT_FALSE(RUNTIME_CLASS(CWnd)->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
  EXPECT_STREQ(found->m_lpszClassName, "CCountingThread");
  EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}

}  // namespace
