// vek-spool as a user runs it, each command a process of its own on a fresh
// machine root, printing through the port monitor it loads to print servers the
// emulator plays in this process on loopback: every transport, two printers at
// once, a job cancelled from another process, a device out of paper or offline
// shown as the job's state and exit code, also while only the job's end waits
// for it, a device that refuses the job, and one still held by the job of a
// process that was killed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "emulator/emulator.h"
#include "support/emulator_lab.h"
#include "support/job_data.h"
#include "support/temp_root.h"

namespace vek::test {
namespace {

// Exit codes of vek-spool.
constexpr int kOk = 0;
constexpr int kDeviceError = 10;
constexpr int kOutOfPaper = 11;
constexpr int kCancelled = 12;

std::string MacText(const std::array<std::uint8_t, 6>& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

emu::DeviceConfig Device(int index, int generation, PortTransport via, const std::string& faults = "") {
  return PrintDevice("PS-CLI-", 0x44, index, generation, via, faults);
}

class SpoolCommandLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_segments.Ok());
    std::string out;
    ASSERT_EQ(kOk, Run(std::string("init --monitor '") + DRIVER_PATH + "'", &out)) << out;
  }
  void TearDown() override { m_emulator.Stop(); }

  void Start(std::vector<emu::DeviceConfig> devices) {
    emu::EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_files.path() + "/received";
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
  }

  // One vek-spool command; its exit code, and its output in *output.
  std::string Command(const std::string& arguments) const {
    return "VEK_ROOT='" + m_root.path() + "' VEK_IPX_SEGMENT=" + m_segments.IpxSegment() +
           " VEK_IPX_NETWORK=" + m_segments.Network() + " VEK_NETBIOS_SEGMENT=" + m_segments.NetbiosSegment() +
           " VEK_NETBIOS_LANAS=0 VEK_NETBIOS_CLAIM_MS=50 '" + VEK_SPOOL_PATH + "' " + arguments;
  }
  int Run(const std::string& arguments, std::string* output) {
    const std::string command = Command(arguments) + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[512];
    output->clear();
    while (std::fgets(buffer, sizeof buffer, pipe)) *output += buffer;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A command running on while the test goes on, its output into a file; its pid.
  pid_t Spawn(const std::string& arguments, const std::string& output) {
    const std::string command = "exec env " + Command(arguments) + " > '" + output + "' 2>&1";
    pid_t pid = fork();
    if (pid == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  }

  // Waits until `vek-spool jobs` shows a line with both texts; that line.
  std::string WaitForJobLine(const std::string& job, const std::string& text, int seconds = 60) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::string out;
    while (std::chrono::steady_clock::now() < deadline) {
      Run("jobs", &out);
      std::size_t start = 0;
      while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        if (line.rfind(job + " ", 0) == 0 && line.find(text) != std::string::npos) return line;
        start = end + 1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ADD_FAILURE() << "no job " << job << " showing '" << text << "':\n" << out;
    return "";
  }

  // A port for device i, as the wizard hands it over, and a printer of the same name on it.
  void AddPrinter(const std::string& name, int device, PortTransport via, int generation,
                  const std::string& more = "") {
    const emu::DeviceConfig& config = m_emulator.DeviceAt(static_cast<std::size_t>(device)).Config();
    std::string arguments = "add-port";
    switch (via) {
      case PortTransport::Udp: arguments += " " + m_subnet.Dotted(device + 1); break;
      case PortTransport::Ipx: arguments += " --transport ipx"; break;
      case PortTransport::Netbeui: arguments += " --transport netbeui --netbios-name " + emu::NetbiosNameOf(config); break;
    }
    arguments += " --mac " + MacText(config.mac) + " --model " + std::to_string(generation) + " --name " + name + more;
    std::string out;
    ASSERT_EQ(kOk, Run(arguments, &out)) << out;
    ASSERT_EQ(kOk, Run("add-printer " + name + " " + name, &out)) << out;
  }

  std::string WriteFile(const std::string& name, const std::string& data) {
    const std::string path = m_files.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }

  TempRoot m_root;
  TempDir m_files;
  ScopedSegments m_segments;
  LoopbackSubnet m_subnet;
  emu::Emulator m_emulator;
};

TEST_F(SpoolCommandLine, FilesPrintOverEveryTransport) {
  Start({Device(1, 1, PortTransport::Udp), Device(2, 0, PortTransport::Ipx), Device(3, 1, PortTransport::Ipx), Device(4, 0, PortTransport::Netbeui)});
  AddPrinter("CLI-UDP", 0, PortTransport::Udp, 1);
  AddPrinter("CLI-IPX-0", 1, PortTransport::Ipx, 0);
  AddPrinter("CLI-IPX-1", 2, PortTransport::Ipx, 1);
  AddPrinter("CLI-NB", 3, PortTransport::Netbeui, 0);
  std::string out;
  ASSERT_EQ(kOk, Run("ports", &out)) << out;
  EXPECT_NE(std::string::npos, out.find(m_subnet.Dotted(1) + ",PID:1")) << out;
  EXPECT_NE(std::string::npos, out.find("NetBEUI,PID:1")) << out;
  const char* printers[] = {"CLI-UDP", "CLI-IPX-0", "CLI-IPX-1", "CLI-NB"};
  for (int device = 0; device < 4; device++) {
    const std::string data = Pattern(700000 + static_cast<std::size_t>(device) * 1111, static_cast<unsigned>(device));
    const std::string file = WriteFile(std::string(printers[device]) + ".prn", data);
    ASSERT_EQ(kOk, Run(std::string("print ") + printers[device] + " '" + file + "'", &out)) << out;
    EXPECT_NE(std::string::npos, out.find(": Printed, ")) << out;
    ExpectJobReceived(m_emulator, device, 1, data);
  }
}

TEST_F(SpoolCommandLine, TwoPrintersPrintAtOnce) {
  Start({Device(1, 1, PortTransport::Udp), Device(2, 0, PortTransport::Udp)});
  AddPrinter("LEFT", 0, PortTransport::Udp, 1);
  AddPrinter("RIGHT", 1, PortTransport::Udp, 0);
  const std::string left = Pattern(3 * 1000 * 1000, 1), right = Pattern(2 * 1000 * 1000, 2);
  const std::string leftFile = WriteFile("left.prn", left), rightFile = WriteFile("right.prn", right);
  std::string leftOut, rightOut;
  auto leftRun = std::async(std::launch::async, [&] { return Run("print LEFT '" + leftFile + "'", &leftOut); });
  auto rightRun = std::async(std::launch::async, [&] { return Run("print RIGHT '" + rightFile + "'", &rightOut); });
  EXPECT_EQ(kOk, leftRun.get()) << leftOut;
  EXPECT_EQ(kOk, rightRun.get()) << rightOut;
  ExpectJobReceived(m_emulator, 0, 1, left);
  ExpectJobReceived(m_emulator, 1, 1, right);
}

// Cancelled from another process while the device holds its acknowledgements
// back: the printing process ends with the job cancelled.
TEST_F(SpoolCommandLine, AJobCancelledMidwayEnds) {
  Start({Device(1, 1, PortTransport::Udp, "ack:withhold:20000*1")});
  AddPrinter("SLOW", 0, PortTransport::Udp, 1);
  const std::string file = WriteFile("long.prn", Pattern(4 * 1000 * 1000, 3));
  std::string printOut;
  auto printing = std::async(std::launch::async, [&] { return Run("print SLOW '" + file + "'", &printOut); });
  std::string out;
  bool started = false;
  for (int i = 0; i < 200 && !started; i++) {
    Run("jobs", &out);
    started = out.find("Printing") != std::string::npos;
    if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(started) << out;
  const auto cancelled = std::chrono::steady_clock::now();
  EXPECT_EQ(kOk, Run("cancel 1", &out)) << out;
  EXPECT_EQ(kCancelled, printing.get()) << printOut;
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::seconds(15));
  EXPECT_NE(std::string::npos, printOut.find("job 1: Cancelled")) << printOut;
  ASSERT_EQ(kOk, Run("jobs", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("Cancelled")) << out;
  // The device is free for the next job.
  const std::string next = Pattern(5000, 4);
  ASSERT_EQ(kOk, Run("print SLOW '" + WriteFile("next.prn", next) + "'", &out)) << out;
  auto job = m_emulator.Jobs().WaitForJob([&](const emu::JobRecord& j) { return j.ended && j.size == next.size(); },
                                          std::chrono::seconds(30));
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(Sha256(next), job->sha256);
}

// Out of paper (28) and a device error (1117) show as the job's state and end
// the job, once its tries are used up, with their own exit codes.
TEST_F(SpoolCommandLine, PaperOutAndOfflineShowAsJobStates) {
  Start({Device(1, 1, PortTransport::Udp, "status:paper-out"), Device(2, 1, PortTransport::Udp, "status:offline")});
  AddPrinter("NOPAPER", 0, PortTransport::Udp, 1);
  AddPrinter("OFFLINE", 1, PortTransport::Udp, 1);
  const std::string file = WriteFile("page.prn", Pattern(300000, 5));
  std::string out;
  EXPECT_EQ(kOutOfPaper, Run("print NOPAPER '" + file + "' --retries 1", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("Out of paper")) << out;
  EXPECT_NE(std::string::npos, out.find("Failed: Out of paper")) << out;
  EXPECT_EQ(kDeviceError, Run("print OFFLINE '" + file + "' --retries 1", &out)) << out;
  EXPECT_NE(std::string::npos, out.find("Failed: Device error")) << out;
}

// A small job fits the monitor's queue whole, so only its end waits for a device
// that takes nothing: the job shows the device's state with its tries, as a
// failing write shows it; cancelled, it ends cancelled with the device holding
// none of it; once the fault clears, the job finishes byte for byte.
struct StuckCase {
  std::uint8_t status;  // the device's printer port status
  const char* shown;    // the job's and the port's state meanwhile
};

class StuckJob : public SpoolCommandLine, public ::testing::WithParamInterface<StuckCase> {};

TEST_P(StuckJob, ShowsTheDeviceStateAndEndsAsTheUserSays) {
  const StuckCase c = GetParam();
  Start({Device(1, 1, PortTransport::Udp)});
  AddPrinter("STUCK", 0, PortTransport::Udp, 1);
  emu::Device& device = m_emulator.DeviceAt(0);
  const std::string data = Pattern(5000, 20);
  const std::string file = WriteFile("small.prn", data);
  std::string out;

  device.SetPortStatus(c.status, 0);
  std::string printOut;
  auto printing = std::async(std::launch::async, [&] { return Run("print STUCK '" + file + "'", &printOut); });
  EXPECT_NE("", WaitForJobLine("1", c.shown));
  ASSERT_EQ(kOk, Run("ports", &out)) << out;
  EXPECT_NE(std::string::npos, out.find(c.shown)) << out;
  ASSERT_EQ(kOk, Run("cancel 1", &out)) << out;
  EXPECT_EQ(kCancelled, printing.get()) << printOut;
  EXPECT_NE(std::string::npos, printOut.find(std::string(c.shown) + ", try 1 of 20")) << printOut;
  EXPECT_NE(std::string::npos, printOut.find("job 1: Cancelled")) << printOut;
  auto cancelled = m_emulator.Jobs().WaitForJob([](const emu::JobRecord& j) { return j.number == 1 && j.ended; },
                                                std::chrono::seconds(30));
  ASSERT_TRUE(cancelled.has_value());
  EXPECT_EQ(0u, cancelled->size);
  ASSERT_EQ(kOk, Run("ports", &out)) << out;
  EXPECT_EQ(std::string::npos, out.find(c.shown)) << out;

  printing = std::async(std::launch::async, [&] { return Run("print STUCK '" + file + "'", &printOut); });
  EXPECT_NE("", WaitForJobLine("2", c.shown));
  device.SetPortStatus(0, 0);
  EXPECT_EQ(kOk, printing.get()) << printOut;
  EXPECT_NE(std::string::npos, printOut.find("job 2: Printed")) << printOut;
  ExpectJobReceived(m_emulator, 0, 2, data);
}

INSTANTIATE_TEST_SUITE_P(PaperOutAndOffline, StuckJob,
                         ::testing::Values(StuckCase{0x01, "Out of paper"}, StuckCase{0x02, "Device error"}),
                         [](const ::testing::TestParamInfo<StuckCase>& info) {
                           return info.param.status == 0x01 ? std::string("PaperOut") : std::string("Offline");
                         });

// A printer port the device does not have: a "NET" device refuses the connection,
// an older one does not answer it, and a print server switched off answers
// nothing. Each job fails within the connect attempts, never waits, and says
// which print server at which address did not take it.
TEST_F(SpoolCommandLine, AJobForAPortTheDeviceLacksFailsAtOnce) {
  Start({Device(1, 1, PortTransport::Udp), Device(2, 0, PortTransport::Udp)});
  AddPrinter("NEWER", 0, PortTransport::Udp, 1, " --port-id 2");
  AddPrinter("OLDER", 1, PortTransport::Udp, 0, " --port-id 3");
  std::string out;
  ASSERT_EQ(kOk, Run("add-port " + m_subnet.Dotted(9) + " --name OFF", &out)) << out;
  ASSERT_EQ(kOk, Run("add-printer OFF OFF", &out)) << out;
  const std::string file = WriteFile("page.prn", Pattern(5000, 21));
  const auto start = std::chrono::steady_clock::now();
  std::string newerOut, olderOut, offOut;
  auto newer = std::async(std::launch::async, [&] { return Run("print NEWER '" + file + "'", &newerOut); });
  auto older = std::async(std::launch::async, [&] { return Run("print OLDER '" + file + "'", &olderOut); });
  auto off = std::async(std::launch::async, [&] { return Run("print OFF '" + file + "'", &offOut); });
  EXPECT_EQ(kDeviceError, newer.get()) << newerOut;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(kDeviceError, older.get()) << olderOut;
  EXPECT_EQ(kDeviceError, off.get()) << offOut;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  const std::pair<const std::string*, std::string> said[] = {
      {&newerOut, m_subnet.Dotted(1) + " (printer port 2)"},
      {&olderOut, m_subnet.Dotted(2) + " (printer port 3)"},
      {&offOut, m_subnet.Dotted(9) + " (printer port 1)"}};
  for (const auto& [output, server] : said) {
    EXPECT_NE(std::string::npos, output->find("Failed: Not connected (error 1117)")) << *output;
    EXPECT_NE(std::string::npos, output->find("the print server did not answer at " + server)) << *output;
  }
}

// The process printing a job is killed midway: its job is abandoned, and the
// device keeps that job's session until its own time-out. The next job shows the
// device busy, with its tries, and prints once the device lets the old job go.
TEST_F(SpoolCommandLine, AfterAKilledPrintTheNextJobShowsTheDeviceBusyUntilItIsFree) {
  emu::DeviceConfig config = Device(1, 1, PortTransport::Udp, "ack:withhold:60000*1");
  config.sessionTimeoutMs = 8000;
  Start({config});
  AddPrinter("SHARED", 0, PortTransport::Udp, 1);
  const std::string first = WriteFile("first.prn", Pattern(400000, 22));
  const pid_t killed = Spawn("print SHARED '" + first + "'", m_files.path() + "/first.out");
  ASSERT_GT(killed, 0);
  EXPECT_NE("", WaitForJobLine("1", "Printing"));
  kill(killed, SIGKILL);
  waitpid(killed, nullptr, 0);
  EXPECT_NE("", WaitForJobLine("1", "Abandoned"));

  const std::string data = Pattern(5000, 23);
  const std::string next = WriteFile("next.prn", data);
  std::string out;
  auto printing = std::async(std::launch::async, [&] { return Run("print SHARED '" + next + "'", &out); });
  EXPECT_NE("", WaitForJobLine("2", "Busy"));
  EXPECT_EQ(kOk, printing.get()) << out;
  EXPECT_NE(std::string::npos, out.find("Busy, try 1 of 20")) << out;
  EXPECT_NE(std::string::npos, out.find("job 2: Printed")) << out;
  ExpectJobReceived(m_emulator, 0, 2, data);
}

}  // namespace
}  // namespace vek::test
