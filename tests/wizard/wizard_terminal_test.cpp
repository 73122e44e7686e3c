// The wizard as a person starts it: in a terminal, with its welcome page and buttons,
// moving through its pages and cancelled with Esc, and its server list with the
// print servers of an emulator.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "support/emulator_lab.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"
#include "support/wizard_lab.h"

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
      emulator, {vek::test::WizardCableServer(1, "Office"), vek::test::WizardWirelessServer(2, "Lab wireless")},
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
  const std::string office = "02:4E:57:14:00:01", wireless = "02:4E:57:14:00:02";
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
  // One row a printer port: the wireless server's three, the cabled one's one.
  auto count = [&](const std::string& text) {
    int n = 0;
    for (std::size_t at = screen.find(text); at != std::string::npos; at = screen.find(text, at + 1)) n++;
    return n;
  };
  EXPECT_EQ(count(wireless), 3);
  EXPECT_EQ(count(office), 1);
  // A row's cells in order: name, configured address, MAC, port, status.
  auto row = [&](const std::vector<std::string>& cells) {
    for (std::size_t start = 0, end; start < screen.size(); start = end + 1) {
      end = screen.find('\n', start);
      if (end == std::string::npos) end = screen.size();
      const std::string line = screen.substr(start, end - start);
      std::size_t at = 0;
      bool all = true;
      for (const std::string& cell : cells) {
        at = line.find(cell, at);
        if (at == std::string::npos) {
          all = false;
          break;
        }
      }
      if (all) return true;
    }
    return false;
  };
  EXPECT_TRUE(row({"Office", subnet.Dotted(1), office, "P1", "Ok"}));
  EXPECT_TRUE(row({"wireless", subnet.Dotted(2), wireless, "U2", "Ok"}));
  session.Keys("Escape");
  EXPECT_TRUE(session.WaitForScreen("wizard-ended"));
  emulator.Stop();
  WSACleanup();
}

}  // namespace
