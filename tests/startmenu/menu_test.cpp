// The menu and the agreement page as a person uses them, without a screen: the
// help picture follows the pointer (and the focus), the buttons show their pressed
// and released pictures and act only for the left button inside their box, and the
// agreement leads to the install decision or back to the menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "fake_machine.h"
#include "framework/framework.h"
#include "framework/picture_file.h"
#include "kernel/kernel.h"
#include "platform/framework/framework_test_support.h"
#include "startmenu/eng_form.h"
#include "startmenu/license_page.h"
#include "startmenu/module1.h"
#include "startmenu/ranvel_form.h"
#include "startmenu/start_menu_texts.h"
#include "startmenu/startmenu_ids.h"
#include "startmenu/xpicture_box.h"
#include "support/screen_check.h"
#include "support/temp_root.h"
#include "ui/input.h"
#include "ui/terminal/key_help.h"
#include "ui/terminal/screen_layout.h"
#include "ui/terminal/text_cells.h"
#include "ui/terminal/window_snapshot.h"

namespace {

namespace fs = std::filesystem;
using vek::test::FakeMachine;
using vek::test::PumpUntil;

// The test's own copy of the CD, so that files can be taken away.
class CdCopy {
 public:
  CdCopy() : m_saved(fs::current_path()) {
    fs::copy(VEK_SETUP_CD_DIR "/images", m_dir.path() + "/images", fs::copy_options::recursive);
    fs::current_path(m_dir.path());
  }
  ~CdCopy() { fs::current_path(m_saved); }
  std::string Path(const std::string& relative) const { return m_dir.path() + "/" + relative; }

 private:
  vek::test::TempDir m_dir;
  fs::path m_saved;
};

class Menu : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStartMenuResources();
    WinDir = R"(C:\WINDOWS)";
    InstallDir = R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\)";
    DriverSet = 1;
    page.SetMenu(&menu);
  }
  void TearDown() override {
    menu.Unload();
    page.Unload();
    DrainQuit();
  }
  static void Pump() { PumpUntil([] { return false; }, 30); }
  static bool DrainQuit() {
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) quit |= msg.message == WM_QUIT;
    return quit;
  }
  HWND Control(int id) const { return GetDlgItem(menu.m_hWnd, id); }
  UINT PictureId(int id) const {
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(Control(id), STM_GETIMAGE, IMAGE_BITMAP, 0));
    return bitmap ? vek::framework::BitmapResourceId(bitmap) : 0;
  }
  std::string PictureTitle(int id) const {
    const vek::framework::BitmapResource* picture = vek::framework::FindBitmap(PictureId(id));
    return picture && picture->title ? picture->title : "";
  }
  static UINT FileId(const char* file) {
    HBITMAP bitmap = LoadPicture(file);
    UINT id = vek::framework::BitmapResourceId(bitmap);
    DeleteObject(bitmap);
    return id;
  }

  CdCopy cd;
  FakeMachine machine;
  LicensePage page{machine};
  eng menu{page, machine};
};

TEST_F(Menu, TheHelpPictureFollowsThePointerAndComesBackAfterLeavingTheBox) {
  ASSERT_TRUE(menu.Show());
  menu.OLE1_MouseMove(0, 0, 500, 500);
  EXPECT_EQ(menu.HelpState, 0);
  EXPECT_EQ(PictureId(IDC_IMG_HELP), 0u);

  const std::string documentationHelp = "Read the print server's manual";
  const std::string setupHelp = "Install and set up your print server";
  struct Step {
    const char* what;
    void (eng::*move)(int, int, int, int);
    int x, y;
    SHORT state;
    std::string help;
  };
  const Step steps[] = {
      {"onto documentation", &eng::imgDocumentation_MouseMove, 100, 100, 3, documentationHelp},
      {"along documentation", &eng::imgDocumentation_MouseMove, 1965, 465, 3, documentationHelp},
      {"off its box, still on the control", &eng::imgDocumentation_MouseMove, 1966, 100, 0, ""},
      {"back into documentation", &eng::imgDocumentation_MouseMove, 0, 0, 3, documentationHelp},
      {"onto the setup wizard", &eng::imgSetupWizard_MouseMove, 900, 200, 1, setupHelp},
      {"off the setup wizard's box", &eng::imgSetupWizard_MouseMove, 900, 466, 0, ""},
      {"back onto the setup wizard", &eng::imgSetupWizard_MouseMove, 900, 200, 1, setupHelp},
      {"onto the background", &eng::OLE1_MouseMove, 4000, 4000, 0, ""},
      {"onto the setup wizard again", &eng::imgSetupWizard_MouseMove, 10, 10, 1, setupHelp},
  };
  for (const Step& step : steps) {
    (menu.*step.move)(0, 0, step.x, step.y);
    EXPECT_EQ(menu.HelpState, step.state) << step.what;
    EXPECT_EQ(PictureTitle(IDC_IMG_HELP), step.help) << step.what;
  }

  // At the keyboard the focus is the pointer: arriving shows the help, leaving
  // for a button without help puts the pointer over the background.
  vek::ui::Focus(Control(IDC_IMG_EXIT));
  ASSERT_TRUE(PumpUntil([&] { return menu.HelpState == 0; }));
  EXPECT_EQ(PictureId(IDC_IMG_HELP), 0u);
  vek::ui::Focus(Control(IDC_IMG_DOCUMENTATION));
  ASSERT_TRUE(PumpUntil([&] { return menu.HelpState == 3; }));
  EXPECT_EQ(PictureTitle(IDC_IMG_HELP), documentationHelp);
  vek::ui::Focus(Control(IDC_IMG_SETUP_WIZARD));
  ASSERT_TRUE(PumpUntil([&] { return menu.HelpState == 1; }));
  EXPECT_EQ(PictureTitle(IDC_IMG_HELP), setupHelp);
}

TEST_F(Menu, ButtonsShowPressedPicturesAndActOnlyForTheLeftButtonInsideTheirBox) {
  ASSERT_TRUE(menu.Show());
  EXPECT_EQ(PictureId(IDC_IMG_EXIT), IDB_EXIT);  // stored in the form
  menu.imgExit_MouseDown(kRightButton, 0, 3000, 3000);
  EXPECT_EQ(PictureId(IDC_IMG_EXIT), FileId(R"(images\eng\exitdown.gif)"));
  menu.imgExit_MouseUp(kRightButton, 0, 100, 100);
  EXPECT_EQ(PictureId(IDC_IMG_EXIT), FileId(R"(images\eng\exit.gif)"));
  menu.imgExit_MouseUp(kLeftButton, 0, 1966, 100);
  menu.imgExit_MouseUp(kLeftButton, 0, 100, -1);
  EXPECT_TRUE(menu.IsLoaded());

  // The documentation button shows its pressed picture only for a press inside.
  menu.imgDocumentation_MouseDown(kLeftButton, 0, 2000, 100);
  EXPECT_EQ(PictureId(IDC_IMG_DOCUMENTATION), IDB_DOCUMENTATION);
  menu.imgDocumentation_MouseDown(kLeftButton, 0, 100, 100);
  EXPECT_EQ(PictureId(IDC_IMG_DOCUMENTATION), FileId(R"(images\eng\documentationdown.gif)"));
  menu.imgDocumentation_MouseUp(kRightButton, 0, 100, 100);
  EXPECT_EQ(PictureId(IDC_IMG_DOCUMENTATION), FileId(R"(images\eng\documentation.gif)"));

  // The setup wizard keeps its pressed picture: it has no released one.
  menu.imgSetupWizard_MouseDown(kLeftButton, 0, 100, 100);
  UINT pressed = FileId(R"(images\eng\setupwizarddown.gif)");
  EXPECT_EQ(PictureId(IDC_IMG_SETUP_WIZARD), pressed);
  menu.imgSetupWizard_MouseUp(kRightButton, 0, 5000, 5000);  // no button or box test
  EXPECT_TRUE(page.IsLoaded());
  EXPECT_EQ(PictureId(IDC_IMG_SETUP_WIZARD), pressed);
  page.Unload();

  // A picture missing from the CD leaves its place empty; the menu goes on.
  fs::remove(cd.Path("images/eng/exitdown.gif"));
  menu.imgExit_MouseDown(kLeftButton, 0, 100, 100);
  EXPECT_EQ(PictureId(IDC_IMG_EXIT), 0u);

  // Space on the focused exit button: a left click in its middle. The last form
  // gone, the program ends.
  DrainQuit();
  vek::ui::Focus(Control(IDC_IMG_EXIT));
  vek::ui::PressKey(Control(IDC_IMG_EXIT), VK_SPACE);
  bool quit = false;
  ASSERT_TRUE(vek::test::WaitUntil([&] {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) quit = true;
      else DispatchMessageA(&msg);
    }
    return quit;
  }));
  EXPECT_FALSE(menu.IsLoaded());
  EXPECT_EQ(XForm::LoadedForms(), 0);
}

TEST_F(Menu, TheAgreementLeadsToTheInstallDecisionOrBackToTheMenu) {
  fs::remove(cd.Path("images/hourglas.ani"));  // a damaged CD: the system's wait cursor stands in
  ASSERT_TRUE(menu.Show());
  menu.imgSetupWizard_MouseUp(kLeftButton, 0, 100, 100);
  ASSERT_TRUE(page.IsLoaded());
  char text[4096] = {};
  GetDlgItemTextA(page.m_hWnd, IDC_LICENSE_TEXT, text, sizeof text);
  EXPECT_EQ(std::string(text), LicenseAgreementText());
  EXPECT_NE(std::string(text).find("\"I accept\""), std::string::npos);

  page.Command2_MouseUp(kLeftButton, 0, 100, 100);  // "I do not accept"
  EXPECT_FALSE(page.IsLoaded());
  EXPECT_TRUE(menu.IsLoaded());

  struct Release {
    int button, x, y;
  };
  for (Release release : {Release{kRightButton, 100, 100}, Release{kLeftButton, 1966, 100}, Release{kLeftButton, 100, 466}}) {
    ASSERT_TRUE(page.Show());
    page.Command1_MouseUp(release.button, 0, release.x, release.y);
    EXPECT_FALSE(page.IsLoaded());
  }
  EXPECT_TRUE(machine.started.empty());

  // A person clicks "I accept": the release in the button's middle. An older
  // release without its uninstaller: a second's wait, with the menu kept from
  // clicks, then the driver setup.
  machine.files[InstallDir + "TARVEX VEK Network Printer Port.DLL"] = "";
  bool menuOffMeanwhile = false;
  machine.events.push_back({500, [&] { menuOffMeanwhile = !menu.IsWindowEnabled(); }});
  ASSERT_TRUE(page.Show());
  vek::ui::Click(GetDlgItem(page.m_hWnd, IDC_COMMAND1));
  ASSERT_TRUE(PumpUntil([&] { return !machine.started.empty(); }));
  EXPECT_EQ(machine.started, std::vector<std::string>{R"("Drivers\En_Fr_De\Setup.exe")"});
  EXPECT_TRUE(menuOffMeanwhile);
  EXPECT_TRUE(menu.IsWindowEnabled());
  EXPECT_FALSE(page.IsLoaded());
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));  // the cursor is back
}

// The menu and the agreement end by their own buttons only: Esc closes neither,
// and the terminal's key line does not offer it on them.
TEST_F(Menu, EscClosesNoFormAndTheKeyLineDoesNotOfferIt) {
  using namespace vek::ui::terminal;
  ASSERT_TRUE(menu.Show());
  ASSERT_TRUE(page.Show());
  auto keys = [] {
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build(SnapshotThreadWindows(GetCurrentThreadId(), GetFocus()), 120, 40, memory);
    std::string named;
    for (const KeyHint& hint : KeyHints(layout, {})) named += EncodeUtf8(hint.key) + ";";
    return named;
  };
  for (XForm* form : {static_cast<XForm*>(&page), static_cast<XForm*>(&menu)}) {
    SCOPED_TRACE(form == &menu ? "the menu" : "the agreement");
    EXPECT_EQ(keys().find("Esc"), std::string::npos) << keys();
    MSG escape{};
    escape.hwnd = form->m_hWnd;
    escape.message = WM_KEYDOWN;
    escape.wParam = VK_ESCAPE;
    static_cast<CWnd*>(form)->PreTranslateMessage(&escape);
    Pump();
    EXPECT_TRUE(form->IsLoaded());
    page.Unload();  // the menu's turn
  }
}

// The menu with the help of each button, and the agreement page, with the
// wizard's languages, read from the terminal front end at the common terminal
// sizes (support/screen_check.h).
TEST_F(Menu, TheMenuAndTheAgreementReadWholeOnTheCommonTerminalSizes) {
  auto read = [](HWND window, const std::string& what) {
    for (const std::string& problem : vek::test::ScreenProblems(window, what)) ADD_FAILURE() << problem;
  };
  for (LANGID language : vek::test::kScreenLanguages) {
    vek::SetLanguage(language, language);
    const std::string in = ", " + vek::test::LanguageName(language);
    ASSERT_TRUE(menu.Show());
    for (auto [id, help] : {std::pair{IDC_IMG_DOCUMENTATION, 3}, {IDC_IMG_SETUP_WIZARD, 1}, {IDC_IMG_EXIT, 0}}) {
      vek::ui::Focus(Control(id));
      ASSERT_TRUE(PumpUntil([&, help = help] { return menu.HelpState == help; }));
      read(menu.m_hWnd, "the menu, on button " + std::to_string(id) + in);
    }
    menu.imgSetupWizard_MouseUp(kLeftButton, 0, 100, 100);
    ASSERT_TRUE(page.IsLoaded());
    read(page.m_hWnd, "the agreement" + in);
    page.Command2_MouseUp(kLeftButton, 0, 100, 100);  // "I do not accept"
    ASSERT_TRUE(menu.IsLoaded());
  }
  vek::ResetOsVersionAndLanguage();
}

TEST_F(Menu, TheStartWindowSetsThePathsOfTheUsersLanguageAndShowsTheMenu) {
  vek::test::TempRoot root;
  vek::SetLanguage(8202, 8202);  // Spanish (Venezuela)
  vek::SetOsVersion({VER_PLATFORM_WIN32_NT, 5, 0, 2195});
  Ranvel start(menu);
  EXPECT_FALSE(start.Load());  // it unloads itself in its load event
  EXPECT_FALSE(start.IsLoaded());
  EXPECT_TRUE(menu.IsLoaded());
  EXPECT_EQ(XForm::LoadedForms(), 1);
  EXPECT_EQ(WinDir, R"(C:\WINNT)");
  EXPECT_EQ(SysDrive, R"(C:\)");
  EXPECT_EQ(DriverSet, 3);
  EXPECT_EQ(InstallDir, R"(C:\Archivos de programa\Tarvex\TARVEX VEK Wizard\)");
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
