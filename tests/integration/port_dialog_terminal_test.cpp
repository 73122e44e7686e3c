// vek-spool add-port as a person runs it in a terminal: without a print server
// given, the monitor's Add Port dialog opens, searches on the tab chosen, lists
// what the emulator plays here on loopback, and OK on a found server makes a
// port that then prints, byte for byte, over each transport. Configure Port
// closed with Cancel says that nothing was changed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "emulator/emulator.h"
#include "support/emulator_lab.h"
#include "support/job_data.h"
#include "support/temp_root.h"
#include "support/tmux_session.h"

namespace vek::test {
namespace {

class PortDialogTerminal : public ::testing::TestWithParam<PortTransport> {
 protected:
  void SetUp() override {
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    ASSERT_TRUE(m_segments.Ok());
    std::string out;
    ASSERT_EQ(0, Run(std::string("init --monitor '") + DRIVER_PATH + "'", &out)) << out;
    emu::EmulatorOptions options;
    emu::DeviceConfig server = PrintDevice("PS-TERM-", 0x55, 1, 1, GetParam());
    server.ports = 2;
    options.devices = {server, PrintDevice("PS-TERM-", 0x55, 2, 0, GetParam())};
    options.spoolDir = m_files.path() + "/received";
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
  }
  void TearDown() override { m_emulator.Stop(); }

  std::string Environment() const {
    return "VEK_ROOT=" + Quote(m_root.path()) + " VEK_BROADCAST=" + m_subnet.Broadcast() +
           " VEK_IPX_SEGMENT=" + m_segments.IpxSegment() + " VEK_IPX_NETWORK=" + m_segments.Network() +
           " VEK_NETBIOS_SEGMENT=" + m_segments.NetbiosSegment() + " VEK_NETBIOS_LANAS=0 VEK_NETBIOS_CLAIM_MS=50 ";
  }
  int Run(const std::string& arguments, std::string* output) const {
    const std::string command = Environment() + Quote(VEK_SPOOL_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[512];
    output->clear();
    while (std::fgets(buffer, sizeof buffer, pipe)) *output += buffer;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  TempRoot m_root;
  TempDir m_files;
  ScopedSegments m_segments;
  LoopbackSubnet m_subnet;
  emu::Emulator m_emulator;
};

TEST_P(PortDialogTerminal, AddPortChoosesAFoundServerThatThenPrints) {
  const std::string rc = m_files.path() + "/rc";
  TmuxSession session("LANG=C.UTF-8 VEK_UI=terminal " + Environment() + Quote(VEK_SPOOL_PATH) + " add-port; echo $? > " +
                          Quote(rc) + "; echo dialog-ended; exec cat",
                      110, 34);
  ASSERT_TRUE(session.Started());
  ASSERT_TRUE(session.WaitForScreen("Add Port")) << session.Capture();
  // The dialog shows at once; the search that blocks it shows its wait.
  ASSERT_TRUE(session.WaitForScreen("Please wait")) << session.Capture();
  const char* tab = GetParam() == PortTransport::Udp ? "TCP/IP" : GetParam() == PortTransport::Netbeui ? "NetBEUI" : "";
  if (*tab) {
    // The first search, on IPX, ends and says that no print server answered it;
    // the person closes the message and clicks the transport's tab.
    ASSERT_TRUE(session.WaitForScreen("No print server answered the search on IPX")) << session.Capture();
    session.Keys("Enter");
    ASSERT_TRUE(session.WaitForScreenWithout("No print server answered")) << session.Capture();
    session.Click(Find(session.Capture(), tab));
  }
  ASSERT_TRUE(WaitFor([&] { return session.Capture().find("PS-TERM-2") != std::string::npos; }, std::chrono::seconds(30)))
      << session.Capture();
  ASSERT_TRUE(WaitFor([&] { return session.Capture().find("Please wait") == std::string::npos; },
                      std::chrono::seconds(30)));
  const std::string screen = session.Capture();
  const emu::DeviceConfig chosen = m_emulator.DeviceAt(0).Config();
  char port[32];
  std::snprintf(port, sizeof port, "LPT:PS%02X%02X-1", chosen.mac[4], chosen.mac[5]);
  // The new port's name in its field, on the row of its label (the fields stand in
  // one column, a cell or more after the longest label).
  const std::size_t label = screen.find("Port name :");
  ASSERT_NE(label, std::string::npos) << screen;
  const std::size_t after = label + std::string("Port name :").size();
  const std::size_t name = screen.find_first_not_of(' ', after);
  EXPECT_EQ(screen.compare(name, std::strlen(port), port), 0) << screen;
  EXPECT_NE(screen.find("Device Name"), std::string::npos) << screen;
  EXPECT_NE(screen.find("PS-TERM-1"), std::string::npos) << screen;
  if (GetParam() == PortTransport::Udp) {
    // The address of the directed search, and each server's own address.
    EXPECT_NE(screen.find("IP Address"), std::string::npos) << screen;
    EXPECT_NE(screen.find(m_subnet.Dotted(1)), std::string::npos) << screen;
    EXPECT_NE(screen.find(m_subnet.Dotted(2)), std::string::npos) << screen;
  }

  // The first row is chosen; OK is the default button.
  session.Keys("Enter");
  ASSERT_TRUE(session.WaitForScreen("dialog-ended")) << session.Capture();
  EXPECT_EQ("0", ReadFile(rc).substr(0, 1)) << session.Capture();
  EXPECT_NE(session.Capture().find(std::string("Added port ") + port), std::string::npos) << session.Capture();

  std::string text;
  ASSERT_EQ(0, Run(std::string("add-printer DIALOG ") + port, &text)) << text;
  const std::string data = Pattern(400000, 7);
  const std::string file = m_files.path() + "/job.prn";
  std::ofstream(file, std::ios::binary) << data;
  ASSERT_EQ(0, Run("print DIALOG " + Quote(file), &text)) << text;
  ExpectJobReceived(m_emulator, 0, 1, data);
  if (GetParam() != PortTransport::Udp) return;

  TmuxSession configure("LANG=C.UTF-8 VEK_UI=terminal " + Environment() + Quote(VEK_SPOOL_PATH) +
                            " configure-port " + port + "; echo dialog-ended; exec cat",
                        110, 34);
  ASSERT_TRUE(configure.Started());
  ASSERT_TRUE(configure.WaitForScreen("Configure Port")) << configure.Capture();
  ASSERT_TRUE(configure.WaitForScreen("PS-TERM-2")) << configure.Capture();
  ASSERT_TRUE(configure.WaitForScreenWithout("Please wait")) << configure.Capture();
  configure.Keys("Escape");
  ASSERT_TRUE(configure.WaitForScreen("dialog-ended")) << configure.Capture();
  EXPECT_NE(configure.Capture().find(std::string("Port ") + port + ": nothing was changed"), std::string::npos)
      << configure.Capture();
}

INSTANTIATE_TEST_SUITE_P(EachTransport, PortDialogTerminal,
                         testing::Values(PortTransport::Udp, PortTransport::Ipx, PortTransport::Netbeui),
                         [](const testing::TestParamInfo<PortTransport>& info) {
                           return info.param == PortTransport::Udp   ? std::string("Udp")
                                  : info.param == PortTransport::Ipx ? std::string("Ipx")
                                                                     : std::string("Netbeui");
                         });

}  // namespace
}  // namespace vek::test
