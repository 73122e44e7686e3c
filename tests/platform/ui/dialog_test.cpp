// Modal dialogs: the loop keeps timers and messages flowing, the owner is disabled,
// Enter and Esc behave as the platform's dialogs do, and data exchange validates.
#include <gtest/gtest.h>

#include <atomic>

#include "ui_test_support.h"

namespace {

using vek::test::UiThread;

class CFormDlg : public CDialog {
 public:
  CFormDlg() : CDialog(900) {}
  CStringA m_name = "printer";
  CStringA m_password;
  int m_mode = 1;
  int m_enabled = 1;
  int m_choice = 2;
  std::atomic<int> ticks{0};
  std::atomic<int> changes{0};
  std::atomic<int> clicks{0};
  std::atomic<int> selections{0};
  bool startTimer = false;
  bool disableTexts = false;

  BOOL OnInitDialog() override {
    // A control nobody attached an object to comes as an object of its own class.
    auto* choices = dynamic_cast<CComboBox*>(GetDlgItem(1006));
    if (!choices) return FALSE;
    choices->AddString("one");
    choices->AddString("two");
    choices->AddString("three");
    CDialog::OnInitDialog();
    if (startTimer) SetTimer(0x4000, 20);
    if (disableTexts) {
      GetDlgItem(1001)->EnableWindow(FALSE);
      GetDlgItem(1002)->EnableWindow(FALSE);
    }
    return TRUE;
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 1001, m_name);
    DDV_MaxChars(dx, m_name, 8);
    DDX_Text(dx, 1002, m_password);
    DDX_Radio(dx, 1003, m_mode);
    DDX_Check(dx, 1005, m_enabled);
    DDX_CBIndex(dx, 1006, m_choice);
  }
  void OnTimer(UINT_PTR) { ++ticks; }
  void OnNameChange() { ++changes; }
  void OnEnable() { ++clicks; }
  void OnChoice() { ++selections; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
  ON_WM_TIMER()
  ON_EN_CHANGE(1001, OnNameChange)
  ON_BN_CLICKED(1005, OnEnable)
  ON_CBN_SELCHANGE(1006, OnChoice)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vek::test::RegisterTestTemplates();
    vek::framework::ClearMessageBoxLog();
  }
  vek::ui::HeadlessDriver driver;
};

TEST_F(DialogTest, DataExchangeRoundTripAndOk) {
  CFormDlg dialog;
  UiThread ui([&] { return dialog.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  EXPECT_EQ(driver.ActiveCaption(), "Form");
  EXPECT_EQ(driver.Text(1001), "printer");
  EXPECT_EQ(driver.Check(1003), 0);
  EXPECT_EQ(driver.Check(1004), 1);
  EXPECT_EQ(driver.Check(1005), 1);
  EXPECT_EQ(driver.Selection(1006), 2);
  EXPECT_EQ(driver.Text(1006), "three");

  driver.Click(1001);
  driver.Key(VK_END);
  driver.Type(1001, "s");
  driver.Type(1002, "secret");
  driver.Click(1003);
  driver.Select(1006, 0);
  driver.Click(IDOK);
  EXPECT_EQ(ui.Join(), IDOK);
  EXPECT_EQ(dialog.m_name, "printers");
  EXPECT_EQ(dialog.m_password, "secret");
  EXPECT_EQ(dialog.m_mode, 0);
  EXPECT_EQ(dialog.m_choice, 0);
}

TEST_F(DialogTest, FailingValidationStaysWithFocusOnTheField) {
  CFormDlg dialog;
  dialog.m_name = "12345678";  // at the limit
  UiThread ui([&] { return dialog.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  // The limit bounds the user's typing...
  driver.Click(1001);
  driver.Key(VK_END);
  driver.Type(1001, "9");
  EXPECT_EQ(driver.Text(1001), "12345678");
  // ...but not text set by code, which validation then refuses.
  SetWindowTextA(driver.Control(1001), "too long a name");
  driver.Click(IDOK);
  EXPECT_FALSE(ui.Finished());
  auto boxes = driver.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Enter no more than 8 characters.");
  HWND focus = reinterpret_cast<HWND>(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  EXPECT_EQ(focus, driver.Control(1001));
  driver.Cancel();
  EXPECT_EQ(ui.Join(), IDCANCEL);
}

TEST_F(DialogTest, NotificationsComeFromTheUserNotFromCode) {
  CFormDlg dialog;
  UiThread ui([&] { return dialog.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  int changesAfterLoad = dialog.changes;  // setting the text from code also counts as a change
  EXPECT_GE(changesAfterLoad, 1);
  SendMessageA(driver.Control(1005), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageA(driver.Control(1006), CB_SETCURSEL, 1, 0);
  EXPECT_EQ(dialog.clicks.load(), 0);
  EXPECT_EQ(dialog.selections.load(), 0);
  driver.Click(1005);
  driver.Select(1006, 1);
  EXPECT_EQ(dialog.clicks.load(), 1);
  EXPECT_EQ(dialog.selections.load(), 1);
  EXPECT_EQ(driver.Check(1005), 1);
  driver.Type(1001, "x");
  EXPECT_EQ(dialog.changes.load(), changesAfterLoad + 1);
  driver.Cancel();
  ui.Join();
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscCancels) {
  CFormDlg first;
  UiThread ui([&] { return first.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  driver.Click(1001);
  driver.Key(VK_RETURN);
  EXPECT_EQ(ui.Join(), IDOK);

  CFormDlg second;
  UiThread ui2([&] { return second.DoModal(); });
  ASSERT_TRUE(ui2.WaitForWindow());
  EXPECT_TRUE(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_CLOSESONESCAPE, 0, 0))
      << "it tells the front ends that Esc closes it";
  driver.Key(VK_ESCAPE);
  EXPECT_EQ(ui2.Join(), IDCANCEL);

  // A button disabled while it had the focus leaves Enter to the default button.
  CFormDlg third;
  UiThread ui3([&] { return third.DoModal(); });
  ASSERT_TRUE(ui3.WaitForWindow());
  driver.Click(1001);
  SetFocus(driver.Control(IDCANCEL));
  EnableWindow(driver.Control(IDCANCEL), FALSE);
  driver.Key(VK_RETURN);
  EXPECT_EQ(ui3.Join(), IDOK);
}

TEST_F(DialogTest, EscIsIgnoredWhileCancelIsDisabled) {
  CFormDlg dialog;
  UiThread ui([&] { return dialog.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  EnableWindow(driver.Control(IDCANCEL), FALSE);
  driver.Key(VK_ESCAPE);
  EXPECT_FALSE(ui.Finished());
  EnableWindow(driver.Control(IDCANCEL), TRUE);
  driver.Key(VK_ESCAPE);
  EXPECT_EQ(ui.Join(), IDCANCEL);
}

TEST_F(DialogTest, TabMovesTheFocusIntoARadioGroupAtItsCheckedButtonAndArrowsMoveWithinIt) {
  CFormDlg dialog;
  UiThread ui([&] { return dialog.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  auto focus = [&] {
    return reinterpret_cast<HWND>(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  };
  EXPECT_EQ(focus(), driver.Control(1001));  // the first tab stop
  driver.Key(VK_TAB);
  EXPECT_EQ(focus(), driver.Control(1002));
  driver.Key(VK_TAB, true);
  EXPECT_EQ(focus(), driver.Control(1001));
  // Into the radio group at its checked button ("Static"), either way.
  driver.Key(VK_TAB);
  driver.Key(VK_TAB);
  EXPECT_EQ(focus(), driver.Control(1004));
  driver.Key(VK_TAB);
  EXPECT_EQ(focus(), driver.Control(1005));
  driver.Key(VK_TAB, true);
  EXPECT_EQ(focus(), driver.Control(1004));
  driver.Click(1003);
  driver.Key(VK_DOWN);
  EXPECT_EQ(driver.Check(1004), 1);
  EXPECT_EQ(driver.Check(1003), 0);
  driver.Cancel();
  ui.Join();

  // Stops its initialisation disabled give the focus to the next, here the radio
  // group, at its checked button.
  CFormDlg disabled;
  disabled.disableTexts = true;
  UiThread second([&] { return disabled.DoModal(); });
  ASSERT_TRUE(second.WaitForWindow());
  EXPECT_EQ(focus(), driver.Control(1004));
  driver.Cancel();
  second.Join();
}

// A dialog whose initialisation disables every control, as the wizard's search
// dialog does with its buttons.
class CLockedDlg : public CDialog {
 public:
  CLockedDlg() : CDialog(900) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    for (int id : {1001, 1002, 1003, 1004, 1005, 1006, IDOK, IDCANCEL}) GetDlgItem(id)->EnableWindow(FALSE);
    return TRUE;
  }
};

// Opens the locked dialog over itself when its check box is clicked.
class COwnerDlg : public CDialog {
 public:
  COwnerDlg() : CDialog(900) {}
  void OnOpen() {
    CLockedDlg locked;
    locked.DoModal();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDlg, CDialog)
  ON_BN_CLICKED(1005, OnOpen)
END_MESSAGE_MAP()

// A modal dialog with no control left to take the focus has it itself, never on a
// disabled control; when it ends, the window below gets the focus back where it
// had it, so its keys go on working.
TEST_F(DialogTest, AModalDialogHoldsTheFocusWhileItRunsAndGivesItBackWhenItEnds) {
  COwnerDlg owner;
  UiThread ui([&] { return owner.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  const HWND below = driver.ActiveWindow();
  auto focus = [&] {
    return reinterpret_cast<HWND>(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  };
  driver.Click(1005);
  ASSERT_TRUE(vek::ui::HeadlessDriver::WaitFor([&] { return driver.ActiveWindow() != below; }));
  const HWND locked = driver.ActiveWindow();
  driver.Settle();
  EXPECT_EQ(focus(), locked);
  PostMessageA(locked, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(vek::ui::HeadlessDriver::WaitFor([&] { return driver.ActiveWindow() == below; }));
  driver.Settle();
  EXPECT_EQ(focus(), driver.Control(1005));
  driver.Key(VK_TAB);
  EXPECT_EQ(focus(), driver.Control(1006)) << "Tab goes on from where the focus came back";
  driver.Cancel();
  EXPECT_EQ(ui.Join(), IDCANCEL);
}

class CTimerDlg : public CDialog {
 public:
  CTimerDlg(CWnd* parent) : CDialog(920, parent) {}
  std::atomic<int> ticks{0};
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetTimer(0x4000, 10);
    return TRUE;
  }
  void OnTimer(UINT_PTR) {
    if (++ticks == 5) EndDialog(IDOK);
  }
  void OnDestroy() {
    ownerEnabledAsItWent = ::IsWindowEnabled(m_pParentWnd->m_hWnd) != FALSE;
    Default();
  }
  bool ownerEnabledAsItWent = false;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimerDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

// The owner is back before the dialog's window goes: whoever looks for the window
// on top meanwhile (a driver, a front end painting) finds it, not none.
TEST_F(DialogTest, ModalLoopKeepsTimersAliveAndDisablesTheOwnerUntilTheDialogGoes) {
  std::atomic<bool> ownerDisabledMeanwhile{false};
  std::atomic<bool> ownerEnabledAfter{false};
  std::atomic<bool> ownerEnabledAsItWent{false};
  UiThread ui([&] {
    auto* owner = new CFrameWnd;
    owner->Create(nullptr, "owner");
    CTimerDlg dialog(owner);
    dialog.m_pParentWnd = owner;
    // A worker checks the owner while the dialog runs.
    std::thread watcher([&] {
      vek::ui::HeadlessDriver::WaitFor([&] { return dialog.ticks >= 2; });
      ownerDisabledMeanwhile = !IsWindowEnabled(owner->m_hWnd);
    });
    INT_PTR result = dialog.DoModal();
    watcher.join();
    ownerEnabledAfter = IsWindowEnabled(owner->m_hWnd) != FALSE;
    ownerEnabledAsItWent = dialog.ownerEnabledAsItWent;
    owner->DestroyWindow();
    return result;
  });
  EXPECT_EQ(ui.Join(), IDOK);
  EXPECT_TRUE(ownerDisabledMeanwhile.load());
  EXPECT_TRUE(ownerEnabledAsItWent.load());
  EXPECT_TRUE(ownerEnabledAfter.load());
}

TEST_F(DialogTest, UnknownTemplateFails) {
  CDialog dialog(4242);
  EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace
