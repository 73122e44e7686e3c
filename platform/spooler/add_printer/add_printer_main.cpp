// The platform's Add Printer program, as the setup wizard starts it:
//
//   RunDLL32 SHELL32.DLL,SHHelpShortcuts_RunDLL AddPrinter
//
// (the machine set-up puts this program in the system folder under that name). It
// runs the Add Printer wizard in the terminal and ends with 0 when a printer was
// added, 1 when it was not. VEK_ADD_PRINTER="name[;driver[;port]]" adds that
// printer at once without showing anything, for runs nobody watches.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/framework.h"
#include "kernel/strings.h"
#include "spooler/add_printer/add_printer_ids.h"
#include "spooler/add_printer/add_printer_pages.h"
#include "spooler/spooler.h"
#include "ui/front_end_choice.h"

namespace {

using namespace vek::spooler;

constexpr int kAdded = 0, kNotAdded = 1, kUsage = 2;

// "name[;driver[;port]]".
NewPrinter Answer(const std::string& text) {
  NewPrinter printer;
  printer.driver = kGenericDrivers[0];
  std::size_t first = text.find(';');
  printer.name = text.substr(0, first);
  if (first != std::string::npos) {
    std::size_t second = text.find(';', first + 1);
    std::string driver = text.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (!driver.empty()) printer.driver = driver;
    if (second != std::string::npos && second + 1 < text.size()) printer.port = text.substr(second + 1);
  }
  return printer;
}

int Unattended(const std::string& answer) {
  NewPrinter printer = Answer(answer);
  std::string problem;
  if (printer.name.empty() || !AddNewPrinter(printer, &problem)) {
    std::fprintf(stderr, "Add Printer: %s\n", printer.name.empty() ? "no printer name given" : problem.c_str());
    return kNotAdded;
  }
  std::printf("Add Printer: '%s' (%s) on %s\n", printer.name.c_str(), printer.driver.c_str(), printer.port.c_str());
  return kAdded;
}

int Interactive() {
  RegisterAddPrinterResources();
  vek::ui::FrontEndSession session = vek::ui::StartFrontEnd();
  if (!session.IsTerminal()) {
    std::fprintf(stderr, "Add Printer: the wizard needs a terminal (or VEK_ADD_PRINTER for a printer to add)\n");
    return kNotAdded;
  }
  NewPrinter printer;
  CAddPrinterPage welcome(IDD_ADD_PRINTER_WELCOME, printer, PSWIZB_NEXT);
  CLocalPrinterPage local(printer);
  CPrinterPortPage port(printer);
  CPrinterModelPage model(printer);
  CTestPagePage test(printer);
  CPropertySheet sheet("Add Printer Wizard");
  for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&welcome, &local, &port, &model, &test})
    sheet.AddPage(page);
  sheet.SetWizardMode();
  sheet.DoModal();
  session.End();
  return printer.added ? kAdded : kNotAdded;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || vek::CompareNoCase(argv[1], "SHELL32.DLL,SHHelpShortcuts_RunDLL") != 0 ||
      vek::CompareNoCase(argv[2], "AddPrinter") != 0) {
    std::fprintf(stderr, "usage: RunDLL32 SHELL32.DLL,SHHelpShortcuts_RunDLL AddPrinter\n");
    return kUsage;
  }
  const char* answer = std::getenv("VEK_ADD_PRINTER");
  int result = answer ? Unattended(answer) : Interactive();
  Shutdown();
  return result;
}
