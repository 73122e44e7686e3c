// Programs started through the shell layer: found where Windows finds them, given
// their arguments as they were written, waited for through their handles, and kept
// on this machine (its root, its language, none of our descriptors).
#include <gtest/gtest.h>

#include <fcntl.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "framework/styles.h"
#include "kernel/kernel.h"
#include "registry/registry.h"
#include "shell/shell.h"
#include "shell/terminal_lease.h"
#include "shell_test_support.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

using vek::test::ReadFile;

const std::string kChild = SHELL_CHILD;

// The report of a child started in "report" mode: its lines as name=value (arg
// lines in order).
struct Report {
  std::map<std::string, std::string> values;
  std::vector<std::string> arguments;
};

Report ReadReport(const std::string& path) {
  Report report;
  std::istringstream lines(ReadFile(path));
  for (std::string line; std::getline(lines, line);) {
    std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string name = line.substr(0, equals), value = line.substr(equals + 1);
    if (name == "arg") report.arguments.push_back(value);
    else report.values[name] = value;
  }
  return report;
}

// Starts a command line and waits for the program's end; its exit code, or -1.
long long RunToEnd(const std::string& commandLine, const char* directory = nullptr, DWORD* error = nullptr) {
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup, &started)) {
    if (error) *error = GetLastError();
    return -1;
  }
  EXPECT_EQ(WaitForSingleObject(started.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(started.hProcess, &code));
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return code;
}

TEST(Process, QuotedProgramWithBlanksGetsItsArgumentsAndRunsOnThisMachine) {
  vek::test::TempRoot root;
  vek::test::TempDir work;
  const std::string installed = root.path() + "/drives/c/Program Files/Tarvex/TARVEX VEK Wizard/TARVEX VEK Wizard.exe";
  vek::test::InstallProgram(kChild, installed);
  vek::SetLanguage(1031, 1031);
  int leaked = open("/dev/null", O_RDONLY);  // not for the child: nothing is inherited
  const std::string report = work.path() + "/report";

  std::string line = R"("C:\program files\tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe" report )" + report +
                     R"( -a -f"C:\Program Files\x y\Uninst.isu" "" tail\)";
  EXPECT_EQ(RunToEnd(line, R"(C:\Program Files\Tarvex)"), 0);
  Report seen = ReadReport(report);
  EXPECT_EQ(seen.arguments, (std::vector<std::string>{"-a", R"(-fC:\Program Files\x y\Uninst.isu)", "", "tail\\"}));
  EXPECT_EQ(seen.values["argv0"], R"(C:\program files\tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe)");
  EXPECT_EQ(seen.values["cwd"], root.path() + "/drives/c/Program Files/Tarvex");
  EXPECT_EQ(seen.values["root"], root.path());
  EXPECT_EQ(seen.values["language"], "0x0407");
  EXPECT_EQ(seen.values["fds"], std::to_string(vek::shell::kLeaseDescriptor) + " ");  // only the terminal's lease
  close(leaked);
  vek::ResetOsVersionAndLanguage();

  // The same path without quotes names "C:\program", which is not there.
  DWORD error = 0;
  EXPECT_EQ(RunToEnd(R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe exit 0)", nullptr, &error), -1);
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}

TEST(Process, BareNamesAreSearchedInTheMachinesFoldersAndFailuresSayWhy) {
  vek::test::TempRoot root;
  vek::test::TempDir work;
  vek::test::InstallProgram(kChild, root.path() + "/drives/c/WINDOWS/system32/RunDLL32.exe");
  vek::test::InstallProgram(kChild, root.path() + "/drives/c/WINDOWS/IsUninst.exe");
  vek::test::WriteTextFile(work.path() + "/Setup.exe", "not a program");
  vek::test::WriteTextFile(work.path() + "/Broken.exe", "no format", true);
  vek::test::CurrentFolder inside(work.path());

  EXPECT_EQ(RunToEnd("rundll32 exit 7"), 7);      // ".exe" added, any case
  EXPECT_EQ(RunToEnd("IsUninst.exe exit 3"), 3);  // the Windows folder
  struct Failure {
    const char* line;
    const char* directory;
    DWORD error;
  };
  const Failure failures[] = {
      {"arp -d *", nullptr, ERROR_FILE_NOT_FOUND},  // host programs are not searched
      {R"(C:\Nowhere\Setup.exe)", nullptr, ERROR_PATH_NOT_FOUND},
      {R"(C:\WINDOWS\Missing.exe)", nullptr, ERROR_FILE_NOT_FOUND},
      {"Setup.exe", nullptr, ERROR_ACCESS_DENIED},        // a file, not a program
      {R"(C:\WINDOWS)", nullptr, ERROR_ACCESS_DENIED},     // a folder
      {"Broken.exe", nullptr, ERROR_BAD_EXE_FORMAT},
      {"IsUninst exit 0", R"(C:\No Such Folder)", ERROR_DIRECTORY},
      {"", nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const Failure& failure : failures) {
    DWORD error = 0;
    EXPECT_EQ(RunToEnd(failure.line, failure.directory, &error), -1) << failure.line;
    EXPECT_EQ(error, failure.error) << failure.line;
  }
  EXPECT_EQ(WinExec("IsUninst exit 0", SW_HIDE), 33u);
  EXPECT_EQ(WinExec("arp -d *", SW_HIDE), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(WinExec(R"(C:\Nowhere\x.exe)", SW_HIDE), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(WinExec("Broken.exe", SW_HIDE), ERROR_BAD_FORMAT);
}

TEST(Process, TheHandleWaitsUntilTheEndAndTerminateSetsTheCode) {
  vek::test::TempDir work;
  const std::string release = work.path() + "/release";
  std::string line = vek::shell::QuoteProgram(kChild) + " wait " + release;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION first{}, second{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &first));
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &second));
  EXPECT_NE(first.dwProcessId, 0u);
  EXPECT_EQ(GetProcessId(first.hProcess), first.dwProcessId);
  EXPECT_EQ(WaitForSingleObject(first.hProcess, 50), static_cast<DWORD>(WAIT_TIMEOUT));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(first.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  EXPECT_TRUE(TerminateProcess(second.hProcess, 1460));
  EXPECT_EQ(WaitForSingleObject(second.hThread, 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(second.hProcess, &code));
  EXPECT_EQ(code, 1460u);
  EXPECT_FALSE(TerminateProcess(second.hProcess, 1));  // already ended

  vek::test::WriteTextFile(release, "");
  HANDLE both[] = {first.hProcess, second.hProcess};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 30000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(first.hProcess, &code));
  EXPECT_EQ(code, 0u);
  for (HANDLE handle : {first.hProcess, first.hThread, second.hProcess, second.hThread}) EXPECT_TRUE(CloseHandle(handle));
  EXPECT_FALSE(GetExitCodeProcess(first.hProcess, &code));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

void Associate(const char* extension, const char* type, const std::string& command) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string("SOFTWARE\\Classes\\") + extension).c_str(), &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(type), static_cast<DWORD>(std::strlen(type) + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string("SOFTWARE\\Classes\\") + type + "\\shell\\open\\command").c_str(), &key),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(Process, ShellExecuteStartsProgramsAndOpensDocumentsByTheirType) {
  unsetenv("DISPLAY");  // no desktop to open documents of unknown types
  unsetenv("WAYLAND_DISPLAY");
  vek::test::TempRoot root;
  vek::test::TempDir cd;
  vek::test::WriteTextFile(cd.path() + "/Manuals/documentation.htm", "<html></html>");
  vek::test::WriteTextFile(cd.path() + "/Manuals/notes.xyz", "");
  vek::test::InstallProgram(kChild, cd.path() + "/Tools/Viewer.exe");
  vek::test::CurrentFolder inside(cd.path());
  const std::string report = cd.path() + "/report";
  auto open = [](const char* verb, const char* file, const char* parameters = "") {
    return vek::shell::ShellExecuteResult(ShellExecuteA(nullptr, verb, file, parameters, "", SW_SHOWNORMAL));
  };

  EXPECT_EQ(open("open", R"(Manuals\documentation.htm)"), SE_ERR_NOASSOC);  // no type known yet
  Associate(".htm", "htmlfile", vek::shell::QuoteProgram(kChild) + " report " + report + " \"%1\" %*");
  ASSERT_GT(open("open", R"(Manuals\documentation.htm)", "--first-page"), 32);
  ASSERT_TRUE(vek::test::WaitFor([&] { return ReadReport(report).arguments.size() == 2; }));
  EXPECT_EQ(ReadReport(report).arguments,
            (std::vector<std::string>{std::filesystem::current_path().string() + "/Manuals/documentation.htm", "--first-page"}));
  std::filesystem::remove(report);

  ASSERT_GT(open(nullptr, R"(tools\viewer.exe)", ("report " + report + " x").c_str()), 32);  // a program starts
  ASSERT_TRUE(vek::test::WaitFor([&] { return !ReadReport(report).arguments.empty(); }));
  EXPECT_EQ(ReadReport(report).arguments, std::vector<std::string>{"x"});

  // A command that would climb out of the folder by ".." reaches no host program.
  std::filesystem::remove(report);
  std::string climb;
  for (const auto& part : std::filesystem::path(cd.path()).relative_path()) climb += part.empty() ? "" : "..\\";
  std::string child = std::string(kChild).substr(1);
  std::replace(child.begin(), child.end(), '/', '\\');
  Associate(".htm", "htmlfile", climb + child + " report " + report + " \"%1\"");
  EXPECT_EQ(open("open", R"(Manuals\documentation.htm)"), SE_ERR_PNF) << "no such folder on the CD";
  EXPECT_FALSE(std::filesystem::exists(report));

  EXPECT_EQ(open("open", R"(Manuals\missing.htm)"), SE_ERR_FNF);
  EXPECT_EQ(open("open", R"(Nowhere\missing.htm)"), SE_ERR_PNF);
  EXPECT_EQ(open("open", R"(Manuals\notes.xyz)"), SE_ERR_NOASSOC);
  EXPECT_EQ(open("print", R"(Manuals\documentation.htm)"), SE_ERR_NOASSOC);
  EXPECT_EQ(open("open", ""), SE_ERR_FNF);
}

}  // namespace
