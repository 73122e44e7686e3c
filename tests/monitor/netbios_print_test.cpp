// A port carrying jobs to a device over NetBIOS datagrams on the test's own
// segment: both generations (the older one with the NetBEUI magics), clean and
// lossy lines, packets of 1000 bytes, a status query by name, and nothing left
// pending in NetBIOS once the job has ended.
#include <chrono>
#include <random>

#include "emulated_printer.h"
#include "monitor_test_support.h"
#include "net/netbios.h"
#include "netbios_helpers.h"
#include "transport_probes.h"

namespace vek::test {
namespace {

constexpr BYTE kDeviceNode[6] = {0x02, 0x4E, 0x57, 0x12, 0xAB, 0x0C};

std::string DeviceName() {
  static std::mt19937 random{std::random_device{}()};
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = "VEKPS";
  while (name.size() < 15) name += letters[random() % 36];
  return name;
}

class NetbiosPrintPath : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    // The probe resets the LANA: before the device takes its names there.
    ProbeTransports();
    ASSERT_TRUE(g_SupportedProtocols.load() & PROTOCOL_NETBEUI);
    AddPrinter("Printer");
  }
  void TearDown() override {
    if (m_port) m_port->ClosePrintPort();
    m_server.Stop();
    EXPECT_EQ(0u, net::PendingNcbCount());
    MonitorTest::TearDown();
  }

  void StartDevice(emu::DeviceConfig device) {
    device.netbiosName = m_name;
    std::copy(std::begin(kDeviceNode), std::end(kDeviceNode), device.mac.begin());
    std::string error;
    ASSERT_TRUE(m_server.Start(device, &error)) << error;
    m_port = AddPort(u"VEK1", PACKET_TYPE_NETBEUI, device.generation);
    std::memcpy(m_port->m_NodeID, kDeviceNode, 6);
    std::memcpy(m_port->m_PSName, m_name.c_str(), m_name.size());
    ASSERT_TRUE(m_port->OpenPrintPort());
  }

  bool WriteAll(const std::string& data) {
    std::size_t offset = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (offset < data.size()) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(65536, data.size() - offset));
      DWORD written = 0;
      BOOL ok = m_port->WritePrintData(reinterpret_cast<const BYTE*>(data.data() + offset), chunk, &written);
      offset += written;
      if (!ok || std::chrono::steady_clock::now() > deadline) return false;
    }
    return true;
  }

  void PrintAndCompare(const std::string& data) {
    ASSERT_TRUE(m_port->StartPrintPort(u"Printer", 7)) << GetLastError();
    ASSERT_TRUE(WriteAll(data));
    ASSERT_TRUE(m_port->EndPrintPort()) << GetLastError();
    ASSERT_TRUE(m_server.WaitForJobs(1, 10000)) << m_server.Requests();
    std::vector<std::string> jobs = m_server.JobBytes();
    ASSERT_EQ(1u, jobs.size());
    EXPECT_EQ(data.size(), jobs[0].size());
    EXPECT_EQ(Sha256(data), Sha256(jobs[0]));
    EXPECT_EQ("", m_server.Unreadable());
  }

  std::string m_name = DeviceName();
  EmulatedPrinter m_server;
  CPrintPort* m_port = nullptr;
};

struct NetbiosJobCase {
  int model;
  std::size_t size;
  bool lossy;
};

class NetbiosJobs : public NetbiosPrintPath, public ::testing::WithParamInterface<NetbiosJobCase> {};

TEST_P(NetbiosJobs, ArriveByteForByte) {
  const NetbiosJobCase c = GetParam();
  const char* loss = "data:drop:10%, ack:drop:10%, data:duplicate:5%, data:reorder:5%";
  emu::DeviceConfig device = MonitorPrinter(c.model, PortTransport::Netbeui, c.lossy ? loss : "", c.size * 17 + c.model);
  device.dataLength = 1450;  // more than NetBEUI carries
  device.window = 8;
  StartDevice(device);
  PrintAndCompare(Pattern(c.size, static_cast<unsigned>(c.size + 1)));
  if (c.size >= 1000) {
    EXPECT_EQ(1000, m_server.LargestPacket());
  }
  EXPECT_EQ(1000, m_port->m_DataLength);
}

std::vector<NetbiosJobCase> NetbiosJobCases() {
  std::vector<NetbiosJobCase> cases;
  for (int model : {0, 1})
    for (std::size_t size : {std::size_t{0}, std::size_t{999}, std::size_t{1001}, std::size_t{1024} * 1024})
      for (bool lossy : {false, true}) cases.push_back({model, size, lossy});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(GenerationsSizesAndLoss, NetbiosJobs, ::testing::ValuesIn(NetbiosJobCases()),
                         [](const ::testing::TestParamInfo<NetbiosJobCase>& info) {
                           const NetbiosJobCase& c = info.param;
                           return "Generation" + std::to_string(c.model) + "Of" + std::to_string(c.size) + "Bytes" +
                                  (c.lossy ? "Lossy" : "Clean");
                         });

TEST_F(NetbiosPrintPath, TheStatusIsAskedOfTheDevicesName) {
  emu::DeviceConfig device = MonitorPrinter(0, PortTransport::Netbeui);
  device.portStatus = 0x34;  // port 1 clear, the others not
  StartDevice(device);
  ASSERT_TRUE(m_port->StartPrintPort(u"Printer", 7)) << GetLastError();
  // The start asks for the status once.
  EXPECT_TRUE(WaitUntil([&] { return m_server.StatusQueries() >= 1; }));
  EXPECT_TRUE(WaitUntil([&] { return !IsEventSet(m_port->m_hStatusEvent); }));
  EXPECT_EQ(0, m_port->m_ErrorCode.load());
  ASSERT_TRUE(m_port->EndPrintPort());
}

TEST_F(NetbiosPrintPath, TwoJobsInARowOnOnePort) {
  StartDevice(MonitorPrinter(1, PortTransport::Netbeui, "data:drop:5%, ack:drop:5%"));
  std::string first = Pattern(300000, 1), second = Pattern(200000, 2);
  for (const std::string* data : {&first, &second}) {
    ASSERT_TRUE(m_port->StartPrintPort(u"Printer", 7)) << GetLastError();
    ASSERT_TRUE(WriteAll(*data));
    ASSERT_TRUE(m_port->EndPrintPort()) << GetLastError();
  }
  ASSERT_TRUE(m_server.WaitForJobs(2, 10000));
  const std::vector<std::string> jobs = m_server.JobBytes();
  ASSERT_EQ(2u, jobs.size());
  EXPECT_EQ(Sha256(first), Sha256(jobs[0]));
  EXPECT_EQ(Sha256(second), Sha256(jobs[1]));
}

}  // namespace
}  // namespace vek::test
