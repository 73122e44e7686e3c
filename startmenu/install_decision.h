// What "I accept" does: with the port monitor installed, the installed wizard is
// started when the installed release is the current one; an older release is first
// removed by its uninstaller (the menu waits until the monitor's file is gone), and
// then, as when nothing is installed, the driver setup of the user's language on the
// CD is started. Programs are started without waiting for them.
//
// A program that cannot be started is reported, and nothing further is started. The
// wait for the uninstaller is bounded: it ends with a message when the monitor's
// file is still there 15 s after the uninstaller has ended, or after 10 minutes.
// Every wait lets the windows go on.
#pragma once

#include <string>

#include "kernel/types.h"

class XSetupMachine;

constexpr DWORD kUninstallLimitMs = 10 * 60 * 1000;
constexpr DWORD kAfterUninstallerMs = 15000;
constexpr DWORD kAfterUninstallMs = 15000;  // the uninstaller's last files go meanwhile
constexpr DWORD kNoUninstallMs = 1000;

// The command lines, each program's path between quotes.
std::string WizardCommandLine();
std::string UninstallCommandLine();
std::string DriverSetupCommandLine();

// Runs on the program-wide values of Module1 (InstallDir, WinDir, DriverSet), and
// sets PortDllPath, VersionFilePath and InstalledVersion.
void RunInstallDecision(XSetupMachine& machine);
