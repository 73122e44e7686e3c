// The install decision against a computer of the tests' own: which program starts
// for which installation, with exactly which command line, and how the waits go.
#include <gtest/gtest.h>

#include "fake_machine.h"
#include "startmenu/install_decision.h"
#include "startmenu/module1.h"
#include "startmenu/start_menu_texts.h"

namespace {

using vek::test::FakeMachine;

const std::string kInstall = R"(C:\Program Files\Tarvex\TARVEX VEK Wizard\)";
const std::string kDll = kInstall + "TARVEX VEK Network Printer Port.DLL";
const std::string kVersion = kInstall + "Version";
const std::string kLog = kInstall + "Uninst.isu";
const std::string kUninstaller = R"(C:\WINDOWS\IsUninst.exe)";
const std::string kWizardLine = R"("C:\Program Files\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe")";
const std::string kUninstallLine =
    R"("C:\WINDOWS\IsUninst.exe" -a -f"C:\Program Files\Tarvex\TARVEX VEK Wizard\Uninst.isu" -c"C:\Program Files\Tarvex\TARVEX VEK Wizard\Loader.dll")";
const std::string kSetupLine = R"("Drivers\En_Fr_De\Setup.exe")";

class InstallDecision : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStartMenuResources();
    WinDir = R"(C:\WINDOWS)";
    SysDrive = R"(C:\)";
    InstallDir = kInstall;
    DriverSet = 1;
    InstalledVersion = -1;
  }
  // An older release, its uninstaller and log in place.
  void OlderRelease(const char* version) {
    machine.files[kDll] = "";
    machine.files[kVersion] = version;
    machine.files[kUninstaller] = "";
    machine.files[kLog] = "";
  }
  FakeMachine machine;
};

TEST_F(InstallDecision, TheCurrentReleaseStartsOnlyTheInstalledWizard) {
  machine.files[kDll] = "";
  machine.files[kVersion] = "14\r\n";
  machine.files[kUninstaller] = "";
  machine.files[kLog] = "";
  RunInstallDecision(machine);
  EXPECT_EQ(machine.started, std::vector<std::string>{kWizardLine});
  EXPECT_EQ(InstalledVersion, 14);
  EXPECT_EQ(PortDllPath, kDll);
  EXPECT_EQ(VersionFilePath, kVersion);
  EXPECT_EQ(machine.now, 0u);  // no wait
  EXPECT_TRUE(machine.messages.empty());
}

TEST_F(InstallDecision, AnOlderReleaseIsUninstalledThenTheDriverSetupStarts) {
  OlderRelease("13\n");
  machine.events.push_back({3000, [&] { machine.files.erase(kDll); }});
  RunInstallDecision(machine);
  ASSERT_EQ(machine.started, (std::vector<std::string>{kUninstallLine, kSetupLine}));
  EXPECT_EQ(InstalledVersion, 13);
  EXPECT_EQ(machine.startedAt[0], 0u);
  // The setup starts 15 s after the monitor's file went, the windows running all along.
  EXPECT_GE(machine.startedAt[1], 3000u + kAfterUninstallMs);
  EXPECT_LT(machine.startedAt[1], 3000u + kAfterUninstallMs + 200u);
  EXPECT_GT(machine.doEvents, 100);
  EXPECT_TRUE(machine.messages.empty());
}

TEST_F(InstallDecision, WithoutVersionFileOrUninstallerTheSetupStartsAfterASecond) {
  struct Case {
    const char* name;
    bool version, uninstaller, log;
    const char* versionText;
    SHORT installed;
  };
  const Case cases[] = {
      {"no version file, no log", false, true, false, "", 0},
      {"no version file, no uninstaller", false, false, true, "", 0},
      {"version 13, no log", true, true, false, "13", 13},
      {"a version file of no number", true, false, false, "fourteen", 0},
  };
  for (const Case& c : cases) {
    FakeMachine fresh;
    fresh.files[kDll] = "";
    if (c.version) fresh.files[kVersion] = c.versionText;
    if (c.uninstaller) fresh.files[kUninstaller] = "";
    if (c.log) fresh.files[kLog] = "";
    RunInstallDecision(fresh);
    EXPECT_EQ(fresh.started, std::vector<std::string>{kSetupLine}) << c.name;
    EXPECT_EQ(InstalledVersion, c.installed) << c.name;
    ASSERT_EQ(fresh.startedAt.size(), 1u) << c.name;
    EXPECT_GE(fresh.startedAt[0], kNoUninstallMs) << c.name;
    EXPECT_LT(fresh.startedAt[0], kNoUninstallMs + 200u) << c.name;
  }
}

TEST_F(InstallDecision, NothingInstalledStartsTheSetupOfTheLanguageAtOnce) {
  machine.files[kVersion] = "14";  // a version file alone is no installation
  const char* lines[] = {R"("Drivers\En_Fr_De\Setup.exe")", R"("Drivers\En_It\Setup.exe")",
                         R"("Drivers\En_Es\Setup.exe")", R"("Drivers\En_Ja\Setup.exe")"};
  for (SHORT set = 1; set <= 4; ++set) {
    FakeMachine fresh;
    DriverSet = set;
    RunInstallDecision(fresh);
    EXPECT_EQ(fresh.started, std::vector<std::string>{lines[set - 1]});
    EXPECT_EQ(fresh.now, 0u);
  }
}

TEST_F(InstallDecision, AnUninstallThatDoesNotRemoveTheReleaseEndsWithAMessage) {
  // The uninstaller ends (the user cancelled it) and the monitor stays.
  OlderRelease("13");
  machine.programsEnd = true;
  RunInstallDecision(machine);
  EXPECT_EQ(machine.started, std::vector<std::string>{kUninstallLine});
  ASSERT_EQ(machine.messages.size(), 1u);
  EXPECT_EQ(machine.messages[0], StartMenuText(IDS_UNINSTALL_TIMEOUT));
  EXPECT_GE(machine.now, kAfterUninstallerMs);
  EXPECT_LT(machine.now, kAfterUninstallerMs + 300u);

  // The uninstaller runs on without ever removing it: the wait is bounded.
  FakeMachine hung;
  hung.files = machine.files;
  RunInstallDecision(hung);
  EXPECT_EQ(hung.started, std::vector<std::string>{kUninstallLine});
  EXPECT_EQ(hung.messages.size(), 1u);
  EXPECT_GE(hung.now, kUninstallLimitMs);
  EXPECT_LT(hung.now, kUninstallLimitMs + 300u);
}

TEST_F(InstallDecision, AProgramThatCannotStartIsReportedAndNothingFollows) {
  OlderRelease("7");
  machine.failingPrograms[kUninstaller] = ERROR_FILE_NOT_FOUND;
  RunInstallDecision(machine);
  EXPECT_TRUE(machine.started.empty());  // no setup over the older release
  ASSERT_EQ(machine.messages.size(), 1u);
  EXPECT_EQ(machine.messages[0], "The program \"C:\\WINDOWS\\IsUninst.exe\" cannot be started.\n\n" +
                                     StartMenuText(IDS_FILE_NOT_FOUND));

  FakeMachine noSetup;
  noSetup.failingPrograms[R"(Drivers\En_Fr_De\Setup.exe)"] = ERROR_ACCESS_DENIED;
  RunInstallDecision(noSetup);
  ASSERT_EQ(noSetup.messages.size(), 1u);
  EXPECT_NE(noSetup.messages[0].find(R"("Drivers\En_Fr_De\Setup.exe")"), std::string::npos);
  EXPECT_NE(noSetup.messages[0].find(StartMenuText(IDS_NOT_A_PROGRAM)), std::string::npos);

  FakeMachine noWizard;
  noWizard.files[kDll] = "";
  noWizard.files[kVersion] = "14";
  noWizard.failingPrograms[kInstall + "TARVEX VEK Wizard.exe"] = ERROR_NOT_ENOUGH_MEMORY;
  RunInstallDecision(noWizard);
  ASSERT_EQ(noWizard.messages.size(), 1u);
  // Any other reason in the platform's words, with its code after them.
  EXPECT_NE(noWizard.messages[0].find("\n\nThe system could not start it: there is not enough memory (error 8)."),
            std::string::npos)
      << noWizard.messages[0];
}

TEST_F(InstallDecision, PathsFollowTheWindowsFolderAndTheLanguage) {
  WinDir = R"(C:\WINNT)";
  SysDrive = WinDir.substr(0, 3);
  InstallDir = InstallDirOf(SysDrive, ChooseForLanguage(1031).programFiles);
  EXPECT_EQ(InstallDir, R"(C:\Programme\Tarvex\TARVEX VEK Wizard\)");
  EXPECT_EQ(UninstallCommandLine(),
            R"("C:\WINNT\IsUninst.exe" -a -f"C:\Programme\Tarvex\TARVEX VEK Wizard\Uninst.isu" -c"C:\Programme\Tarvex\TARVEX VEK Wizard\Loader.dll")");
  EXPECT_EQ(WizardCommandLine(), R"("C:\Programme\Tarvex\TARVEX VEK Wizard\TARVEX VEK Wizard.exe")");
}

}  // namespace
