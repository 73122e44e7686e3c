// Ranvel as a person runs it from the setup CD, in a terminal: the menu's screen,
// the agreement, the driver setup from the CD installing the software that the
// build made into the machine root, the installed wizard started from the menu, the
// uninstall of an older release, and the exit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "startmenu/cd/uninstall_log.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

namespace fs = std::filesystem;
using vek::test::Find;
using vek::test::Quote;
using vek::test::TmuxSession;

const std::string kCd = VEK_SETUP_CD_DIR;
const std::string kInstall = "/drives/c/Program Files/Tarvex/TARVEX VEK Wizard/";

std::string MenuCommand(const std::string& root, const std::string& rc) {
  return "cd " + Quote(kCd) + " && VEK_UI=terminal VEK_ROOT=" + Quote(root) +
         " VEK_BROADCAST=127.255.255.255 LANG=C.UTF-8 ./Ranvel; echo $? > " + Quote(rc) +
         "; echo menu-ended; exec cat";
}

// From "I accept" to the driver setup's end: it asks, installs and says so.
void RunDriverSetup(const TmuxSession& session) {
  ASSERT_TRUE(session.WaitForScreen("Do you want to continue?")) << session.Capture();
  EXPECT_TRUE(session.WaitForScreen("English, French and German")) << session.Capture();
  session.Keys("Enter");  // Yes
  ASSERT_TRUE(session.WaitForScreen("Setup has installed the TARVEX VEK software.")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Form1")) << session.Capture();
}

TEST(RanvelTerminal, FromTheCdTheMenuInstallsTheSoftwareAndStartsTheInstalledWizard) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir root;
  const std::string rc = root.path() + "/rc";
  TmuxSession session(MenuCommand(root.path(), rc), 110, 36);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Read the print server's manual")) << session.Capture();

  // The menu: its caption, the CD's banner, the three buttons in a column with
  // the focus marks on the first, and the help picture beside them.
  std::string menu = session.Capture();
  vek::test::Cell caption = Find(menu, "Form1"), banner = Find(menu, "TARVEX Corvane Wireless");
  vek::test::Cell documentation = Find(menu, "Documentation"), setup = Find(menu, "Setup Wizard"),
                  exit = Find(menu, "Exit"), help = Find(menu, "Read the print server's manual");
  ASSERT_GE(caption.y, 0) << menu;
  EXPECT_GT(banner.y, caption.y) << menu;
  EXPECT_GT(documentation.y, banner.y) << menu;
  EXPECT_GT(setup.y, documentation.y + 1) << menu;
  EXPECT_GT(exit.y, setup.y + 1) << menu;
  EXPECT_EQ(setup.x, documentation.x + 1) << menu;  // centred in buttons of one width
  EXPECT_GT(help.x, setup.x + 12) << menu;
  EXPECT_GE(help.y, documentation.y) << menu;
  EXPECT_NE(Find(menu, "[   Documentation    ]").x, -1) << menu;

  // Nothing installed: "I accept" runs the driver setup, which installs the
  // wizard and the monitor the build made.
  session.Keys("Tab");
  ASSERT_TRUE(session.WaitForScreen("Install and set up your print server")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Tarvex License Agreement")) << session.Capture();
  EXPECT_TRUE(session.WaitForScreen("[ I do not accept ]"));
  session.Keys("Enter");  // "I accept"
  RunDriverSetup(session);
  EXPECT_EQ(vek::test::ReadFile(root.path() + kInstall + "Version"), "14\r\n");
  EXPECT_TRUE(fs::exists(root.path() + kInstall + "TARVEX VEK Wizard.exe"));
  EXPECT_TRUE(fs::exists(root.path() + "/drives/c/WINDOWS/IsUninst.exe"));
  EXPECT_TRUE(fs::exists(root.path() + "/registry.db"));
  // The printer page's Add New Printer finds the system's Add Printer program.
  const fs::path addPrinter = root.path() + "/drives/c/WINDOWS/system32/RunDLL32.exe";
  EXPECT_TRUE(fs::is_regular_file(addPrinter));
  EXPECT_NE(fs::status(addPrinter).permissions() & fs::perms::owner_exec, fs::perms::none);

  // The current release: "I accept" starts the installed wizard, over the menu.
  ASSERT_TRUE(session.WaitForScreen("[    Setup Wizard    ]")) << session.Capture();  // the focus is back
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("I accept")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("To continue, click Next.")) << session.Capture();
  EXPECT_EQ(Find(session.Capture(), "Form1").x, -1);
  session.Keys("Escape");
  ASSERT_TRUE(session.WaitForScreen("Form1")) << session.Capture();

  session.Keys("Tab");
  ASSERT_TRUE(session.WaitForScreen("[        Exit        ]")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("menu-ended")) << session.Capture();
  EXPECT_EQ(vek::test::ReadFile(rc), "0\n");
}

TEST(RanvelTerminal, AnOlderReleaseIsUninstalledBeforeTheDriverSetupRuns) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir root;
  // Release 13 with its uninstall log and uninstaller.
  const std::string install = root.path() + kInstall;
  fs::create_directories(install);
  fs::create_directories(root.path() + "/drives/c/WINDOWS");
  fs::copy_file(kCd + "/Drivers/Common/IsUninst.exe", root.path() + "/drives/c/WINDOWS/IsUninst.exe");
  std::ofstream(install + "TARVEX VEK Network Printer Port.DLL") << "release 13";
  std::ofstream(install + "Version") << "13\r\n";
  vek::cd::UninstallLog log;
  log.product = "TARVEX VEK Wizard 13";
  const std::string folder = R"(C:\Program Files\Tarvex\TARVEX VEK Wizard)";
  log.files = {folder + R"(\TARVEX VEK Network Printer Port.DLL)", folder + R"(\Version)", folder + R"(\Uninst.isu)"};
  log.folders = {folder};
  std::ofstream(install + "Uninst.isu") << vek::cd::WriteUninstallLog(log);

  const std::string rc = root.path() + "/rc";
  TmuxSession session(MenuCommand(root.path(), rc), 110, 36);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Documentation")) << session.Capture();
  session.Keys("Tab");
  ASSERT_TRUE(session.WaitForScreen("[    Setup Wizard    ]")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("I accept")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("TARVEX VEK Wizard 13 was removed from this computer.")) << session.Capture();
  EXPECT_FALSE(fs::exists(install + "Version"));
  session.Keys("Enter");
  // The menu waits its 15 s for the uninstaller's last files, busy, then the setup asks.
  ASSERT_TRUE(session.WaitForScreen("Please wait")) << session.Capture();
  EXPECT_NE(Find(session.Capture(), "Form1").x, -1);
  ASSERT_TRUE(vek::test::WaitFor([&] { return Find(session.Capture(), "Do you want to continue?").x >= 0; },
                                 std::chrono::seconds(60)))
      << session.Capture();
  RunDriverSetup(session);
  EXPECT_EQ(vek::test::ReadFile(install + "Version"), "14\r\n");
}

}  // namespace
