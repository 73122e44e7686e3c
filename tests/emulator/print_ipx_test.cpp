// The devices as stations of a simulated IPX segment of the test's own: the
// searches and status queries they answer, print jobs over IPX, the faults that
// need a second socket or station, and the router's answers to routing-
// information requests.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/router.h"
#include "print_host.h"
#include "support/emulator_lab.h"
#include "support/temp_root.h"

namespace {

using namespace std::chrono_literals;
using namespace printlab;
using vek::emu::DeviceConfig;
using vek::emu::Emulator;
using vek::emu::EmulatorOptions;
using vek::emu::JobRecord;
using vek::emu::RipRoute;
using Network = std::array<std::uint8_t, 4>;
using Node = std::array<std::uint8_t, 6>;

constexpr Node kBroadcastNode = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr Network kOtherNetwork = {0x00, 0x00, 0xAB, 0xCD};

DeviceConfig Station(int generation, std::uint8_t n) {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x70, static_cast<std::uint8_t>(generation), n};
  d.name = "Station " + std::to_string(n);
  d.generation = generation;
  d.ports = 2;
  d.transports = {false, true, false};
  d.reackMs = 40;
  d.ackDelayMs = 1;
  return d;
}

Network NetworkOf(const SOCKADDR_IPX& a) {
  Network n;
  std::memcpy(n.data(), a.sa_netnum, 4);
  return n;
}
Node NodeOf(const SOCKADDR_IPX& a) {
  Node n;
  std::memcpy(n.data(), a.sa_nodenum, 6);
  return n;
}

Bytes RipRequest(const Network& wanted = {0xFF, 0xFF, 0xFF, 0xFF}) {
  Bytes b(402, 0);
  b[1] = 0x01;
  std::copy(wanted.begin(), wanted.end(), b.begin() + 2);
  return b;
}

class PrintIpx : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_segments.Ok());
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override {
    m_emulator.Stop();
    WSACleanup();
  }
  void Start(std::vector<DeviceConfig> devices, vek::emu::RouterConfig router = {}) {
    EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_spool.path();
    options.router = router;
    std::string message;
    ASSERT_TRUE(vek::test::StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
    m_network = m_emulator.IpxNetworkOf(0);
  }
  Node MacOf(std::size_t device) { return m_emulator.DeviceAt(device).Config().mac; }

  vek::test::ScopedSegments m_segments;
  vek::test::TempDir m_spool;
  Emulator m_emulator;
  vek::test::LoopbackSubnet m_subnet;
  Network m_network{};
};

TEST_F(PrintIpx, SearchesAreAnsweredByTheStationsOfTheNetworkAskedFor) {
  DeviceConfig far = Station(1, 3);
  far.ipxNetwork = kOtherNetwork;
  Start({Station(1, 1), Station(0, 2), far});
  EXPECT_EQ(vek::emu::FormatNetwork(m_network), m_segments.Network()) << "the process's own network";
  EXPECT_EQ(m_emulator.IpxNetworkOf(2), kOtherNetwork);

  // To the broadcast node of this network (0 in the address: our own).
  IpxLink link(Network{}, kBroadcastNode);
  ASSERT_TRUE(link.Send(NetSearch(0x0004)));
  auto net = Expect(link, [](const Bytes& b) { return b.size() > 40 && b[0] == 'N' && b[4] == 0x84; });
  ASSERT_TRUE(net);
  EXPECT_EQ(NodeOf(link.LastFrom()), MacOf(0)) << "the device's MAC is its node";
  EXPECT_EQ(NetworkOf(link.LastFrom()), m_network);
  EXPECT_EQ(ntohs(link.LastFrom().sa_socket), 0x5050);
  const Node first = MacOf(0), second = MacOf(1);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), net->begin() + 6)) << "the MAC at 6";

  link.SetDestination(Network{}, kBroadcastNode, 0x5050);
  ASSERT_TRUE(link.Send(OlderSearch(TransportKind::Ipx)));
  auto older = Expect(link, [](const Bytes& b) { return b.size() > 0x1E2 && b[0] == 'Q' && b[2] == 0x84; });
  ASSERT_TRUE(older);
  EXPECT_EQ(NodeOf(link.LastFrom()), MacOf(1));
  EXPECT_TRUE(std::equal(second.begin(), second.end(), older->begin() + 0x16));
  EXPECT_EQ((*older)[0x1E1], 2) << "two ports";

  // The far device hears only searches sent to its network.
  link.SetDestination(kOtherNetwork, kBroadcastNode, 0x5050);
  ASSERT_TRUE(link.Send(NetSearch()));
  ASSERT_TRUE(Expect(link, [](const Bytes& b) { return b.size() > 40 && b[0] == 'N' && b[4] == 0x84; }));
  EXPECT_EQ(NodeOf(link.LastFrom()), MacOf(2));
  EXPECT_EQ(NetworkOf(link.LastFrom()), kOtherNetwork);

  ASSERT_TRUE(m_emulator.Log().WaitFor([](const auto& log) { return log.size() >= 5; }, 5s));
  std::map<std::size_t, int> heard;
  for (const auto& entry : m_emulator.Log().Snapshot()) {
    EXPECT_EQ(entry.transport, TransportKind::Ipx);
    EXPECT_TRUE(entry.broadcast);
    EXPECT_EQ(entry.ipxPacketType, 90);
    heard[entry.device]++;
  }
  EXPECT_EQ(heard[2], 1) << "the far device heard one search";
}

TEST_F(PrintIpx, StatusAndJobsOfBothGenerations) {
  DeviceConfig one = Station(1, 1);
  one.portStatus = 0x04;
  Start({one, Station(0, 2)});
  for (std::size_t device : {0u, 1u}) {
    const Form form{device == 0 ? 1 : 0, TransportKind::Ipx};
    SCOPED_TRACE("generation " + std::to_string(form.generation));
    IpxLink link(m_network, MacOf(device));
    ASSERT_TRUE(link.Send(Status(form)));
    auto status = Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x88); });
    ASSERT_TRUE(status);
    EXPECT_EQ((*status)[form.F()], device == 0 ? 0x04 : 0x00);

    for (std::size_t size : {std::size_t{0}, std::size_t{1399}, std::size_t{1400}, std::size_t{100000}}) {
      const Bytes job = Pattern(size, static_cast<std::uint32_t>(size + device));
      Host host(link, form, 1);
      HostReport report;
      ASSERT_TRUE(host.Print(job, &report)) << size;
      EXPECT_EQ(report.dataLength, device == 0 ? 1400 : 1024) << "the IPX ceiling";
      auto record = m_emulator.Jobs().WaitForJob(
          [&](const JobRecord& r) { return r.device == device && r.size == size && r.ended; }, 5s);
      ASSERT_TRUE(record);
      EXPECT_EQ(record->sha256, vek::emu::Sha256Hex(job));
      EXPECT_EQ(record->transport, TransportKind::Ipx);
      m_emulator.Jobs().Clear();
    }
  }
}

TEST_F(PrintIpx, AcknowledgementsFromAnotherSocketAndStraysFromAnotherStation) {
  DeviceConfig d = Station(1, 1);
  d.faults = {{vek::emu::MessageKind::Ack, vek::emu::FaultKind::OtherPort, 0, 2},
              {vek::emu::MessageKind::Ack, vek::emu::FaultKind::Stray, 0, 2}};
  Start({d});
  const Form form{1, TransportKind::Ipx};
  IpxLink link(m_network, MacOf(0));
  ASSERT_TRUE(link.Send(Connect(form, 1)));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x8A); }));
  auto grant = Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; });
  ASSERT_TRUE(grant);
  EXPECT_EQ(NodeOf(link.LastFrom()), MacOf(0));
  EXPECT_NE(ntohs(link.LastFrom().sa_socket), 0x5050) << "from the device's other socket";
  auto stray = link.Receive(2000);
  ASSERT_TRUE(stray);
  Node strayNode = MacOf(0);
  strayNode[5] = static_cast<std::uint8_t>(~strayNode[5]);
  EXPECT_EQ(NodeOf(link.LastFrom()), strayNode) << "another station";
  EXPECT_FALSE(IsAnswer(form, *stray, 0x8B));

  // A whole job still arrives.
  link.RestoreDevicePort();
  link.SetDestination(m_network, MacOf(0), 0x5050);
  const Bytes job = Pattern(20000);
  Host host(link, form, 1);
  HostReport report;
  ASSERT_TRUE(host.Print(job, &report));
  auto record = m_emulator.Jobs().WaitForJob([&](const JobRecord& r) { return r.size == job.size() && r.ended; }, 5s);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->sha256, vek::emu::Sha256Hex(job));
}

TEST_F(PrintIpx, TheRouterListsItsNetworksToARoutingRequest) {
  vek::emu::RouterConfig router;
  router.enabled = true;
  router.routesGiven = true;
  router.routes = {RipRoute{{0x00, 0x00, 0x00, 0x42}, 1, 2}, RipRoute{kOtherNetwork, 3, 7}};
  Start({Station(1, 1)}, router);
  ASSERT_TRUE(m_emulator.Router());

  IpxLink rip(Network{}, kBroadcastNode, vek::emu::kRipSocket, vek::emu::kRipPacketType);
  ASSERT_TRUE(rip.Send(RipRequest()));
  auto answer = rip.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, (Bytes{0x00, 0x02, 0x00, 0x00, 0x00, 0x42, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0xAB, 0xCD, 0x00,
                            0x03, 0x00, 0x07}));
  EXPECT_EQ(ntohs(rip.LastFrom().sa_socket), 0x0453);
  EXPECT_EQ(NodeOf(rip.LastFrom()), (Node{0x02, 0x00, 0x52, 0x54, 0x00, 0x01}));
  EXPECT_EQ(NetworkOf(rip.LastFrom()), m_network) << "the router sits on our own network";

  // Asked for one network: that one alone.
  rip.RestoreDevicePort();
  rip.SetDestination(Network{}, kBroadcastNode, vek::emu::kRipSocket);
  ASSERT_TRUE(rip.Send(RipRequest(kOtherNetwork)));
  answer = rip.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, (Bytes{0x00, 0x02, 0x00, 0x00, 0xAB, 0xCD, 0x00, 0x03, 0x00, 0x07}));

  // Not a routing request: a wrong packet type, too short, or an answer.
  IpxLink wrongType(Network{}, kBroadcastNode, vek::emu::kRipSocket, 0);
  ASSERT_TRUE(wrongType.Send(RipRequest()));
  rip.SetDestination(Network{}, kBroadcastNode, vek::emu::kRipSocket);
  ASSERT_TRUE(rip.Send(Bytes{0x00, 0x01, 0xFF, 0xFF, 0xFF}));
  Bytes response = RipRequest();
  response[1] = 0x02;
  ASSERT_TRUE(rip.Send(response));
  const auto deadline = Clock::now() + 5s;
  while (m_emulator.Router()->Counters().ignored < 3 && Clock::now() < deadline) rip.Receive(20);
  EXPECT_FALSE(rip.Receive(50));
  EXPECT_FALSE(wrongType.Receive(50));
  const auto counters = m_emulator.Router()->Counters();
  EXPECT_EQ(counters.answered, 2);
  EXPECT_EQ(counters.ignored, 3);
  EXPECT_EQ(counters.lastIgnored, "operation 2, not a request");
}

TEST_F(PrintIpx, TheRouterAnnouncesTheDevicesNetworksUnlessToldOtherwise) {
  DeviceConfig far = Station(1, 2);
  far.ipxNetwork = kOtherNetwork;
  vek::emu::RouterConfig router;
  router.enabled = true;
  Start({Station(1, 1), far}, router);
  ASSERT_EQ(m_emulator.RouterRoutes().size(), 2u);
  EXPECT_EQ(m_emulator.RouterRoutes()[0].network, m_network);
  EXPECT_EQ(m_emulator.RouterRoutes()[1].network, kOtherNetwork);
  IpxLink rip(Network{}, kBroadcastNode, vek::emu::kRipSocket, vek::emu::kRipPacketType);
  ASSERT_TRUE(rip.Send(RipRequest()));
  auto answer = rip.Receive(5000);
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->size(), 2u + 2 * 8);
  EXPECT_TRUE(std::equal(kOtherNetwork.begin(), kOtherNetwork.end(), answer->begin() + 10));
}

TEST(RipAnswer, LongListsGoInAnswersOfFiftyAndDuplicatesOnce) {
  std::vector<RipRoute> routes;
  for (int i = 1; i <= 60; i++) routes.push_back(RipRoute{{0, 0, 1, static_cast<std::uint8_t>(i)}, 1, 2});
  std::string note;
  auto answers = vek::emu::AnswerRip(RipRequest(), 1, routes, &note);
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0].size(), 2u + 50 * 8);
  EXPECT_EQ(answers[1].size(), 2u + 10 * 8);
  // Two entries asking for the same network, and one for an unknown one.
  Bytes request = RipRequest({0, 0, 1, 7});
  request.resize(2 + 3 * 8, 0);
  std::copy_n(request.begin() + 2, 8, request.begin() + 10);
  request[18 + 3] = 0x99;
  answers = vek::emu::AnswerRip(request, 1, routes, &note);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].size(), 10u);
  EXPECT_TRUE(vek::emu::AnswerRip(RipRequest({9, 9, 9, 9}), 1, routes, &note).empty());
  EXPECT_EQ(note, "no network asked for is known");
  const Bytes full = RipRequest();
  for (std::size_t n = 0; n < 10; n++)
    EXPECT_TRUE(vek::emu::AnswerRip(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)), 1, routes, &note)
                    .empty());
}

}  // namespace
