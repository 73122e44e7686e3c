// The spooler's entry points: the operation tables, the workers' answers for
// unknown ports and bad arguments, deleting ports, and the wizard's hand-over.
#include <future>

#include "framework/message_box.h"
#include "ui/headless_driver.h"
#include "monitor_test_support.h"
#include "port_workers.h"
#include "registry_helpers.h"

namespace vek::test {
namespace {

class EntryPoints : public MonitorTest {};

TEST_F(EntryPoints, TheMonitorTableHasEveryOperationInItsSlot) {
  std::u16string path = kMonitorPath;
  LPMONITOREX table = InitializePrintMonitor(path.data());
  ASSERT_NE(nullptr, table);
  EXPECT_EQ(sizeof(MONITOR), table->dwMonitorSize);
  const MONITOR& ops = table->Monitor;
  EXPECT_EQ(&XYZEnumPorts, ops.pfnEnumPorts);
  EXPECT_EQ(&XYZOpenPort, ops.pfnOpenPort);
  EXPECT_EQ(nullptr, ops.pfnOpenPortEx);
  EXPECT_EQ(&XYZStartDocPort, ops.pfnStartDocPort);
  EXPECT_EQ(&XYZWritePort, ops.pfnWritePort);
  EXPECT_EQ(&XYZReadPort, ops.pfnReadPort);
  EXPECT_EQ(&XYZEndDocPort, ops.pfnEndDocPort);
  EXPECT_EQ(&XYZClosePort, ops.pfnClosePort);
  EXPECT_EQ(&XYZAddPort, ops.pfnAddPort);
  EXPECT_EQ(nullptr, ops.pfnAddPortEx);
  EXPECT_EQ(&XYZConfigurePort, ops.pfnConfigurePort);
  EXPECT_EQ(&XYZDeletePort, ops.pfnDeletePort);
  EXPECT_EQ(&XYZGetPrinterDataFromPort, ops.pfnGetPrinterDataFromPort);
  EXPECT_EQ(&XYZSetPortTimeOuts, ops.pfnSetPortTimeOuts);
}

TEST_F(EntryPoints, TheOlderTableHasNoAddPortExSlot) {
  MONITOR_WITHOUT_ADDPORTEX table{};
  std::u16string path = kMonitorPath;
  ASSERT_TRUE(InitializeMonitorEx(path.data(), &table));
  EXPECT_EQ(nullptr, table.pfnOpenPortEx);
  EXPECT_EQ(&XYZAddPort, table.pfnAddPort);
  EXPECT_EQ(&XYZConfigurePort, table.pfnConfigurePort);
  // The table is filled even when the start then fails.
  MONITOR_WITHOUT_ADDPORTEX other{};
  std::u16string empty;
  EXPECT_FALSE(InitializeMonitorEx(empty.data(), &other));
  EXPECT_EQ(&XYZSetPortTimeOuts, other.pfnSetPortTimeOuts);
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(EntryPoints, OpeningAPortGivesItsNumberAndASecondOpenFails) {
  CPrintPort* port = AddPort(u"VEK1");
  HANDLE handle = nullptr;
  ASSERT_TRUE(XYZOpenPort(const_cast<LPWSTR>(u"VEK1"), &handle));
  EXPECT_EQ(PortHandleOf(port->m_Handle), handle);
  HANDLE again = PortHandleOf(99);
  EXPECT_FALSE(XYZOpenPort(const_cast<LPWSTR>(u"VEK1"), &again));
  EXPECT_EQ(nullptr, again);
  SetLastError(0);
  EXPECT_FALSE(XYZOpenPort(const_cast<LPWSTR>(u"vek1"), &again));  // names are exact
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_TRUE(XYZClosePort(handle));
  EXPECT_TRUE(XYZClosePort(handle));  // closing a closed port succeeds
  EXPECT_FALSE(XYZClosePort(PortHandleOf(12345)));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(EntryPoints, UnknownHandlesAreInvalidParameters) {
  HANDLE unknown = PortHandleOf(4242);
  DWORD written = 7;
  BYTE data[4] = {};
  EXPECT_FALSE(XYZStartDocPort(unknown, const_cast<LPWSTR>(u"P"), 1, 1, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(XYZWritePort(unknown, data, 4, &written));
  EXPECT_EQ(0u, written);
  EXPECT_FALSE(XYZWritePort(unknown, nullptr, 4, &written));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(XYZEndDocPort(unknown));
  EXPECT_FALSE(XYZEndDocPort(nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  COMMTIMEOUTS timeouts{};
  EXPECT_FALSE(XYZSetPortTimeOuts(unknown, &timeouts, 0));
}

TEST_F(EntryPoints, ReadPortNeverReturnsData) {
  CPrintPort* port = AddPort(u"VEK1");
  DWORD read = 9;
  BYTE buffer[8];
  EXPECT_FALSE(XYZReadPort(PortHandleOf(port->m_Handle), buffer, 8, &read));
  EXPECT_EQ(0u, read);
  EXPECT_FALSE(XYZReadPort(nullptr, buffer, 8, &read));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(EntryPoints, TimeOutsAreKeptAndANullOneIsRefused) {
  CPrintPort* port = AddPort(u"VEK1");
  COMMTIMEOUTS timeouts{1, 2, 3, 4, 5};
  EXPECT_TRUE(XYZSetPortTimeOuts(PortHandleOf(port->m_Handle), &timeouts, 0));
  EXPECT_EQ(5u, port->m_TimeOuts.WriteTotalTimeoutConstant);
  EXPECT_FALSE(XYZSetPortTimeOuts(PortHandleOf(port->m_Handle), nullptr, 0));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  DWORD returned = 5;
  WCHAR out[8];
  EXPECT_FALSE(XYZGetPrinterDataFromPort(PortHandleOf(port->m_Handle), 1, nullptr, nullptr, 0, out, 8, &returned));
  EXPECT_EQ(0u, returned);
}

TEST_F(EntryPoints, ConfiguringAPortInUseSaysSoAndSucceeds) {
  CPrintPort* port = AddPort(u"VEK1");
  ASSERT_TRUE(port->OpenPrintPort());
  ResetEvent(port->m_hEndEvent);  // a job runs
  framework::ClearMessageBoxLog();
  EXPECT_TRUE(XYZConfigurePort(nullptr, nullptr, const_cast<LPWSTR>(u"VEK1")));
  std::vector<framework::MessageBoxRecord> boxes = framework::MessageBoxLog();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Port is in used now.", boxes[0].text);
  EXPECT_EQ("TARVEX VEK Network Printer Port", boxes[0].caption);
  EXPECT_FALSE(XYZConfigurePort(nullptr, nullptr, const_cast<LPWSTR>(u"nope")));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  port->ClosePrintPort();
}

TEST_F(EntryPoints, DeletingAPortRemovesItsRecord) {
  RecordWriter("Ports\\VEK1").Required();
  VekShutdownMonitor();
  StartMonitor();
  ASSERT_NE(nullptr, FindPortByName(u"VEK1"));
  EXPECT_TRUE(XYZDeletePort(nullptr, nullptr, const_cast<LPWSTR>(u"VEK1")));
  EXPECT_EQ(nullptr, FindPortByName(u"VEK1"));
  HKEY key = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorKeyNarrow + "\\Ports\\VEK1").c_str(), 0,
                                         KEY_READ, &key));
  EXPECT_FALSE(XYZDeletePort(nullptr, nullptr, const_cast<LPWSTR>(u"VEK1")));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(EntryPoints, AnOpenPortCannotBeDeleted) {
  RecordWriter("Ports\\VEK1").Required();
  VekShutdownMonitor();
  StartMonitor();
  HANDLE handle = nullptr;
  ASSERT_TRUE(XYZOpenPort(const_cast<LPWSTR>(u"VEK1"), &handle));
  EXPECT_FALSE(XYZDeletePort(nullptr, nullptr, const_cast<LPWSTR>(u"VEK1")));
  EXPECT_EQ(ERROR_BUSY, GetLastError());
  EXPECT_NE(nullptr, FindPortByName(u"VEK1"));
  XYZClosePort(handle);
  EXPECT_TRUE(XYZDeletePort(nullptr, nullptr, const_cast<LPWSTR>(u"VEK1")));
}

TEST_F(EntryPoints, HandedOverRecordBecomesExactlyThatPort) {
  RecordWriter("TempPort\\VEK12AB0C-1")
      .Binary("Network", {0, 0, 0, 0})
      .Binary("Node", {0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0C})
      .Binary("IPAddress", {192, 168, 0, 10})
      .Dword("RetryTimeout", 90)
      .Dword("PortID", 2)
      .Dword("PacketType", 2)
      .Binary("PSName", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
      .Dword("Model", 1);
  ASSERT_TRUE(XYZAddPort(nullptr, nullptr, const_cast<LPWSTR>(u"TARVEX VEK Network Printer Port")));
  CPrintPort* port = FindPortByName(u"VEK12AB0C-1");
  ASSERT_NE(nullptr, port);
  EXPECT_EQ(PACKET_TYPE_UDP, port->m_PacketType);
  EXPECT_EQ(1, port->m_Model);
  EXPECT_EQ(2, port->m_PortID);
  EXPECT_EQ(90, port->m_RetryTimeout);
  const BYTE ip[4] = {192, 168, 0, 10}, node[6] = {0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0C};
  EXPECT_EQ(0, std::memcmp(ip, port->m_IPAddress, 4));
  EXPECT_EQ(0, std::memcmp(node, port->m_NodeID, 6));
  // Saved under Ports: the next start has it.
  VekShutdownMonitor();
  HKEY monitor = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKeyNarrow.c_str(), 0, KEY_ALL_ACCESS, &monitor));
  RegDeleteKeyA(monitor, "TempPort\\VEK12AB0C-1");
  RegCloseKey(monitor);
  StartMonitor();
  port = FindPortByName(u"VEK12AB0C-1");
  ASSERT_NE(nullptr, port);
  EXPECT_EQ(2, port->m_PortID);
  WCHAR description[64];
  port->GetDescription(description, 64);
  EXPECT_EQ(u"192.168.0.10,PID:2", std::u16string(description));
}

// A handed-over name a port of this or another monitor has, or one that breaks
// the rule for port names (blank ends, blanks alone), is refused and nothing is saved.
TEST_F(EntryPoints, AHandedOverNameThatExistsOrBreaksTheRuleIsRefused) {
  AddPort(u"VEK1");
  const std::pair<std::string, DWORD> cases[] = {
      {"VEK1", ERROR_ALREADY_EXISTS},  {"LPT1:", ERROR_ALREADY_EXISTS}, {"lpt1:", ERROR_ALREADY_EXISTS},
      {" VEK2", ERROR_INVALID_NAME},   {"VEK2 ", ERROR_INVALID_NAME},   {" ", ERROR_INVALID_NAME},
  };
  for (const auto& [name, error] : cases) {
    SCOPED_TRACE("'" + name + "'");
    RecordWriter("TempPort\\" + name).Required().Dword("PacketType", 2);
    EXPECT_FALSE(XYZAddPort(nullptr, nullptr, nullptr));
    EXPECT_EQ(error, GetLastError());
    EXPECT_EQ(1, g_PortList.GetCount());
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorKeyNarrow + "\\Ports\\" + name).c_str(), 0,
                                           KEY_READ, &key));
    HKEY monitor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKeyNarrow.c_str(), 0, KEY_ALL_ACCESS, &monitor));
    RegDeleteKeyA(monitor, ("TempPort\\" + name).c_str());
    RegDeleteKeyA(monitor, "TempPort");
    RegCloseKey(monitor);
  }
}

TEST_F(EntryPoints, AnIncompleteHandOverAddsNothing) {
  RecordWriter("TempPort\\VEK1").Binary("Network", {0, 0, 0, 0});
  EXPECT_FALSE(XYZAddPort(nullptr, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
  EXPECT_EQ(0, g_PortList.GetCount());
  HKEY key = nullptr;
  EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorKeyNarrow + "\\Ports\\VEK1").c_str(), 0,
                                         KEY_READ, &key));
}

// Without a hand-over AddPort is the Add Port dialog's; cancelled, it adds
// nothing and reports no error.
TEST_F(EntryPoints, WithoutAHandOverAddPortOpensTheDialog) {
  framework::ClearMessageBoxLog();
  g_SupportedProtocols = 0x8;  // no transport to search on
  DWORD error = 1;
  auto added = std::async(std::launch::async, [&] {
    BOOL result = XYZAddPort(nullptr, nullptr, nullptr);
    error = GetLastError();
    return result;
  });
  ui::HeadlessDriver driver;
  ASSERT_TRUE(ui::HeadlessDriver::WaitFor([&] { return driver.ActiveCaption() == "Add Port"; }));
  driver.Settle();
  driver.Click(IDCANCEL);
  EXPECT_FALSE(added.get());
  EXPECT_EQ(ERROR_SUCCESS, error);
  EXPECT_EQ(0, g_PortList.GetCount());
  EXPECT_TRUE(framework::MessageBoxLog().empty());
}

TEST_F(EntryPoints, HandleNumbersAreNeverZeroAndRise) {
  CPrintPort* a = AddPort(u"A");
  CPrintPort* b = AddPort(u"B");
  EXPECT_GT(a->m_Handle, 0);
  EXPECT_EQ(a->m_Handle + 1, b->m_Handle);
  EXPECT_EQ(b, FindPortByHandle(b->m_Handle));
  EXPECT_EQ(nullptr, FindPortByHandle(0));
}

}  // namespace
}  // namespace vek::test
