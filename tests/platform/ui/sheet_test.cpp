// The wizard sheet: moves by the pages' answers, keeps the buttons a page does not
// set, and stays on a page without activating it again.
#include <gtest/gtest.h>

#include <atomic>

#include "kernel/version.h"
#include "ui/terminal/input_actions.h"
#include "ui/terminal/key_translator.h"
#include "ui/terminal/window_snapshot.h"
#include "ui_test_support.h"

namespace {

using vek::test::UiThread;

struct Trail {
  std::atomic<int> inits{0};
  std::atomic<int> activations{0};
};

class CTestPage : public CPropertyPage {
 public:
  CTestPage(UINT id, int buttons) : CPropertyPage(id), m_buttons(buttons) {}
  Trail trail;
  LRESULT backAnswer = 0;
  LRESULT nextAnswer = 0;
  bool cancelOnBack = false;
  BOOL OnInitDialog() override {
    ++trail.inits;
    return CPropertyPage::OnInitDialog();
  }
  BOOL OnSetActive() override {
    ++trail.activations;
    if (m_buttons >= 0) GetSheet()->SetWizardButtons(static_cast<DWORD>(m_buttons));
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardBack() override {
    if (cancelOnBack) GetSheet()->SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    return backAnswer;
  }
  LRESULT OnWizardNext() override { return nextAnswer; }

 private:
  int m_buttons;
};

class CTestSheet : public CPropertySheet {
 public:
  CTestSheet()
      : CPropertySheet("test"),
        welcome(910, PSWIZB_NEXT),
        list(911, PSWIZB_BACK | PSWIZB_NEXT),
        silent(912, -1),
        last(913, PSWIZB_BACK | PSWIZB_FINISH) {
    AddPage(&welcome);
    AddPage(&list);
    AddPage(&silent);
    AddPage(&last);
    SetWizardMode();
  }
  CTestPage welcome, list, silent, last;
};

class SheetTest : public ::testing::Test {
 protected:
  void SetUp() override { vek::test::RegisterTestTemplates(); }
  vek::ui::HeadlessDriver driver;
};

TEST_F(SheetTest, NeighboursJumpsAndStaying) {
  CTestSheet sheet;
  UiThread ui([&] { return sheet.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
  EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
  EXPECT_FALSE(driver.Enabled(ID_WIZBACK));
  EXPECT_TRUE(driver.Enabled(ID_WIZNEXT));

  driver.Next();  // 0: the neighbour
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  EXPECT_EQ(sheet.GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));

  sheet.list.nextAnswer = 913;  // another page's id: a jump
  driver.Next();
  EXPECT_EQ(sheet.GetActiveIndex(), 3);
  EXPECT_TRUE(driver.Visible(ID_WIZFINISH));
  EXPECT_FALSE(driver.Visible(ID_WIZNEXT));

  sheet.last.backAnswer = 912;
  driver.Back();
  EXPECT_EQ(sheet.GetActiveIndex(), 2);
  // A page that sets no buttons keeps those of the page before it.
  EXPECT_EQ(sheet.GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_FINISH));

  int activations = sheet.silent.trail.activations;
  sheet.silent.nextAnswer = 912;  // its own id: stays
  driver.Next();
  sheet.silent.nextAnswer = 1;  // no page has it: stays
  driver.Next();
  sheet.silent.nextAnswer = -1;
  driver.Next();
  EXPECT_EQ(sheet.GetActiveIndex(), 2);
  EXPECT_EQ(sheet.silent.trail.activations.load(), activations);

  driver.Back();  // 0 from Back: the previous page
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  EXPECT_EQ(sheet.list.trail.inits.load(), 1);  // built once
  EXPECT_EQ(sheet.list.trail.activations.load(), 2);  // activated on every showing
  sheet.list.nextAnswer = 913;
  driver.Next();
  driver.Finish();
  EXPECT_EQ(ui.Join(), ID_WIZFINISH);
}

TEST_F(SheetTest, BackOnTheFirstPageCanPressCancel) {
  CTestSheet sheet;
  sheet.welcome.cancelOnBack = true;
  UiThread ui([&] { return sheet.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  // Back is disabled; the page's handler runs when the sheet is told to go back.
  sheet.PostMessage(PSM_PRESSBUTTON, PSBTN_BACK, 0);
  EXPECT_EQ(ui.Join(), IDCANCEL);
}

// The focus goes with the page shown: from a field of the page left to the first
// field of the one shown.
TEST_F(SheetTest, EnterGoesNextAndEscCancels) {
  CTestSheet sheet;
  UiThread ui([&] { return sheet.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  auto focus = [&] {
    return reinterpret_cast<HWND>(SendMessageA(driver.ActiveWindow(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  };
  EXPECT_EQ(focus(), ::GetDlgItem(sheet.welcome.m_hWnd, 1001));
  driver.Key(VK_RETURN);
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  EXPECT_EQ(focus(), ::GetDlgItem(sheet.list.m_hWnd, 1001));
  // Back to a page shown before (Back pressed for the user: the focus stays where it was).
  sheet.PressButton(PSBTN_BACK);
  driver.Settle();
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
  EXPECT_EQ(focus(), ::GetDlgItem(sheet.welcome.m_hWnd, 1001));
  driver.Key(VK_ESCAPE);
  EXPECT_EQ(ui.Join(), IDCANCEL);
}

}  // namespace

namespace {

// The Japanese buttons name their shortcuts, (B) and (N), and take them: Alt with
// the letter presses the button in the terminal.
TEST_F(SheetTest, TheJapaneseButtonsTakeTheShortcutsTheyShow) {
  using namespace vek::ui::terminal;
  vek::SetLanguage(0x0411, 0x0411);
  CTestSheet sheet;
  UiThread ui([&] { return sheet.DoModal(); });
  ASSERT_TRUE(ui.WaitForWindow());
  auto press = [&](char32_t letter) {
    HWND window = driver.ActiveWindow();
    auto focus = reinterpret_cast<HWND>(SendMessageA(window, vek::framework::VEK_UM_GETFOCUS, 0, 0));
    ViewMemory memory;
    ScreenLayout layout =
        ScreenLayout::Build(SnapshotThreadWindows(GetWindowThreadProcessId(window, nullptr), focus), 120, 45, memory);
    std::vector<InputAction> actions = TranslateKey(TermKey::Char(letter, true), layout, focus, nullptr);
    for (const InputAction& action : actions) PerformWindowAction(action);
    driver.Settle();
    return actions;
  };
  EXPECT_EQ(press(U'n'), (std::vector{InputAction{InputAction::Kind::Click, driver.Control(ID_WIZNEXT)}}));
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  press(U'b');
  EXPECT_EQ(sheet.GetActiveIndex(), 0);
  driver.Cancel();
  ui.Join();
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
