// The wizard as a person starts it: in a terminal, with its welcome page and buttons,
// moving through its pages and cancelled with Esc, and its server list with the
// print servers of an emulator.
#include <gtest/gtest.h>

#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/emulator_lab.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace {

using vek::test::Quote;
using vek::test::TmuxSession;
using namespace std::chrono_literals;

TEST(WizardTerminal, WelcomePageRendersAndThePagesFollow) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir dir;
  std::string rc = dir.path() + "/rc";
  // The wizard runs without a network: its searches find nothing.
  std::string command = "VEK_UI=terminal VEK_ROOT=" + Quote(dir.path()) + " VEK_BROADCAST=127.0.0.1 LANG=C.UTF-8 " +
                        Quote(VEKWIZARD_PROGRAM) + "; echo $? > " + Quote(rc) + "; echo wizard-ended; exec cat";
  TmuxSession session(command, 120, 45);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Next >")) << session.Capture();
  std::string welcome = session.Capture();
  EXPECT_NE(welcome.find("Welcome"), std::string::npos) << welcome;
  EXPECT_NE(welcome.find("To continue, click Next."), std::string::npos) << welcome;
  EXPECT_NE(welcome.find("< Back"), std::string::npos);
  EXPECT_NE(welcome.find("Cancel"), std::string::npos);

  session.Keys("Enter");  // Next is the default button
  ASSERT_TRUE(session.WaitForScreen("Select Print Server")) << session.Capture();
  session.Keys("Escape");
  ASSERT_TRUE(session.WaitForScreen("wizard-ended")) << session.Capture();
  EXPECT_EQ(vek::test::ReadFile(rc).substr(0, 1), "0");
}

TEST(WizardTerminal, JapaneseSystemShowsTheJapanesePages) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  vek::test::TempDir dir;
  std::string command = "VEK_UI=terminal VEK_LANGID=0x0411 VEK_ROOT=" + Quote(dir.path()) +
                        " VEK_BROADCAST=127.0.0.1 LANG=C.UTF-8 " +
                        Quote(VEKWIZARD_PROGRAM) + "; echo wizard-ended; exec cat";
  TmuxSession session(command, 120, 45);
  ASSERT_TRUE(session.Started());
  // The sheet's own buttons follow the language too.
  ASSERT_TRUE(session.WaitForScreen("\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab")) << session.Capture();
  session.Keys("Escape");
  EXPECT_TRUE(session.WaitForScreen("wizard-ended"));
}

TEST(WizardTerminal, ServerListShowsTheServersFound) {
  if (!vek::test::HaveTmux()) GTEST_SKIP() << "tmux is not installed";
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  vek::emu::Emulator emulator;
  vek::test::LoopbackSubnet subnet;
  std::string message;
  ASSERT_TRUE(vek::test::StartEmulatorOnFreshSubnet(
      emulator, {vek::test::CableDevice(1, "Office"), vek::test::SecuredDevice(2, "Lab wireless")},
      &subnet, &message))
      << message;
  vek::test::TempDir dir;
  std::string command = "VEK_UI=terminal VEK_ROOT=" + Quote(dir.path()) + " VEK_BROADCAST=" + subnet.Broadcast() +
                        " LANG=C.UTF-8 " + Quote(VEKWIZARD_PROGRAM) + "; echo wizard-ended; exec cat";
  TmuxSession session(command, 120, 45);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Next >")) << session.Capture();
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("Searching for print servers")) << session.Capture();
  const std::string office = vek::emu::FormatMac(emulator.DeviceAt(0).Config().mac);
  const std::string wireless = vek::emu::FormatMac(emulator.DeviceAt(1).Config().mac);
  std::string screen;
  ASSERT_TRUE(vek::test::WaitFor(
      [&] {
        screen = session.Capture();
        return screen.find("Searching for print servers") == std::string::npos &&
               screen.find(office) != std::string::npos && screen.find(wireless) != std::string::npos;
      },
      40s))
      << screen;
  std::cout << "The server list with two print servers found:\n" << screen << std::flush;
  for (const char* text : {"Select Print Server", "Device Name", "IP Address", "MAC Address", "Port", "Refresh"})
    EXPECT_NE(screen.find(text), std::string::npos) << text;
  // One row a printer port, its cells in order: name, configured address, MAC,
  // port, status.
  std::vector<std::string> rows;
  std::istringstream lines(screen);
  for (std::string line; std::getline(lines, line);)
    if (std::regex_search(line, std::regex("(Office|Lab wireless) +127\\.[0-9.]+ +02:4E:57:[0-9A-F:]+ +[PU1-3 ]+ +Ok")))
      rows.push_back(line);
  EXPECT_EQ(rows.size(), 4u) << screen;
  for (const char* port : {" P1 ", " U2 ", " 3 "})
    EXPECT_TRUE(std::regex_search(screen, std::regex(wireless + port))) << port;
  session.Keys("Escape");
  EXPECT_TRUE(session.WaitForScreen("wizard-ended"));
  emulator.Stop();
  WSACleanup();
}

}  // namespace
