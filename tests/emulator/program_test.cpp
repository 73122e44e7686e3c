// The vek-emulator program: serves a configuration file until SIGTERM, with one
// line per device on its standard output; refuses a bad file with the line.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "net/winsock.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/xudp_socket.h"
#include "emulator/spool.h"
#include "print_host.h"
#include "support/loopback_subnet.h"
#include "support/temp_root.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vek::test::LoopbackSubnet;

// A child process with its standard output and error in pipes.
class Child {
 public:
  explicit Child(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      std::vector<char*> argv;
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    m_out = out[0];
    m_err = err[0];
  }
  ~Child() {
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
    if (m_err >= 0) close(m_err);
  }

  // Reads standard output until it holds `lines` lines or the deadline passes.
  std::vector<std::string> ReadLines(std::size_t lines, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Count(m_stdout) < lines && Clock::now() < deadline) {
      if (!ReadSome(m_out, &m_stdout, deadline)) break;
    }
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = m_stdout.find('\n', start)) != std::string::npos; start = end + 1)
      result.push_back(m_stdout.substr(start, end - start));
    return result;
  }

  // Waits for the exit; -1 when it did not end in time.
  int Wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
      int status = 0;
      if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_reaped = true;
        while (ReadSome(m_err, &m_stderr, Clock::now() + 1s)) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      // Wake on output or every few milliseconds to look again.
      pollfd entry{m_err, POLLIN, 0};
      if (poll(&entry, 1, 20) > 0) ReadSome(m_err, &m_stderr, Clock::now() + 1s);
    }
    return -1;
  }

  void Signal(int signal) { kill(m_pid, signal); }
  const std::string& Stderr() const { return m_stderr; }
  bool Started() const { return m_pid > 0; }

 private:
  static std::size_t Count(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
  }
  static bool ReadSome(int fd, std::string* into, Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd entry{fd, POLLIN, 0};
    if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[512];
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n <= 0) return false;
    into->append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  pid_t m_pid = -1;
  int m_out = -1, m_err = -1;
  bool m_reaped = false;
  std::string m_stdout, m_stderr;
};

std::string WriteConfig(const vek::test::TempDir& dir, const std::string& text) {
  const std::string path = dir.path() + "/emulator.conf";
  std::ofstream(path) << text;
  return path;
}

TEST(EmulatorProgram, ServesItsDevicesUntilTerminated) {
  vek::test::TempDir dir;
  for (int attempt = 0; attempt < 3; attempt++) {
    LoopbackSubnet subnet;
    const std::string path = WriteConfig(dir, "[emulator]\nbroadcast = " + subnet.Broadcast() +
                                                  "\n[device]\nmac = 02:4E:57:40:00:01\naddress = " +
                                                  subnet.Dotted(1) + "\nname = First\nfirmware = 1.0b\n" +
                                                  "[device]\nmac = 02:4E:57:40:00:02\naddress = " + subnet.Dotted(2) +
                                                  "\nname = Second\nports = 2\nport_status = 9\n");
    Child child({VEK_EMULATOR_PATH, path});
    ASSERT_TRUE(child.Started());
    std::vector<std::string> lines = child.ReadLines(2, 10s);
    if (lines.size() < 2) {
      // Someone else's address: try another subnet.
      ASSERT_EQ(child.Wait(10s), 1) << child.Stderr();
      ASSERT_NE(child.Stderr().find("10048"), std::string::npos) << child.Stderr();
      continue;
    }
    EXPECT_EQ(lines[0], "02:4E:57:40:00:01 \"First\" at " + subnet.Dotted(1) + ":20560, firmware 1.0b, 1 port");
    EXPECT_EQ(lines[1], "02:4E:57:40:00:02 \"Second\" at " + subnet.Dotted(2) + ":20560, firmware 1.00, 2 ports");

    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    {
      XUDPSocket socket;
      ASSERT_TRUE(socket.Create(0));
      ASSERT_TRUE(socket.SetTimeout(5000));
      BYTE request[PS_BUFFER_LENGTH];
      const int length = PSBuildPlainRequest(request, 0, 0x0008);
      socket.m_Address.sin_family = AF_INET;
      socket.m_Address.sin_port = htons(PS_PORT);
      socket.m_Address.sin_addr.s_addr = htonl(subnet.Host(2));
      ASSERT_EQ(socket.Send(reinterpret_cast<char*>(request), length, 0), length);
      char reply[PS_BUFFER_LENGTH];
      ASSERT_EQ(socket.Receive(reply, sizeof(reply), 0), 64);
      EXPECT_EQ(reply[6], 9);
    }
    WSACleanup();

    child.Signal(SIGTERM);
    EXPECT_EQ(child.Wait(10s), 0) << child.Stderr();
    EXPECT_NE(child.Stderr().find("broadcasts arrive at " + subnet.Broadcast()), std::string::npos);
    return;
  }
  FAIL() << "no free subnet in three attempts";
}

TEST(EmulatorProgram, WritesEachJobToTheSpoolFolderAndSaysSoOnALine) {
  vek::test::TempDir dir;
  const std::string spool = dir.path() + "/jobs";
  for (int attempt = 0; attempt < 3; attempt++) {
    LoopbackSubnet subnet;
    const std::string path = WriteConfig(dir, "[emulator]\nbroadcast = " + subnet.Broadcast() +
                                                  "\n[device]\nmac = 02:4E:57:40:00:07\naddress = " +
                                                  subnet.Dotted(7) + "\nname = Spooler\nports = 2\nreack = 50\n");
    Child child({VEK_EMULATOR_PATH, "--spool-dir", spool, path});
    ASSERT_TRUE(child.Started());
    std::vector<std::string> lines = child.ReadLines(1, 10s);
    if (lines.empty()) {
      ASSERT_EQ(child.Wait(10s), 1) << child.Stderr();
      continue;
    }
    EXPECT_EQ(lines[0], "02:4E:57:40:00:07 \"Spooler\" at " + subnet.Dotted(7) + ":20560, firmware 1.00, 2 ports");

    const printlab::Bytes job = printlab::Pattern(12345);
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    {
      printlab::UdpLink link(subnet.Host(7));
      printlab::Host host(link, printlab::Form{1, vek::emu::TransportKind::Udp}, 2);
      printlab::HostReport report;
      EXPECT_TRUE(host.Print(job, &report));
    }
    WSACleanup();
    lines = child.ReadLines(2, 10s);
    ASSERT_EQ(lines.size(), 2u);
    const std::string prefix = "job 02:4E:57:40:00:07 port 2 number 1 ended 12345 bytes sha256 " +
                               vek::emu::Sha256Hex(job) + " file ";
    ASSERT_EQ(lines[1].substr(0, prefix.size()), prefix) << lines[1];
    const std::string file = lines[1].substr(prefix.size());
    EXPECT_EQ(file, spool + "/02-4E-57-40-00-07-port2-job0001.prn");
    std::ifstream in(file, std::ios::binary);
    const printlab::Bytes written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(written == job);

    child.Signal(SIGINT);
    EXPECT_EQ(child.Wait(10s), 0) << child.Stderr();
    EXPECT_NE(child.Stderr().find("jobs are written to " + spool), std::string::npos) << child.Stderr();
    return;
  }
  FAIL() << "no free subnet in three attempts";
}

TEST(EmulatorProgram, BadConfigurationIsRefusedWithItsLine) {
  vek::test::TempDir dir;
  const std::string path = WriteConfig(dir, "[device]\nmac = 02:4E:57:40:00:01\naddress = 127.0.0.2\nnmae = x\n");
  Child child({VEK_EMULATOR_PATH, path});
  ASSERT_TRUE(child.Started());
  EXPECT_EQ(child.Wait(10s), 1);
  EXPECT_NE(child.Stderr().find(path + ":4: unknown key 'nmae' in [device]"), std::string::npos) << child.Stderr();
}

TEST(EmulatorProgram, DumpsEachDevicesReply) {
  vek::test::TempDir dir;
  Child child({VEK_EMULATOR_PATH, "--dump-replies", dir.path(), VEK_SOURCE_DIR "/emulator/examples/two-devices.conf"});
  ASSERT_TRUE(child.Started());
  ASSERT_EQ(child.Wait(10s), 0) << child.Stderr();
  std::ifstream in(dir.path() + "/02-4E-57-10-00-02.bin", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reinterpret_cast<BYTE*>(bytes.data()), static_cast<int>(bytes.size())));
  EXPECT_STREQ(ps.GetName(), "Lab wireless");
  EXPECT_TRUE(ps.HasSecureConfig());
}

}  // namespace
