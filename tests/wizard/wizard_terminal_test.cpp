// The wizard as a person starts it: in a terminal, with its welcome page and buttons,
// moving through its pages and cancelled with Esc, and its server list with the
// print servers of an emulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
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
  // The page searches once it shows; its search dialog takes no keys, so Esc goes
  // to the page once the search is over.
  ASSERT_TRUE(session.WaitForScreen("Searching for print servers")) << session.Capture();
  ASSERT_TRUE(vek::test::WaitFor([&] { return session.Capture().find("Searching for print servers") == std::string::npos; },
                                 40s))
      << session.Capture();
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
        // The rows come first, their statuses as the servers answer.
        return screen.find("Searching for print servers") == std::string::npos &&
               screen.find(office) != std::string::npos && screen.find(wireless) != std::string::npos &&
               screen.find("Checking...") == std::string::npos;
      },
      40s))
      << screen;
  std::cout << "The server list with two print servers found:\n" << screen << std::flush;
  for (const char* text : {"Select Print Server", "Device Name", "IP Address", "MAC Address", "Port", "Refresh"})
    EXPECT_NE(screen.find(text), std::string::npos) << text;
  // One row a printer port: name, configured address, MAC, port and status in order.
  std::vector<std::string> ports;
  std::istringstream lines(screen);
  for (std::string line; std::getline(lines, line);) {
    const bool office_row = line.find("Office") != std::string::npos;
    if (!office_row && line.find("Lab wireless") == std::string::npos) continue;
    const std::string& mac = office_row ? office : wireless;
    const std::size_t address = line.find(subnet.Dotted(office_row ? 1 : 2) + " ");
    const std::size_t at = line.find(mac);
    if (address == std::string::npos || at == std::string::npos || at < address) continue;
    std::istringstream cells(line.substr(at + mac.size()));
    std::string port, status;
    cells >> port >> status;
    ports.push_back((office_row ? "office " : "wireless ") + port + " " + status);
  }
  std::sort(ports.begin(), ports.end());
  EXPECT_EQ(ports, (std::vector<std::string>{"office P1 Ok", "wireless 3 Ok", "wireless P1 Ok", "wireless U2 Ok"}))
      << screen;
  session.Keys("Escape");
  EXPECT_TRUE(session.WaitForScreen("wizard-ended"));
  emulator.Stop();
  WSACleanup();
}

}  // namespace
