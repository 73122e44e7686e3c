// The window table and message maps: texts set from another thread, routing of
// commands and notifications, the default handling, and destruction.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework_test_support.h"

namespace {

std::vector<std::string> g_trail;

class CPanel : public CFrameWnd {
 public:
  ~CPanel() override { g_trail.push_back("deleted"); }
  int clicks = 0;
  int notifies = 0;
  LRESULT lastNotifyResult = 0;
  void OnOk() { ++clicks; }
  void OnItemNotify(NMHDR* header, LRESULT* result) {
    ++notifies;
    *result = static_cast<LRESULT>(header->code) + 1;
  }
  int OnCreate(LPCREATESTRUCT create) {
    g_trail.push_back(std::string("create ") + create->lpszName);
    return 0;
  }
  void OnDestroy() { g_trail.push_back("destroy"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPanel, CFrameWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_BN_CLICKED(1, OnOk)
  ON_NOTIFY(100, 1001, OnItemNotify)
END_MESSAGE_MAP()

class CChild : public CWnd {
 public:
  ~CChild() override { g_trail.push_back("child deleted"); }
  void OnDestroy() { g_trail.push_back("child destroy"); }
  void PostNcDestroy() override {
    g_trail.push_back("child gone");
    delete this;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChild, CWnd)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(MessageMaps, CommandsNotificationsAndTheDefault) {
  g_trail.clear();
  auto* panel = new CPanel;
  ASSERT_TRUE(panel->Create(nullptr, "panel"));
  ASSERT_EQ(g_trail, std::vector<std::string>{"create panel"});
  HWND button = CreateWindowExA(0, nullptr, "OK", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, panel->m_hWnd,
                                reinterpret_cast<HMENU>(1), nullptr, nullptr);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(GetDlgCtrlID(button), 1);
  EXPECT_EQ(panel->GetDlgItem(1)->m_hWnd, button);

  panel->SendMessage(WM_COMMAND, MAKELONG(1, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  panel->SendMessage(WM_COMMAND, MAKELONG(2, BN_CLICKED), 0);    // no entry for id 2
  panel->SendMessage(WM_COMMAND, MAKELONG(1, EN_CHANGE), 0);     // nor for that code
  EXPECT_EQ(panel->clicks, 1);

  NMHDR header{button, 1001, 100};
  EXPECT_EQ(panel->SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&header)), 101);
  header.code = 200;
  EXPECT_EQ(panel->SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&header)), 0);
  EXPECT_EQ(panel->notifies, 1);

  // Unmapped messages reach the class's default handling: texts are kept there.
  panel->SetWindowText("renamed");
  CString text;
  panel->GetWindowText(text);
  EXPECT_EQ(text, "renamed");
  CStringW wide;
  panel->GetWindowText(wide);
  EXPECT_EQ(wide, u"renamed");
  panel->DestroyWindow();
}

TEST(Windows, WorkerSetsAControlsTextWhileTheOwnerPumps) {
  auto* panel = new CPanel;
  panel->Create(nullptr, "search");
  HWND status = CreateWindowExA(0, nullptr, "", WS_CHILD, 0, 0, 0, 0, panel->m_hWnd, reinterpret_cast<HMENU>(1032),
                                nullptr, nullptr);
  std::atomic<bool> set{false};
  std::thread worker([&] {
    CWnd::FromHandle(panel->m_hWnd)->GetDlgItem(1032)->SetWindowText("Found PS-12AB0C");
    set = true;
  });
  ::Sleep(30);
  EXPECT_FALSE(set.load());  // the text travels as a sent message
  ASSERT_TRUE(vek::test::PumpUntil([&] { return set.load(); }));
  worker.join();
  char buffer[64];
  EXPECT_EQ(GetDlgItemTextA(panel->m_hWnd, 1032, buffer, sizeof buffer), 15u);
  EXPECT_STREQ(buffer, "Found PS-12AB0C");
  // Another thread reads the state without waiting for the owner.
  std::string seen;
  std::thread([&] {
    GetWindowTextA(status, buffer, sizeof buffer);
    seen = buffer;
  }).join();
  EXPECT_EQ(seen, "Found PS-12AB0C");
  panel->DestroyWindow();
}

TEST(Windows, StateEnableShowAndLongs) {
  HWND top = CreateWindowExA(0, nullptr, "top", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
  HWND child = CreateWindowExA(0, nullptr, "c", WS_CHILD | WS_VISIBLE, 1, 2, 3, 4, top, reinterpret_cast<HMENU>(7),
                               nullptr, nullptr);
  EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, TRUE));
  EXPECT_EQ(GetParent(child), top);
  EXPECT_EQ(GetWindowLongA(child, GWL_ID), 7);
  RECT rect;
  GetClientRect(top, &rect);
  EXPECT_EQ(rect.right, 100);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  DestroyWindow(top);
  EXPECT_FALSE(IsWindow(child));
}

TEST(Windows, FrameDestroyedFromItsOwnThreadDeletesItselfChildrenFirst) {
  g_trail.clear();
  auto* panel = new CPanel;
  panel->Create(nullptr, "frame");
  auto* child = new CChild;
  ASSERT_TRUE(child->Create(nullptr, "child", WS_VISIBLE, RECT{0, 0, 5, 5}, panel, 5));
  HWND frame = panel->m_hWnd;
  EXPECT_TRUE(panel->DestroyWindow());
  EXPECT_FALSE(IsWindow(frame));
  std::vector<std::string> expected{"create frame", "destroy",      "child destroy", "child gone",
                                    "child deleted", "deleted"};
  EXPECT_EQ(g_trail, expected);
}

TEST(Windows, AnotherThreadCannotDestroyAWindow) {
  HWND top = CreateWindowExA(0, nullptr, "mine", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  BOOL destroyed = TRUE;
  std::thread([&] { destroyed = DestroyWindow(top); }).join();
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(IsWindow(top));
  DestroyWindow(top);
}

BOOL CALLBACK_Collect(HWND window, LPARAM lParam) {
  reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
  return TRUE;
}

TEST(Windows, EnumWindowsListsTopLevelWindowsWithTheirThreads) {
  HWND a = CreateWindowExA(0, nullptr, "a", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  HWND b = CreateWindowExA(0, nullptr, "b", WS_CHILD, 0, 0, 0, 0, a, nullptr, nullptr, nullptr);
  std::vector<HWND> found;
  EnumWindows(CALLBACK_Collect, reinterpret_cast<LPARAM>(&found));
  EXPECT_NE(std::find(found.begin(), found.end(), a), found.end());
  EXPECT_EQ(std::find(found.begin(), found.end(), b), found.end());
  DWORD process = 0;
  EXPECT_EQ(GetWindowThreadProcessId(a, &process), GetCurrentThreadId());
  EXPECT_EQ(process, GetCurrentProcessId());
  DestroyWindow(a);
}

TEST(Cursors, WaitCursorNestsAndRestores) {
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  {
    CWaitCursor outer;
    EXPECT_EQ(vek::framework::CursorId(GetCursor()), 32514u);
    {
      CWaitCursor inner;
    }
    EXPECT_EQ(vek::framework::CursorId(GetCursor()), 32514u);
  }
  EXPECT_EQ(vek::framework::CursorId(GetCursor()), 32512u);
}

TEST(MessageBoxes, RecordedAndAnsweredFromTheQueue) {
  vek::framework::ClearMessageBoxLog();
  vek::framework::QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Replace?", "Question", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "bind error!", nullptr, MB_OK | MB_ICONSTOP), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, u"x", u"y", MB_YESNO | MB_DEFBUTTON2), IDNO);
  auto log = vek::framework::MessageBoxLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[1].text, "bind error!");
  EXPECT_EQ(log[1].caption, "Error");
  vek::framework::SetMessageBoxHandler([](const vek::framework::MessageBoxRecord&) { return IDCANCEL; });
  EXPECT_EQ(AfxMessageBox("hello"), IDCANCEL);
  vek::framework::SetMessageBoxHandler(nullptr);
}

}  // namespace
