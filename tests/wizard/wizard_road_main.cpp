// vek-wizard-road: the setup wizard driven through its pages without a person,
// as the demo shows it: each page's name and what became of it, one line each.
//
//   vek-wizard-road [--mac MAC] [--password PASSWORD | --keep-settings]
//                   [--address A.B.C.D [--mask A.B.C.D] [--gateway A.B.C.D]]
//                   [--ssid NAME] [--add-printer NAME | --printer NAME] [--no-default]
//
// It runs on the machine root of VEK_ROOT and finds the print servers where
// VEK_BROADCAST sends. While the wizard works, standard error says what it waits
// for. Exit code 0 when the wizard reached its end.
#include <cstdio>
#include <cstring>
#include <string>

#include "kernel/program_end.h"
#include "protocol/winsock_startup.h"
#include "protocol/xudp_socket.h"
#include "road_wait_line.h"
#include "support/wizard_road.h"
#include "wizard/wizard_settings.h"

namespace {

std::string PageColumn(const std::string& page) {
  char text[32];
  std::snprintf(text, sizeof text, "  %-22s", (page + ":").c_str());
  return text;
}

int Usage() {
  std::fprintf(stderr,
               "usage: vek-wizard-road [--mac MAC] [--password PASSWORD | --keep-settings]\n"
               "                       [--address A.B.C.D [--mask A.B.C.D] [--gateway A.B.C.D]] [--ssid NAME]\n"
               "                       [--add-printer NAME | --printer NAME] [--no-default]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vek::test::RoadPlan plan;
  for (int i = 1; i < argc; i++) {
    std::string option = argv[i];
    auto value = [&](std::string* to) {
      if (i + 1 >= argc) return false;
      *to = argv[++i];
      return true;
    };
    bool ok = option == "--mac"           ? value(&plan.mac)
              : option == "--password"    ? value(&plan.password)
              : option == "--address"     ? value(&plan.address)
              : option == "--mask"        ? value(&plan.subnetMask)
              : option == "--gateway"     ? value(&plan.gateway)
              : option == "--ssid"        ? value(&plan.ssid)
              : option == "--add-printer" ? value(&plan.addPrinter)
              : option == "--printer"     ? value(&plan.printer)
                                          : false;
    if (option == "--keep-settings") ok = plan.keepSettings = true;
    if (option == "--no-default") {
      plan.makeDefault = false;
      ok = true;
    }
    if (!ok) return Usage();
  }
  // The start-up of the wizard's program, without a front end.
  if (!StartupWinsock()) return 1;
  using namespace WizardSettings;
  if (!XUDPSocket::LoadUDP()) m_Transports &= ~PS_TRANSPORTS_UDP;
  m_AddPrinterRunning = 0;
  m_PortCreated = 0;
  m_NoModify = 1;
  m_SelectedRow = -1;
  m_SearchDone = 1;
  bool reached = false;
  std::string error;
  RoadWaitLine waiting;
  {
    vek::test::SheetRun run;
    vek::test::WizardRoad road(
        run,
        [&](const vek::test::RoadStep& step) {
          waiting.Stop();
          std::printf("%s %s\n", PageColumn(step.page).c_str(), step.outcome.c_str());
          std::fflush(stdout);
        },
        [&](const vek::test::RoadStep& step) { waiting.Start(PageColumn(step.page) + " " + step.outcome); });
    reached = road.Drive(plan);
    error = road.Error();
  }
  waiting.Stop();
  if (!reached) std::fprintf(stderr, "vek-wizard-road: %s\n", error.empty() ? "the wizard did not finish" : error.c_str());
  vek::RunProgramEnd();  // as the wizard's own main does: the monitors it loaded are shut down
  return reached ? 0 : 1;
}
