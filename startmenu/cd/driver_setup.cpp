// The driver setup on the setup CD (Drivers\<set>\Setup.exe): installs what the
// driver set's folder and the CD's common folder hold, for the user's language:
// the printer port monitor and the setup wizard into the installation folder, the
// release number, the uninstall log and the uninstaller, and registers the monitor
// with the spooler. It stands in for the printer makers' setups the CD carries; as
// they find the system's own Add Printer program in place, it puts the platform's
// one where the wizard starts it when the machine has none.
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/framework.h"
#include "kernel/version.h"
#include "shell/shell.h"
#include "spooler/spooler.h"
#include "startmenu/cd/uninstall_log.h"
#include "startmenu/module1.h"
#include "ui/front_end_choice.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "TARVEX VEK Setup";
// The platform's Add Printer program, as the CD carries it.
constexpr const char* kAddPrinterProgram = "RunDLL32.exe";

const char* LanguagesOf(const std::string& driverSet) {
  if (driverSet == "En_It") return "English and Italian";
  if (driverSet == "En_Es") return "English and Spanish";
  if (driverSet == "En_Ja") return "English and Japanese";
  return "English, French and German";
}

class CDriverSetupApp : public CWinApp {
 public:
  CDriverSetupApp() : CWinApp("Setup") {}

  BOOL InitInstance() override {
    auto frontEnd = vek::ui::StartFrontEnd();
    m_exitCode = Run();
    return FALSE;
  }
  int ExitInstance() override { return m_exitCode; }

 private:
  int Run() {
    fs::path folder = vek::shell::ProgramFolder();
    fs::path common = folder.parent_path() / "Common";
    std::string winDir = GetWindowsDir();
    LanguageChoice choice = ChooseForLanguage(GetUserDefaultLangID());
    std::string installDir = InstallDirOf(winDir.substr(0, 3), choice.programFiles);

    std::string question = std::string("Setup installs the printer drivers (") + LanguagesOf(folder.filename().string()) +
                           "), the TARVEX VEK Network Printer Port and the TARVEX VEK Wizard into\n\n" + installDir +
                           "\n\nDo you want to continue?";
    if (MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;

    std::string failure;
    if (!Install(common, winDir, installDir, &failure)) {
      MessageBoxA(nullptr, ("Setup could not finish: " + failure).c_str(), kCaption, MB_OK | MB_ICONSTOP);
      return 1;
    }
    MessageBoxA(nullptr,
                "Setup has installed the TARVEX VEK software.\n\nChoose Setup Wizard on the CD's menu again to set "
                "up your print server.",
                kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
  }

  static bool Copy(const fs::path& from, const std::string& to, std::string* failure) {
    std::error_code error;
    fs::copy_file(from, vek::shell::HostPath(to), fs::copy_options::overwrite_existing, error);
    if (error) *failure = "cannot copy " + from.filename().string() + " to " + to + " (" + error.message() + ")";
    return !error;
  }

  static bool WriteText(const std::string& path, const std::string& text, std::string* failure) {
    std::ofstream out(vek::shell::HostPath(path), std::ios::binary);
    out << text;
    if (!out) *failure = "cannot write " + path;
    return static_cast<bool>(out);
  }

  static bool Install(const fs::path& common, const std::string& winDir, const std::string& installDir,
                      std::string* failure) {
    const std::string wizard = installDir + "TARVEX VEK Wizard.exe";
    const std::string monitor = installDir + "TARVEX VEK Network Printer Port.DLL";
    const std::string version = installDir + "Version";
    const std::string log = installDir + "Uninst.isu";
    std::error_code error;
    fs::create_directories(vek::shell::HostPath(installDir), error);
    fs::create_directories(vek::shell::HostPath(winDir), error);
    if (error) {
      *failure = "cannot create " + installDir + " (" + error.message() + ")";
      return false;
    }
    vek::cd::UninstallLog record;
    record.product = "TARVEX VEK Wizard";
    record.files = {wizard, monitor, version, log};
    std::string folder = installDir.substr(0, installDir.size() - 1);
    record.folders = {folder, folder.substr(0, folder.find_last_of('\\'))};
    if (!Copy(common / "TARVEX VEK Wizard.exe", wizard, failure) ||
        !Copy(common / "TARVEX VEK Network Printer Port.DLL", monitor, failure) ||
        !Copy(common / "IsUninst.exe", winDir + "\\IsUninst.exe", failure) ||
        !WriteText(version, std::to_string(kCurrentRelease) + "\r\n", failure) ||
        !WriteText(log, vek::cd::WriteUninstallLog(record), failure))
      return false;
    vek::spooler::MachineSetup setup;
    setup.monitorLibrary = vek::shell::HostPath(monitor);
    std::string problem;
    if (vek::spooler::SetUpMachine(setup, &problem) != ERROR_SUCCESS) {
      *failure = "cannot register the printer port monitor: " + problem;
      return false;
    }
    return PlaceAddPrinter(common, failure);
  }

  // The system's file, not the software's: the uninstall log leaves it out.
  static bool PlaceAddPrinter(const fs::path& common, std::string* failure) {
    const fs::path place = vek::spooler::AddPrinterProgramPlace();
    std::error_code error;
    if (fs::exists(place, error)) return true;
    fs::create_directories(place.parent_path(), error);
    fs::remove(place, error);  // a link to a program that is gone
    fs::copy_file(common / kAddPrinterProgram, place, error);
    if (error)
      *failure = "cannot place the Add Printer program at " + place.string() + " (" + error.message() + ")";
    return !error;
  }

  int m_exitCode = 0;
};

CDriverSetupApp theApp;

}  // namespace
