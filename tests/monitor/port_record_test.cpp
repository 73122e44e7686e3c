// Port records: what Save writes, what Load takes back, and the load rules for
// missing and out-of-range values.
#include "monitor_test_support.h"
#include "registry_helpers.h"

namespace vek::test {
namespace {

class PortRecords : public MonitorTest {};

// CPrintPort cannot be copied; a loader that returns a fresh one each time.
std::unique_ptr<CPrintPort> Load(const std::u16string& name, bool* ok) {
  auto port = std::make_unique<CPrintPort>();
  std::memcpy(port->m_PortName, name.c_str(), (name.size() + 1) * 2);
  *ok = port->Load() != FALSE;
  return port;
}

TEST_F(PortRecords, ASavedPortLoadsBackTheSame) {
  CPrintPort saved;
  const std::u16string name = u"ABCDEFGHIJKLMNOPQRST";  // 20 characters
  std::memcpy(saved.m_PortName, name.c_str(), (name.size() + 1) * 2);
  const BYTE network[4] = {1, 2, 3, 4}, node[6] = {9, 8, 7, 6, 5, 4}, ip[4] = {192, 168, 0, 10};
  std::memcpy(saved.m_Network, network, 4);
  std::memcpy(saved.m_NodeID, node, 6);
  std::memcpy(saved.m_IPAddress, ip, 4);
  std::memcpy(saved.m_PSName, "PRINTSERVER-NAME01", 18);
  saved.m_RetryTimeout = 45;
  saved.m_PortID = 3;
  saved.m_Model = 1;
  for (int packetType : {PACKET_TYPE_IPX, PACKET_TYPE_UDP, PACKET_TYPE_NETBEUI}) {
    saved.m_PacketType = packetType;
    ASSERT_TRUE(saved.Save());
    bool ok = false;
    auto loaded = Load(name, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(packetType, loaded->m_PacketType);
    EXPECT_EQ(0, std::memcmp(network, loaded->m_Network, 4));
    EXPECT_EQ(0, std::memcmp(node, loaded->m_NodeID, 6));
    EXPECT_EQ(0, std::memcmp(ip, loaded->m_IPAddress, 4));
    EXPECT_EQ(0, std::memcmp("PRINTSERVER-NAME01", loaded->m_PSName, 19));
    EXPECT_EQ(45, loaded->m_RetryTimeout);
    EXPECT_EQ(3, loaded->m_PortID);
    EXPECT_EQ(1, loaded->m_Model);
  }
  // The record's own transport codes: UDP/IP 2, NetBEUI 1.
  HKEY key = nullptr;
  std::string path = kMonitorKeyNarrow + "\\Ports\\ABCDEFGHIJKLMNOPQRST";
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key));
  DWORD value = 0, size = 4;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "PacketType", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size));
  EXPECT_EQ(1u, value);
  RegCloseKey(key);
}

TEST_F(PortRecords, TransportCodesMapBothWays) {
  for (auto [stored, loaded] : {std::pair{0u, PACKET_TYPE_IPX}, std::pair{1u, PACKET_TYPE_NETBEUI},
                                std::pair{2u, PACKET_TYPE_UDP}, std::pair{7u, PACKET_TYPE_IPX}}) {
    RecordWriter("Ports\\T").Required().Dword("PacketType", stored);
    bool ok = false;
    auto port = Load(u"T", &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(loaded, port->m_PacketType) << stored;
  }
}

TEST_F(PortRecords, AMissingAddressIsTakenFromTheNetworkBytes) {
  RecordWriter("Ports\\T").Required().Binary("Network", {0xC0, 0xA8, 0x00, 0x0A}).Dword("PacketType", 2);
  bool ok = false;
  auto port = Load(u"T", &ok);
  ASSERT_TRUE(ok);
  const BYTE expected[4] = {192, 168, 0, 10};
  EXPECT_EQ(0, std::memcmp(expected, port->m_IPAddress, 4));
  EXPECT_EQ(0, port->m_Model);
}

TEST_F(PortRecords, WithoutAPacketTypeThePortIsAnOlderIpxPort) {
  RecordWriter("Ports\\T").Required().Dword("Model", 1).Binary("IPAddress", {1, 2, 3, 4});
  bool ok = false;
  auto port = Load(u"T", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(PACKET_TYPE_IPX, port->m_PacketType);
  EXPECT_EQ(0, port->m_Model);
  const BYTE zero[4] = {};
  EXPECT_EQ(0, std::memcmp(zero, port->m_IPAddress, 4));
}

TEST_F(PortRecords, OutOfRangeTimeOutsAndPortIdsLoadAsDefaults) {
  for (auto [stored, loaded] : {std::pair{10u, 90}, std::pair{500u, 90}, std::pair{30u, 30}, std::pair{120u, 120}}) {
    RecordWriter("Ports\\T").Required(stored);
    bool ok = false;
    EXPECT_EQ(loaded, Load(u"T", &ok)->m_RetryTimeout) << stored;
  }
  for (auto [stored, loaded] : {std::pair{0u, 1}, std::pair{4u, 1}, std::pair{3u, 3}, std::pair{0xFFFFFFFFu, 1}}) {
    RecordWriter("Ports\\T").Required(90, stored);
    bool ok = false;
    EXPECT_EQ(loaded, Load(u"T", &ok)->m_PortID) << stored;
  }
}

TEST_F(PortRecords, ARecordWithoutARequiredValueDoesNotLoad) {
  for (const char* missing : {"Network", "Node", "RetryTimeout", "PortID"}) {
    HKEY monitor = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKeyNarrow.c_str(), 0, KEY_ALL_ACCESS, &monitor));
    RegDeleteKeyA(monitor, "Ports\\T");
    RecordWriter("Ports\\T").Required();
    HKEY record = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(monitor, "Ports\\T", 0, KEY_ALL_ACCESS, &record));
    RegDeleteValueA(record, missing);
    RegCloseKey(record);
    RegCloseKey(monitor);
    bool ok = true;
    Load(u"T", &ok);
    EXPECT_FALSE(ok) << missing;
  }
}

TEST_F(PortRecords, ValuesOfTheWrongSizeAreRefused) {
  RecordWriter("Ports\\T").Required().Binary("Node", {1, 2, 3});
  bool ok = true;
  Load(u"T", &ok);
  EXPECT_FALSE(ok);
  RecordWriter("Ports\\T").Required().Binary("Node", {1, 2, 3, 4, 5, 6, 7});
  Load(u"T", &ok);
  EXPECT_FALSE(ok);
}

TEST_F(PortRecords, DescriptionsNameTheTransport) {
  CPrintPort port;
  port.m_PortID = 2;
  WCHAR text[64];
  port.m_PacketType = PACKET_TYPE_IPX;
  port.GetDescription(text, 64);
  EXPECT_EQ(u"IPX,PID:2", std::u16string(text));
  port.m_PacketType = PACKET_TYPE_UDP;
  const BYTE ip[4] = {10, 0, 0, 7};
  std::memcpy(port.m_IPAddress, ip, 4);
  port.GetDescription(text, 64);
  EXPECT_EQ(u"10.0.0.7,PID:2", std::u16string(text));
  port.m_PacketType = PACKET_TYPE_NETBEUI;
  port.GetDescription(text, 64);
  EXPECT_EQ(u"NetBEUI,PID:2", std::u16string(text));
}

TEST_F(PortRecords, TheMonitorLoadsItsSavedPortsInOrderAndSkipsBadOnes) {
  VekShutdownMonitor();
  RecordWriter("Ports\\A").Required();
  RecordWriter("Ports\\B").Binary("Network", {0, 0, 0, 0}).Dword("RetryTimeout", 90).Dword("PortID", 1);  // no Node
  RecordWriter("Ports\\C").Required();
  RecordWriter("Ports\\" + std::string(30, 'L')).Required();  // a name no port can have
  RecordWriter("Ports\\D").Required();
  StartMonitor();
  EnterCriticalSection(&g_PortLock);
  std::vector<std::u16string> names;
  std::vector<int> handles;
  for (POSITION p = g_PortList.GetHeadPosition(); p;) {
    auto* port = static_cast<CPrintPort*>(g_PortList.GetNext(p));
    names.emplace_back(port->m_PortName);
    handles.push_back(port->m_Handle);
  }
  LeaveCriticalSection(&g_PortLock);
  EXPECT_EQ((std::vector<std::u16string>{u"A", u"C", u"D"}), names);
  ASSERT_EQ(3u, handles.size());
  EXPECT_EQ(handles[0] + 2, handles[1]);  // B took a number and was dropped
  EXPECT_EQ(handles[1] + 1, handles[2]);
}

TEST_F(PortRecords, ASecondInitialiserAddsNoPortTwice) {
  VekShutdownMonitor();
  RecordWriter("Ports\\A").Required();
  StartMonitor();
  std::u16string path = kMonitorPath;
  EXPECT_TRUE(InitializeMonitor(path.data()));
  EXPECT_EQ(1, g_PortList.GetCount());
}

TEST_F(PortRecords, ProtocolsZeroMeansEveryTransport) {
  VekShutdownMonitor();
  WriteMonitorDword("Protocols", 0);
  StartMonitor();
  EXPECT_EQ(PROTOCOL_ALL, g_Protocols.load());
  VekShutdownMonitor();
  WriteMonitorDword("Protocols", 2);
  StartMonitor();
  EXPECT_EQ(PROTOCOL_UDP, g_Protocols.load());
}

TEST_F(PortRecords, ShutdownIsWrittenZeroAtEveryStart) {
  VekShutdownMonitor();
  WriteMonitorDword("Shutdown", 5);
  StartMonitor();
  DWORD value = 1, size = 4;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(g_hMonitorKey, u"Shutdown", nullptr, nullptr,
                                            reinterpret_cast<LPBYTE>(&value), &size));
  EXPECT_EQ(0u, value);
  EXPECT_EQ(u"TARVEX VEK Network Printer Port", g_MonitorName.str());
}

// The display name comes from "PrintMonitor", which the machine's set-up writes;
// the fallback when it is missing or does not fit its 50 bytes.
TEST_F(PortRecords, DisplayNameFromTheInstalledValueOrTheFallback) {
  EXPECT_EQ(u"TARVEX VEK Print Monitor", g_MonitorDisplayName.str()) << "as the machine's set-up wrote it";
  const struct {
    const char* value;  // nullptr: no value
    const char16_t* shown;
  } cases[] = {
      {nullptr, u"Network Print Monitor"},
      {"Lab Monitor", u"Lab Monitor"},
      {"ABCDEFGHIJKLMNOPQRSTUVWX", u"ABCDEFGHIJKLMNOPQRSTUVWX"},  // 24 characters and the terminator: 50 bytes
      {"ABCDEFGHIJKLMNOPQRSTUVWXY", u"Network Print Monitor"},   // one too many
  };
  for (const auto& c : cases) {
    VekShutdownMonitor();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKeyNarrow.c_str(), 0, KEY_ALL_ACCESS, &key));
    if (c.value)
      ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "PrintMonitor", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.value),
                                              static_cast<DWORD>(std::strlen(c.value) + 1)));
    else
      RegDeleteValueA(key, "PrintMonitor");
    RegCloseKey(key);
    StartMonitor();
    EXPECT_EQ(std::u16string(c.shown), g_MonitorDisplayName.str()) << (c.value ? c.value : "no value");
  }
}

}  // namespace
}  // namespace vek::test
