// The emulator on loopback: several devices in one process answering the search,
// the status query and the port-information query, each from its own address,
// for unicast and broadcast requests; its log of requests; stop and restart.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/info_reply.h"
#include "net/winsock.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/xudp_socket.h"
#include "support/emulator_lab.h"
#include "support/loopback_subnet.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vek::emu::DeviceConfig;
using vek::emu::Emulator;
using vek::emu::LoggedRequest;
using vek::test::LoopbackSubnet;
using vek::test::ScopedBroadcast;

DeviceConfig Device(int i) {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x30, 0x00, static_cast<std::uint8_t>(i)};
  d.name = "Device " + std::to_string(i);
  d.ports = 1 + i % 3;
  d.portStatus = static_cast<std::uint8_t>(i);
  d.portStatus2 = static_cast<std::uint8_t>(0x40 + i);
  for (int p = 1; p <= d.ports; p++)
    d.portInfo[static_cast<std::size_t>(p - 1)] = {"Device " + std::to_string(i) + " port " + std::to_string(p), "",
                                                   "third"};
  return d;
}

struct Datagram {
  std::vector<BYTE> bytes;
  std::uint32_t from = 0;  // host order
  u_short fromPort = 0;
};

class EmulatorUdpTest : public testing::Test {
 protected:
  static constexpr int kDevices = 3;

  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    std::vector<DeviceConfig> devices;
    for (int i = 1; i <= kDevices; i++) devices.push_back(Device(i));
    std::string message;
    ASSERT_TRUE(vek::test::StartEmulatorOnFreshSubnet(m_emulator, devices, &m_subnet, &message)) << message;
    m_broadcast = std::make_unique<ScopedBroadcast>(m_subnet.Broadcast());
    ASSERT_TRUE(m_socket.Create(0));
    ASSERT_TRUE(m_socket.EnableBroadcast(TRUE));
  }

  void TearDown() override {
    m_socket.Close();
    m_emulator.Stop();
    m_broadcast.reset();
    WSACleanup();
  }

  void SendTo(std::uint32_t hostOrder, WORD command, BYTE type = 0) {
    BYTE request[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(request, type, command);
    m_socket.m_Address.sin_family = AF_INET;
    m_socket.m_Address.sin_port = htons(PS_PORT);
    m_socket.m_Address.sin_addr.s_addr = htonl(hostOrder);
    ASSERT_EQ(m_socket.Send(reinterpret_cast<char*>(request), length, 0), length);
  }

  // The next datagram within the socket's time-out; empty bytes when none came.
  Datagram Next() {
    Datagram d;
    char buffer[PS_BUFFER_LENGTH];
    const int n = m_socket.Receive(buffer, sizeof(buffer), 0);
    if (n > 0) {
      d.bytes.assign(buffer, buffer + n);
      d.from = ntohl(m_socket.m_FromAddress.sin_addr.s_addr);
      d.fromPort = ntohs(m_socket.m_FromAddress.sin_port);
    }
    return d;
  }

  // Replies from this test's devices until `count` distinct senders answered or
  // the deadline passed.
  std::map<std::uint32_t, Datagram> Collect(std::size_t count) {
    std::map<std::uint32_t, Datagram> replies;
    const auto deadline = Clock::now() + 5s;
    while (replies.size() < count && Clock::now() < deadline) {
      Datagram d = Next();
      if (!d.bytes.empty() && m_subnet.Contains(d.from)) replies[d.from] = d;
    }
    return replies;
  }

  u_short OwnPort() {
    sockaddr_in bound{};
    int length = sizeof(bound);
    getsockname(m_socket.m_Socket, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.sin_port);
  }

  Emulator m_emulator;
  LoopbackSubnet m_subnet;
  std::unique_ptr<ScopedBroadcast> m_broadcast;
  XUDPSocket m_socket;
};

TEST_F(EmulatorUdpTest, UnicastSearchIsAnsweredFromTheDeviceItself) {
  for (WORD command : {0x0004, 0x0104}) {
    SendTo(m_subnet.Host(2), command);
    Datagram reply = Next();
    ASSERT_FALSE(reply.bytes.empty()) << std::hex << command;
    EXPECT_EQ(reply.from, m_subnet.Host(2));
    EXPECT_EQ(reply.fromPort, PS_PORT);
    EXPECT_TRUE(PSIsReplyWord(reply.bytes.data(), static_cast<int>(reply.bytes.size()), 0x0084));
    CPrintServer ps;
    ASSERT_TRUE(ps.ParseReply(reply.bytes.data(), static_cast<int>(reply.bytes.size())));
    EXPECT_EQ(ps.m_NodeID[5], 2);
    EXPECT_STREQ(ps.GetName(), "Device 2");
    EXPECT_EQ(ps.GetPortCount(), 3);
    EXPECT_EQ(ps.GetIPAddress()[3], 2) << "the device reports its own address as configured";
  }
}

TEST_F(EmulatorUdpTest, BroadcastSearchReachesEveryDevice) {
  SendTo(INADDR_BROADCAST, 0x0004);
  std::map<std::uint32_t, Datagram> replies = Collect(kDevices);
  ASSERT_EQ(replies.size(), static_cast<std::size_t>(kDevices));
  for (int i = 1; i <= kDevices; i++) {
    const Datagram& reply = replies[m_subnet.Host(i)];
    EXPECT_EQ(reply.fromPort, PS_PORT);
    CPrintServer ps;
    ASSERT_TRUE(ps.ParseReply(reply.bytes.data(), static_cast<int>(reply.bytes.size())));
    EXPECT_EQ(ps.m_NodeID[5], i) << "device " << i << " answers from its own address";
  }
  const u_short port = OwnPort();
  ASSERT_TRUE(m_emulator.Log().WaitForCount(kDevices, 5s));
  std::set<std::size_t> devices;
  for (const LoggedRequest& entry : m_emulator.Log().Snapshot()) {
    EXPECT_TRUE(entry.broadcast);
    EXPECT_TRUE(entry.answered);
    EXPECT_EQ(entry.command, 0x0004);
    EXPECT_EQ(entry.data.size(), 64u);
    EXPECT_EQ(entry.fromPort, port);
    devices.insert(entry.device);
  }
  EXPECT_EQ(devices, (std::set<std::size_t>{0, 1, 2}));
}

TEST_F(EmulatorUdpTest, StatusQueryReportsTheLiveStatus) {
  SendTo(m_subnet.Host(3), 0x0008);
  Datagram reply = Next();
  ASSERT_EQ(reply.bytes.size(), 64u);
  EXPECT_EQ(reply.from, m_subnet.Host(3));
  EXPECT_TRUE(PSIsReplyWord(reply.bytes.data(), 64, 0x0088));
  EXPECT_EQ(reply.bytes[6], 3);
  EXPECT_EQ(reply.bytes[7], 0x43);

  m_emulator.DeviceAt(2).SetPortStatus(PS_STATUS_DOWNLOAD, 0x01);
  SendTo(m_subnet.Host(3), 0x0008);
  reply = Next();
  ASSERT_EQ(reply.bytes.size(), 64u);
  EXPECT_EQ(reply.bytes[6], PS_STATUS_DOWNLOAD);
  EXPECT_EQ(reply.bytes[7], 0x01);
}

TEST_F(EmulatorUdpTest, PortInformationNamesThePortAndCarriesItsThreeTexts) {
  // Device 2 has 3 ports; device 1 has 2.
  auto ask = [&](std::uint32_t host, BYTE port) {
    BYTE request[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(request, PSTYPE_CONFIG, PSCMD_PORT_INFO);
    request[6] = port;
    m_socket.m_Address.sin_family = AF_INET;
    m_socket.m_Address.sin_port = htons(PS_PORT);
    m_socket.m_Address.sin_addr.s_addr = htonl(host);
    ASSERT_EQ(m_socket.Send(reinterpret_cast<char*>(request), length, 0), length);
  };
  for (BYTE port = 1; port <= 3; port++) {
    SCOPED_TRACE(int{port});
    ask(m_subnet.Host(2), port);
    const Datagram reply = Next();
    EXPECT_EQ(reply.from, m_subnet.Host(2));
    ASSERT_GE(reply.bytes.size(), 64u);
    EXPECT_TRUE(PSIsReplyWord(reply.bytes.data(), static_cast<int>(reply.bytes.size()), 0x0090));
    EXPECT_EQ(reply.bytes[3], 0) << "type byte";
    EXPECT_EQ(reply.bytes[6], port);
    // The three texts with their NULs (the second is empty), then zeros.
    std::string texts = "Device 2 port " + std::to_string(port) + std::string("\0\0third\0", 8);
    texts.resize(reply.bytes.size() - 7, '\0');
    EXPECT_EQ(std::string(reply.bytes.begin() + 7, reply.bytes.end()), texts);
  }

  // Ports the device does not have.
  ASSERT_TRUE(m_socket.SetTimeout(300));
  m_emulator.Log().Clear();
  ask(m_subnet.Host(1), 3);
  ask(m_subnet.Host(1), 0);
  ask(m_subnet.Host(2), 4);
  ask(m_subnet.Host(2), 255);
  ASSERT_TRUE(m_emulator.Log().WaitForCount(4, 5s));
  EXPECT_TRUE(Next().bytes.empty());
  for (const LoggedRequest& entry : m_emulator.Log().Snapshot()) {
    EXPECT_EQ(entry.kind, "port-info");
    EXPECT_FALSE(entry.answered);
  }

  // A device that sets bit 2 of its system flags announces the query.
  DeviceConfig announcing = Device(1);
  announcing.systemFlags = 0x04;
  EXPECT_EQ(vek::emu::BuildInformationReply(announcing)[PS_SYSTEM_OFFSET + PSField::SystemFlags], 0x04);
}

TEST_F(EmulatorUdpTest, RequestsItDoesNotServeAreLoggedButNotAnswered) {
  ASSERT_TRUE(m_socket.SetTimeout(300));
  SendTo(m_subnet.Host(1), 0x0010, PSTYPE_CONFIG);  // port information for port 0: no such port
  SendTo(m_subnet.Host(1), 0x0084);                 // another device's reply
  m_socket.m_Address.sin_addr.s_addr = htonl(m_subnet.Host(1));
  ASSERT_EQ(m_socket.Send("QI\x08", 3, 0), 3);  // an older generation's request
  ASSERT_TRUE(m_emulator.Log().WaitForCount(3, 5s));
  EXPECT_TRUE(Next().bytes.empty());
  const std::vector<LoggedRequest> log = m_emulator.Log().Snapshot();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].command, 0x0010);
  EXPECT_EQ(log[1].command, 0x0084);
  EXPECT_EQ(log[2].command, 0) << "not a NET datagram";
  for (const LoggedRequest& entry : log) {
    EXPECT_FALSE(entry.answered);
    EXPECT_FALSE(entry.broadcast);
    EXPECT_EQ(entry.device, 0u);
  }
}

TEST_F(EmulatorUdpTest, StoppedEmulatorIsSilentAndCanStartAgain) {
  m_emulator.Stop();
  EXPECT_FALSE(m_emulator.Running());
  ASSERT_TRUE(m_socket.SetTimeout(300));
  SendTo(m_subnet.Host(1), 0x0004);
  EXPECT_TRUE(Next().bytes.empty());

  vek::emu::EmulatorOptions options;
  options.devices = {Device(1)};
  options.devices[0].address = m_subnet.Host(1);
  options.broadcast = m_subnet.Broadcast();
  std::string message;
  ASSERT_TRUE(m_emulator.Start(options, &message)) << message;
  ASSERT_TRUE(m_socket.SetTimeout(5000));
  SendTo(m_subnet.Host(1), 0x0004);
  EXPECT_EQ(Next().from, m_subnet.Host(1));
}

TEST_F(EmulatorUdpTest, AnAddressInUseFailsTheStartAndLeavesNothingOpen) {
  Emulator second;
  vek::emu::EmulatorOptions options;
  options.devices = {Device(7), Device(8)};
  options.devices[0].address = m_subnet.Host(9);
  options.devices[1].address = m_subnet.Host(1);  // taken by the first emulator
  std::string message;
  int error = 0;
  EXPECT_FALSE(second.Start(options, &message, &error));
  EXPECT_EQ(error, WSAEADDRINUSE);
  EXPECT_NE(message.find(m_subnet.Dotted(1) + ":20560"), std::string::npos) << message;
  EXPECT_FALSE(second.Running());
  // The device that had been opened was closed again: its address is free.
  options.devices = {Device(7)};
  options.devices[0].address = m_subnet.Host(9);
  EXPECT_TRUE(second.Start(options, &message)) << message;
}

TEST_F(EmulatorUdpTest, ASubnetInUseMakesTheLabStartOnAnotherWithoutAnError) {
  // Tests in parallel processes pick their subnets at random and now and then
  // meet: the start goes on on another subnet, and what failed on the taken one
  // is no error of the start's.
  Emulator second;
  LoopbackSubnet subnet = m_subnet;  // tried first: taken by the first emulator
  std::string message;
  ASSERT_TRUE(vek::test::StartEmulatorOnFreshSubnet(second, {Device(7)}, &subnet, &message)) << message;
  EXPECT_EQ(message, "");
  EXPECT_FALSE(subnet.A() == m_subnet.A() && subnet.B() == m_subnet.B());
  EXPECT_EQ(second.DeviceAt(0).Config().address, subnet.Host(1));
}

TEST(EmulatorBroadcast, RealLoopbackBroadcastIsSharedByEmulators) {
  WSADATA data;
  ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
  {
    // Two emulators on subnets of their own, both on the real loopback broadcast
    // address (others' emulators may be there too: only our subnets count).
    Emulator first, second;
    LoopbackSubnet a, b;
    std::string message;
    vek::emu::EmulatorOptions options;
    options.broadcast = "127.255.255.255";
    options.devices = {Device(1)};
    options.devices[0].address = a.Host(1);
    ASSERT_TRUE(first.Start(options, &message)) << message;
    options.devices = {Device(2)};
    options.devices[0].address = b.Host(1);
    ASSERT_TRUE(second.Start(options, &message)) << message;

    ScopedBroadcast mapping("127.255.255.255");
    XUDPSocket socket;
    ASSERT_TRUE(socket.Create(0));
    ASSERT_TRUE(socket.EnableBroadcast(TRUE));
    BYTE request[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(request, 0, 0x0004);
    socket.m_Address.sin_family = AF_INET;
    socket.m_Address.sin_port = htons(PS_PORT);
    socket.m_Address.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    ASSERT_EQ(socket.Send(reinterpret_cast<char*>(request), length, 0), length);
    std::set<std::uint32_t> heard;
    const auto deadline = Clock::now() + 5s;
    while (heard.size() < 2 && Clock::now() < deadline) {
      char buffer[PS_BUFFER_LENGTH];
      if (socket.Receive(buffer, sizeof(buffer), 0) <= 0) continue;
      const std::uint32_t from = ntohl(socket.m_FromAddress.sin_addr.s_addr);
      if (from == a.Host(1) || from == b.Host(1)) heard.insert(from);
    }
    EXPECT_EQ(heard, (std::set<std::uint32_t>{a.Host(1), b.Host(1)}));
  }
  WSACleanup();
}

}  // namespace
