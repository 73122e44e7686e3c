// Monitors are loaded once, shut down explicitly before they are unloaded, and
// never unloaded under a running job.
#include <fstream>
#include <sstream>

#include "framework/win_app.h"
#include "spooler_test_support.h"

namespace vek::test {
namespace {

using spooler::JobState;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// A machine with the fake monitor, which logs its start, shutdown and unload.
void SetUpLoggedMonitor(const TempRoot& root, std::string* log) {
  std::string error;
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({FAKE_MONITOR_PATH}, &error)) << error;
  *log = root.path() + "/monitor.log";
  spooler::store::Key key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey));
  spooler::store::WriteString(key.get(), "Log", *log);
}

// Without the fixture's own handle on the library, so it really leaves the process.
TEST(MonitorLifecycle, ShutdownComesBeforeTheUnload) {
  TempRoot root;
  std::string log;
  ASSERT_NO_FATAL_FAILURE(SetUpLoggedMonitor(root, &log));
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  EXPECT_EQ("init\n", ReadFile(log));  // loaded once
  spooler::Shutdown();
  EXPECT_EQ("init\nshutdown\nunload\n", ReadFile(log));
  // Used again, it loads again.
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  spooler::Shutdown();
  EXPECT_EQ("init\nshutdown\nunload\ninit\nshutdown\nunload\n", ReadFile(log));
}

// A program's spooler runs inside it: when the program ends, the monitors it
// loaded are shut down, and what they hold (the port the setup wizard handed
// over, for one) is freed, not left behind at exit.
TEST(MonitorLifecycle, AProgramsEndShutsDownTheMonitorsItLoaded) {
  TempRoot root;
  std::string log;
  ASSERT_NO_FATAL_FAILURE(SetUpLoggedMonitor(root, &log));
  // A program of the framework, as the wizard is one: its work lists the ports.
  class Program : public CWinApp {
   public:
    Program() : CWinApp("Program") {}
    BOOL InitInstance() override {
      DWORD needed = 0, returned = 0;
      EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
      return FALSE;
    }
  };
  {
    Program program;
    ASSERT_EQ(&program, AfxGetApp());
    char name[] = "program";
    char* argv[] = {name, nullptr};
    AfxWinMain(1, argv);
  }
  EXPECT_EQ("init\nshutdown\nunload\n", ReadFile(log));
}

TEST(MonitorLifecycle, AMissingLibraryIsReportedAndOtherMonitorsStillWork) {
  TempRoot root;
  std::string error;
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({root.path() + "/nowhere/libDriver.so"}, &error)) << error;
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &returned));
  EXPECT_EQ(1u, returned);  // LPT1: of the built-in monitor
  auto errors = spooler::MonitorLoadErrors();
  ASSERT_EQ(1u, errors.size());
  EXPECT_EQ(spooler::kVekMonitorName, errors[0].first);
  EXPECT_NE(std::string::npos, errors[0].second.find("nowhere/libDriver.so"));
  EXPECT_FALSE(AddPortA(nullptr, nullptr, spooler::kVekMonitorName));
  EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
  spooler::Shutdown();
}

TEST(MonitorLifecycle, SetUpRegistersWhatTheSystemLooksFor) {
  TempRoot root;
  std::string error;
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({"/opt/vek/libDriver.so"}, &error)) << error;
  EXPECT_TRUE(spooler::MachineRootReady());
  spooler::store::Key key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey));
  EXPECT_EQ("/opt/vek/libDriver.so", spooler::store::StringOr(key.get(), "Driver", ""));
  DWORD type = 0, size = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Version", nullptr, &type, nullptr, &size));
  EXPECT_EQ(REG_BINARY, type);
  ASSERT_EQ(1u, size);
  BYTE version = 0;
  RegQueryValueExA(key.get(), "Version", nullptr, &type, &version, &size);
  EXPECT_EQ(2, version);

  // RPC over NetBIOS, bound to the layer's LANA 0.
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Rpc\\ClientProtocols"));
  EXPECT_NE("", spooler::store::StringOr(key.get(), "ncacn_nb_nb", ""));
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Rpc\\Netbios"));
  EXPECT_EQ("0", spooler::store::StringOr(key.get(), "ncacn_nb_nb0", ""));

  // Again, with another library: the values stay, the library changes.
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({"/usr/lib/vek/libDriver.so"}, &error)) << error;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey));
  EXPECT_EQ("/usr/lib/vek/libDriver.so", spooler::store::StringOr(key.get(), "Driver", ""));
}

class Lifecycle : public SpoolerTest {
 protected:
  void SetTableSize(DWORD size) {
    spooler::store::Key key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, kMonitorKey));
    spooler::store::WriteDword(key.get(), "TableSize", size);
  }
  DWORD PortCount() {
    DWORD needed = 0, returned = 0;
    EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    EXPECT_TRUE(EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &returned));
    return returned;
  }
};

TEST_F(Lifecycle, TheTableSizeOfAMonitorIsChecked) {
  SeedPort("VEK1");
  SetTableSize(56);  // the size where pointers are 4 bytes
  EXPECT_EQ(2u, PortCount());
  spooler::Shutdown();
  SetTableSize(20);
  EXPECT_EQ(1u, PortCount());
  auto errors = spooler::MonitorLoadErrors();
  ASSERT_EQ(1u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].second.find("table of 20 bytes")) << errors[0].second;
  EXPECT_EQ(2, fake->inits);  // a failed load is not tried again at every call
  EXPECT_EQ(2, fake->shutdowns);  // the refused load was shut down too
}

TEST_F(Lifecycle, ShutdownEndsARunningJobFirst) {
  SeedPort("VEK1");
  AddPrinter("P", "VEK1");
  fake->blockAtBytes = 1;
  fake->maxWrite = 100;
  fake->cancelAtEndDoc = false;
  DWORD job = Print("P", Pattern(10000));
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard guard(fake->lock);
    return fake->blocked;
  }));
  // The job thread waits inside the monitor; release it as a monitor would at its stop.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::lock_guard guard(fake->lock);
    fake->released = true;
    fake->changed.notify_all();
  });
  spooler::Shutdown();
  release.join();
  EXPECT_EQ(1, fake->shutdowns);
  std::vector<std::string> calls = Calls();
  EXPECT_EQ("ClosePort", calls.back());  // before the shutdown
  spooler::JobRecord record;
  ASSERT_TRUE(spooler::ReadJob(job, &record));
  EXPECT_EQ(JobState::Cancelled, record.state);
}

TEST_F(Lifecycle, TheMonitorIsLoadedOncePerProcess) {
  SeedPort("VEK1");
  AddPrinter("P", "VEK1");
  for (int i = 0; i < 3; ++i) WaitEnd(Print("P", Pattern(100)));
  EXPECT_EQ(1, fake->inits);
  EXPECT_EQ(0, fake->shutdowns);
}

}  // namespace
}  // namespace vek::test
