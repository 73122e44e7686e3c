// Port calls reach the monitor that has the port; printers bind to known ports only.
#include "kernel/version.h"
#include "spooler/ports.h"
#include "spooler/profile.h"
#include "spooler_test_support.h"

namespace vek::test {
namespace {

class Routing : public SpoolerTest {
 protected:
  std::vector<std::string> PortNames() {
    DWORD needed = 0, returned = 0;
    EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed + 1);
    EXPECT_TRUE(EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &returned)) << GetLastError();
    std::vector<std::string> names;
    auto* info = reinterpret_cast<PORT_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) names.push_back(Text(info[i].pName));
    return names;
  }

  // The hand-over the setup wizard makes: a TempPort record, then AddPort.
  void WriteTempPort(const std::string& name) {
    spooler::store::Key key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, kMonitorKey + "\\TempPort\\" + name));
    BYTE address[4] = {192, 168, 0, 10};
    spooler::store::WriteBinary(key.get(), "IPAddress", address, sizeof address);
  }
};

TEST_F(Routing, EnumPortsListsEveryMonitorsPorts) {
  SeedPort("VEK000001-1");
  SeedPort("VEK000001-2");
  EXPECT_EQ((std::vector<std::string>{"LPT1:", "VEK000001-1", "VEK000001-2"}), PortNames());
  EXPECT_EQ(1, fake->inits);
  // The monitor got its own registry path.
  EXPECT_EQ(kMonitorKey, fake->registryPath);
}

TEST_F(Routing, AddPortGoesToTheNamedMonitor) {
  WriteTempPort("VEK12AB0C-1");
  EXPECT_TRUE(AddPortA(nullptr, nullptr, spooler::kVekMonitorName)) << GetLastError();
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  std::vector<std::string> calls = Calls();
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(),
                                   std::string("AddPort(") + spooler::kVekMonitorName + ")"));
  EXPECT_EQ((std::vector<std::string>{"LPT1:", "VEK12AB0C-1"}), PortNames());

  EXPECT_FALSE(AddPortA(nullptr, nullptr, "No Such Monitor"));
  EXPECT_EQ(ERROR_UNKNOWN_PRINT_MONITOR, GetLastError());
  EXPECT_FALSE(AddPortA(nullptr, nullptr, "Local Port"));  // the built-in monitor adds no ports
  EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
  EXPECT_FALSE(AddPortA(nullptr, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(Routing, AddPortRefusedByTheMonitorFails) {
  // No TempPort: the fake monitor declines, as a cancelled dialog does.
  EXPECT_FALSE(AddPortW(nullptr, nullptr, u"tarvex vek network printer port"));
  EXPECT_EQ((std::vector<std::string>{"LPT1:"}), PortNames());
}

TEST_F(Routing, ConfigureAndDeleteGoToTheMonitorThatHasThePort) {
  SeedPort("VEK1");
  SeedPort("VEK2");
  EXPECT_TRUE(ConfigurePortW(nullptr, nullptr, u"vek1")) << GetLastError();
  std::vector<std::string> calls = Calls();
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "ConfigurePort(VEK1)"));  // its own spelling

  EXPECT_FALSE(ConfigurePortA(nullptr, nullptr, "LPT1:"));
  EXPECT_EQ(ERROR_NOT_SUPPORTED, GetLastError());
  EXPECT_FALSE(ConfigurePortA(nullptr, nullptr, "COM9:"));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());

  // A status recorded for the port goes with it.
  PORT_INFO_3A status{PORT_STATUS_OFFLINE, nullptr, PORT_STATUS_TYPE_ERROR};
  ASSERT_TRUE(SetPortA(nullptr, "VEK2", 3, reinterpret_cast<LPBYTE>(&status)));
  EXPECT_EQ(PORT_STATUS_OFFLINE, spooler::ReadPortStatus("VEK2").status);
  EXPECT_TRUE(DeletePortA(nullptr, nullptr, "VEK2")) << GetLastError();
  EXPECT_EQ((std::vector<std::string>{"LPT1:", "VEK1"}), PortNames());
  EXPECT_EQ(0u, spooler::ReadPortStatus("VEK2").status);
  EXPECT_FALSE(DeletePortA(nullptr, nullptr, "VEK2"));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());
}

TEST_F(Routing, SetPortRecordsTheStatusOfKnownPortsOnly) {
  SeedPort("VEK1");
  PortNames();
  PORT_INFO_3W paperOut{PORT_STATUS_PAPER_OUT, nullptr, PORT_STATUS_TYPE_ERROR};
  EXPECT_TRUE(SetPortW(nullptr, u"VEK1", 3, reinterpret_cast<LPBYTE>(&paperOut)));
  spooler::PortStatus status = spooler::ReadPortStatus("VEK1");
  EXPECT_EQ(PORT_STATUS_PAPER_OUT, status.status);
  EXPECT_EQ(PORT_STATUS_TYPE_ERROR, status.severity);

  AddPrinter("P", "VEK1");
  HANDLE printer = Open("P");
  std::vector<BYTE> block(3500);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  EXPECT_EQ(PRINTER_STATUS_PAPER_OUT | PRINTER_STATUS_ERROR, reinterpret_cast<PRINTER_INFO_2W*>(block.data())->Status);

  PORT_INFO_3W text{0, const_cast<char16_t*>(u"Warming up"), PORT_STATUS_TYPE_WARNING};
  EXPECT_TRUE(SetPortW(nullptr, u"VEK1", 3, reinterpret_cast<LPBYTE>(&text)));
  EXPECT_EQ("Warming up", spooler::ReadPortStatus("VEK1").text);
  PORT_INFO_3W clear{0, nullptr, PORT_STATUS_TYPE_INFO};
  EXPECT_TRUE(SetPortW(nullptr, u"VEK1", 3, reinterpret_cast<LPBYTE>(&clear)));
  status = spooler::ReadPortStatus("VEK1");
  EXPECT_EQ(0u, status.status);
  EXPECT_EQ("", status.text);
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  EXPECT_EQ(0u, reinterpret_cast<PRINTER_INFO_2W*>(block.data())->Status);
  ClosePrinter(printer);

  EXPECT_FALSE(SetPortW(nullptr, u"NOPE", 3, reinterpret_cast<LPBYTE>(&clear)));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());
  EXPECT_FALSE(SetPortW(nullptr, u"VEK1", 2, reinterpret_cast<LPBYTE>(&clear)));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
}

TEST_F(Routing, AMalformedAnswerOfAMonitorIsRefused) {
  SeedPort("VEK1");
  fake->malformedEnum = true;
  EXPECT_EQ((std::vector<std::string>{"LPT1:"}), PortNames());
  fake->malformedEnum = false;
  EXPECT_EQ((std::vector<std::string>{"LPT1:", "VEK1"}), PortNames());
}

TEST_F(Routing, Windows9xMonitorsWriteOneBytePerCharacter) {
  vek::SetOsVersion({VER_PLATFORM_WIN32_WINDOWS, 4, 10, 1998});
  SeedPort("VEK9X-1");
  std::vector<std::string> names = PortNames();
  vek::ResetOsVersionAndLanguage();
  EXPECT_EQ((std::vector<std::string>{"LPT1:", "VEK9X-1"}), names);
}

TEST_F(Routing, PrintersBindOnlyToKnownPorts) {
  SeedPort("VEK1");
  std::u16string name = u"Desk", port = u"NOPE:";
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());
  std::u16string bad = u"a,b";
  info.pPrinterName = bad.data();
  EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(ERROR_INVALID_PRINTER_NAME, GetLastError());

  AddPrinter("Desk", "LPT1:");
  info.pPrinterName = name.data();
  port = u"LPT1:";
  info.pPortName = port.data();
  EXPECT_EQ(nullptr, AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(ERROR_PRINTER_ALREADY_EXISTS, GetLastError());

  // The summary page's binding: read the record, change its port, write it back.
  HANDLE printer = Open("Desk");
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed);
  ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), needed, &needed));
  auto* record = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
  char unknown[] = "VEK9";
  record->pPortName = unknown;
  EXPECT_FALSE(SetPrinterA(printer, 2, block.data(), 0));
  EXPECT_EQ(ERROR_UNKNOWN_PORT, GetLastError());
  char known[] = "VEK1";
  record->pPortName = known;
  EXPECT_TRUE(SetPrinterA(printer, 2, block.data(), 0)) << GetLastError();
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  block.assign(needed, 0);
  ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), needed, &needed));
  record = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
  EXPECT_EQ("VEK1", Text(record->pPortName));
  EXPECT_FALSE(SetPrinterA(printer, 2, block.data(), PRINTER_CONTROL_PAUSE));
  EXPECT_EQ(ERROR_INVALID_PRINTER_COMMAND, GetLastError());
  ClosePrinter(printer);
}

TEST_F(Routing, TheBidirectionalSweepClearsTheAttribute) {
  AddPrinter("Bidi", "LPT1:");
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  ASSERT_TRUE(OpenPrinterW(u"Bidi", &printer, &all));
  std::vector<BYTE> block(3500, 0);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(block.data());
  info->Attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
  ASSERT_TRUE(SetPrinterW(printer, 2, block.data(), 0));
  // The registry record as the monitor's sweep reads it.
  spooler::store::Key key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, std::string(spooler::store::kPrinters) + "\\Bidi"));
  EXPECT_EQ(PRINTER_ATTRIBUTE_ENABLE_BIDI, spooler::store::DwordOr(key.get(), "Attributes", 0));
  EXPECT_EQ("LPT1:", spooler::store::StringOr(key.get(), "Port", ""));
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  info->Attributes &= ~PRINTER_ATTRIBUTE_ENABLE_BIDI;
  ASSERT_TRUE(SetPrinterW(printer, 2, block.data(), 0));
  EXPECT_EQ(0u, spooler::store::DwordOr(key.get(), "Attributes", 99));
  ClosePrinter(printer);
}

TEST_F(Routing, TheDefaultPrinterIsTheProfilesDevice) {
  AddPrinter("A", "LPT1:");
  AddPrinter("B", "LPT1:");
  char device[250];
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  EXPECT_STREQ("A,Generic / Text Only,LPT1:", device);

  // Windows 9x marks the default printer with the attribute.
  HANDLE printer = Open("B");
  std::vector<BYTE> block(3500, 0);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), 3500, &needed));
  auto* info = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
  EXPECT_FALSE(info->Attributes & PRINTER_ATTRIBUTE_DEFAULT);
  info->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
  ASSERT_TRUE(SetPrinterA(printer, 2, block.data(), 0));
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  EXPECT_STREQ("B,Generic / Text Only,LPT1:", device);

  // Windows NT writes the profile string itself.
  ASSERT_TRUE(WriteProfileStringA("windows", "device", "A,Generic / Text Only,LPT1:"));
  ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), 3500, &needed));
  EXPECT_FALSE(info->Attributes & PRINTER_ATTRIBUTE_DEFAULT);
  ClosePrinter(printer);

  DWORD returned = 0;
  EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> list(needed);
  ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 1, list.data(), needed, &needed, &returned));
  ASSERT_EQ(1u, returned);
  EXPECT_EQ("A", Text(reinterpret_cast<PRINTER_INFO_1A*>(list.data())->pName));
}

}  // namespace
}  // namespace vek::test
