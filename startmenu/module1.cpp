#include "startmenu/module1.h"

#include <cctype>
#include <cstdlib>

#include "shell/path_mapping.h"
#include "startmenu/setup_machine.h"

std::string WinDir;
std::string SysDrive;
SHORT DriverSet = 1;
std::string InstallDir;
std::string PortDllPath;
std::string VersionFilePath;
SHORT InstalledVersion = 0;

LanguageChoice ChooseForLanguage(LANGID language) {
  switch (language) {
    case 1031: case 2055: case 3079: case 4103: case 5127:  // German
      return {"Programme", 1};
    case 1036: case 2060: case 3084: case 4108: case 5132:  // French
      return {"Program Files", 1};
    case 1040: case 2064:  // Italian
      return {"Programmi", 2};
    case 1041:  // Japanese
      return {"Program Files", 4};
    default:
      break;
  }
  // Spanish: the twenty ids 0x040A to 0x500A, 0x0400 apart.
  if (language >= 0x040A && language <= 0x500A && (language - 0x040A) % 0x0400 == 0) return {"Archivos de programa", 3};
  return {"Program Files", 1};
}

std::string InstallDirOf(const std::string& sysDrive, const std::string& programFiles) {
  return sysDrive + programFiles + "\\" + "Tarvex" + "\\" + "TARVEX VEK Wizard" + "\\";
}

const char* DriverSetupPath(SHORT driverSet) {
  switch (driverSet) {
    case 2: return "Drivers\\En_It\\Setup.exe";
    case 3: return "Drivers\\En_Es\\Setup.exe";
    case 4: return "Drivers\\En_Ja\\Setup.exe";
    default: return "Drivers\\En_Fr_De\\Setup.exe";
  }
}

std::string GetWindowsDir() {
  char buffer[260] = {};
  UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer);
}

bool FileExists(XSetupMachine& machine, const std::string& path) { return machine.FileExists(path); }

SHORT ParseVersion(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t start = i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  std::size_t digits = i;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - digits < 7) ++i;
  if (i == digits) return 0;
  long value = std::strtol(text.substr(start, i - start).c_str(), nullptr, 10);
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool ended = i == text.size() || text[i] == '\r' || text[i] == '\n' || text[i] == ',';
  if (!ended || value < -32768 || value > 32767) return 0;
  return static_cast<SHORT>(value);
}

SHORT ReadVersion(XSetupMachine& machine, const std::string& path) {
  std::string text;
  if (!machine.ReadTextFile(path, &text)) return 0;
  return ParseVersion(text);
}
