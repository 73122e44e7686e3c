// The service manager's "Spooler", profile strings, and the module loader.
#include "spooler/module_loader.h"
#include "spooler/profile.h"
#include "spooler/winsvc.h"
#include "spooler_test_support.h"

namespace vek::test {
namespace {

class Service : public SpoolerTest {
 protected:
  DWORD State(SC_HANDLE service) {
    SERVICE_STATUS status{};
    EXPECT_TRUE(QueryServiceStatus(service, &status));
    return status.dwCurrentState;
  }
};

TEST_F(Service, AStoppedSpoolerRefusesNewWorkUntilStarted) {
  SeedPort("VEK1");
  AddPrinter("P", "LPT1:");
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(nullptr, manager);
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
  ASSERT_NE(nullptr, service);
  EXPECT_EQ(SERVICE_RUNNING, State(service));
  HANDLE kept = Open("P");

  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(SERVICE_STOPPED, status.dwCurrentState);
  EXPECT_EQ(SERVICE_STOPPED, State(service));
  EXPECT_FALSE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  EXPECT_EQ(ERROR_SERVICE_NOT_ACTIVE, GetLastError());

  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(RPC_S_SERVER_UNAVAILABLE, GetLastError());
  EXPECT_FALSE(AddPortA(nullptr, nullptr, spooler::kVekMonitorName));
  EXPECT_EQ(RPC_S_SERVER_UNAVAILABLE, GetLastError());
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(RPC_S_SERVER_UNAVAILABLE, GetLastError());
  HANDLE printer = nullptr;
  EXPECT_FALSE(OpenPrinterA("P", &printer, nullptr));
  EXPECT_EQ(RPC_S_SERVER_UNAVAILABLE, GetLastError());
  // A handle already open keeps working.
  EXPECT_FALSE(GetPrinterA(kept, 2, nullptr, 0, &needed));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  EXPECT_EQ(SERVICE_RUNNING, State(service));
  EXPECT_FALSE(StartServiceA(service, 0, nullptr));
  EXPECT_EQ(ERROR_SERVICE_ALREADY_RUNNING, GetLastError());
  EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());

  ClosePrinter(kept);
  EXPECT_TRUE(CloseServiceHandle(service));
  EXPECT_TRUE(CloseServiceHandle(manager));
  EXPECT_FALSE(CloseServiceHandle(manager));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(Service, ARestartReloadsTheMonitors) {
  SeedPort("VEK1");
  DWORD needed = 0, returned = 0;
  EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
  EXPECT_EQ(1, fake->inits);
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, "spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
  EXPECT_EQ(1, fake->shutdowns);
  EXPECT_EQ(2, fake->inits);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

TEST_F(Service, ARestartDuringAJobReloadsTheMonitorsOnlyAfterIt) {
  SeedPort("VEK1");
  AddPrinter("P", "VEK1");
  fake->blockAtBytes = 1;
  fake->maxWrite = 100;
  DWORD job = Print("P", Pattern(1000));
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard guard(fake->lock);
    return fake->blocked;
  }));
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
  ASSERT_TRUE(StartServiceA(service, 0, nullptr));
  DWORD needed = 0, returned = 0;
  EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);  // the job still uses the monitor
  EXPECT_EQ(0, fake->shutdowns);
  {
    std::lock_guard guard(fake->lock);
    fake->released = true;
    fake->changed.notify_all();
  }
  EXPECT_EQ(spooler::JobState::Printed, WaitEnd(job).state);
  EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
  EXPECT_EQ(1, fake->shutdowns);
  EXPECT_EQ(2, fake->inits);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

TEST_F(Service, OnlyTheSpoolerServiceOnThisMachine) {
  EXPECT_EQ(nullptr, OpenSCManagerA("\\\\elsewhere", nullptr, SC_MANAGER_ALL_ACCESS));
  SC_HANDLE manager = OpenSCManagerA("", nullptr, SC_MANAGER_ALL_ACCESS);
  ASSERT_NE(nullptr, manager);
  EXPECT_EQ(nullptr, OpenServiceA(manager, "Telnet", SERVICE_ALL_ACCESS));
  EXPECT_EQ(ERROR_SERVICE_DOES_NOT_EXIST, GetLastError());
  SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
  SERVICE_STATUS status{};
  EXPECT_FALSE(ControlService(service, 2 /* pause */, &status));
  EXPECT_EQ(ERROR_INVALID_SERVICE_CONTROL, GetLastError());
  EXPECT_FALSE(QueryServiceStatus(manager, &status));  // a manager is no service
  CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

TEST_F(Service, ProfileStrings) {
  char text[16];
  EXPECT_EQ(3u, GetProfileStringA("windows", "device", ",,,", text, sizeof text));
  EXPECT_STREQ(",,,", text);
  EXPECT_EQ(3u, GetProfileStringA("windows", "device", "abc   ", text, sizeof text));
  EXPECT_STREQ("abc", text);
  ASSERT_TRUE(WriteProfileStringA("windows", "device", "Printer,Driver,VEK1"));
  EXPECT_EQ(15u, GetProfileStringA("Windows", "Device", ",,,", text, sizeof text));
  EXPECT_STREQ("Printer,Driver,", text);  // cut to the buffer
  ASSERT_TRUE(WriteProfileStringA("windows", "spooler", "yes"));
  char names[64];
  DWORD length = GetProfileStringA("windows", nullptr, "", names, sizeof names);
  EXPECT_EQ(std::string("device\0spooler\0", 15), std::string(names, length + 1));
  ASSERT_TRUE(WriteProfileStringA("windows", "spooler", nullptr));
  EXPECT_EQ(0u, GetProfileStringA("windows", "spooler", "", text, sizeof text));
  ASSERT_TRUE(WriteProfileStringA("windows", nullptr, nullptr));
  EXPECT_EQ(1u, GetProfileStringA("windows", "device", "-", text, sizeof text));
}

TEST_F(Service, TheMonitorFindsSetPortInSpoolss) {
  HMODULE module = LoadLibraryW(u"SPOOLSS.DLL");
  ASSERT_NE(nullptr, module);
  auto setPort = reinterpret_cast<PFN_SETPORTW>(GetProcAddress(module, "SetPortW"));
  ASSERT_NE(nullptr, setPort);
  EXPECT_EQ(reinterpret_cast<PFN_SETPORTW>(&SetPortW), setPort);
  EXPECT_EQ(nullptr, GetProcAddress(module, "NoSuchCall"));
  EXPECT_EQ(ERROR_PROC_NOT_FOUND, GetLastError());
  SeedPort("VEK1");
  DWORD needed = 0, returned = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
  PORT_INFO_3W clear{0, nullptr, PORT_STATUS_TYPE_INFO};
  EXPECT_TRUE(setPort(nullptr, u"VEK1", 3, reinterpret_cast<LPBYTE>(&clear)));
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(nullptr, LoadLibraryW(u"KERNEL32.DLL"));
  EXPECT_EQ(ERROR_MOD_NOT_FOUND, GetLastError());
  HMODULE again = LoadLibraryA("C:\\WINDOWS\\SYSTEM32\\spoolss.dll");
  EXPECT_EQ(module, again);
  FreeLibrary(again);
}

}  // namespace
}  // namespace vek::test
