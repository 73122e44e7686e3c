#include "startmenu/install_decision.h"

#include "shell/command_line.h"
#include "startmenu/module1.h"
#include "startmenu/setup_machine.h"
#include "startmenu/start_menu_texts.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Lets the windows go on for a time.
void Wait(XSetupMachine& machine, DWORD milliseconds) {
  DWORD start = machine.TickCount();
  for (DWORD passed = 0; passed < milliseconds; passed = machine.TickCount() - start)
    machine.DoEvents(milliseconds - passed < 100 ? milliseconds - passed : 100);
}

// Starts a program; a program that does not start is reported. The handle, or null.
HANDLE Start(XSetupMachine& machine, const std::string& commandLine) {
  DWORD error = 0;
  HANDLE process = machine.StartProgram(commandLine, &error);
  if (process == nullptr) machine.ShowMessage(CannotStartText(vek::shell::ProgramOf(commandLine), error));
  return process;
}

void StartAndLetGo(XSetupMachine& machine, const std::string& commandLine) {
  if (HANDLE process = Start(machine, commandLine)) machine.CloseProgram(process);
}

// Until the port monitor's file is gone; false when it stays.
bool WaitForUninstall(XSetupMachine& machine, HANDLE uninstaller) {
  DWORD start = machine.TickCount();
  bool ended = false;
  DWORD endedAt = 0;
  while (FileExists(machine, PortDllPath)) {
    DWORD now = machine.TickCount();
    if (!ended && machine.HasEnded(uninstaller)) {
      ended = true;
      endedAt = now;
    }
    if (now - start >= kUninstallLimitMs || (ended && now - endedAt >= kAfterUninstallerMs)) return false;
    machine.DoEvents(100);
  }
  return true;
}

}  // namespace

std::string WizardCommandLine() { return Quoted(InstallDir + "TARVEX VEK Wizard.exe"); }

std::string UninstallCommandLine() {
  return Quoted(WinDir + "\\" + "IsUninst.exe") + " -a -f" + Quoted(InstallDir + "Uninst.isu") + " -c" +
         Quoted(InstallDir + "Loader.dll");
}

std::string DriverSetupCommandLine() { return Quoted(DriverSetupPath(DriverSet)); }

void RunInstallDecision(XSetupMachine& machine) {
  PortDllPath = InstallDir + "TARVEX VEK Network Printer Port.DLL";
  VersionFilePath = InstallDir + "Version";
  const std::string uninstaller = WinDir + "\\" + "IsUninst.exe";
  const std::string uninstallLog = InstallDir + "Uninst.isu";
  const bool haveDll = FileExists(machine, PortDllPath);
  const bool haveVersion = FileExists(machine, VersionFilePath);
  const bool haveUninstaller = FileExists(machine, uninstaller);
  const bool haveLog = FileExists(machine, uninstallLog);

  if (haveDll) {
    InstalledVersion = haveVersion ? ReadVersion(machine, VersionFilePath) : 0;
    if (InstalledVersion == kCurrentRelease) {
      StartAndLetGo(machine, WizardCommandLine());
      return;
    }
    if (haveUninstaller && haveLog) {
      HANDLE process = Start(machine, UninstallCommandLine());
      if (process == nullptr) return;  // the older release stays: nothing is installed over it
      bool removed = WaitForUninstall(machine, process);
      machine.CloseProgram(process);
      if (!removed) {
        machine.ShowMessage(StartMenuText(IDS_UNINSTALL_TIMEOUT));
        return;
      }
      Wait(machine, kAfterUninstallMs);
    } else {
      Wait(machine, kNoUninstallMs);
    }
  }
  StartAndLetGo(machine, DriverSetupCommandLine());
}
