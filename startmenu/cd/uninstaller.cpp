// The uninstaller of the installed release (IsUninst.exe in the Windows folder):
//   IsUninst -a -f"<uninstall log>" [-c"<custom library>"]
// removes the files and then the empty folders the log names. With -a it does not
// ask first. The custom library of -c is not used.
#include <filesystem>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "shell/shell.h"
#include "startmenu/cd/uninstall_log.h"
#include "ui/front_end_choice.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kCaption = "Uninstall";

class CUninstallApp : public CWinApp {
 public:
  CUninstallApp() : CWinApp("IsUninst") {}

  BOOL InitInstance() override {
    auto frontEnd = vek::ui::StartFrontEnd();
    m_exitCode = Run();
    return FALSE;
  }
  int ExitInstance() override { return m_exitCode; }

 private:
  int Run() {
    bool automatic = false;
    std::string logPath;
    for (int i = 1; i < m_argc; ++i) {
      std::string argument = m_argv[i];
      if (argument == "-a") automatic = true;
      else if (argument.rfind("-f", 0) == 0) logPath = argument.substr(2);
    }
    std::vector<std::uint8_t> bytes;
    vek::cd::UninstallLog log;
    if (logPath.empty() || vek::shell::ReadFileContents(logPath.c_str(), 1 << 20, &bytes) != ERROR_SUCCESS ||
        !vek::cd::ReadUninstallLog(std::string(bytes.begin(), bytes.end()), &log)) {
      MessageBoxA(nullptr, ("The uninstall log " + logPath + " cannot be read.").c_str(), kCaption, MB_OK | MB_ICONSTOP);
      return 1;
    }
    if (!automatic) {
      std::string question = "Do you want to remove " + log.product + " and all of its components?";
      if (MessageBoxA(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 1;
    }
    std::vector<std::string> left;
    for (const std::string& file : log.files) {
      std::error_code error;
      fs::remove(vek::shell::HostPath(file), error);
      if (error) left.push_back(file);
    }
    for (const std::string& folder : log.folders) {
      std::error_code error;
      fs::path host = vek::shell::HostPath(folder);
      if (fs::is_directory(host, error) && fs::is_empty(host, error)) fs::remove(host, error);
    }
    if (!left.empty()) {
      std::string text = log.product + " was removed, except for:\n";
      for (const std::string& file : left) text += "\n" + file;
      MessageBoxA(nullptr, text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
      return 1;
    }
    MessageBoxA(nullptr, (log.product + " was removed from this computer.").c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
  }

  int m_exitCode = 0;
};

CUninstallApp theApp;

}  // namespace
