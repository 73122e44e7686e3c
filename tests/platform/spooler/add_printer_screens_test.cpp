// The platform's Add Printer wizard page by page, in English and Japanese, read
// from the terminal front end at the common terminal sizes (support/screen_check.h):
// every text whole, no two controls on the same cells, nothing over a frame.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "kernel/version.h"
#include "spooler/add_printer/add_printer_ids.h"
#include "spooler/add_printer/add_printer_pages.h"
#include "spooler/spooler.h"
#include "support/screen_check.h"
#include "support/temp_root.h"
#include "ui/headless_driver.h"

namespace vek::test {
namespace {

using vek::ui::HeadlessDriver;

class AddPrinterScreens : public testing::TestWithParam<LANGID> {};

TEST_P(AddPrinterScreens, EveryPageReadsWhole) {
  vek::SetLanguage(GetParam(), GetParam());
  TempRoot root;
  std::string error;
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({}, &error)) << error;
  spooler::RegisterAddPrinterResources();
  // The wizard on a user-interface thread of its own, as the program runs it.
  std::atomic<bool> done{false};
  std::thread ui([&] {
    spooler::NewPrinter printer;
    spooler::CAddPrinterPage welcome(spooler::IDD_ADD_PRINTER_WELCOME, printer, PSWIZB_NEXT);
    spooler::CLocalPrinterPage local(printer);
    spooler::CPrinterPortPage port(printer);
    spooler::CPrinterModelPage model(printer);
    spooler::CTestPagePage test(printer);
    CPropertySheet sheet("Add Printer Wizard");
    for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&welcome, &local, &port, &model, &test})
      sheet.AddPage(page);
    sheet.SetWizardMode();
    sheet.DoModal();
    done = true;
  });
  HeadlessDriver driver;
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return driver.ActiveWindow() != nullptr; }));
  driver.Settle();
  for (const char* page : {"the welcome page", "local or network", "the port", "the model and name", "the test page"}) {
    for (const std::string& problem : ScreenProblems(driver.ActiveWindow(), std::string("Add Printer, ") + page))
      ADD_FAILURE() << problem;
    if (std::string(page) != "the test page") driver.Next();
  }
  driver.Cancel();
  EXPECT_TRUE(HeadlessDriver::WaitFor([&] { return done.load(); }));
  ui.join();
  spooler::Shutdown();
  vek::ResetOsVersionAndLanguage();
}

INSTANTIATE_TEST_SUITE_P(Languages, AddPrinterScreens, testing::ValuesIn(kScreenLanguages),
                         [](const testing::TestParamInfo<LANGID>& info) { return LanguageName(info.param); });

}  // namespace
}  // namespace vek::test
