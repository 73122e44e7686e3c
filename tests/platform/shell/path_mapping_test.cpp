// Paths of the system's code and where they lie: drive letters in the machine root,
// names found regardless of case, no way out of a drive by "..", and the file tests
// and folders built on that.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "kernel/kernel.h"
#include "shell/shell.h"
#include "support/temp_root.h"
#include "shell_test_support.h"

namespace {

using vek::shell::HostPath;
using vek::test::WriteTextFile;

TEST(PathMapping, DrivesLieInTheMachineRootAndDotsStayInside) {
  vek::test::TempRoot root;
  const std::string c = root.path() + "/drives/c";
  struct Case {
    const char* path;
    std::string host;
  };
  const Case cases[] = {
      {R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\)", c + "/Program Files/Tarvex/TARVEX VEK Wizard"},
      {"c:/WINDOWS/IsUninst.exe", c + "/WINDOWS/IsUninst.exe"},
      {R"(D:\Drivers\En_Ja\Setup.exe)", root.path() + "/drives/d/Drivers/En_Ja/Setup.exe"},
      {R"(\WINDOWS\system32)", c + "/WINDOWS/system32"},
      {"C:", c},
      {R"(C:\a\.\b\..\c)", c + "/a/c"},
      {R"(C:\..\..\..\etc\passwd)", c + "/etc/passwd"},
      {R"(\..\..\x)", c + "/x"},
      {R"(\\server\share\file)", ""},
      {"/usr/share/doc", "/usr/share/doc"},
      {"", ""},
  };
  for (const Case& one : cases) EXPECT_EQ(HostPath(one.path), one.host) << one.path;

  EXPECT_EQ(vek::shell::WindowsPathOf(c + "/Program Files/Tarvex"), R"(C:\Program Files\Tarvex)");
  EXPECT_EQ(vek::shell::WindowsPathOf(c), R"(C:\)");
  EXPECT_EQ(vek::shell::WindowsPathOf("/tmp/cd/images"), "/tmp/cd/images");
  EXPECT_EQ(vek::shell::WindowsPathOf(root.path() + "/drives/cd/x"), root.path() + "/drives/cd/x");
}

TEST(PathMapping, NamesAreFoundRegardlessOfCaseAndRelativeToTheCurrentFolder) {
  vek::test::TempRoot root;
  const std::string c = root.path() + "/drives/c";
  WriteTextFile(c + "/Program Files/Tarvex/TARVEX VEK Wizard/Version", "14\n");
  EXPECT_EQ(HostPath(R"(C:\PROGRAM FILES\tarvex\Tarvex Vek Wizard\version)"),
            c + "/Program Files/Tarvex/TARVEX VEK Wizard/Version");
  // A missing tail keeps the spelling it was given; what exists is still matched.
  EXPECT_EQ(HostPath(R"(c:\program files\Missing\File.txt)"), c + "/Program Files/Missing/File.txt");

  vek::test::TempDir cd;
  WriteTextFile(cd.path() + "/images/eng/exit.gif", "GIF89a");
  vek::test::CurrentFolder inside(cd.path());
  EXPECT_EQ(HostPath(R"(Images\ENG\Exit.GIF)"), std::filesystem::current_path().string() + "/images/eng/exit.gif");
}

// A relative path (a registry value's command, say) climbs no higher than the
// drive of the current folder, or than the current folder itself when it lies
// on none of the drives (the setup CD's): never out to the host's programs.
TEST(PathMapping, RelativePathsStayOnTheCurrentFoldersDrive) {
  vek::test::TempRoot root;
  const std::string c = root.path() + "/drives/c";
  std::filesystem::create_directories(c + "/Program Files/Tarvex");
  vek::test::TempDir cd;
  struct Case {
    std::string folder;
    const char* path;
    std::string host;
  };
  const Case cases[] = {
      {c + "/Program Files/Tarvex", R"(..\..\..\..\..\..\usr\bin\env)", c + "/usr/bin/env"},
      {c + "/Program Files/Tarvex", R"(..\Common\x)", c + "/Program Files/Common/x"},
      {c + "/Program Files/Tarvex", "../../../../bin/sh", c + "/bin/sh"},
      {c, R"(..\x)", c + "/x"},
      {cd.path(), R"(..\..\..\usr\bin\env)", cd.path() + "/usr/bin/env"},
      {cd.path(), R"(a\..\..\x)", cd.path() + "/x"},
  };
  for (const Case& one : cases) {
    vek::test::CurrentFolder inside(one.folder);
    EXPECT_EQ(HostPath(one.path), one.host) << one.folder << " " << one.path;
  }
}

TEST(PathMapping, FileAttributesTellFilesFoldersAndWhatIsMissing) {
  vek::test::TempRoot root;
  const std::string folder = root.path() + "/drives/c/Program Files/Tarvex";
  WriteTextFile(folder + "/Uninst.isu", "log");
  WriteTextFile(folder + "/.hidden", "");
  WriteTextFile(folder + "/Locked.txt", "");
  std::filesystem::permissions(folder + "/Locked.txt", std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::replace);

  EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Tarvex\Uninst.isu)"), FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Tarvex)"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Tarvex\.hidden)"), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
  if (geteuid() != 0) {  // root writes anything
    EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Tarvex\Locked.txt)"),
              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
  }
  EXPECT_EQ(GetFileAttributesA("/dev/null"), FILE_ATTRIBUTE_SYSTEM);

  EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Tarvex\Version)"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA(R"(C:\Program Files\Nobody\Version)"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(GetFileAttributesA(R"(\\server\share\x)"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(PathMapping, TheWindowsFolderFollowsTheSystemFamily) {
  struct Case {
    vek::OsVersion version;
    const char* windows;
    const char* system;
  };
  const Case cases[] = {
      {{VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1998}, R"(C:\WINDOWS)", R"(C:\WINDOWS\SYSTEM)"},
      {{VER_PLATFORM_WIN32_NT, 4, 0, 1381}, R"(C:\WINNT)", R"(C:\WINNT\system32)"},
      {{VER_PLATFORM_WIN32_NT, 5, 0, 2195}, R"(C:\WINNT)", R"(C:\WINNT\system32)"},
      {{VER_PLATFORM_WIN32_NT, 5, 1, 2600}, R"(C:\WINDOWS)", R"(C:\WINDOWS\system32)"},
  };
  for (const Case& one : cases) {
    vek::SetOsVersion(one.version);
    char buffer[MAX_PATH] = {};
    EXPECT_EQ(GetWindowsDirectoryA(buffer, MAX_PATH), std::strlen(one.windows));
    EXPECT_STREQ(buffer, one.windows);
    EXPECT_EQ(GetSystemDirectoryA(buffer, MAX_PATH), std::strlen(one.system));
    EXPECT_STREQ(buffer, one.system);
  }
  // Too small a buffer: the size needed, the terminating NUL counted, nothing written.
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetWindowsDirectoryA(small, sizeof small), 11u);
  EXPECT_EQ(small[0], 'x');
  EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), 11u);
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
