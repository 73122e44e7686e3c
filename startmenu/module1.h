// The start menu's program-wide values and its module procedures: where the
// Windows folder is, which program-files folder and driver set fit the user's
// language, where the software is installed, and the release installed there.
#pragma once

#include <string>

#include "kernel/types.h"

class XSetupMachine;

extern std::string WinDir;           // the Windows folder
extern std::string SysDrive;         // its first three characters: "C:\"
extern SHORT DriverSet;              // 1 to 4: the driver folder of the CD for the user's language
extern std::string InstallDir;       // ends with a backslash
extern std::string PortDllPath;      // the installed port monitor
extern std::string VersionFilePath;  // the installed release number
extern SHORT InstalledVersion;       // 0 when there is no version file

// The release this CD installs.
constexpr SHORT kCurrentRelease = 14;

// The localized program-files folder and the driver set of a user language.
struct LanguageChoice {
  const char* programFiles;
  SHORT driverSet;
};
LanguageChoice ChooseForLanguage(LANGID language);

// InstallDir of a system drive and program-files folder.
std::string InstallDirOf(const std::string& sysDrive, const std::string& programFiles);
// The driver setup program of a driver set, relative to the CD's root.
const char* DriverSetupPath(SHORT driverSet);

// GetWindowsDirectoryA into 260 characters: the text to the first NUL, or empty.
std::string GetWindowsDir();
// True when a normal file is there: not a folder, not hidden, not a system file.
bool FileExists(XSetupMachine& machine, const std::string& path);
// The release number in a version file: one integer, optionally signed, before the
// end of its line. A file that cannot be read, holds no such number or one out of
// the 16-bit range reads as 0, as a missing file does.
SHORT ReadVersion(XSetupMachine& machine, const std::string& path);
SHORT ParseVersion(const std::string& text);
