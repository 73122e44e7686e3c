// The job threads' lifetime, the active-job accounting with its power thread,
// and the system helpers.
#include <algorithm>
#include <thread>
#include <vector>

#include "active_jobs.h"
#include "framework/message_api.h"
#include "framework/messages.h"
#include "framework/window_api.h"
#include "job_threads.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "kernel/version.h"
#include "monitor_test_support.h"
#include "power_status.h"
#include "system_helpers.h"

namespace vek::test {
namespace {

class JobThreads : public MonitorTest {};

TEST_F(JobThreads, AThreadStartedAfterTheEndEndsAtOnceAndSaysSo) {
  CPrintPort* port = AddPort(u"P");
  ASSERT_TRUE(port->OpenPrintPort());  // the end event is set: no job
  auto* service = static_cast<CPrintServiceThread*>(
      AfxBeginThread(RUNTIME_CLASS(CPrintServiceThread), 0, 0, CREATE_SUSPENDED));
  auto* status = static_cast<CQueryStatusThread*>(
      AfxBeginThread(RUNTIME_CLASS(CQueryStatusThread), 0, 0, CREATE_SUSPENDED));
  ASSERT_NE(nullptr, service);
  ASSERT_NE(nullptr, status);
  service->m_bAutoDelete = FALSE;
  status->m_bAutoDelete = FALSE;
  service->m_pPort = port;
  status->m_pPort = port;
  service->ResumeThread();
  status->ResumeThread();
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(port->m_hPrintThreadDone, 5000));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(port->m_hQueryThreadDone, 5000));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(service->m_hThread, 5000));
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(status->m_hThread, 5000));
  delete service;
  delete status;
  port->ClosePrintPort();
}

// The system's suspend request as Windows 9x makes it: WM_POWER to every
// top-level window; the number of windows that refuse it.
int WindowsRefusing(WPARAM event = PWR_SUSPENDREQUEST) {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  int refusing = 0;
  for (HWND window : windows)
    if (SendMessageW(window, WM_POWER, event, 0) == PWR_FAIL) refusing++;
  return refusing;
}

TEST_F(JobThreads, WhileAJobIsActiveOneWindowRefusesSuspendAndAllowsResume) {
  EXPECT_EQ(0, WindowsRefusing());
  AddActiveJob();
  EXPECT_TRUE(WaitUntil([] { return WindowsRefusing() == 1; }));
  EXPECT_EQ(0, WindowsRefusing(PWR_SUSPENDRESUME));
  // A second job at the same time: still the one thread and window.
  AddActiveJob();
  EXPECT_EQ(2, g_ActiveJobs);
  EXPECT_EQ(1, WindowsRefusing());
  ReleaseActiveJob();
  EXPECT_EQ(1, WindowsRefusing());
  ReleaseActiveJob();
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_hPowerStopEvent, 0));
  EXPECT_TRUE(WaitUntil([] { return WindowsRefusing() == 0; }, 5000));
  ReleaseActiveJob();  // an extra release cannot take the count below zero
  EXPECT_EQ(0, g_ActiveJobs);
}

// Jobs that start and end in quick succession on several ports never leave two
// threads refusing side by side, nor one running with no job.
TEST_F(JobThreads, QuickStartsAndEndsLeaveExactlyOnePowerThread) {
  auto churn = [](int* most) {
    for (int i = 0; i < 40; i++) {
      AddActiveJob();
      ReleaseActiveJob();
      AddActiveJob();
      *most = std::max(*most, WindowsRefusing());
      ReleaseActiveJob();
    }
  };
  int mostHere = 0, mostThere = 0;
  std::thread other(churn, &mostThere);
  churn(&mostHere);
  other.join();
  EXPECT_LE(std::max(mostHere, mostThere), 1);
  EXPECT_TRUE(WaitUntil([] { return WindowsRefusing() == 0; }, 5000));
  // 1, 0, 1 in a row: the last start stands, with one thread.
  AddActiveJob();
  ReleaseActiveJob();
  AddActiveJob();
  EXPECT_TRUE(WaitUntil([] { return WindowsRefusing() == 1; }));
  ReleaseActiveJob();
  EXPECT_TRUE(WaitUntil([] { return WindowsRefusing() == 0; }, 5000));
}

TEST_F(JobThreads, UnloadingWithAnActiveJobEndsThePowerThread) {
  AddActiveJob();
  ASSERT_TRUE(WaitUntil([] { return WindowsRefusing() == 1; }));
  VekShutdownMonitor();
  EXPECT_EQ(0, WindowsRefusing());
}

TEST_F(JobThreads, ThePowerWindowRefusesSuspendRequestsOnly) {
  CPowerStatusWnd window;
  ASSERT_TRUE(window.Create(nullptr, nullptr, WS_OVERLAPPEDWINDOW, CFrameWnd::kDefaultRect, nullptr, nullptr, 0));
  EXPECT_EQ(-1, window.SendMessage(WM_POWER, PWR_SUSPENDREQUEST, 0));
  EXPECT_EQ(0, window.SendMessage(WM_POWER, PWR_SUSPENDRESUME, 0));
  EXPECT_EQ(0, window.SendMessage(WM_POWER, PWR_CRITICALRESUME, 0));
  window.Detach();
}

TEST(SystemHelpers, OperatingSystemFlags) {
  ResetOsVersionAndLanguage();
  EXPECT_TRUE(IsWinNT());  // the default is an NT system
  EXPECT_FALSE(IsWinNT3());
  for (DWORD minor : {0u, 1u, 2u}) {
    SetOsVersion({VER_PLATFORM_WIN32_NT, 5, minor, 2600});
    EXPECT_FALSE(IsWinNT5x()) << minor;
  }
  SetOsVersion({VER_PLATFORM_WIN32_NT, 3, 51, 1057});
  EXPECT_TRUE(IsWinNT3());
  SetOsVersion({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 2222});
  EXPECT_FALSE(IsWinNT());
  ResetOsVersionAndLanguage();
}

TEST(SystemHelpers, PortStringsAreWideOnNtAndOneBytePerCharacterOn9x) {
  BOOL saved = g_bWinNT;
  BYTE buffer[64];
  std::memset(buffer, 0xCC, sizeof buffer);
  g_bWinNT = FALSE;
  EXPECT_EQ(1, GetCharSize());
  EXPECT_EQ(13, CopyPortString(buffer, u"LPT:PS1A2B-1"));
  EXPECT_EQ(0, std::memcmp(buffer, "LPT:PS1A2B-1", 13));
  EXPECT_EQ(0xCC, buffer[13]);
  g_bWinNT = TRUE;
  EXPECT_EQ(2, GetCharSize());
  EXPECT_EQ(26, CopyPortString(buffer, u"LPT:PS1A2B-1"));
  EXPECT_EQ(0, std::memcmp(buffer, u"LPT:PS1A2B-1", 26));
  g_bWinNT = saved;
}

class PortStatus : public MonitorTest {};

TEST_F(PortStatus, SetPortXRecordsThePortsStatusWithTheSpooler) {
  // SetPortW knows only the ports of registered monitors: a failure is reported.
  PORT_INFO_3W info{PORT_STATUS_PAPER_OUT, nullptr, PORT_STATUS_TYPE_ERROR};
  BOOL ok = SetPortX(u"NoSuchPort", 3, reinterpret_cast<LPBYTE>(&info));
  if (!ok) {
    EXPECT_NE(0u, GetLastError());
  }
  ClearPortStatus(u"NoSuchPort");
}

}  // namespace
}  // namespace vek::test
