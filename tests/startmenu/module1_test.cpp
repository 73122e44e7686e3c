// The start menu's tables and module procedures: the program-files folder and
// driver set of every user language, the version file as it is read (and as it
// is read when it is damaged), and the file test of the real computer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "kernel/kernel.h"
#include "startmenu/local_machine.h"
#include "startmenu/module1.h"
#include "support/temp_root.h"

namespace {

TEST(StartMenuTables, EveryLanguageGetsItsFolderAndDriverSet) {
  struct Case {
    LANGID language;
    const char* folder;
    SHORT set;
  };
  std::vector<Case> cases = {
      {1031, "Programme", 1}, {2055, "Programme", 1}, {3079, "Programme", 1}, {4103, "Programme", 1},
      {5127, "Programme", 1}, {1036, "Program Files", 1}, {2060, "Program Files", 1}, {3084, "Program Files", 1},
      {4108, "Program Files", 1}, {5132, "Program Files", 1}, {1040, "Programmi", 2}, {2064, "Programmi", 2},
      {1041, "Program Files", 4}, {1033, "Program Files", 1}, {2057, "Program Files", 1}, {0, "Program Files", 1},
      // Near the Spanish ids, but not among them.
      {0x0409, "Program Files", 1}, {0x540A, "Program Files", 1}, {0x040B, "Program Files", 1},
      {6156, "Program Files", 1},  // French (Monaco) is not in the table
  };
  for (LANGID spanish = 0x040A; spanish <= 0x500A; spanish += 0x0400) cases.push_back({spanish, "Archivos de programa", 3});
  EXPECT_EQ(cases.size(), 40u);
  for (const Case& c : cases) {
    LanguageChoice choice = ChooseForLanguage(c.language);
    EXPECT_STREQ(choice.programFiles, c.folder) << c.language;
    EXPECT_EQ(choice.driverSet, c.set) << c.language;
  }
  EXPECT_EQ(InstallDirOf("C:\\", "Archivos de programa"), R"(C:\Archivos de programa\Tarvex\TARVEX VEK Wizard\)");
  EXPECT_STREQ(DriverSetupPath(0), R"(Drivers\En_Fr_De\Setup.exe)");
  EXPECT_STREQ(DriverSetupPath(3), R"(Drivers\En_Es\Setup.exe)");
}

TEST(StartMenuTables, TheVersionFileReadsAsItsNumberOrElseAsZero) {
  struct Case {
    const char* text;
    SHORT version;
  };
  const Case cases[] = {
      {"14", 14},      {"14\r\n", 14},  {"  14  \n", 14}, {"13\n15\n", 13}, {"14,2", 14}, {"+14", 14},
      {"-3", -3},      {"32767", 32767}, {"-32768", -32768},
      {"", 0},         {"\r\n", 0},      {"fourteen", 0}, {"14abc", 0},    {"1e3", 0},   {"32768", 0},
      {"99999999999", 0}, {"-", 0},      {"\xff\xfe" "1\0" "4", 0}, {"0x0E", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseVersion(c.text), c.version) << '"' << c.text << '"';
}

TEST(StartMenuTables, TheComputersFilesAndWindowsFolder) {
  vek::test::TempRoot root;
  const std::string folder = root.path() + "/drives/c/Program Files/Tarvex/TARVEX VEK Wizard";
  std::filesystem::create_directories(folder + "/Sub");
  std::ofstream(folder + "/Version") << "14\r\n";
  std::ofstream(folder + "/.Hidden") << "";
  XLocalMachine machine;
  const std::string install = R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\)";
  EXPECT_TRUE(FileExists(machine, install + "Version"));
  EXPECT_TRUE(FileExists(machine, R"(c:\program files\tarvex\tarvex vek wizard\VERSION)"));
  EXPECT_FALSE(FileExists(machine, install + "Sub"));      // a folder
  EXPECT_FALSE(FileExists(machine, install + ".Hidden"));  // hidden
  EXPECT_FALSE(FileExists(machine, install + "Uninst.isu"));
  EXPECT_FALSE(FileExists(machine, ""));
  EXPECT_EQ(ReadVersion(machine, install + "Version"), 14);
  EXPECT_EQ(ReadVersion(machine, install + "Missing"), 0);

  vek::SetOsVersion({VER_PLATFORM_WIN32_NT, 4, 0, 1381});
  EXPECT_EQ(GetWindowsDir(), R"(C:\WINNT)");
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
