// The Add Port and Configure Port dialog as a person uses it, driven headless on
// a thread of its own, against print servers the emulator plays on loopback:
// the search on each transport with one row per printer port of every server
// (older layouts included), the late server that cannot be chosen, the port
// name it proposes and the names it refuses, what OK saves, the tabs it offers,
// and the address control in it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <future>
#include <map>
#include <set>

#include "emulator/emulator.h"
#include "framework/framework.h"
#include "framework/class_registration.h"
#include "framework/keyboard.h"
#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/version.h"
#include "monitor_globals.h"
#include "port_list.h"
#include "port_workers.h"
#include "print_port.h"
#include "registry/registry.h"
#include "resources/resource_ids.h"
#include "spooler/spooler.h"
#include "support/emulator_lab.h"
#include "support/screen_check.h"
#include "support/temp_root.h"
#include "ui/headless_driver.h"
#include "ui/input.h"
#include "xnbf_socket.h"
#include "framework/user_input.h"

extern "C" LPMONITOREX InitializePrintMonitor(LPWSTR pRegistryRoot);
extern "C" void VekShutdownMonitor();

namespace vek::test {
namespace {

using emu::DeviceConfig;
using vek::ui::HeadlessDriver;

const std::u16string kMonitorPath =
    u"System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";
const std::string kMonitorKey = "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";
constexpr DWORD kSearchWaitMs = 30000;

DeviceConfig Server(int index, int generation, PortTransport via) {
  return PrintDevice("PS-DLG-", 0x0A, index, generation, via);
}

std::string Mac(const DeviceConfig& d) {
  char text[13];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", d.mac[0], d.mac[1], d.mac[2], d.mac[3], d.mac[4],
                d.mac[5]);
  return text;
}

void WriteDword(const std::string& path, const char* name, DWORD value) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
  RegCloseKey(key);
}

std::vector<BYTE> RecordValue(const std::string& port, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kMonitorKey + "\\Ports\\" + port).c_str(), 0, KEY_ALL_ACCESS, &key))
    return {};
  std::vector<BYTE> data(64);
  DWORD size = static_cast<DWORD>(data.size());
  if (RegQueryValueExA(key, name, nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) size = 0;
  RegCloseKey(key);
  data.resize(size);
  return data;
}

// A dialog the monitor opens on a thread of its own, as on the spooler's thread
// that called it; the test drives it as a person would.
class DialogRun {
 public:
  explicit DialogRun(std::function<BOOL()> call) : m_result(std::async(std::launch::async, std::move(call))) {}
  ~DialogRun() {
    if (m_result.valid() && !Ended()) {
      m_driver.Cancel();
      m_result.wait_for(std::chrono::seconds(30));
    }
  }
  // Up, and its first search (run once it shows) over.
  bool WaitUntilSearched() {
    if (!HeadlessDriver::WaitFor([&] { return Window() != nullptr; })) return false;
    return vek::ui::Settle(Window(), kSearchWaitMs);
  }
  HWND Window() const {
    HWND active = m_driver.ActiveWindow();
    return active && m_driver.ControlIn(active, IDC_PROTOCOL_TAB) ? active : nullptr;
  }
  bool Ended() const { return m_result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }
  BOOL Result() {
    m_result.wait_for(std::chrono::seconds(30));
    return Ended() ? m_result.get() : -1;
  }
  HeadlessDriver& Driver() { return m_driver; }
  // Replaces an edit's text as a person does: all of it selected, then typed.
  void Retype(int id, const std::string& text) {
    HWND edit = m_driver.Control(id);
    vek::ui::Focus(edit);
    m_driver.Settle();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) m_driver.Key(VK_DELETE);
    else m_driver.Type(id, text);
  }
  // The tabs with their images (0: the transport works, 1: it does not).
  std::vector<std::pair<std::string, int>> Tabs() const {
    HWND tab = m_driver.Control(IDC_PROTOCOL_TAB);
    std::vector<std::pair<std::string, int>> tabs;
    auto count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char text[32] = {};
      TCITEMA item{};
      item.mask = TCIF_TEXT | TCIF_IMAGE;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
      tabs.emplace_back(text, item.iImage);
    }
    return tabs;
  }
  // The window with the focus on the dialog's thread.
  HWND Focus() const {
    return reinterpret_cast<HWND>(SendMessageA(Window(), vek::framework::VEK_UM_GETFOCUS, 0, 0));
  }
  // The rows as "name|PID|...", the late marks (item data) beside.
  std::vector<std::string> Rows() const { return m_driver.Items(IDC_SERVER_LIST); }
  LPARAM RowData(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(m_driver.Control(IDC_SERVER_LIST), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
  }
  int RowOf(const std::string& prefix) const {
    auto rows = Rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
  std::string LastMessage() const {
    auto boxes = m_driver.MessageBoxes();
    return boxes.empty() ? std::string() : boxes.back().text;
  }
  // Clicks and waits for the search the click starts.
  void ClickAndSearch(int id) {
    vek::ui::Click(m_driver.Control(id));
    vek::ui::Settle(Window(), kSearchWaitMs);
  }

 private:
  mutable HeadlessDriver m_driver;
  std::future<BOOL> m_result;
};

class PortDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_segments.Ok());
    std::string error;
    ASSERT_EQ(ERROR_SUCCESS, spooler::SetUpMachine({}, &error)) << error;
    vek::framework::ClearMessageBoxLog();
  }
  void TearDown() override {
    VekShutdownMonitor();
    spooler::Shutdown();
    m_emulator.Stop();
  }

  // The servers on a subnet of the test's own, the monitor started with the
  // transports "Protocols" enables.
  void Start(std::vector<DeviceConfig> devices, DWORD protocols, DWORD settings = 0) {
    // The monitor's NetBEUI probe resets the LANA: the emulator's names come after.
    StartMonitor(protocols, settings);
    emu::EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_root.path() + "/received";
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
    m_broadcast.reset();  // the old one's end would undo the new one
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
  }
  void StartMonitor(DWORD protocols, DWORD settings = 0) {
    // Searches stay on loopback, at the test's own subnet.
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
    WriteDword(kMonitorKey, "Protocols", protocols);
    WriteDword(kMonitorKey, "Settings", settings);
    std::u16string path = kMonitorPath;
    ASSERT_NE(nullptr, InitializePrintMonitor(path.data()));
    DWORD needed = 0, returned = 0;
    XYZEnumPorts(nullptr, 0, nullptr, 0, &needed, &returned);  // the transport probes
  }

  // A port of the monitor pointing at device i, as the wizard hands one over.
  void HandOver(const std::string& name, int device, DWORD packetType, DWORD retry = 90) {
    const DeviceConfig config = m_emulator.DeviceAt(static_cast<std::size_t>(device)).Config();
    const std::string path = kMonitorKey + "\\TempPort\\" + name;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    const BYTE zero[18] = {};
    const BYTE ip[4] = {static_cast<BYTE>(config.address >> 24), static_cast<BYTE>(config.address >> 16),
                        static_cast<BYTE>(config.address >> 8), static_cast<BYTE>(config.address)};
    const DWORD portId = 1, model = static_cast<DWORD>(config.generation);
    RegSetValueExA(key, "Network", 0, REG_BINARY, zero, 4);
    RegSetValueExA(key, "Node", 0, REG_BINARY, config.mac.data(), 6);
    RegSetValueExA(key, "IPAddress", 0, REG_BINARY, ip, 4);
    RegSetValueExA(key, "RetryTimeout", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&retry), 4);
    RegSetValueExA(key, "PortID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&portId), 4);
    RegSetValueExA(key, "PacketType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&packetType), 4);
    RegSetValueExA(key, "PSName", 0, REG_BINARY, zero, 18);
    RegSetValueExA(key, "Model", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&model), 4);
    RegCloseKey(key);
    ASSERT_TRUE(XYZAddPort(nullptr, nullptr, nullptr)) << GetLastError();
    HKEY monitor = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKey.c_str(), 0, KEY_ALL_ACCESS, &monitor);
    RegDeleteKeyA(monitor, ("TempPort\\" + name).c_str());
    RegDeleteKeyA(monitor, "TempPort");
    RegCloseKey(monitor);
  }

  static std::function<BOOL()> AddPort() {
    return [] { return XYZAddPort(nullptr, nullptr, nullptr); };
  }
  static std::function<BOOL()> ConfigurePort(const std::u16string& name) {
    return [name] { return XYZConfigurePort(nullptr, nullptr, const_cast<LPWSTR>(name.c_str())); };
  }

  std::map<std::string, int> RowsByName(const DialogRun& dialog) {
    std::map<std::string, int> rows;
    for (const std::string& row : dialog.Rows()) rows[row.substr(0, row.find('|'))]++;
    return rows;
  }

  TempRoot m_root;
  ScopedSegments m_segments;
  LoopbackSubnet m_subnet;
  emu::Emulator m_emulator;
  std::unique_ptr<ScopedBroadcast> m_broadcast;
};

TEST_F(PortDialog, UdpListsEveryPrinterPortMarksTheLateServerAndSavesTheChosenPort) {
  DeviceConfig net = Server(1, 1, PortTransport::Udp);
  net.ports = 2;
  DeviceConfig six = Server(2, 0, PortTransport::Udp);
  six.model = 6;  // an older model with three ports
  DeviceConfig counted = Server(3, 0, PortTransport::Udp);
  counted.model = 9;  // its ports counted in the answer
  counted.portWord = 2;
  DeviceConfig portless = Server(4, 0, PortTransport::Udp);
  portless.model = 9;
  portless.portWord = 0;
  DeviceConfig late = Server(5, 1, PortTransport::Udp);
  late.searchFlag = DeviceConfig::SearchFlag::Unflagged;
  Start({net, six, counted, portless, late}, PROTOCOL_UDP);

  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  EXPECT_EQ("Add Port", d.ActiveCaption());
  EXPECT_EQ((std::vector<std::pair<std::string, int>>{{"TCP/IP", 0}}), dialog.Tabs());
  EXPECT_TRUE(d.Visible(IDC_SEARCH_ADDRESS));
  EXPECT_EQ((std::map<std::string, int>{{"PS-DLG-1", 2}, {"PS-DLG-2", 3}, {"PS-DLG-3", 2}, {"PS-DLG-5", 1}}),
            RowsByName(dialog));
  EXPECT_TRUE(d.MessageBoxes().empty()) << "servers answered: nothing to say";
  const std::string ip = m_subnet.Dotted(1);
  EXPECT_NE(dialog.RowOf("PS-DLG-1|2|" + ip + "|" + Mac(net) + "|1.00"), -1) << testing::PrintToString(dialog.Rows());
  EXPECT_NE(dialog.RowOf("PS-DLG-2|3|" + m_subnet.Dotted(2) + "|"), -1);

  // The late server is red and cannot take a port; the others can.
  const int lateRow = dialog.RowOf("PS-DLG-5|1|");
  ASSERT_GE(lateRow, 0);
  EXPECT_EQ(0x0000FF, dialog.RowData(lateRow));
  EXPECT_EQ(0, dialog.RowData(dialog.RowOf("PS-DLG-1|1|")));
  d.Select(IDC_SERVER_LIST, lateRow);
  EXPECT_FALSE(d.Enabled(IDOK));
  const int chosen = dialog.RowOf("PS-DLG-1|2|");
  d.Select(IDC_SERVER_LIST, chosen);
  EXPECT_TRUE(d.Enabled(IDOK));
  char proposed[32];
  std::snprintf(proposed, sizeof proposed, "LPT:PS%02X%02X-1", net.mac[4], net.mac[5]);
  EXPECT_EQ(proposed, d.Text(IDC_PORT_NAME));

  // A directed search: each request also goes to the address typed, after the
  // broadcast; the requests are the six of the search.
  HWND address = d.Control(IDC_SEARCH_ADDRESS);
  const std::string parts[4] = {"127", std::to_string(m_subnet.A()), std::to_string(m_subnet.B()), "1"};
  for (int field = 1; field <= 4; ++field) {
    vek::ui::TypeText(d.ControlIn(address, field), parts[field - 1]);
    d.Settle();
  }
  m_emulator.Log().Clear();
  dialog.ClickAndSearch(IDC_REFRESH);
  std::vector<std::vector<BYTE>> directed;
  int directedElsewhere = 0;
  for (const emu::LoggedRequest& request : m_emulator.Log().Snapshot()) {
    if (request.broadcast) continue;
    if (request.device == 0) directed.emplace_back(request.data.begin(), request.data.end());
    else directedElsewhere++;
  }
  EXPECT_EQ(0, directedElsewhere);
  auto request = [](std::initializer_list<BYTE> head) {
    std::vector<BYTE> bytes(head);
    bytes.resize(30, 0);
    return bytes;
  };
  EXPECT_EQ((std::vector<std::vector<BYTE>>{request({'N', 'E', 'T', 0x70, 0x04, 0x01}),
                                            request({'N', 'E', 'T', 0x70, 0x04, 0x01}),
                                            request({'N', 'E', 'T', 0x70, 0x04, 0x00}), request({'Q', 'I', 0x00, 0x01}),
                                            request({'Q', 'I', 0x00, 0x01}), request({'Q', 'I', 0x00, 0x00})}),
            directed);
  EXPECT_EQ(8u, dialog.Rows().size()) << "the same servers again";

  d.Select(IDC_SERVER_LIST, dialog.RowOf("PS-DLG-1|2|"));
  dialog.Retype(IDC_TIMEOUT, "999");
  d.Click(IDOK);
  ASSERT_EQ(TRUE, dialog.Result()) << dialog.LastMessage();

  const std::u16string name = ToWide(proposed);
  CPortHold port = HoldPortByName(name.c_str());
  ASSERT_TRUE(port);
  EXPECT_EQ(PACKET_TYPE_UDP, port->m_PacketType);
  EXPECT_EQ(1, port->m_Model);
  EXPECT_EQ(2, port->m_PortID);
  EXPECT_EQ(120, port->m_RetryTimeout) << "999 seconds are 120";
  EXPECT_EQ(0, std::memcmp(port->m_NodeID, net.mac.data(), 6));
  EXPECT_EQ((std::vector<BYTE>{127, static_cast<BYTE>(m_subnet.A()), static_cast<BYTE>(m_subnet.B()), 1}),
            RecordValue(proposed, "IPAddress"));
  EXPECT_EQ((std::vector<BYTE>{2, 0, 0, 0}), RecordValue(proposed, "PacketType"));
  EXPECT_EQ((std::vector<BYTE>{120, 0, 0, 0}), RecordValue(proposed, "RetryTimeout"));
}

TEST_F(PortDialog, IpxProposesANameNoPortHasAndRefusesTakenOrBadNames) {
  DeviceConfig net = Server(1, 1, PortTransport::Ipx);
  DeviceConfig five = Server(2, 0, PortTransport::Ipx);
  five.portWord = 5;  // taken as three ports
  DeviceConfig four = Server(3, 0, PortTransport::Ipx);
  four.portWord = 4;  // taken as one
  Start({net, five, four}, PROTOCOL_IPX);
  char first[32], second[32];
  std::snprintf(first, sizeof first, "LPT:PS%02X%02X-1", net.mac[4], net.mac[5]);
  std::snprintf(second, sizeof second, "lpt:ps%02x%02x-2", net.mac[4], net.mac[5]);  // another case
  HandOver(first, 0, 0);
  HandOver(second, 0, 0);

  m_emulator.Log().Clear();
  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  EXPECT_FALSE(d.Visible(IDC_SEARCH_ADDRESS));
  EXPECT_EQ((std::map<std::string, int>{{"PS-DLG-1", 1}, {"PS-DLG-2", 3}, {"PS-DLG-3", 1}}), RowsByName(dialog));
  // Every request goes to every station of the network, also after answers came
  // in (each answer makes its sender the socket's destination).
  std::map<std::size_t, int> heard;
  for (const emu::LoggedRequest& request : m_emulator.Log().Snapshot()) {
    EXPECT_TRUE(request.broadcast);
    EXPECT_EQ(90, request.ipxPacketType);
    heard[request.device]++;
  }
  EXPECT_EQ((std::map<std::size_t, int>{{0, 6}, {1, 6}, {2, 6}}), heard);
  d.Select(IDC_SERVER_LIST, dialog.RowOf("PS-DLG-1|"));
  std::string proposal = first;
  proposal.back() = '3';
  EXPECT_EQ(proposal, d.Text(IDC_PORT_NAME)) << "-1 and, in another case, -2 are taken";

  const std::size_t ports = static_cast<std::size_t>(g_PortList.GetCount());
  struct Refused {
    std::string name;
    std::string message;
  };
  const Refused refused[] = {
      {first, std::string("Port '") + first + "' already exists."},
      {"LPT:Ps" + std::string(first + 6), "Port 'LPT:Ps" + std::string(first + 6) + "' already exists."},
      {"", "Invalidate port name."},
      {"A\\B", "Invalidate port name."},
      {"A,B", "Invalidate port name."},
      {" Back Office", "Invalidate port name."},
      {"Back Office ", "Invalidate port name."},
      {" ", "Invalidate port name."},
      {"LPT1:", "Port 'LPT1:' already exists."},  // the Local Port monitor's
  };
  for (const Refused& r : refused) {
    dialog.Retype(IDC_PORT_NAME, r.name);
    d.Click(IDOK);
    EXPECT_FALSE(dialog.Ended()) << r.name;
    EXPECT_EQ(r.message, dialog.LastMessage()) << r.name;
    EXPECT_EQ("Add Port", d.MessageBoxes().back().caption);
  }
  EXPECT_EQ(ports, static_cast<std::size_t>(g_PortList.GetCount())) << "nothing added";

  dialog.Retype(IDC_PORT_NAME, "Back Office");
  d.Click(IDOK);
  ASSERT_EQ(TRUE, dialog.Result()) << dialog.LastMessage();
  CPortHold port = HoldPortByName(u"Back Office");
  ASSERT_TRUE(port);
  EXPECT_EQ(PACKET_TYPE_IPX, port->m_PacketType);
  EXPECT_EQ(1, port->m_Model);
  const auto network = m_emulator.IpxNetworkOf(0);
  EXPECT_EQ(0, std::memcmp(port->m_Network, network.data(), 4)) << "the network the answer came from";
}

TEST_F(PortDialog, NetBeuiTakesTheSendersNameAndKeepsItsSocket) {
  DeviceConfig net = Server(1, 1, PortTransport::Netbeui);
  DeviceConfig older = Server(2, 0, PortTransport::Netbeui);
  older.portWord = 0;  // taken as one port
  Start({net, older}, PROTOCOL_NETBEUI);
  g_pNBFSearchSocket = new XNBFSocket(kSearchNCBs);  // one whose creation failed: never created

  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  EXPECT_EQ((std::map<std::string, int>{{"PS-DLG-1", 1}, {"PS-DLG-2", 1}}), RowsByName(dialog));
  ASSERT_NE(nullptr, g_pNBFSearchSocket);
  EXPECT_TRUE(g_pNBFSearchSocket->m_bCreated) << "made again";
  d.Select(IDC_SERVER_LIST, dialog.RowOf("PS-DLG-2|"));
  d.Click(IDOK);
  ASSERT_EQ(TRUE, dialog.Result()) << dialog.LastMessage();
  char name[32];
  std::snprintf(name, sizeof name, "LPT:PS%02X%02X-1", older.mac[4], older.mac[5]);
  CPortHold port = HoldPortByName(ToWide(name).c_str());
  ASSERT_TRUE(port);
  EXPECT_EQ(PACKET_TYPE_NETBEUI, port->m_PacketType);
  EXPECT_EQ(0, port->m_Model);
  std::string sender = emu::NetbiosNameOf(m_emulator.DeviceAt(1).Config());
  sender.resize(16, ' ');
  EXPECT_EQ(sender, std::string(port->m_PSName)) << "the name its answer came from";
  EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), RecordValue(name, "PacketType"));
}

TEST_F(PortDialog, ConfigureKeepsTheNameFindsTheOwnServerAndChecksTheJobAgainOnOk) {
  Start({Server(1, 1, PortTransport::Udp), Server(2, 1, PortTransport::Udp)}, PROTOCOL_ALL);
  HandOver("CFG", 0, 2, 45);
  {
    std::u16string printer = u"P", local = u"LPT1:";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printer.data();
    info.pPortName = local.data();
    HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    ASSERT_NE(nullptr, handle);
    ClosePrinter(handle);
  }

  DialogRun dialog(ConfigurePort(u"CFG"));
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  EXPECT_EQ("Configure Port", d.ActiveCaption());
  EXPECT_EQ("CFG", d.Text(IDC_PORT_NAME));
  EXPECT_FALSE(d.Enabled(IDC_PORT_NAME));
  EXPECT_EQ("45", d.Text(IDC_TIMEOUT));
  EXPECT_EQ(1, static_cast<int>(SendMessageA(d.Control(IDC_PROTOCOL_TAB), TCM_GETITEMCOUNT, 0, 0)))
      << "only the port's own transport";
  const int own = d.Selection(IDC_SERVER_LIST);
  ASSERT_GE(own, 0);
  EXPECT_EQ(0u, dialog.Rows()[static_cast<std::size_t>(own)].find("PS-DLG-1|1|")) << "its own server, chosen";

  // A job starts while the dialog is open: OK changes nothing then.
  HANDLE handle = nullptr;
  ASSERT_TRUE(XYZOpenPort(const_cast<LPWSTR>(u"CFG"), &handle));
  ASSERT_TRUE(XYZStartDocPort(handle, const_cast<LPWSTR>(u"P"), 1, 1, nullptr));
  d.Select(IDC_SERVER_LIST, dialog.RowOf("PS-DLG-2|"));
  d.Click(IDOK);
  EXPECT_FALSE(dialog.Ended());
  EXPECT_EQ("Port is in used now.", dialog.LastMessage());
  EXPECT_EQ((std::vector<BYTE>{2, 0x4E, 0x57, 0x0A, 0, 1}), RecordValue("CFG", "Node")) << "unchanged";
  XYZEndDocPort(handle);
  XYZClosePort(handle);

  dialog.Retype(IDC_TIMEOUT, "10");
  d.Click(IDOK);
  ASSERT_EQ(TRUE, dialog.Result());
  EXPECT_EQ((std::vector<BYTE>{2, 0x4E, 0x57, 0x0A, 0, 2}), RecordValue("CFG", "Node")) << "the other server";
  EXPECT_EQ((std::vector<BYTE>{30, 0, 0, 0}), RecordValue("CFG", "RetryTimeout")) << "10 seconds are 30";
  EXPECT_TRUE(HoldPortByName(u"CFG"));
}

// The tabs follow "Protocols", bit 0 of "Settings" and the transports found
// working; no tab at all leaves the dialog without a transport to search. No
// transport of a selected tab works here, so no search runs and Refresh stays
// off, also where another tab's transport works.
TEST_F(PortDialog, TabsFollowTheEnabledAndWorkingTransports) {
  StartMonitor(PROTOCOL_ALL);
  auto* udp = new CPrintPort;
  std::memcpy(udp->m_PortName, u"U", 4);
  udp->m_PacketType = PACKET_TYPE_UDP;
  AddPrintPort(udp);
  using Tabs = std::vector<std::pair<std::string, int>>;
  struct Case {
    const char* what;
    DWORD protocols;
    DWORD settings;
    WORD working;
    bool configure;
    Tabs tabs;
    int selected;
    bool addressShown;
    bool refresh;
  };
  constexpr WORD kNone = 0x8;  // none of the three, and the probes not run again
  const Case cases[] = {
      {"add, all enabled, NetBEUI working", PROTOCOL_ALL, 0, PROTOCOL_NETBEUI, false,
       {{"IPX", 1}, {"TCP/IP", 1}, {"NetBEUI", 0}}, 0, false, false},
      {"add, TCP/IP enabled alone", PROTOCOL_UDP, 0, kNone, false, {{"TCP/IP", 1}}, 0, true, false},
      {"configure, the port's transport alone", PROTOCOL_ALL, 0, kNone, true, {{"TCP/IP", 1}}, 0, true, false},
      {"configure with Settings bit 0: every transport", PROTOCOL_ALL, 1, PROTOCOL_NETBEUI, true,
       {{"IPX", 1}, {"TCP/IP", 1}, {"NetBEUI", 0}}, 0, false, false},
      {"no transport the monitor knows", 0x8, 0, kNone, false, {}, -1, true, false},
      {"configure, the port's transport not enabled", PROTOCOL_IPX, 0, kNone, true, {}, -1, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteDword(kMonitorKey, "Protocols", c.protocols);
    WriteDword(kMonitorKey, "Settings", c.settings);
    g_SupportedProtocols = c.working;
    DialogRun dialog(c.configure ? ConfigurePort(u"U") : AddPort());
    ASSERT_TRUE(dialog.WaitUntilSearched());
    HeadlessDriver& d = dialog.Driver();
    EXPECT_EQ(c.tabs, dialog.Tabs());
    EXPECT_EQ(c.selected, d.Selection(IDC_PROTOCOL_TAB));
    EXPECT_EQ(c.addressShown, d.Visible(IDC_SEARCH_ADDRESS));
    EXPECT_EQ(c.refresh, d.Enabled(IDC_REFRESH));
    EXPECT_TRUE(dialog.Rows().empty());
    EXPECT_FALSE(d.Enabled(IDOK));
    d.Cancel();
    EXPECT_EQ(c.configure ? TRUE : FALSE, dialog.Result());
  }
}

// A transport found working whose search socket cannot be made (NetBEUI without
// a LANA to name it on): the search ends at once and says why, where it would
// otherwise spin through its whole time receiving nothing.
TEST_F(PortDialog, ASearchWhoseSocketCannotBeMadeEndsAtOnceAndSaysSo) {
  StartMonitor(PROTOCOL_NETBEUI);
  g_SupportedProtocols = PROTOCOL_NETBEUI;
  const int lanas = g_LanaCount, primary = g_PrimaryLana;
  g_LanaCount = 0;
  g_PrimaryLana = -1;
  if (g_pNBFSearchSocket) {  // one a search before kept
    g_pNBFSearchSocket->Close();
    delete g_pNBFSearchSocket;
    g_pNBFSearchSocket = nullptr;
  }
  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  EXPECT_EQ("The search cannot run: no NetBEUI socket can be opened on this computer.", dialog.LastMessage());
  EXPECT_EQ("Add Port", d.MessageBoxes().back().caption);
  EXPECT_TRUE(dialog.Rows().empty());
  EXPECT_FALSE(d.Enabled(IDOK));
  EXPECT_TRUE(d.Enabled(IDC_REFRESH)) << "the transport works: a later search may find its socket";
  d.Cancel();
  EXPECT_EQ(FALSE, dialog.Result());
  g_LanaCount = lanas;
  g_PrimaryLana = primary;
}

// The address control of the TCP/IP tab as a person types into it, and what a
// search says of the fields it cannot take (and then does not run).
TEST_F(PortDialog, TheAddressFieldsTakeDigitsMoveOnAndSayWhatIsWrong) {
  Start({Server(1, 1, PortTransport::Udp)}, PROTOCOL_UDP);
  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  HeadlessDriver& d = dialog.Driver();
  ASSERT_EQ(1u, dialog.Rows().size());

  // A record that cannot be written is reported, and no port is added.
  const std::string name = d.Text(IDC_PORT_NAME);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kMonitorKey + "\\Ports").c_str());
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMonitorKey.c_str()));
  d.Click(IDOK);
  EXPECT_EQ("Port '" + name + "' could not be saved: " + vek::ErrorText(ERROR_KEY_DELETED) + ".", dialog.LastMessage());
  EXPECT_FALSE(dialog.Ended());
  EXPECT_EQ(0, g_PortList.GetCount());
  HWND address = d.Control(IDC_SEARCH_ADDRESS);
  HWND field[5] = {nullptr, d.ControlIn(address, 1), d.ControlIn(address, 2), d.ControlIn(address, 3),
                   d.ControlIn(address, 4)};
  auto text = [&](int i) {
    char buffer[8] = {};
    GetWindowTextA(field[i], buffer, sizeof buffer);
    return std::string(buffer);
  };
  auto type = [&](int i, const std::string& typed) {
    vek::ui::TypeText(field[i], typed);
    d.Settle();
  };
  EXPECT_EQ("0", text(1)) << "0.0.0.0 to start with";

  type(1, "192");
  EXPECT_EQ(field[2], dialog.Focus()) << "the third digit moves on";
  type(2, "10.");
  EXPECT_EQ(field[3], dialog.Focus()) << "a '.' after a digit moves on";
  type(3, ".");
  EXPECT_EQ(field[3], dialog.Focus()) << "a '.' before any digit does nothing";
  const unsigned beeps = vek::framework::BeepCount();
  const std::size_t boxes = d.MessageBoxes().size();
  type(3, "256");
  EXPECT_EQ("256", text(3));
  ASSERT_EQ(boxes + 1, d.MessageBoxes().size()) << "the range is told as the value leaves it";
  EXPECT_EQ("Please specify a value between 0 and 255 for this field.", d.MessageBoxes().back().text);
  EXPECT_EQ(field[3], dialog.Focus());
  DWORD start = 9, end = 9;
  SendMessageA(field[3], EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(0u, start);
  EXPECT_EQ(3u, end) << "out of range: selected to be typed over";
  type(3, "x");
  EXPECT_EQ("256", text(3)) << "a letter is refused";
  EXPECT_EQ(beeps + 2, vek::framework::BeepCount());

  // The thread that shows a port dialog cannot open another (the box answers on it).
  DWORD reentered = 0;
  BOOL reenteredResult = TRUE;
  vek::framework::SetMessageBoxHandler([&](const vek::framework::MessageBoxRecord&) {
    SetLastError(ERROR_SUCCESS);
    reenteredResult = XYZAddPort(nullptr, nullptr, nullptr);
    reentered = GetLastError();
    return IDOK;
  });
  d.Click(IDC_REFRESH);
  vek::framework::SetMessageBoxHandler(nullptr);
  EXPECT_FALSE(reenteredResult);
  EXPECT_EQ(ERROR_BUSY, reentered);
  EXPECT_EQ("Please specify a value between 0 and 255 for this field.", dialog.LastMessage());
  EXPECT_EQ("Error", d.MessageBoxes().back().caption);
  EXPECT_EQ(field[3], dialog.Focus());

  // Backspace in an empty field goes back a field; the left arrow at the start
  // of the first field leaves the control.
  type(3, "7");
  type(4, std::string(1, '\b'));
  EXPECT_EQ("", text(4));
  type(4, std::string(1, '\b'));
  EXPECT_EQ(field[3], dialog.Focus());
  d.Click(IDC_REFRESH);
  EXPECT_EQ("Missing value in IP address", dialog.LastMessage());
  EXPECT_EQ(field[4], dialog.Focus());
  vek::ui::Focus(field[1]);
  d.Settle();
  d.Key(VK_HOME);
  d.Key(VK_LEFT);
  EXPECT_EQ(d.Control(IDC_PROTOCOL_TAB), dialog.Focus()) << "the tab stop before the control";

  // Digits only, however the text came in.
  type(4, "1");
  vek::ui::Paste(field[1], "1a");
  d.Settle();
  vek::framework::ClearMessageBoxLog();
  d.Click(IDC_REFRESH);
  EXPECT_EQ("Please specify a value between 0 and 255 for this field.", dialog.LastMessage());
  EXPECT_TRUE(dialog.Rows().empty()) << "no search ran";

  // Disabled, the dots are grey.
  EnableWindow(address, FALSE);
  EXPECT_FALSE(IsWindowEnabled(field[2]));
  bool greyDots = false;
  for (const auto& command : d.Paint(address))
    if (command.text == ".") greyDots = command.color == GetSysColor(COLOR_GRAYTEXT);
  EXPECT_TRUE(greyDots);
}

// A search that no print server answers says so, on the tab's transport; on
// TCP/IP it points to the address field, which reaches a server elsewhere.
TEST_F(PortDialog, ASearchNoServerAnswersSaysSo) {
  StartMonitor(PROTOCOL_UDP);
  DialogRun dialog(AddPort());
  ASSERT_TRUE(dialog.WaitUntilSearched());
  EXPECT_TRUE(dialog.Rows().empty());
  const auto boxes = dialog.Driver().MessageBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("No print server answered the search on TCP/IP. Check that the print server is switched on and "
            "connected to this network, then press Refresh; a print server on another network answers when its "
            "IP address is typed in IP Address.",
            boxes[0].text);
  EXPECT_EQ("Add Port", boxes[0].caption);
  EXPECT_EQ(MB_ICONINFORMATION, boxes[0].type & 0xF0);
  dialog.Driver().Cancel();
  EXPECT_EQ(FALSE, dialog.Result());
}

// Port dialogs run one at a time: a second waits for the first to close. The
// address control's window class exists while one is open; About tells the
// monitor's display name and version.
TEST_F(PortDialog, PortDialogsRunOneAtATime) {
  StartMonitor(PROTOCOL_ALL);
  g_SupportedProtocols = 0x8;  // no search
  WNDCLASSW windowClass{};
  EXPECT_FALSE(GetClassInfoW(nullptr, u"XIPAddressCtrl", &windowClass));
  DialogRun first(AddPort());
  ASSERT_TRUE(first.WaitUntilSearched());
  HWND firstWindow = first.Window();
  ASSERT_TRUE(GetClassInfoW(nullptr, u"XIPAddressCtrl", &windowClass));
  EXPECT_EQ(0x4003u, windowClass.style);
  EXPECT_EQ(&DefWindowProcW, windowClass.lpfnWndProc);
  EXPECT_EQ(32513u, vek::framework::CursorId(windowClass.hCursor)) << "the I-beam";
  EXPECT_EQ(COLOR_WINDOW + 1, static_cast<int>(reinterpret_cast<std::uintptr_t>(windowClass.hbrBackground)));

  first.Driver().Click(IDC_ABOUT);
  EXPECT_EQ("About", first.Driver().ActiveCaption());
  EXPECT_EQ("TARVEX VEK Print Monitor\n\nVersion 4.03.17", first.Driver().Text(IDC_ABOUT_TEXT))
      << "the display name the machine's set-up registered";
  first.Driver().Click(IDOK);
  EXPECT_EQ("Add Port", first.Driver().ActiveCaption());

  std::atomic<bool> calling{false};
  DialogRun second([&] {
    calling = true;
    return XYZAddPort(nullptr, nullptr, nullptr);
  });
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return calling.load(); }));
  first.Driver().Settle();
  EXPECT_EQ(firstWindow, second.Window()) << "the second waits";

  first.Driver().Cancel();
  EXPECT_EQ(FALSE, first.Result());
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return second.Window() != nullptr && second.Window() != firstWindow; }));
  second.Driver().Cancel();
  EXPECT_EQ(FALSE, second.Result());
  EXPECT_FALSE(GetClassInfoW(nullptr, u"XIPAddressCtrl", &windowClass)) << "unregistered again";
}

// Add Port on the tab of each transport with the servers it found, About, and
// Configure Port, with the wizard's languages, read from the terminal front end at
// the common terminal sizes (support/screen_check.h).
TEST_F(PortDialog, EveryDialogReadsWholeOnTheCommonTerminalSizes) {
  Start({Server(1, 1, PortTransport::Udp), Server(2, 0, PortTransport::Ipx), Server(3, 1, PortTransport::Netbeui)},
        PROTOCOL_ALL);
  HandOver("CFG", 0, 2, 45);
  auto read = [](HWND window, const std::string& what) {
    for (const std::string& problem : ScreenProblems(window, what)) ADD_FAILURE() << problem;
  };
  for (LANGID language : vek::test::kScreenLanguages) {
    vek::SetLanguage(language, language);
    const std::string in = ", " + vek::test::LanguageName(language);
    {
      DialogRun dialog(AddPort());
      ASSERT_TRUE(dialog.WaitUntilSearched());
      HeadlessDriver& d = dialog.Driver();
      const auto tabs = dialog.Tabs();
      ASSERT_EQ(3u, tabs.size());
      for (std::size_t tab = 0; tab < tabs.size(); ++tab) {
        d.Select(IDC_PROTOCOL_TAB, static_cast<int>(tab));
        vek::ui::Settle(dialog.Window(), kSearchWaitMs);
        read(dialog.Window(), "Add Port on " + tabs[tab].first + in);
      }
      const HWND port = dialog.Window();
      d.Click(IDC_ABOUT);
      ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return d.ActiveWindow() != port; }));
      read(d.ActiveWindow(), "About" + in);
      d.Click(IDOK);
      d.Cancel();
      EXPECT_EQ(FALSE, dialog.Result());
    }
    DialogRun dialog(ConfigurePort(u"CFG"));
    ASSERT_TRUE(dialog.WaitUntilSearched());
    read(dialog.Window(), "Configure Port" + in);
    dialog.Driver().Cancel();
    EXPECT_EQ(TRUE, dialog.Result());
  }
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
}  // namespace vek::test
