// The port-information query and the record's own restart: against the emulator
// for what a device asks and answers, and against replies of the test's own
// making for what a hostile device may send.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device_lab.h"
#include "emulator/info_reply.h"
#include "protocol/section_walk.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vek::test::Bytes;
using vek::test::DeviceLab;

constexpr std::uint8_t kPortInfoFlag = 0x04;

// The port-information requests device i received, in order.
std::vector<vek::emu::LoggedRequest> PortInfoRequests(vek::emu::Emulator& emulator, std::size_t device) {
  std::vector<vek::emu::LoggedRequest> requests;
  for (const auto& entry : emulator.Log().Snapshot())
    if (entry.device == device && entry.kind == "port-info") requests.push_back(entry);
  return requests;
}

std::vector<std::string> Texts(const CPrintServer& ps, int port) {
  return {ps.m_PortInfo[port - 1][0], ps.m_PortInfo[port - 1][1], ps.m_PortInfo[port - 1][2]};
}

// A three-port server that answers the query, with port 2 offline and port 3 busy.
vek::emu::DeviceConfig PortInfoDevice(std::uint8_t n, const std::string& name) {
  vek::emu::DeviceConfig d = vek::test::BlockDevice(n, name);
  d.systemFlags = kPortInfoFlag | 0x01;
  d.portInfo[0] = {"  Laser one ", "\tUSB  2.0\t", ""};
  d.portInfo[1] = {"not asked", "not asked", "not asked"};
  d.portInfo[2] = {" Label ", "", "  ready"};
  d.portStatus = (PS_PORT_OFFLINE << 2) | (PS_PORT_BUSY << 4);
  return d;
}

class PortInfoQuery : public DeviceLab {};

TEST_F(PortInfoQuery, AsksThePortsThatAreNotOfflineAtTheConfiguredAddress) {
  Start({PortInfoDevice(1, "Three ports")});
  ASSERT_EQ(vek::emu::BuildInformationReply(Device(0).Config())[PS_SYSTEM_OFFSET + PSField::SystemFlags],
            kPortInfoFlag | 0x01)
      << "the device announces the query in its system flags";
  auto ps = Record(0);
  ASSERT_TRUE(ps->QueryStatus());
  ASSERT_EQ(ps->m_PortStatus, 0x38);
  ps->m_PortInfo[1][0] = "from before";
  // Found late in the search: the configured address is still where it is asked.
  std::memset(ps->m_IPAddress, 0xFF, 4);
  m_emulator.Log().Clear();

  EXPECT_TRUE(ps->QueryPortInfo());
  EXPECT_EQ(ps->m_PortInfoRead, 1);
  EXPECT_EQ(Texts(*ps, 1), (std::vector<std::string>{"Laser one", "USB  2.0", ""}));
  EXPECT_EQ(Texts(*ps, 2), (std::vector<std::string>{"", "", ""})) << "offline: not asked, and nothing kept";
  EXPECT_EQ(Texts(*ps, 3), (std::vector<std::string>{"Label", "", "ready"}));

  const auto requests = PortInfoRequests(m_emulator, 0);
  ASSERT_EQ(requests.size(), 2u);
  const BYTE ports[] = {1, 3};
  for (std::size_t i = 0; i < requests.size(); i++) {
    SCOPED_TRACE(i);
    const Bytes& data = requests[i].data;
    ASSERT_EQ(data.size(), 64u);
    Bytes expected(64, 0);
    std::memcpy(expected.data(), "NETP", 4);
    expected[4] = PSCMD_PORT_INFO;
    expected[6] = ports[i];
    EXPECT_EQ(data, expected);
    EXPECT_FALSE(requests[i].broadcast);
    EXPECT_TRUE(requests[i].answered);
  }
}

TEST_F(PortInfoQuery, OnlyARecordThatAnnouncesItIsAskedAndNothingIsSentOtherwise) {
  auto unflagged = PortInfoDevice(1, "Unflagged");
  unflagged.systemFlags = 0xFB;  // every bit but the query's
  Start({unflagged, PortInfoDevice(2, "Flagged")});

  auto withoutFlag = Record(0);
  // The flagged device's reply with a system section of 3 bytes: not extended,
  // though the flags byte and the address are still there.
  const Bytes reply = Reply(1);
  const int systemLength = reply[PS_SYSTEM_OFFSET];
  Bytes shortSystem(reply.begin(), reply.begin() + PS_SYSTEM_OFFSET);
  shortSystem.insert(shortSystem.end(), {3, reply[PS_SYSTEM_OFFSET + 1], reply[PS_SYSTEM_OFFSET + 2],
                                         reply[PS_SYSTEM_OFFSET + 3]});
  shortSystem.insert(shortSystem.end(), reply.begin() + PS_SYSTEM_OFFSET + 1 + systemLength, reply.end());
  CPrintServer notExtended;
  ASSERT_TRUE(notExtended.ParseReply(shortSystem.data(), static_cast<int>(shortSystem.size())));
  notExtended.m_Transport = PS_TRANSPORT_UDP;
  ASSERT_FALSE(notExtended.IsExtended());
  ASSERT_NE(notExtended.GetIPAddress(), nullptr);
  // Found over IPX only.
  auto overIpx = Record(1);
  overIpx->m_Transport = PS_TRANSPORT_IPX;

  m_emulator.Log().Clear();
  for (CPrintServer* ps : {withoutFlag.get(), &notExtended, overIpx.get()}) {
    const auto start = Clock::now();
    EXPECT_FALSE(ps->QueryPortInfo()) << ps->GetName();
    EXPECT_LT(Clock::now() - start, 100ms) << ps->GetName();
    EXPECT_EQ(ps->m_PortInfoRead, 0) << ps->GetName();
  }
  // A status query after them arrives; nothing came before it.
  ASSERT_TRUE(withoutFlag->QueryStatus());
  for (const auto& entry : m_emulator.Log().Snapshot()) EXPECT_EQ(entry.kind, "status");
}

TEST_F(PortInfoQuery, LostAnswersLeaveTheQueryRunWithoutResult) {
  auto dropping = PortInfoDevice(1, "Dropping");
  dropping.ports = 1;
  dropping.faults = {{vek::emu::MessageKind::PortInfo, vek::emu::FaultKind::Drop, 0, -1}};
  auto late = PortInfoDevice(2, "Late");
  late.ports = 1;
  late.faults = {{vek::emu::MessageKind::PortInfo, vek::emu::FaultKind::Delay, 4000, -1}};
  auto noisy = PortInfoDevice(3, "Noisy");
  noisy.faults = {{vek::emu::MessageKind::PortInfo, vek::emu::FaultKind::Empty, 0, -1},
                  {vek::emu::MessageKind::PortInfo, vek::emu::FaultKind::Duplicate, 0, -1}};
  Start({dropping, late, noisy});

  for (std::size_t i : {0u, 1u}) {
    SCOPED_TRACE(i);
    auto ps = Record(i);
    const auto start = Clock::now();
    EXPECT_FALSE(ps->QueryPortInfo());
    EXPECT_GE(Clock::now() - start, 3400ms);
    EXPECT_LT(Clock::now() - start, 4500ms);
    EXPECT_EQ(ps->m_PortInfoRead, 1);
    EXPECT_EQ(Texts(*ps, 1), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(PortInfoRequests(m_emulator, i).size(), 1u);
  }

  // An empty datagram before each answer, and each answer twice: the texts as
  // from a quiet device, and no port waits out its time.
  auto ps = Record(2);
  ASSERT_TRUE(ps->QueryStatus());
  const auto start = Clock::now();
  EXPECT_TRUE(ps->QueryPortInfo());
  EXPECT_LT(Clock::now() - start, 2s);
  EXPECT_EQ(Texts(*ps, 1), (std::vector<std::string>{"Laser one", "USB  2.0", ""}));
  EXPECT_EQ(Texts(*ps, 3), (std::vector<std::string>{"Label", "", "ready"}));
  EXPECT_EQ(PortInfoRequests(m_emulator, 2).size(), 2u);
}

// Replies of the test's own making: a socket at the device's address answers each
// request with a series of datagrams, only the last of which is to be taken;
// another host answers first.
class HostilePortInfo : public DeviceLab {
 protected:
  SOCKET Bound(int host) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(PS_PORT);
    local.sin_addr.s_addr = htonl(m_subnet.Host(host));
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << host;
    const DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    return s;
  }

  static Bytes Datagram(BYTE port, const std::string& texts, WORD command = 0x0090) {
    Bytes d(7 + texts.size(), 0);
    std::memcpy(d.data(), "NET", 3);
    PSPutWord(d.data() + 4, command);
    d[6] = port;
    std::memcpy(d.data() + 7, texts.data(), texts.size());
    return d;
  }

  static void SendTo(SOCKET s, const Bytes& datagram, const sockaddr_in& to) {
    // A heap copy of the exact length, as the device would hand it over.
    std::vector<char> copy(datagram.begin(), datagram.end());
    sendto(s, copy.data(), static_cast<int>(copy.size()), 0, reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  }
};

TEST_F(HostilePortInfo, RepliesAreReadWithinTheirLengthAndOnlyFromTheDevice) {
  Start({vek::test::CableDevice(1, "Unused")});
  SOCKET device = Bound(9);
  SOCKET other = Bound(10);
  std::vector<Bytes> requests;
  std::thread answering([&] {
    for (int i = 0; i < 3; i++) {
      char buffer[PS_BUFFER_LENGTH];
      sockaddr_in from{};
      int fromLength = sizeof(from);
      const int n = recvfrom(device, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
      if (n <= 0) return;
      requests.emplace_back(buffer, buffer + n);
      const BYTE port = n > 6 ? static_cast<BYTE>(buffer[6]) : 0;
      if (port == 1) {
        SendTo(other, Datagram(1, std::string("intruder\0b\0c\0", 13)), from);
        SendTo(device, Datagram(0, std::string("zero\0b\0c\0", 9)), from);
        SendTo(device, Datagram(4, std::string("four\0b\0c\0", 9)), from);
        // Every text but the last with its NUL; the last ends the datagram.
        SendTo(device, Datagram(1, std::string(" one \0two\0  three  ", 19)), from);
      } else if (port == 2) {
        SendTo(device, Bytes{'N', 'E', 'T', 0, 0x90, 0}, from);  // no port byte
        Bytes notNet = Datagram(2, std::string("not NET\0b\0c\0", 12));
        notNet[2] = 'X';
        SendTo(device, notNet, from);
        SendTo(device, Datagram(2, ""), from);  // 7 bytes: the port and no texts
      } else {
        // Whatever command word, a single text without its NUL.
        SendTo(device, Datagram(3, "  only text", 0x1234), from);
      }
    }
  });

  vek::emu::DeviceConfig config = PortInfoDevice(9, "Own");
  config.address = m_subnet.Host(9);
  config.portStatus = 0;
  const std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(config);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reply.data(), static_cast<int>(reply.size())));
  ps.m_Transport = PS_TRANSPORT_UDP;
  // The address the search saw answering is the other host's: the query goes to
  // the configured one, and takes its answers from there only.
  PutAddress(ps.m_IPAddress, m_subnet.Host(10));
  const auto start = Clock::now();
  EXPECT_TRUE(ps.QueryPortInfo());
  EXPECT_LT(Clock::now() - start, 3s) << "every port took an answer";
  answering.join();
  closesocket(device);
  closesocket(other);

  EXPECT_EQ(ps.m_PortInfoRead, 1);
  EXPECT_EQ(Texts(ps, 1), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(Texts(ps, 2), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Texts(ps, 3), (std::vector<std::string>{"only text", "", ""}));
  ASSERT_EQ(requests.size(), 3u);
  for (int p = 1; p <= 3; p++) EXPECT_EQ(requests[static_cast<std::size_t>(p - 1)][6], p);
}

TEST_F(HostilePortInfo, AnAnswerForAnotherPortFillsThatPort) {
  Start({vek::test::CableDevice(1, "Unused")});
  SOCKET device = Bound(9);
  std::thread answering([&] {
    char buffer[PS_BUFFER_LENGTH];
    sockaddr_in from{};
    int fromLength = sizeof(from);
    if (recvfrom(device, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength) <= 0) return;
    SendTo(device, Datagram(3, std::string("third\0\0", 7)), from);
  });
  vek::emu::DeviceConfig config = PortInfoDevice(9, "Own");
  config.address = m_subnet.Host(9);
  config.ports = 1;
  const std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(config);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reply.data(), static_cast<int>(reply.size())));
  ps.m_Transport = PS_TRANSPORT_UDP;
  PutAddress(ps.m_IPAddress, m_subnet.Host(9));
  EXPECT_TRUE(ps.QueryPortInfo());
  answering.join();
  closesocket(device);
  EXPECT_EQ(Texts(ps, 1), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Texts(ps, 3), (std::vector<std::string>{"third", "", ""}));
}

class RecordRestart : public DeviceLab {};

TEST_F(RecordRestart, SendsTheRestartTwiceWithTheMacAndTheDeviceGoesQuiet) {
  Start({vek::test::CableDevice(1, "Cable")});
  auto ps = Record(0);
  m_emulator.Log().Clear();
  EXPECT_TRUE(ps->Restart());
  ASSERT_TRUE(m_emulator.Log().WaitForCount(2, 2s));
  const auto log = m_emulator.Log().Snapshot();
  ASSERT_EQ(log.size(), 2u);
  Bytes expected(64, 0);
  std::memcpy(expected.data(), "NETP", 4);
  expected[4] = PSCMD_RESTART;
  std::memcpy(expected.data() + 6, ps->m_NodeID, 6);
  for (const auto& entry : log) {
    EXPECT_EQ(entry.command, 0x0003);
    EXPECT_EQ(entry.data, expected);
    EXPECT_FALSE(entry.answered);
  }
  EXPECT_TRUE(Device(0).Silent(Clock::now())) << "restarting";
  EXPECT_EQ(Device(0).Counters().restarts, 1) << "the second copy reaches a device already restarting";
  ASSERT_TRUE(WaitForRestart(0, 1));

  // By broadcast for a device found late in the search.
  std::memset(ps->m_IPAddress, 0xFF, 4);
  m_emulator.Log().Clear();
  EXPECT_TRUE(ps->Restart());
  ASSERT_TRUE(m_emulator.Log().WaitForCount(2, 2s));
  for (const auto& entry : m_emulator.Log().Snapshot()) {
    EXPECT_EQ(entry.command, 0x0003);
    EXPECT_TRUE(entry.broadcast);
    EXPECT_EQ(entry.data, expected);
  }
  ASSERT_TRUE(WaitForRestart(0, 2));

  // A record not found over UDP sends nothing.
  ps->m_Transport = PS_TRANSPORT_IPX;
  m_emulator.Log().Clear();
  EXPECT_FALSE(ps->Restart());
  ps->m_Transport = PS_TRANSPORT_UDP;
  std::memcpy(ps->m_IPAddress, ps->GetIPAddress(), 4);
  ASSERT_TRUE(ps->QueryStatus());
  for (const auto& entry : m_emulator.Log().Snapshot()) EXPECT_EQ(entry.kind, "status");
}

// A device that took a configuration but ignored the restart requests after it
// goes on running, and reporting, what it ran before; a restart heard later puts
// what it took in force.
TEST_F(RecordRestart, ATakenConfigurationComesIntoForceOnlyAtTheRestart) {
  auto cable = vek::test::CableDevice(1, "Before");
  cable.faults = {{vek::emu::MessageKind::Restart, vek::emu::FaultKind::Ignore, 0, 2}};
  Start({cable});
  auto ps = Record(0);
  ASSERT_TRUE(ps->SetName("After"));
  ASSERT_TRUE(ps->SendConfig());
  ASSERT_TRUE(m_emulator.Log().WaitFor(
      [](const auto& log) { return std::count_if(log.begin(), log.end(), [](const auto& e) { return e.command == 3; }) == 2; },
      2s));
  EXPECT_EQ(Device(0).Config().name, "After") << "taken";
  EXPECT_FALSE(Device(0).Silent(Clock::now()));
  EXPECT_EQ(Device(0).Counters().restarts, 0);
  EXPECT_STREQ(Record(0)->GetName(), "Before") << "what it runs";
  EXPECT_EQ(Device(0).InForce().name, "Before");

  EXPECT_TRUE(ps->Restart());
  ASSERT_TRUE(WaitForRestart(0, 1));
  EXPECT_STREQ(Record(0)->GetName(), "After");
}

}  // namespace
