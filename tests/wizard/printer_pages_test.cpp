// The printer, summary and finish pages against the emulator, the spooler and the
// real port monitor: the printer list, the locate and reachability checks, the
// port handed over through TempPort, the printer bound and made the default, and
// a file printed through that port arriving whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "framework/message_box.h"
#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/version.h"
#include "net/icmp_transport.h"
#include "net/winsock.h"
#include "protocol/discovery.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/xudp_socket.h"
#include "kernel/machine_root.h"
#include "registry/registry.h"
#include "spooler/profile.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "spooler/winsvc.h"
#include "support/damaged_registry.h"
#include "support/emulator_lab.h"
#include "support/job_data.h"
#include "support/spooler_print.h"
#include "support/temp_root.h"
#include "support/wizard_sheet_run.h"
#include "wizard/port_handover.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace vek::test {
namespace {

using vek::ui::HeadlessDriver;

constexpr UINT kPrinterPageIndex = 10;  // in the sheet's order
constexpr std::uint8_t kGroup = 0x41;

std::string MonitorKey() { return std::string(kMonitorsKey) + "\\" + kVekMonitorKeyName; }

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::vector<std::string> PortNames() {
  std::vector<std::string> names;
  DWORD error = 0;
  EXPECT_TRUE(ReadPortNames(&names, &error)) << error;
  return names;
}

bool HasPort(const std::string& name) {
  std::vector<std::string> names = PortNames();
  return std::find(names.begin(), names.end(), name) != names.end();
}

void AddPrinter(const std::string& name, const std::string& port = "LPT1:") {
  std::string printer = name, portName = port, driver = "Generic Text";
  PRINTER_INFO_2A info{};
  info.pPrinterName = printer.data();
  info.pPortName = portName.data();
  info.pDriverName = driver.data();
  HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(handle, nullptr) << GetLastError();
  ClosePrinter(handle);
}

// The printer's port and whether the spooler reports it as the default printer.
std::pair<std::string, bool> PrinterPort(const std::string& name) {
  HANDLE handle = nullptr;
  if (!OpenPrinterA(name.c_str(), &handle, nullptr)) return {"", false};
  DWORD needed = 0;
  GetPrinterA(handle, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed);
  std::pair<std::string, bool> result{"", false};
  if (GetPrinterA(handle, 2, block.data(), needed, &needed)) {
    auto* info = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
    result = {info->pPortName ? info->pPortName : "", (info->Attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0};
  }
  ClosePrinter(handle);
  return result;
}

// How often the "Spooler" service has started.
DWORD SpoolerStarts() {
  HKEY key = nullptr;
  DWORD starts = 0, size = sizeof starts;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Spooler", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    RegQueryValueExA(key, "Generation", nullptr, nullptr, reinterpret_cast<BYTE*>(&starts), &size);
    RegCloseKey(key);
  }
  return starts;
}

std::string DefaultDevice() {
  char device[256] = {};
  GetProfileStringA("windows", "device", "", device, sizeof device);
  return device;
}

// An ICMP transport that hears nothing: the server does not answer the ping.
class SilentIcmp final : public vek::net::IcmpTransport {
 public:
  DWORD Send(std::uint32_t, std::span<const std::uint8_t>) override { return 0; }
  DWORD Receive(DWORD timeoutMs, std::vector<std::uint8_t>*, std::uint32_t*) override {
    ::Sleep(std::min<DWORD>(timeoutMs, 20));
    return WSAETIMEDOUT;
  }
  void Close() override {}
};

class PrinterPages : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    using namespace WizardSettings;
    m_SearchDone = 1;
    m_Transports = PS_TRANSPORTS_UDP;
    m_PortCreated = 0;
    m_PortName[0] = '\0';
    m_PortID = 1;
    m_ModelCode = 0;
    m_pSelectedPS = nullptr;
    g_MonitorKeyName = kVekMonitorKeyName;
    vek::framework::ClearMessageBoxLog();
  }
  void TearDown() override {
    vek::net::InstallIcmpTransportFactory(nullptr);
    vek::ResetOsVersionAndLanguage();
    spooler::Shutdown();
    m_emulator.Stop();
    m_broadcast.reset();
    WSACleanup();
  }

  emu::DeviceConfig Device(int index, int generation = 1) {
    emu::DeviceConfig device = PrintDevice("PS-PAGES-", kGroup, index, generation, PortTransport::Udp);
    device.capabilities = emu::cap::kPortLength;
    device.portNames[0] = "Laser";
    return device;
  }

  void Start(std::vector<emu::DeviceConfig> devices) {
    emu::EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_root.path() + "/received";
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
  }

  // The device's record from its own search reply, as the search leaves it, and
  // the settings the server list takes from it.
  void Choose(std::size_t device) {
    XUDPSocket socket;
    ASSERT_TRUE(socket.Create(0));
    const std::uint32_t address = m_emulator.DeviceAt(device).ListenAddress();
    socket.m_Address.sin_family = AF_INET;
    socket.m_Address.sin_port = htons(PS_PORT);
    socket.m_Address.sin_addr.s_addr = htonl(address);
    BYTE request[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(request, 0, PSCMD_SEARCH);
    std::vector<BYTE> reply;
    for (int attempt = 0; attempt < 3 && reply.empty(); attempt++) {
      socket.Send(reinterpret_cast<char*>(request), length, 0);
      char buffer[PS_BUFFER_LENGTH];
      const int n = socket.Receive(buffer, sizeof(buffer), 0);
      if (n > 0) reply.assign(buffer, buffer + n);
    }
    auto record = std::make_unique<CPrintServer>();
    ASSERT_TRUE(record->ParseReply(reply.data(), static_cast<int>(reply.size())));
    using namespace WizardSettings;
    std::memcpy(m_ServerNodeID, record->m_NodeID, 6);
    std::memcpy(m_ServerIPAddress, record->GetIPAddress(), 4);
    m_PortID = 1;
    m_pSelectedPS = record.get();
    m_records.push_back(std::move(record));
  }

  std::string Mac(int index) const {
    char name[16];
    std::snprintf(name, sizeof name, "%02X00%02X", kGroup, index);
    return name;
  }
  std::string Dotted(int index) const { return m_subnet.Dotted(index + 1); }

  // Waits for the page after a press that blocks the wizard for a while.
  static bool WaitForPage(SheetRun& run, UINT page, DWORD timeoutMs = 20000) {
    return HeadlessDriver::WaitFor([&] { return run.Page() == page; }, timeoutMs);
  }

  static std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& box : vek::framework::MessageBoxLog()) texts.push_back(box.text);
    return texts;
  }
  static std::string Text(UINT id) {
    CStringA text;
    text.LoadString(id);
    return text.GetString();
  }

  TempRoot m_root;
  emu::Emulator m_emulator;
  LoopbackSubnet m_subnet;
  std::unique_ptr<ScopedBroadcast> m_broadcast;
  std::vector<std::unique_ptr<CPrintServer>> m_records;
};

TEST_F(PrinterPages, TheChosenPrinterIsBoundToANewPortAndPrintsThroughIt) {
  Start({Device(1)});
  AddPrinter("Alpha");
  AddPrinter("Beta");
  Choose(0);
  SheetRun run(kPrinterPageIndex);
  ASSERT_EQ(run.Page(), 139u);
  // The spooler's printers in its order, the first one chosen.
  EXPECT_EQ(run.driver.Items(IDC_PRINTER_LIST), (std::vector<std::string>{"Alpha|LPT1:", "Beta|LPT1:"}));
  EXPECT_EQ(run.driver.Selection(IDC_PRINTER_LIST), 0);
  EXPECT_EQ(run.driver.Text(IDC_ADD_NEW_PRINTER), "Add New Printer");
  EXPECT_EQ(run.sheet().GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));

  run.driver.Select(IDC_PRINTER_LIST, 1);
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141)) << ::testing::PrintToString(Messages());
  EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
  // The port came through the monitor's TempPort hand-over, which is gone again;
  // the spooler's own key of the port stays.
  const std::string port = "VEK" + Mac(1) + "-1";
  EXPECT_TRUE(HasPort(port));
  EXPECT_FALSE(KeyExists(MonitorKey() + "\\TempPort"));
  EXPECT_TRUE(KeyExists(std::string(kPrintPortsKey) + "\\" + port));
  EXPECT_TRUE(KeyExists(MonitorKey() + "\\Ports\\" + port));
  EXPECT_EQ(WizardSettings::m_PortCreated, 1);
  EXPECT_STREQ(WizardSettings::m_PortName, port.c_str());
  EXPECT_EQ(WizardSettings::m_PrinterName, "Beta");

  // The summary: printer, port and address; the default-printer box ticked.
  EXPECT_EQ(run.driver.Items(IDC_SUMMARY_LIST),
            (std::vector<std::string>{"Printer Name :|Beta", "Port Name :|" + port, "IP Address :|" + Dotted(0)}));
  EXPECT_FALSE(run.driver.Enabled(IDC_SUMMARY_LIST));
  EXPECT_EQ(run.driver.Check(IDC_SET_DEFAULT_PRINTER), 1);
  EXPECT_TRUE(run.driver.Enabled(IDC_SET_DEFAULT_PRINTER));

  // Back keeps the list and the choice; Next again makes no second port.
  run.driver.Back();
  ASSERT_EQ(run.Page(), 139u);
  EXPECT_EQ(run.driver.Selection(IDC_PRINTER_LIST), 1);
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141));
  EXPECT_EQ(PortNames().size(), 2u);  // LPT1: and the new port

  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 148));
  EXPECT_EQ(PrinterPort("Beta"), std::make_pair(port, true));
  EXPECT_EQ(PrinterPort("Alpha"), std::make_pair(std::string("LPT1:"), false));
  EXPECT_EQ(DefaultDevice(), "Beta,Generic Text," + port);
  EXPECT_EQ(run.sheet().GetWizardButtons(), static_cast<DWORD>(PSWIZB_FINISH));
  EXPECT_EQ(run.driver.Text(IDCANCEL), "Close");
  run.driver.Finish();
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.done(); }));
  EXPECT_EQ(run.result(), ID_WIZFINISH);

  // What is printed to the printer now reaches the print server whole.
  const std::string data = Pattern(150000, 16);
  ASSERT_TRUE(PrintThroughSpooler("Beta", data));
  ExpectJobReceived(m_emulator, 0, 1, data);
}

TEST_F(PrinterPages, EachServerChosenGetsAPortOfItsOwnUnderAFreeName) {
  Start({Device(1), Device(2)});
  AddPrinter("Alpha");
  Choose(0);
  // Ports of that server's names are there already (in another case, too).
  for (const char* taken : {"-1", "-2"}) {
    PortRecord record;
    std::string name = "vek" + Mac(1) + taken;
    DWORD error = 0;
    ASSERT_TRUE(WriteHandedOverPort(kVekMonitorKeyName, name.c_str(), record, &error)) << error;
    ASSERT_TRUE(AddPortA(nullptr, nullptr, kVekMonitorKeyName)) << GetLastError();
    RemoveHandedOverPort(kVekMonitorKeyName, name.c_str());
  }
  SheetRun run(kPrinterPageIndex);
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141)) << ::testing::PrintToString(Messages());
  EXPECT_STREQ(WizardSettings::m_PortName, ("VEK" + Mac(1) + "-3").c_str());

  // Back to the printer page with the same server: no locate, no new port.
  run.driver.Back();
  const std::size_t searches = m_emulator.Log().Count();
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141));
  EXPECT_EQ(m_emulator.Log().Count(), searches);

  // Another server, of the model whose ports are named VEKG, on Windows NT 4,
  // whose spooler reads its ports only when it starts again.
  run.driver.Back();
  Choose(1);
  WizardSettings::m_ModelCode = kModelCodeG;
  vek::SetOsVersion({VER_PLATFORM_WIN32_NT, 4, 0, 1381});
  const DWORD startsBefore = SpoolerStarts();
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141, 30000)) << ::testing::PrintToString(Messages());
  const std::string port = "VEKG" + Mac(2) + "-1";
  EXPECT_STREQ(WizardSettings::m_PortName, port.c_str());
  EXPECT_TRUE(HasPort(port));
  EXPECT_EQ(SpoolerStarts(), startsBefore + 1);
  EXPECT_EQ(run.driver.Items(IDC_SUMMARY_LIST)[2], "IP Address :|" + Dotted(1));
  EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
}

TEST_F(PrinterPages, TroubleWithTheSpoolerOrTheServerKeepsThePage) {
  Start({Device(1)});
  Choose(0);
  {
    // No printer installed: only Add New Printer helps; Next asks for a printer.
    SheetRun run(kPrinterPageIndex);
    EXPECT_EQ(Messages(), (std::vector<std::string>{Text(IDS_ERR_NO_PRINTER_DRIVER)}));
    EXPECT_FALSE(run.driver.Enabled(IDC_PRINTER_LIST));
    EXPECT_TRUE(run.driver.Enabled(IDC_ADD_NEW_PRINTER));
    run.driver.Next();
    EXPECT_EQ(run.Page(), 139u);
    EXPECT_EQ(Messages().back(), Text(IDS_ERR_SELECT_PRINTER));
    EXPECT_EQ(vek::framework::MessageBoxLog().back().caption, "Error");
    EXPECT_EQ(vek::framework::MessageBoxLog().back().type, static_cast<UINT>(MB_ICONSTOP));
  }
  AddPrinter("Alpha");
  {
    // A server that does not answer the ping: no port.
    vek::framework::ClearMessageBoxLog();
    vek::net::InstallIcmpTransportFactory([](DWORD*) { return std::make_unique<SilentIcmp>(); });
    SheetRun run(kPrinterPageIndex);
    run.driver.Next();
    ASSERT_TRUE(HeadlessDriver::WaitFor([] { return !vek::framework::MessageBoxLog().empty(); }, 20000));
    EXPECT_EQ(Messages(), (std::vector<std::string>{Text(IDS_ERR_PING)}));
    EXPECT_EQ(run.Page(), 139u);
    EXPECT_EQ(WizardSettings::m_PortCreated, 0);
    vek::net::InstallIcmpTransportFactory(nullptr);

    // A server that is not found again.
    vek::framework::ClearMessageBoxLog();
    WizardSettings::m_ServerNodeID[5] ^= 0x55;
    run.driver.Next();
    ASSERT_TRUE(HeadlessDriver::WaitFor([] { return !vek::framework::MessageBoxLog().empty(); }, 20000));
    EXPECT_EQ(Messages(), (std::vector<std::string>{Text(IDS_ERR_NO_SERVER)}));
    WizardSettings::m_ServerNodeID[5] ^= 0x55;

    // A monitor that is not there: AddPort fails, and so does the page, with
    // the spooler's error and nothing of the hand-over left behind.
    vek::framework::ClearMessageBoxLog();
    g_MonitorKeyName = "Local Port";
    run.driver.Next();
    ASSERT_TRUE(HeadlessDriver::WaitFor([] { return !vek::framework::MessageBoxLog().empty(); }, 20000));
    ASSERT_EQ(Messages().size(), 1u);
    // The spooler's error in words, with its code after them.
    const std::string said = Messages()[0];
    const std::size_t code = said.find("(error ");
    ASSERT_NE(code, std::string::npos) << said;
    const DWORD error = static_cast<DWORD>(std::stoul(said.substr(code + 7)));
    EXPECT_NE(said.find("could not be created: " + vek::ErrorText(error) + ". "), std::string::npos) << said;
    EXPECT_TRUE(vek::HasErrorWords(error)) << said;
    EXPECT_EQ(run.Page(), 139u);
    EXPECT_EQ(WizardSettings::m_PortCreated, 0);
    EXPECT_EQ(WizardSettings::m_PortName[0], '\0');
    EXPECT_EQ(PortNames(), (std::vector<std::string>{"LPT1:"}));
    EXPECT_FALSE(KeyExists(std::string(kPrintPortsKey) + "\\VEK" + Mac(1) + "-1"));
    EXPECT_FALSE(KeyExists(std::string(kMonitorsKey) + "\\Local Port\\TempPort"));
  }
  {
    // The spooler stopped: its message, nothing to choose, only Finish.
    vek::framework::ClearMessageBoxLog();
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = OpenServiceA(manager, "Spooler", SERVICE_ALL_ACCESS);
    SERVICE_STATUS status{};
    ASSERT_TRUE(ControlService(service, SERVICE_CONTROL_STOP, &status));
    SheetRun run(kPrinterPageIndex);
    EXPECT_EQ(Messages(), (std::vector<std::string>{Text(IDS_ERR_SPOOLER)}));
    EXPECT_FALSE(run.driver.Enabled(IDC_PRINTER_LIST));
    EXPECT_FALSE(run.driver.Enabled(IDC_ADD_NEW_PRINTER));
    EXPECT_TRUE(HeadlessDriver::WaitFor(
        [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_FINISH); }));
    StartServiceA(service, 0, nullptr);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
  }
}

// On a registry database found damaged the page names the problem and stays,
// with nothing on it to use: no printer is "missing" and no driver. One made
// read-only still lists its printers.
TEST_F(PrinterPages, ADamagedRegistryIsNamedAndThePageStays) {
  for (Damage damage : kEveryDamage) {
    SCOPED_TRACE(DamageName(damage));
    TempDir machine;
    SetMachineRoot(machine.path());
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({DRIVER_PATH}, &error)) << error;
    AddPrinter("Alpha");
    spooler::Shutdown();
    // The process lets go of the database: the store is opened in another root.
    SetMachineRoot(m_root.path());
    ASSERT_TRUE(KeyExists(kMonitorsKey));
    DamageRegistry(machine.path(), damage);
    SetMachineRoot(machine.path());
    vek::framework::ClearMessageBoxLog();
    {
      SheetRun run(kPrinterPageIndex);
      ASSERT_EQ(run.Page(), 139u);
      if (damage == Damage::ReadOnly) {
        EXPECT_EQ(run.driver.Items(IDC_PRINTER_LIST), (std::vector<std::string>{"Alpha|LPT1:"}));
        EXPECT_TRUE(Messages().empty()) << ::testing::PrintToString(Messages());
      } else {
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].find("The printers of this computer cannot be read: " + machine.path() + "/registry.db"),
                  0u)
            << Messages()[0];
        EXPECT_FALSE(run.driver.Enabled(IDC_PRINTER_LIST));
        EXPECT_FALSE(run.driver.Enabled(IDC_ADD_NEW_PRINTER));
        EXPECT_EQ(run.sheet().GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));
        run.driver.Next();
        EXPECT_EQ(run.Page(), 139u);
      }
    }
    spooler::Shutdown();
    SetMachineRoot(m_root.path());
  }
}

TEST_F(PrinterPages, TheSummaryGoesOnOnlyWithAPrinterBoundToThePort) {
  // Windows 9x: the default printer is an attribute; the check box is greyed for
  // the printer that already is the default one. (The monitor is loaded afresh,
  // to speak to a 9x spooler.)
  vek::SetOsVersion({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1998});
  spooler::Shutdown();
  Start({Device(1)});
  AddPrinter("Alpha");
  AddPrinter("Beta");
  Choose(0);
  WriteProfileStringA("windows", "device", "Alpha,Generic Text,LPT1:");
  SheetRun run(kPrinterPageIndex);
  run.driver.Next();
  ASSERT_TRUE(WaitForPage(run, 141)) << ::testing::PrintToString(Messages());
  EXPECT_EQ(run.driver.Check(IDC_SET_DEFAULT_PRINTER), 1);
  EXPECT_FALSE(run.driver.Enabled(IDC_SET_DEFAULT_PRINTER));

  // A port that went away meanwhile: the printer cannot be bound to it, and
  // the page says so instead of reporting success.
  const std::string port = WizardSettings::m_PortName;
  ASSERT_TRUE(DeletePortA(nullptr, nullptr, port.c_str())) << GetLastError();
  run.driver.Next();
  ASSERT_TRUE(HeadlessDriver::WaitFor([] { return !vek::framework::MessageBoxLog().empty(); }));
  EXPECT_EQ(Messages(), (std::vector<std::string>{Text(IDS_SET_PORT_MANUALLY)}));
  EXPECT_EQ(run.Page(), 141u);
  EXPECT_EQ(run.driver.Items(IDC_SUMMARY_LIST), (std::vector<std::string>{"Failure!|" + Text(IDS_SET_PORT_MANUALLY)}));
  EXPECT_FALSE(run.driver.Enabled(IDC_SET_DEFAULT_PRINTER));
  EXPECT_TRUE(HeadlessDriver::WaitFor(
      [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_FINISH); }));
  EXPECT_EQ(PrinterPort("Alpha"), std::make_pair(std::string("LPT1:"), true));

  run.driver.Finish();
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.done(); }));

  // A printer that went away after it was chosen: nothing to sum up.
  SheetRun again(kPrinterPageIndex);
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Print\\Printers\\Alpha"));
  vek::framework::ClearMessageBoxLog();
  again.driver.Next();
  ASSERT_TRUE(WaitForPage(again, 141)) << ::testing::PrintToString(Messages());
  EXPECT_EQ(again.driver.Items(IDC_SUMMARY_LIST), (std::vector<std::string>{"Failure!|" + Text(IDS_SET_PORT_MANUALLY)}));
  EXPECT_TRUE(HeadlessDriver::WaitFor(
      [&] { return again.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_FINISH); }));
}

// The locate of Next runs on for a while after the server answered. Back to the
// server list at once (after a save, so the list searches again): the new search
// waits for that thread's end and then runs its own whole course, instead of
// being ended by the locate's end while its thread still fills the list.
TEST_F(PrinterPages, ASearchBeginsOnlyAfterTheLocateStillRunningHasEnded) {
  Start({Device(1), Device(2)});
  AddPrinter("Alpha");
  Choose(0);
  // No ping can be sent: the page stays at once.
  vek::net::InstallIcmpTransportFactory([](DWORD* error) {
    *error = WSAEACCES;
    return std::unique_ptr<vek::net::IcmpTransport>();
  });
  SheetRun run(kPrinterPageIndex);
  const HWND sheet = run.sheet().m_hWnd;
  run.driver.Next();  // found again at once
  ASSERT_TRUE(HeadlessDriver::WaitFor([] { return Messages().size() == 2; }, 20000)) << ::testing::PrintToString(Messages());
  EXPECT_EQ(Messages().back(), Text(IDS_ERR_PING));
  ASSERT_EQ(run.Page(), 139u);
  ASSERT_EQ(CUDPDiscoveryThread::LiveCount(), 1) << "the locate thread runs on";

  WizardSettings::m_SelectedRow = -1;
  run.driver.Back();
  ASSERT_EQ(run.Page(), 131u);
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() != sheet; }, 5000))
      << "the search dialog did not open";
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() == sheet; }, 40000));
  EXPECT_EQ(CUDPDiscoveryThread::LiveCount(), 0) << "the search dialog closed while its search still ran";
  run.driver.Settle();
  EXPECT_EQ(run.driver.Items(IDC_SERVER_LIST).size(), 2u);
}

// Add New Printer starts the platform's Add Printer program (here answering by
// itself) while the guide stands beside it; the guide closes when the program
// ends and the list shows the printer it added. Without the program the guide
// stays until Esc, and the wizard's buttons come back after it.
TEST_F(PrinterPages, AddNewPrinterRunsTheAddPrinterProgramBesideTheGuide) {
  Start({Device(1)});
  Choose(0);
  {
    SheetRun run(kPrinterPageIndex);
    const HWND sheet = run.sheet().m_hWnd;
    run.driver.Click(IDC_ADD_NEW_PRINTER);
    ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() != sheet; }));
    EXPECT_EQ(run.driver.ActiveCaption(), "Adding A New Printer Help");
    EXPECT_EQ(run.driver.Text(IDC_HELP_ADD_PRINTER3), Text(IDS_HELP_ADD_PRINTER3));
    EXPECT_EQ(run.sheet().GetWizardButtons(), 0u);  // the sheet takes nothing meanwhile
    EXPECT_FALSE(::IsWindowEnabled(sheet));
    run.driver.Key(VK_ESCAPE);
    ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.driver.ActiveWindow() == sheet; }));
    EXPECT_TRUE(HeadlessDriver::WaitFor(
        [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT); }));
    EXPECT_TRUE(run.driver.Enabled(IDC_ADD_NEW_PRINTER));
  }
  ASSERT_EQ(ERROR_SUCCESS, spooler::PlaceAddPrinterProgram(ADD_PRINTER_PATH));
  setenv("VEK_ADD_PRINTER", "Road Printer", 1);
  {
    vek::framework::ClearMessageBoxLog();
    SheetRun run(kPrinterPageIndex);
    const HWND sheet = run.sheet().m_hWnd;
    run.driver.Click(IDC_ADD_NEW_PRINTER);
    // The guide goes by itself once the program has ended.
    const std::vector<std::string> added{"Road Printer|LPT1:"};
    ASSERT_TRUE(HeadlessDriver::WaitFor(
        [&] {
          try {
            return run.driver.ActiveWindow() == sheet && run.driver.Items(IDC_PRINTER_LIST) == added;
          } catch (const std::runtime_error&) {
            return false;  // the guide was on top
          }
        },
        20000));
    EXPECT_EQ(WizardSettings::m_AddPrinterRunning, 1);
    EXPECT_TRUE(run.driver.Enabled(IDC_PRINTER_LIST));
    EXPECT_TRUE(HeadlessDriver::WaitFor(
        [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT); }));
    run.driver.Next();
    ASSERT_TRUE(WaitForPage(run, 141)) << ::testing::PrintToString(Messages());
    EXPECT_EQ(WizardSettings::m_PrinterName, "Road Printer");
  }
  unsetenv("VEK_ADD_PRINTER");
}

TEST(PortNames, FromTheMacWithTheFirstFreeNumberInAnyCase) {
  const BYTE node[6] = {0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0C};
  char name[20];
  ASSERT_TRUE(MakePortName(node, 0, {}, name, sizeof name));
  EXPECT_STREQ(name, "VEK12AB0C-1");
  ASSERT_TRUE(MakePortName(node, 0, {"LPT1:", "VEK12AB0C-1", "vek12ab0c-2"}, name, sizeof name));
  EXPECT_STREQ(name, "VEK12AB0C-3");
  ASSERT_TRUE(MakePortName(node, kModelCodeG, {"VEK12AB0C-1"}, name, sizeof name));
  EXPECT_STREQ(name, "VEKG12AB0C-1");
  EXPECT_FALSE(MakePortName(node, 0, {}, name, 11));  // no room for the number
  EXPECT_STREQ(name, "");
}

TEST(MonitorKey, OnlyTheExactNameWithAOneByteVersionTwo) {
  TempRoot root;
  std::string error;
  ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({}, &error)) << error;
  HKEY monitors = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorsKey, 0, KEY_ALL_ACCESS, &monitors));
  // A key with a name longer than the search reads comes first and is passed over.
  HKEY key = nullptr;
  RegCreateKeyExA(monitors, std::string(60, 'A').c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  CStringA name;
  EXPECT_TRUE(FindMonitorKeyName(&name));
  EXPECT_EQ(name, kVekMonitorKeyName);

  struct Case {
    DWORD type;
    std::vector<BYTE> data;
    bool accepted;
  };
  const Case cases[] = {
      {REG_BINARY, {2}, true},
      {REG_DWORD, {2, 0, 0, 0}, false},  // a double word is not the monitor's value
      {REG_BINARY, {}, false},           // an empty one has no byte to compare
      {REG_BINARY, {3}, false},
      {REG_BINARY, {2, 0}, false},
  };
  HKEY monitor = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(monitors, kVekMonitorKeyName, 0, KEY_ALL_ACCESS, &monitor));
  for (const Case& c : cases) {
    RegSetValueExA(monitor, "Version", 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    EXPECT_EQ(FindMonitorKeyName(&name), c.accepted ? TRUE : FALSE) << c.data.size() << " bytes of type " << c.type;
  }
  RegCloseKey(monitor);
  // A key whose name differs only in case is another monitor's.
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(monitors, kVekMonitorKeyName));
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(monitors, "TARVEX VEK Network printer port", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &monitor, nullptr));
  const BYTE two = 2;
  RegSetValueExA(monitor, "Version", 0, REG_BINARY, &two, 1);
  RegCloseKey(monitor);
  EXPECT_FALSE(FindMonitorKeyName(&name));
  RegCloseKey(monitors);
}

}  // namespace
}  // namespace vek::test
