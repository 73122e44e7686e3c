// The reachability check: the Internet checksum, the echo request's layout, and
// the ping's handling of what comes back, through a substitute ICMP transport
// (and once through the system's on loopback, where permitted).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/message_box.h"
#include "kernel/thread.h"
#include "net/icmp_transport.h"
#include "net/winsock.h"
#include "protocol/reachability.h"

namespace {

using Bytes = std::vector<BYTE>;
using Clock = std::chrono::steady_clock;
using vek::net::IcmpTransport;

TEST(IPChecksum, KnownVectorsOddLengthsAndTheFilledRequest) {
  // RFC 1071's example words 0001 f203 f4f5 f6f7 sum to ddf2; the checksum 220d
  // goes on the wire as 22 0d.
  const Bytes rfc = {0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7};
  USHORT sum = IPChecksum(rfc.data(), static_cast<int>(rfc.size()));
  EXPECT_EQ(Bytes(reinterpret_cast<BYTE*>(&sum), reinterpret_cast<BYTE*>(&sum) + 2), (Bytes{0x22, 0x0d}));
  // An odd last byte is the high byte of its word on the wire: 0001 f200.
  sum = IPChecksum(rfc.data(), 3);
  EXPECT_EQ(Bytes(reinterpret_cast<BYTE*>(&sum), reinterpret_cast<BYTE*>(&sum) + 2), (Bytes{0x0d, 0xfe}));
  const BYTE one = 0xAB;
  EXPECT_EQ(IPChecksum(&one, 1), static_cast<USHORT>(~0x00AB & 0xFFFF));
  EXPECT_EQ(IPChecksum(nullptr, 0), 0xFFFF);
  // Carries fold back in: ffff + ffff + 0001.
  const Bytes carries = {0xff, 0xff, 0xff, 0xff, 0x01, 0x00};
  EXPECT_EQ(IPChecksum(carries.data(), 6), static_cast<USHORT>(~0x0001 & 0xFFFF));
  // A message with its checksum in place sums to zero, odd length included.
  for (int length : {PS_ECHO_LENGTH, 99}) {
    Bytes packet(static_cast<std::size_t>(length));
    FillEchoRequest(packet.data(), length);
    sum = IPChecksum(packet.data(), length);
    std::memcpy(&packet[2], &sum, 2);
    EXPECT_EQ(IPChecksum(packet.data(), length), 0) << length;
  }
}

TEST(EchoRequest, Layout) {
  Bytes packet(PS_ECHO_LENGTH, 0xEE);
  FillEchoRequest(packet.data(), PS_ECHO_LENGTH);
  EXPECT_EQ(packet[0], 8);
  EXPECT_EQ(packet[1], 0);
  EXPECT_EQ(packet[2], 0);
  EXPECT_EQ(packet[3], 0);
  const DWORD pid = GetCurrentProcessId();
  EXPECT_EQ(packet[4], pid & 0xFF);
  EXPECT_EQ(packet[5], (pid >> 8) & 0xFF);
  EXPECT_EQ(packet[6], 0);
  EXPECT_EQ(packet[7], 0);
  for (int i = 0; i < 256; i++) EXPECT_EQ(packet[static_cast<std::size_t>(8 + i)], i) << i;
  Bytes again(PS_ECHO_LENGTH);
  FillEchoRequest(again.data(), PS_ECHO_LENGTH);
  EXPECT_NE(Bytes(packet.begin() + 264, packet.end()), Bytes(again.begin() + 264, again.end()))
      << "the second part is new each time";
  // Up to 256 data bytes: counting only.
  Bytes small(8 + 200);
  FillEchoRequest(small.data(), static_cast<int>(small.size()));
  for (int i = 0; i < 200; i++) EXPECT_EQ(small[static_cast<std::size_t>(8 + i)], i);
}

// What a substitute network answers: per request sent, datagrams to deliver.
struct Network {
  struct Arrival {
    std::uint32_t source;
    Bytes datagram;
  };
  std::mutex lock;
  std::condition_variable changed;
  std::multimap<Clock::time_point, Arrival> arrivals;
  std::vector<Bytes> sent;
  DWORD sendError = 0;
  // Called for each request with its index; calls Deliver.
  std::function<void(Network&, const Bytes& request, int index)> script;

  // An IPv4 datagram around icmp (header of words 32-bit words) from source,
  // after delayMs.
  void Deliver(const BYTE* source, Bytes icmp, int delayMs = 0, int words = 5) {
    Bytes datagram(static_cast<std::size_t>(words * 4), 0);
    datagram[0] = static_cast<BYTE>(0x40 | words);
    datagram[9] = 1;
    std::memcpy(&datagram[12], source, 4);
    datagram.insert(datagram.end(), icmp.begin(), icmp.end());
    std::uint32_t s;
    std::memcpy(&s, source, 4);
    arrivals.emplace(Clock::now() + std::chrono::milliseconds(delayMs), Arrival{s, std::move(datagram)});
    changed.notify_all();
  }
  static Bytes Reply(Bytes request) {
    request[0] = 0;
    return request;
  }
};

class ScriptedTransport final : public IcmpTransport {
 public:
  explicit ScriptedTransport(std::shared_ptr<Network> network) : m_network(std::move(network)) {}

  DWORD Send(std::uint32_t, std::span<const std::uint8_t> message) override {
    std::lock_guard guard(m_network->lock);
    if (m_network->sendError) return m_network->sendError;
    const Bytes request(message.begin(), message.end());
    m_network->sent.push_back(request);
    if (m_network->script) m_network->script(*m_network, request, static_cast<int>(m_network->sent.size()) - 1);
    return 0;
  }

  DWORD Receive(DWORD timeoutMs, std::vector<std::uint8_t>* datagram, std::uint32_t* source) override {
    std::unique_lock lock(m_network->lock);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs == INFINITE ? 60000 : timeoutMs);
    for (;;) {
      if (m_closed) return WSAEINTR;
      auto first = m_network->arrivals.begin();
      if (first != m_network->arrivals.end() && first->first <= Clock::now()) {
        *source = first->second.source;
        *datagram = std::move(first->second.datagram);
        m_network->arrivals.erase(first);
        return 0;
      }
      auto until = deadline;
      if (first != m_network->arrivals.end() && first->first < until) until = first->first;
      if (Clock::now() >= deadline) return WSAETIMEDOUT;
      m_network->changed.wait_until(lock, until);
    }
  }

  void Close() override {
    std::lock_guard guard(m_network->lock);
    m_closed = true;
    m_network->changed.notify_all();
  }

 private:
  std::shared_ptr<Network> m_network;
  bool m_closed = false;
};

const BYTE kServer[4] = {127, 9, 9, 9};
const BYTE kOther[4] = {127, 9, 9, 10};

class Ping : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
    m_network = std::make_shared<Network>();
    vek::net::InstallIcmpTransportFactory([network = m_network](DWORD*) -> std::unique_ptr<IcmpTransport> {
      return std::make_unique<ScriptedTransport>(network);
    });
    vek::framework::ClearMessageBoxLog();
  }
  void TearDown() override {
    vek::net::InstallIcmpTransportFactory(nullptr);
    WSACleanup();
  }
  std::size_t Sent() {
    std::lock_guard guard(m_network->lock);
    return m_network->sent.size();
  }
  std::shared_ptr<Network> m_network;
};

TEST_F(Ping, TakesOnlyTheServersEchoReplyWithTheSameData) {
  // On loopback the request itself comes back before the reply; another host's
  // copy and a reply behind a longer IP header come too.
  m_network->script = [](Network& n, const Bytes& request, int) {
    n.Deliver(kServer, request);
    n.Deliver(kOther, Network::Reply(request));
    n.Deliver(kServer, Network::Reply(request), 5, 6);
  };
  EXPECT_EQ(PingPrintServer(kServer), 1);
  EXPECT_EQ(Sent(), 1u);
  const Bytes& request = m_network->sent[0];
  ASSERT_EQ(request.size(), static_cast<std::size_t>(PS_ECHO_LENGTH));
  EXPECT_EQ(IPChecksum(request.data(), PS_ECHO_LENGTH), 0);

  // Only the request comes back: no answer, five tries.
  m_network->script = [](Network& n, const Bytes& request, int) { n.Deliver(kServer, request); };
  const auto start = Clock::now();
  EXPECT_EQ(PingPrintServer(kServer), 0);
  EXPECT_EQ(Sent(), 6u);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(5 * 500));
  EXPECT_TRUE(vek::framework::MessageBoxLog().empty());
}

TEST_F(Ping, ChangedDataEndsATryAndLateEchoesDoNotCount) {
  // Try 0 gets its data back changed in one byte: the try ends at once and try 1,
  // with the next sequence and new data, is answered; before its answer comes the
  // echo of try 0 again, which has the old sequence.
  m_network->script = [](Network& n, const Bytes& request, int index) {
    Bytes reply = Network::Reply(request);
    if (index == 0) {
      reply[500] ^= 1;
      n.Deliver(kServer, reply);
      return;
    }
    n.Deliver(kServer, Network::Reply(n.sent[0]));
    n.Deliver(kServer, reply, 10);
  };
  const auto start = Clock::now();
  EXPECT_EQ(PingPrintServer(kServer), 1);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(450)) << "the changed echo ended try 0 at once";
  ASSERT_EQ(Sent(), 2u);
  EXPECT_EQ(m_network->sent[0][6], 0);
  EXPECT_EQ(m_network->sent[1][6], 1);
  EXPECT_NE(Bytes(m_network->sent[0].begin() + 264, m_network->sent[0].end()),
            Bytes(m_network->sent[1].begin() + 264, m_network->sent[1].end()));
}

TEST_F(Ping, ASlowServerFailsAndSocketTroubleIsShown) {
  m_network->script = [](Network& n, const Bytes& request, int) { n.Deliver(kServer, Network::Reply(request), 600); };
  EXPECT_EQ(PingPrintServer(kServer), 0);
  EXPECT_EQ(Sent(), 5u);

  m_network->sendError = WSAETIMEDOUT;
  EXPECT_EQ(PingPrintServer(kServer), 0);
  vek::net::InstallIcmpTransportFactory([](DWORD* error) -> std::unique_ptr<IcmpTransport> {
    *error = WSAEACCES;
    return nullptr;
  });
  EXPECT_EQ(PingPrintServer(kServer), 0);
  auto boxes = vek::framework::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "sendto error!");
  EXPECT_EQ(boxes[1].text, "bind error!");
}

TEST_F(Ping, TheSystemsTransportOnLoopback) {
  vek::net::InstallIcmpTransportFactory(nullptr);
  DWORD error = 0;
  if (!vek::net::CreateSystemIcmpTransport(vek::net::IcmpSocketKind::Automatic, &error))
    GTEST_SKIP() << "no ICMP socket here (error " << error << ")";
  const BYTE loopback[4] = {127, 0, 0, 1};
  EXPECT_EQ(PingPrintServer(loopback), 1);
  EXPECT_TRUE(vek::framework::MessageBoxLog().empty());
}

}  // namespace
