// vek-spool as scripts use it: each run a process of its own on a temporary root.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "spooler/winsvc.h"
#include "spooler_test_support.h"
#include "support/damaged_registry.h"

extern char** environ;

namespace vek::test {
namespace {

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class Tool : public ::testing::Test {
 protected:
  // Starts vek-spool with VEK_ROOT and the extra environment; its output goes to files.
  pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "VEK_ROOT=", 9) != 0 && std::strncmp(*e, "VEK_SPOOL_", 10) != 0) env.push_back(*e);
    env.push_back("VEK_ROOT=" + m_rootPath);
    for (const std::string& e : extra) env.push_back(e);
    std::vector<std::string> argv = {VEK_SPOOL_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp, envp;
    for (std::string& a : argv) argp.push_back(a.data());
    argp.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    ++m_runs;
    std::string out = m_dir.path() + "/out" + std::to_string(m_runs);
    std::string err = m_dir.path() + "/err" + std::to_string(m_runs);
    pid_t pid = fork();
    if (pid == 0) {
      int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(o, 1);
      dup2(e, 2);
      execve(argp[0], argp.data(), envp.data());
      _exit(127);
    }
    m_outputs[pid] = {out, err};
    return pid;
  }

  Result Wait(pid_t pid) {
    Result result;
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.code = WEXITSTATUS(status);
    result.out = ReadFile(m_outputs[pid].first);
    result.err = ReadFile(m_outputs[pid].second);
    return result;
  }

  Result Run(const std::vector<std::string>& args, const std::vector<std::string>& extra = {}) {
    return Wait(Start(args, extra));
  }

  std::string MakeFile(const std::string& name, const std::string& data) {
    std::string path = m_dir.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << data;
    return path;
  }

  // A set-up root with the fake monitor, a network port and a printer on it.
  void SetUpPrinter() {
    ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
    Result port = Run({"add-port", "10.0.0.5", "--mac", "02:4E:57:12:AB:0C"});
    ASSERT_EQ(0, port.code) << port.err;
    ASSERT_EQ(0, Run({"add-printer", "Net", "VEK12AB0C-1"}).code);
  }

  void SetMonitorValue(const char* name, DWORD value) {
    spooler::store::Key key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey));
    spooler::store::WriteDword(key.get(), name, value);
  }

  TempRoot m_root;
  TempDir m_dir;
  std::string m_rootPath = m_root.path();
  int m_runs = 0;
  std::map<pid_t, std::pair<std::string, std::string>> m_outputs;
};

TEST_F(Tool, WithoutARootItSaysSoAndExits2) {
  m_rootPath = m_dir.path() + "/missing";
  for (const char* command : {"printers", "ports", "jobs"}) {
    Result result = Run({command});
    EXPECT_EQ(2, result.code) << command;
    EXPECT_NE(std::string::npos, result.err.find("no machine root at " + m_rootPath)) << result.err;
    EXPECT_NE(std::string::npos, result.err.find("vek-spool init"));
  }
  EXPECT_EQ(2, Run({"print", "P", "/etc/hostname"}).code);
}

TEST_F(Tool, BadArgumentsExit3) {
  EXPECT_EQ(3, Run({}).code);
  Result unknown = Run({"frobnicate"});
  EXPECT_EQ(3, unknown.code);
  EXPECT_NE(std::string::npos, unknown.err.find("unknown command 'frobnicate'"));
  EXPECT_EQ(3, Run({"printers", "extra"}).code);
  EXPECT_EQ(3, Run({"add-printer", "OnlyName"}).code);
  EXPECT_EQ(3, Run({"init", "--bogus"}).code);
  EXPECT_EQ(3, Run({"init", "--monitor"}).code);
  Result help = Run({"--help"});
  EXPECT_EQ(0, help.code);
  EXPECT_NE(std::string::npos, help.out.find("Usage: vek-spool"));
  EXPECT_NE(std::string::npos, help.out.find("Exit codes"));
}

TEST_F(Tool, InitThenPrintThroughTheLocalPort) {
  Result init = Run({"init", "--monitor", FAKE_MONITOR_PATH});
  ASSERT_EQ(0, init.code) << init.err;
  EXPECT_NE(std::string::npos, init.out.find(FAKE_MONITOR_PATH));
  EXPECT_EQ("No printers.\n", Run({"printers"}).out);
  EXPECT_EQ("No jobs.\n", Run({"jobs"}).out);
  Result add = Run({"add-printer", "Local Printer", "LPT1:"});
  ASSERT_EQ(0, add.code) << add.err;
  EXPECT_EQ(7, Run({"add-printer", "Local Printer", "LPT1:"}).code);
  Result badPort = Run({"add-printer", "Other", "NOPE:"});
  EXPECT_EQ(4, badPort.code);
  EXPECT_NE(std::string::npos, badPort.err.find("unknown port 'NOPE:'"));
  Result printers = Run({"printers"});
  EXPECT_NE(std::string::npos, printers.out.find("* Local Printer"));

  std::string data = Pattern(150000);
  std::string file = MakeFile("page.prn", data);
  Result print = Run({"print", "Local Printer", file});
  ASSERT_EQ(0, print.code) << print.err;
  EXPECT_NE(std::string::npos, print.out.find("job 1: Printed, 150000 of 150000 bytes written")) << print.out;
  EXPECT_EQ(data, ReadFile(m_rootPath + "/spool/local/LPT1.prn"));
  Result jobs = Run({"jobs"});
  EXPECT_NE(std::string::npos, jobs.out.find("Printed")) << jobs.out;
  EXPECT_NE(std::string::npos, jobs.out.find("150000/150000"));
  EXPECT_NE(std::string::npos, jobs.out.find("page.prn"));

  EXPECT_EQ(4, Run({"print", "Nobody", file}).code);
  EXPECT_EQ(3, Run({"print", "Local Printer", m_dir.path() + "/absent"}).code);
  EXPECT_EQ(3, Run({"print", "Local Printer", file, "--retries", "many"}).code);
  EXPECT_EQ(4, Run({"cancel", "99"}).code);
  EXPECT_EQ(3, Run({"cancel", "x"}).code);
  EXPECT_EQ(0, Run({"cancel", "1"}).code);  // ended already
}

TEST_F(Tool, AddPortHandsTheRecordOverAsTheWizardDoes) {
  ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
  Result first = Run({"add-port", "10.0.0.5", "--mac", "02:4E:57:12:AB:0C", "--port-id", "2"});
  ASSERT_EQ(0, first.code) << first.err;
  EXPECT_NE(std::string::npos, first.out.find("Added port VEK12AB0C-1 for 10.0.0.5, printer port 2."));
  Result second = Run({"add-port", "10.0.0.5", "--mac", "02-4e-57-12-ab-0c"});
  ASSERT_EQ(0, second.code) << second.err;
  EXPECT_NE(std::string::npos, second.out.find("VEK12AB0C-2"));
  Result ports = Run({"ports"});
  EXPECT_NE(std::string::npos, ports.out.find("VEK12AB0C-1"));
  EXPECT_NE(std::string::npos, ports.out.find("VEK12AB0C-2"));
  // TempPort is gone again; the key under Print\Ports stays.
  spooler::store::Key key;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey + "\\TempPort"));
  EXPECT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, std::string(spooler::store::kPorts) + "\\VEK12AB0C-1"));

  EXPECT_EQ(7, Run({"add-port", "10.0.0.5", "--name", "VEK12AB0C-1"}).code);
  EXPECT_EQ(3, Run({"add-port", "10.0.0"}).code);
  EXPECT_EQ(3, Run({"add-port", "10.0.0.256"}).code);
  EXPECT_EQ(3, Run({"add-port", "10.0.0.5", "--port-id", "4"}).code);
  EXPECT_EQ(3, Run({"add-port", "10.0.0.5", "--mac", "02:4E"}).code);
}

// A value of a port's record as the monitor was handed it.
std::vector<BYTE> RecordValue(const std::string& port, const char* name, DWORD* type = nullptr) {
  HKEY key = nullptr;
  std::string path = kMonitorKey + "\\Ports\\" + port;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
  std::vector<BYTE> data(64);
  DWORD size = static_cast<DWORD>(data.size());
  DWORD kind = 0;
  if (RegQueryValueExA(key, name, nullptr, &kind, data.data(), &size) != ERROR_SUCCESS) size = 0;
  RegCloseKey(key);
  data.resize(size);
  if (type) *type = kind;
  return data;
}

DWORD RecordDword(const std::string& port, const char* name) {
  DWORD type = 0;
  std::vector<BYTE> data = RecordValue(port, name, &type);
  DWORD value = 0xFFFFFFFFu;
  if (type == REG_DWORD && data.size() == 4) std::memcpy(&value, data.data(), 4);
  return value;
}

// The record codes the monitor loads: PacketType 0 IPX, 1 NetBEUI, 2 UDP/IP.
TEST_F(Tool, AddPortWritesTheRecordOfEachTransport) {
  ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
  Result udp = Run({"add-port", "10.0.0.5", "--mac", "02:4E:57:12:AB:0C", "--model", "0", "--name", "U"});
  ASSERT_EQ(0, udp.code) << udp.err;
  EXPECT_NE(std::string::npos, udp.out.find("Added port U for 10.0.0.5, printer port 1."));
  Result ipx = Run({"add-port", "--transport", "ipx", "--mac", "02:4E:57:12:AB:0D", "--network", "0000aBcD",
                    "--port-id", "2", "--name", "I"});
  ASSERT_EQ(0, ipx.code) << ipx.err;
  EXPECT_NE(std::string::npos, ipx.out.find("Added port I for IPX network 0000ABCD node 02:4E:57:12:AB:0D, "
                                            "printer port 2."))
      << ipx.out;
  Result netbeui = Run({"add-port", "--transport=netbeui", "--netbios-name", "VEKPRINT12AB0E", "--mac",
                        "02:4E:57:12:AB:0E", "--port-id", "3"});
  ASSERT_EQ(0, netbeui.code) << netbeui.err;
  EXPECT_NE(std::string::npos, netbeui.out.find("Added port VEK12AB0E-1 for NetBIOS name VEKPRINT12AB0E, printer port 3."))
      << netbeui.out;

  EXPECT_EQ(2u, RecordDword("U", "PacketType"));
  EXPECT_EQ(0u, RecordDword("U", "Model"));
  EXPECT_EQ((std::vector<BYTE>{10, 0, 0, 5}), RecordValue("U", "IPAddress"));
  EXPECT_EQ(std::vector<BYTE>(18, 0), RecordValue("U", "PSName"));

  EXPECT_EQ(0u, RecordDword("I", "PacketType"));
  EXPECT_EQ(1u, RecordDword("I", "Model"));
  EXPECT_EQ(2u, RecordDword("I", "PortID"));
  EXPECT_EQ((std::vector<BYTE>{0x00, 0x00, 0xAB, 0xCD}), RecordValue("I", "Network"));
  EXPECT_EQ((std::vector<BYTE>{0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0D}), RecordValue("I", "Node"));

  EXPECT_EQ(1u, RecordDword("VEK12AB0E-1", "PacketType"));
  EXPECT_EQ(3u, RecordDword("VEK12AB0E-1", "PortID"));
  std::vector<BYTE> psName(18, 0);
  std::memcpy(psName.data(), "VEKPRINT12AB0E", 14);
  DWORD type = 0;
  EXPECT_EQ(psName, RecordValue("VEK12AB0E-1", "PSName", &type));
  EXPECT_EQ(REG_BINARY, type);
  EXPECT_EQ((std::vector<BYTE>{0, 0, 0, 0}), RecordValue("VEK12AB0E-1", "Network"));
  // The 16 characters that go on the wire fit.
  EXPECT_EQ(0, Run({"add-port", "--transport", "netbeui", "--netbios-name", "ABCDEFGHIJKLMNOP"}).code);
  EXPECT_EQ(1u, RecordDword("VEK000000-1", "Model"));
}

TEST_F(Tool, AddPortRefusesBadTransportValues) {
  ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"10.0.0.5", "--transport", "tcp"}, "unknown transport 'tcp' (udp, ipx or netbeui)"},
      {{"--transport", "udp"}, "a UDP port needs the print server's IPv4 address"},
      {{"10.0.0.5", "--transport", "ipx", "--mac", "02:4E:57:12:AB:0C"}, "an IPX port takes no IPv4 address"},
      {{"--transport", "ipx"}, "an IPX port needs the print server's MAC address (--mac)"},
      {{"--transport", "ipx", "--mac", "02:4E:57:12:AB:0C", "--network", "1234"}, "'1234' is no IPX network number"},
      {{"--transport", "ipx", "--mac", "02:4E:57:12:AB:0C", "--network", "0000432G"},
       "'0000432G' is no IPX network number"},
      {{"10.0.0.5", "--network", "00004321"}, "--network is for --transport ipx"},
      {{"--transport", "netbeui"}, "a NetBEUI port needs the print server's NetBIOS name (--netbios-name)"},
      {{"--transport", "netbeui", "--netbios-name", "ABCDEFGHIJKLMNOPQ"}, "is no NetBIOS name"},
      {{"--transport", "netbeui", "--netbios-name", ""}, "is no NetBIOS name"},
      {{"--transport", "netbeui", "--netbios-name", "*SERVER"}, "is no NetBIOS name"},
      {{"--transport", "netbeui", "--netbios-name", "TAB\tNAME"}, "is no NetBIOS name"},
      {{"10.0.0.5", "--transport", "netbeui", "--netbios-name", "SERVER"}, "a NetBEUI port takes no IPv4 address"},
      {{"10.0.0.5", "--netbios-name", "SERVER"}, "--netbios-name is for --transport netbeui"},
      {{"10.0.0.5", "--model", "2"}, "the model is 0"},
      {{"10.0.0.5", "--model", "one"}, "the model is 0"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"add-port"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Result result = Run(args);
    EXPECT_EQ(3, result.code) << c.says;
    EXPECT_NE(std::string::npos, result.err.find(c.says)) << result.err;
  }
  // Nothing was handed over.
  spooler::store::Key key;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey + "\\TempPort"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey + "\\Ports"));
}

TEST_F(Tool, AFailedJobExitsWithItsKind) {
  SetUpPrinter();
  std::string file = MakeFile("doc", Pattern(5000));
  std::vector<std::string> fast = {"VEK_SPOOL_RETRY_MS=50", "VEK_SPOOL_RETRY_LIMIT=2"};
  SetMonitorValue("FailWrites", 100);
  SetMonitorValue("FailError", ERROR_IO_DEVICE);
  Result device = Run({"print", "Net", file}, fast);
  EXPECT_EQ(10, device.code) << device.out << device.err;
  EXPECT_NE(std::string::npos, device.out.find("Failed: Device error"));
  EXPECT_NE(std::string::npos, device.out.find("Device error, try 1 of 2"));

  // Out of paper's code from a port that did not report paper out.
  SetMonitorValue("FailError", ERROR_OUT_OF_PAPER);
  Result paper = Run({"print", "Net", file, "--retries", "3", "--retry-interval", "50"});
  EXPECT_EQ(11, paper.code) << paper.out;
  EXPECT_NE(std::string::npos, paper.out.find("Not taking data, try 1 of 3")) << paper.out;
  EXPECT_NE(std::string::npos, paper.out.find("Failed: Not taking data (error 28)")) << paper.out;
  EXPECT_NE(std::string::npos, paper.err.find("the print server at 10.0.0.5 (printer port 1) took no data for the "
                                              "port's retry time (90 s)"))
      << paper.err;

  SetMonitorValue("FailWrites", 0);
  EXPECT_EQ(0, Run({"print", "Net", file}).code);
}

// Every failure reads in words with its code after them, whether vek-spool names
// it or the platform's table does.
TEST_F(Tool, ErrorsReadInWordsWithTheirCode) {
  SetUpPrinter();
  std::string file = MakeFile("doc", Pattern(500));
  // The registry database's own failures name its file.
  const std::string database = m_rootPath + "/registry.db";
  struct Case {
    DWORD code;
    std::string words;
  } cases[] = {{ERROR_DISK_FULL, "the disk is full"},
               {ERROR_CANTWRITE, database + " cannot be written: it is read-only"},
               {ERROR_REGISTRY_IO_FAILED, database + " cannot be read or written"},
               {ERROR_INVALID_NAME, "the name is not valid"},
               {ERROR_ACCESS_DENIED, "access is denied"},
               {4711, "an unexpected error"}};
  for (const Case& c : cases) {
    const std::string code = std::to_string(c.code);
    const std::string text = c.words + " (error " + code + ")";
    SetMonitorValue("AddPortError", c.code);
    Result add = Run({"add-port", "10.0.0.7"});
    EXPECT_EQ(1, add.code) << add.err;
    EXPECT_NE(std::string::npos, add.err.find("the monitor did not add port VEK000000-1: " + text)) << add.err;
    SetMonitorValue("AddPortError", 0);

    SetMonitorValue("StartDocError", c.code);
    Result print = Run({"print", "Net", file});
    EXPECT_EQ(13, print.code) << print.out;
    std::string state = text;
    state[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(state[0])));
    EXPECT_NE(std::string::npos, print.out.find("job ")) << print.out;
    EXPECT_NE(std::string::npos, print.out.find(": Failed: " + state + ", 0 of 500 bytes written")) << print.out;
    EXPECT_EQ(std::string::npos, (print.out + add.err).find("Error " + code)) << print.out << add.err;
    SetMonitorValue("StartDocError", 0);
  }
  // The machine set-up's steps name what failed, and why.
  std::string blocker = MakeFile("plain-file", "x");
  m_rootPath = blocker + "/root";
  Result init = Run({"init", "--monitor", FAKE_MONITOR_PATH});
  EXPECT_EQ(1, init.code);
  EXPECT_NE(std::string::npos, init.err.find("cannot create " + m_rootPath + ": the path was not found (error 3)"))
      << init.err;
}

// A print server that did not take the connection is named with its address.
TEST_F(Tool, AFailedStartNamesThePrintServersAddress) {
  SetUpPrinter();
  SetMonitorValue("StartDocError", ERROR_IO_DEVICE);
  Result print = Run({"print", "Net", MakeFile("doc", "page")});
  EXPECT_EQ(10, print.code) << print.out;
  EXPECT_NE(std::string::npos, print.out.find(": Failed: Not connected (error 1117), 0 of 4 bytes written")) << print.out;
  EXPECT_NE(std::string::npos, print.err.find("the print server did not answer at 10.0.0.5 (printer port 1)"))
      << print.err;
}

TEST_F(Tool, PrintRefusesWhatIsNoRegularFile) {
  SetUpPrinter();
  struct Case {
    std::string path;
    const char* says;
  } cases[] = {{m_dir.path(), "it is a folder"},
               {"/dev/null", "it is not a regular file"},
               {m_dir.path() + "/missing", "no such file"}};
  for (const Case& c : cases) {
    Result print = Run({"print", "Net", c.path});
    EXPECT_EQ(3, print.code) << c.path;
    EXPECT_NE(std::string::npos, print.err.find(c.says)) << print.err;
  }
  spooler::JobRecord job;
  EXPECT_FALSE(spooler::ReadJob(1, &job));
}

TEST_F(Tool, ACancelFromAnotherProcessEndsThePrint) {
  SetUpPrinter();
  SetMonitorValue("MaxWrite", 100);
  SetMonitorValue("WriteDelayMs", 5);
  std::string file = MakeFile("long", Pattern(200000));
  pid_t printing = Start({"print", "Net", file});
  ASSERT_TRUE(WaitFor([&] {
    spooler::JobRecord job;
    return spooler::ReadJob(1, &job) && job.state == spooler::JobState::Printing && job.written > 0;
  }));
  Result cancel = Run({"cancel", "1"});
  EXPECT_EQ(0, cancel.code) << cancel.err;
  Result print = Wait(printing);
  EXPECT_EQ(12, print.code) << print.out << print.err;
  EXPECT_NE(std::string::npos, print.out.find("job 1: Cancelled"));
  Result jobs = Run({"jobs"});
  EXPECT_NE(std::string::npos, jobs.out.find("Cancelled"));
}

TEST_F(Tool, AnInterruptCancelsThePrint) {
  SetUpPrinter();
  SetMonitorValue("MaxWrite", 100);
  SetMonitorValue("WriteDelayMs", 5);
  pid_t printing = Start({"print", "Net", MakeFile("long", Pattern(200000))});
  ASSERT_TRUE(WaitFor([&] {
    spooler::JobRecord job;
    return spooler::ReadJob(1, &job) && job.state == spooler::JobState::Printing && job.written > 0;
  }));
  kill(printing, SIGINT);
  Result print = Wait(printing);
  EXPECT_EQ(12, print.code) << print.out << print.err;
  spooler::JobRecord job;
  ASSERT_TRUE(spooler::ReadJob(1, &job));
  EXPECT_EQ(spooler::JobState::Cancelled, job.state);
}

TEST_F(Tool, AMonitorThatDoesNotLoadIsNamed) {
  SetUpPrinter();
  ASSERT_EQ(0, Run({"init", "--monitor", m_dir.path() + "/gone/libDriver.so"}).code);
  Result print = Run({"print", "Net", MakeFile("doc", "x")});
  EXPECT_EQ(6, print.code);
  EXPECT_NE(std::string::npos, print.err.find("is not loaded")) << print.err;
  EXPECT_NE(std::string::npos, print.err.find("port 'VEK12AB0C-1' of printer 'Net' is unavailable"));
  Result add = Run({"add-port", "10.0.0.9"});
  EXPECT_EQ(6, add.code) << add.err;
  // The port that did not come leaves nothing behind.
  spooler::store::Key ports;
  ASSERT_EQ(ERROR_SUCCESS, ports.Open(HKEY_LOCAL_MACHINE, spooler::store::kPorts));
  EXPECT_EQ((std::vector<std::string>{"VEK12AB0C-1"}), spooler::store::SubKeys(ports.get()));
}

TEST_F(Tool, AStoppedSpoolerExits5) {
  ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  Result printers = Run({"printers"});
  EXPECT_EQ(5, printers.code);
  EXPECT_NE(std::string::npos, printers.err.find("the spooler is stopped"));
  EXPECT_EQ(5, Run({"ports"}).code);
  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  EXPECT_EQ(0, Run({"printers"}).code);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

// Every command on a registry database found damaged says so, naming the file,
// exits 1 and leaves the file as it was, init included; on one made read-only
// the lists still show and what would write says why it cannot.
TEST_F(Tool, ADamagedRegistryIsAnErrorNamingTheFileAndIsLeftAsItIs) {
  struct Command {
    std::vector<std::string> args;
    int readOnlyCode;  // on the read-only database
    const char* readOnlyShows;  // what it lists there, or what its message says
  };
  const std::string page = MakeFile("page", "a page");
  const std::vector<Command> commands = {
      {{"printers"}, 0, "Net"},
      {{"ports"}, 0, "VEK12AB0C-1"},
      {{"jobs"}, 0, "Printed"},
      {{"add-printer", "Other", "LPT1:"}, 1, "read-only"},
      {{"add-port", "10.0.0.9"}, 1, "read-only"},
      {{"add-port"}, 3, "needs a terminal"},
      {{"configure-port", "VEK12AB0C-1"}, 3, "needs a terminal"},
      {{"print", "Net", page}, 1, "read-only"},
      {{"cancel", "1"}, 0, "has ended already"},
      {{"init", "--monitor", FAKE_MONITOR_PATH}, 1, "read-only"},
  };
  for (Damage damage : kEveryDamage) {
    SCOPED_TRACE(DamageName(damage));
    m_rootPath = m_dir.path() + "/root-" + std::to_string(static_cast<int>(damage));
    std::filesystem::create_directory(m_rootPath);
    SetUpPrinter();
    ASSERT_EQ(0, Run({"print", "Net", page}).code);
    DamageRegistry(m_rootPath, damage);
    const std::string before = DatabaseContent(m_rootPath);
    const std::string file = m_rootPath + "/registry.db";
    for (const Command& command : commands) {
      SCOPED_TRACE(command.args.front());
      Result result = Run(command.args);
      if (damage == Damage::ReadOnly) {
        EXPECT_EQ(command.readOnlyCode, result.code) << result.err;
        EXPECT_NE(std::string::npos, (result.out + result.err).find(command.readOnlyShows)) << result.out << result.err;
        if (command.readOnlyCode == 1) {
          EXPECT_NE(std::string::npos, result.err.find(file)) << result.err;
        }
      } else {
        EXPECT_EQ(1, result.code) << result.out << result.err;
        EXPECT_EQ("", result.out);
        EXPECT_NE(std::string::npos, result.err.find(file)) << result.err;
      }
      EXPECT_EQ(before, DatabaseContent(m_rootPath)) << "the file is left as it was";
    }
  }
}

TEST_F(Tool, TheDatabaseItsLogsAndTheSpoolFolderAreTheOwnersAlone) {
  mode_t mask = umask(022);  // what a user's shell has
  SetUpPrinter();
  umask(mask);
  SetMonitorValue("MaxWrite", 100);
  SetMonitorValue("WriteDelayMs", 5);
  pid_t printing = Start({"print", "Net", MakeFile("long", Pattern(100000))});
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(m_rootPath + "/spool/1.spl"); }));
  auto mode = [](const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
  };
  for (const char* file : {"/registry.db", "/registry.db-wal", "/registry.db-shm", "/spool/1.spl"})
    EXPECT_EQ(0600, mode(m_rootPath + file)) << file;
  for (const char* folder : {"/spool", "/spool/ports", "/spool/local"}) EXPECT_EQ(0700, mode(m_rootPath + folder)) << folder;
  kill(printing, SIGINT);
  Wait(printing);
}

// A print killed with its job leaves a spool file nobody prints; the next command
// that lists the jobs removes it, and a cancel of the job does too. A job still
// printing in another process keeps its file.
TEST_F(Tool, TheSpoolFilesOfJobsWhosePrintIsGoneAreRemovedNeverALiveOnes) {
  SetUpPrinter();
  SetMonitorValue("MaxWrite", 100);
  SetMonitorValue("WriteDelayMs", 5);
  const std::string spool = m_rootPath + "/spool/";
  auto printing = [&](DWORD id) {
    return WaitFor([&] {
      spooler::JobRecord job;
      return spooler::ReadJob(id, &job) && job.state == spooler::JobState::Printing && job.written > 0;
    });
  };
  auto killed = [&](pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  };
  const std::string file = MakeFile("long", Pattern(300000));
  pid_t first = Start({"print", "Net", file});
  ASSERT_TRUE(printing(1));
  killed(first);
  ASSERT_TRUE(std::filesystem::exists(spool + "1.spl"));
  Result jobs = Run({"jobs"});
  EXPECT_NE(std::string::npos, jobs.out.find("Abandoned")) << jobs.out;
  EXPECT_FALSE(std::filesystem::exists(spool + "1.spl")) << "its print is gone";

  pid_t second = Start({"print", "Net", file});
  ASSERT_TRUE(printing(2));
  EXPECT_EQ(0, Run({"jobs"}).code);
  EXPECT_TRUE(std::filesystem::exists(spool + "2.spl")) << "still printing";

  killed(second);
  Result cancel = Run({"cancel", "2"});
  EXPECT_EQ(0, cancel.code) << cancel.err;
  EXPECT_FALSE(std::filesystem::exists(spool + "2.spl"));
  spooler::JobRecord job;
  ASSERT_TRUE(spooler::ReadJob(2, &job));
  EXPECT_EQ(spooler::JobState::Cancelled, job.state);
}

// One rule for a port's name; a name that breaks it, or one another monitor's
// port has, is refused before anything is written.
TEST_F(Tool, PortNamesWithBlankEndsOrOfAnotherMonitorAreRefusedBeforeAnythingIsWritten) {
  SetUpPrinter();
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string says;
  };
  const std::vector<Case> cases = {
      {{"add-port", "10.0.0.7", "--port-id", "3", "--name", " VEK12AB0C-1"}, 3, "' VEK12AB0C-1' is no port name"},
      {{"add-port", "10.0.0.7", "--name", "P1 "}, 3, "'P1 ' is no port name"},
      {{"add-port", "10.0.0.7", "--name", " "}, 3, "' ' is no port name"},
      {{"add-port", "10.0.0.7", "--name", ""}, 3, "'' is no port name"},
      {{"add-port", "10.0.0.7", "--name", "A,B"}, 3, "'A,B' is no port name"},
      {{"add-port", "10.0.0.7", "--name", "TWENTY-ONE-CHARACTERS"}, 3, "is no port name"},
      {{"add-port", "10.0.0.7", "--name", "lpt1:"}, 7, "port 'lpt1:' exists already"},
      {{"add-printer", "Blank", " VEK12AB0C-1"}, 3, "' VEK12AB0C-1' is no port name"},
  };
  for (const Case& c : cases) {
    Result result = Run(c.args);
    EXPECT_EQ(c.code, result.code) << c.says;
    EXPECT_NE(std::string::npos, result.err.find(c.says)) << result.err;
  }
  spooler::store::Key key;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey + "\\TempPort"));
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, spooler::store::kPorts));
  EXPECT_EQ((std::vector<std::string>{"VEK12AB0C-1"}), spooler::store::SubKeys(key.get()));
  Result listed = Run({"ports"});
  EXPECT_EQ(std::string::npos, listed.out.find(" VEK12AB0C-1")) << listed.out;
  // The spooler itself takes a printer's port as written: " VEK12AB0C-1" is no port.
  std::u16string name = u"Blank", port = u" VEK12AB0C-1";
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());
}

// Names holding escapes, bells and line breaks are listed as escapes: no name
// recolours the terminal or fakes a row.
TEST_F(Tool, ControlCharactersInNamesAreListedEscaped) {
  ASSERT_EQ(0, Run({"init", "--monitor", FAKE_MONITOR_PATH}).code);
  ASSERT_EQ(0, Run({"add-printer", "Red\033[31m\a", "LPT1:"}).code);
  ASSERT_EQ(0, Run({"add-printer", "Two\nlines", "LPT1:"}).code);
  ASSERT_EQ(0, Run({"print", "Two\nlines", MakeFile("doc", "x"), "--document", "doc\r\n99 Fake row\xC2\x9B"}).code);
  const std::string printers = Run({"printers"}).out;
  const std::string jobs = Run({"jobs"}).out;
  for (const std::string& listing : {printers, jobs})
    for (char c : listing) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << listing;
  EXPECT_NE(std::string::npos, printers.find("Red\\x1B[31m\\x07")) << printers;
  EXPECT_NE(std::string::npos, printers.find("Two\\x0Alines")) << printers;
  EXPECT_NE(std::string::npos, jobs.find("doc\\x0D\\x0A99 Fake row\\u009B")) << jobs;
  EXPECT_EQ(3u, static_cast<std::size_t>(std::count(printers.begin(), printers.end(), '\n')));
}

}  // namespace
}  // namespace vek::test
