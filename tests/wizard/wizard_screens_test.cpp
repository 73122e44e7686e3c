// Every page and dialog of the wizard, in English and in Japanese, read from the
// terminal front end at 80 x 24, 100 x 30 and 120 x 45 (support/screen_check.h):
// every text whole (on a page that scrolls, once scrolled to), no two controls on
// the same cells, nothing written over a frame. The pages come as the road brings
// them (against the emulator, through a save and a printer handed over), the other
// wireless pages and the Add Printer guide as they open from their own pages, and
// every text of the string tables as a message box.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "kernel/version.h"
#include "spooler/spooler.h"
#include "support/screen_check.h"
#include "support/spooler_print.h"
#include "support/temp_root.h"
#include "support/wizard_lab.h"
#include "support/wizard_road.h"
#include "ui/terminal/text_cells.h"

namespace vek::test {
namespace {

// Sheet indexes of the pages opened on their own.
constexpr UINT kWepPage = 4;
constexpr UINT k8021XPage = 5;
constexpr UINT kWpaPskPage = 6;
constexpr UINT kPrinterPage = 10;

class WizardScreens : public testing::TestWithParam<LANGID> {
 protected:
  void SetUp() override {
    vek::SetLanguage(GetParam(), GetParam());
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    ASSERT_TRUE(AddLocalPrinter("Accounting Department Colour Laser"));
  }
  void TearDown() override {
    spooler::Shutdown();
    vek::ResetOsVersionAndLanguage();
  }

  bool Japanese() const { return PRIMARYLANGID(GetParam()) == LANG_JAPANESE; }

  void Read(HWND window, const std::string& what) {
    m_read.insert(what);
    for (const std::string& problem : ScreenProblems(window, what)) ADD_FAILURE() << problem;
  }

  // The TCP/IP page's labels start in one column and their fields in another, a
  // cell or more after the longest label (the Japanese gateway label, longer than
  // its place, once started further left and ran into its field).
  static void AddressLabelsInOneColumn(HWND window) {
    for (const ScreenSize size : kCommonScreenSizes) {
      SCOPED_TRACE(std::to_string(size.columns) + " x " + std::to_string(size.rows));
      const CellBox ip = ControlCells(window, IDC_IP_ADDRESS_LABEL, size);
      for (auto [label, field] : {std::pair{IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK}, {IDC_GATEWAY_LABEL, IDC_GATEWAY}}) {
        const CellBox text = ControlCells(window, label, size), box = ControlCells(window, field, size);
        const std::string name = ui::HeadlessDriver().Text(label);
        EXPECT_EQ(text.x, ip.x) << name;
        EXPECT_EQ(box.x, ControlCells(window, IDC_IP_ADDRESS, size).x) << name;
        EXPECT_GE(box.x, text.x + ui::terminal::TextWidth(ui::terminal::DecodeUtf8(name)) + 1) << name;
      }
    }
  }
  TempRoot m_root;
  std::set<std::string> m_read;
};

// The road of a wireless server: its pages as they come, the search dialog over
// the server list, through the save to the printer, the summary and the end.
TEST_P(WizardScreens, ThePagesOfTheRoad) {
  WizardLab lab({WizardCableServer(1, "Office"), WizardWirelessServer(2, "Lab wireless")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  std::string steps;
  WizardRoad road(lab.Run(), [&](const RoadStep& step) { steps += step.page + ": " + step.outcome + "\n"; });
  road.LookAtEachScreen([&](const std::string& what) {
    Read(lab.Driver().ActiveWindow(), what);
    if (what == "TCP/IP Settings") AddressLabelsInOneColumn(lab.Driver().ActiveWindow());
  });
  RoadPlan plan;
  plan.mac = emu::FormatMac(lab.Emulator().DeviceAt(1).Config().mac);
  plan.password = "secret";
  plan.address = lab.Subnet().Dotted(40);
  plan.subnetMask = "255.255.255.0";
  plan.gateway = lab.Subnet().Dotted(254);
  plan.printer = "Accounting Department Colour Laser";
  ASSERT_TRUE(road.Drive(plan)) << steps << road.Error();
  for (const char* page : {"Welcome", "the search dialog", "Select Print Server", "Administrator Login",
                           "Wireless Settings", "Wireless Security", "TCP/IP Settings", "Save Settings",
                           "Select Printer", "Summary", "Setup Complete"})
    EXPECT_TRUE(m_read.count(page)) << page << " was not read:\n" << steps;
}

// The wireless pages of the older servers, the static address fields in use, and
// the guide that stands beside the Add Printer program (here none is set up, so
// it stays until Esc).
TEST_P(WizardScreens, TheOtherPagesAndTheAddPrinterGuide) {
  using namespace WizardSettings;
  m_NoModify = 0;
  m_Wireless = 1;
  m_WEPEnabled = 1;
  m_Has8021X = m_HasWPAPSK = 1;
  for (auto [page, what] : {std::pair{kWepPage, "WEP Key"}, {k8021XPage, "802.1X"}, {kWpaPskPage, "WPA-PSK"}}) {
    SheetRun run(page);
    Read(run.driver.ActiveWindow(), what);
  }
  SheetRun run(kPrinterPage);
  const HWND sheet = run.driver.ActiveWindow();
  run.driver.Click(IDC_ADD_NEW_PRINTER);
  ASSERT_TRUE(ui::HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() != sheet; }));
  run.driver.Settle();
  Read(run.driver.ActiveWindow(), "the Add Printer guide");
  run.driver.Key(VK_ESCAPE);
  ASSERT_TRUE(ui::HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() == sheet; }));
}

// Every text of the string tables, as the message boxes show them.
TEST_P(WizardScreens, EveryMessage) {
  RegisterWizardResources();
  for (const framework::StringResource& text : wizard::WizardStrings(PRIMARYLANGID(GetParam())))
    for (const std::string& problem :
         MessageBoxProblems({nullptr, text.text, "VEK Setup Wizard", MB_OK | MB_ICONEXCLAMATION, 0}, Japanese()))
      ADD_FAILURE() << problem;
}

INSTANTIATE_TEST_SUITE_P(Languages, WizardScreens, testing::ValuesIn(kScreenLanguages),
                         [](const testing::TestParamInfo<LANGID>& info) { return LanguageName(info.param); });

}  // namespace
}  // namespace vek::test
