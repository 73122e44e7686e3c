// ICMP echo through socket(AF_INET, SOCK_RAW, IPPROTO_ICMP): with a substituted
// transport, and with the system's own (skipped where it permits neither raw nor
// ping sockets).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "net/icmp_transport.h"
#include "net/winsock.h"
#include "net_test_support.h"

namespace {

using namespace vek::net::test;
using vek::net::IcmpSocketKind;
using vek::net::IcmpTransport;
using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kEchoReply = 0;
constexpr std::uint8_t kEchoRequest = 8;

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t length) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i + 1 < length; i += 2) sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
  if (length % 2) sum += static_cast<std::uint32_t>(data[length - 1] << 8);
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> EchoRequest(std::uint16_t id, std::uint16_t sequence, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> message(8 + data.size(), 0);
  message[0] = kEchoRequest;
  message[4] = static_cast<std::uint8_t>(id >> 8);
  message[5] = static_cast<std::uint8_t>(id);
  message[6] = static_cast<std::uint8_t>(sequence >> 8);
  message[7] = static_cast<std::uint8_t>(sequence);
  std::copy(data.begin(), data.end(), message.begin() + 8);
  const std::uint16_t checksum = InternetChecksum(message.data(), message.size());
  message[2] = static_cast<std::uint8_t>(checksum >> 8);
  message[3] = static_cast<std::uint8_t>(checksum);
  return message;
}

// Answers every echo request at once, as a host on a quiet network would.
class EchoingTransport final : public IcmpTransport {
 public:
  DWORD Send(std::uint32_t destination, std::span<const std::uint8_t> message) override {
    std::lock_guard guard(m_lock);
    if (m_closed) return WSAEINTR;
    m_sent.emplace_back(message.begin(), message.end());
    std::vector<std::uint8_t> datagram(20 + message.size(), 0);
    datagram[0] = 0x45;
    const std::size_t total = 20 + message.size();
    datagram[2] = static_cast<std::uint8_t>(total >> 8);
    datagram[3] = static_cast<std::uint8_t>(total);
    datagram[8] = 128;
    datagram[9] = 1;
    std::memcpy(&datagram[12], &destination, 4);
    const std::uint32_t local = htonl(INADDR_LOOPBACK);
    std::memcpy(&datagram[16], &local, 4);
    std::copy(message.begin(), message.end(), datagram.begin() + 20);
    datagram[20] = kEchoReply;
    m_replies.push_back({destination, std::move(datagram)});
    m_changed.notify_all();
    return 0;
  }

  DWORD Receive(DWORD timeoutMs, std::vector<std::uint8_t>* datagram, std::uint32_t* source) override {
    std::unique_lock lock(m_lock);
    auto ready = [this] { return m_closed || !m_replies.empty(); };
    if (timeoutMs == INFINITE) {
      m_changed.wait(lock, ready);
    } else if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
      return WSAETIMEDOUT;
    }
    if (m_closed) return WSAEINTR;
    *source = m_replies.front().first;
    *datagram = std::move(m_replies.front().second);
    m_replies.pop_front();
    return 0;
  }

  void Close() override {
    std::lock_guard guard(m_lock);
    m_closed = true;
    m_changed.notify_all();
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_changed;
  bool m_closed = false;
  std::vector<std::vector<std::uint8_t>> m_sent;
  std::deque<std::pair<std::uint32_t, std::vector<std::uint8_t>>> m_replies;
};

class IcmpTest : public WinsockTest {
 protected:
  void TearDown() override {
    vek::net::InstallIcmpTransportFactory(nullptr);
    WinsockTest::TearDown();
  }

  void InstallEchoing() {
    vek::net::InstallIcmpTransportFactory([this](DWORD*) -> std::unique_ptr<IcmpTransport> {
      ++m_created;
      return std::make_unique<EchoingTransport>();
    });
  }

  static SOCKET OpenBoundIcmp() {
    SOCKET s = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError();
    sockaddr_in local = InetAddress(INADDR_ANY, 0);
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << WSAGetLastError();
    return s;
  }

  std::atomic<int> m_created{0};
};

TEST_F(IcmpTest, SubstitutedTransportCarriesAnEcho) {
  InstallEchoing();
  SOCKET s = OpenBoundIcmp();
  ASSERT_NE(s, INVALID_SOCKET);
  EXPECT_EQ(m_created, 1);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 2000), 0);

  const std::uint32_t target = RandomLoopbackAddress();
  const auto request = EchoRequest(0x1234, 7, {'v', 'e', 'k', '!'});
  sockaddr_in to = InetAddress(target, 0);
  ASSERT_EQ(sendto(s, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof(to)),
            static_cast<int>(request.size()));

  char buffer[256];
  sockaddr_in from{};
  int fromLength = sizeof(from);
  const int n = recvfrom(s, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
  ASSERT_EQ(n, static_cast<int>(20 + request.size())) << WSAGetLastError();
  EXPECT_EQ(static_cast<std::uint8_t>(buffer[0]), 0x45);
  EXPECT_EQ(buffer[9], IPPROTO_ICMP);
  EXPECT_EQ(buffer[20], kEchoReply);
  EXPECT_EQ(std::memcmp(buffer + 24, request.data() + 4, request.size() - 4), 0) << "id, sequence and data come back";
  EXPECT_EQ(from.sin_family, AF_INET);
  EXPECT_EQ(from.sin_addr.s_addr, htonl(target));
  closesocket(s);
}

TEST_F(IcmpTest, SubstitutedTransportTimesOut) {
  InstallEchoing();
  SOCKET s = OpenBoundIcmp();
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 200), 0);
  char buffer[64];
  const auto start = Clock::now();
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
  closesocket(s);
}

TEST_F(IcmpTest, OversizeReplyIsRefusedWholeAndFionreadCountsIt) {
  InstallEchoing();
  SOCKET s = OpenBoundIcmp();
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 2000), 0);
  const auto request = EchoRequest(1, 1, std::vector<std::uint8_t>(32, 0x5A));
  sockaddr_in to = InetAddress(RandomLoopbackAddress(), 0);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(sendto(s, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
                     reinterpret_cast<sockaddr*>(&to), sizeof(to)),
              static_cast<int>(request.size()));
  }
  u_long queued = 0;
  ASSERT_EQ(ioctlsocket(s, FIONREAD, &queued), 0);
  EXPECT_EQ(queued, 2 * (20 + request.size()));

  std::vector<char> small(30, '\x11');
  EXPECT_EQ(recvfrom(s, small.data(), static_cast<int>(small.size()), 0, nullptr, nullptr), SOCKET_ERROR);
  EXPECT_EQ(WSAGetLastError(), WSAEMSGSIZE);
  EXPECT_EQ(small, std::vector<char>(30, '\x11'));
  char buffer[128];
  EXPECT_EQ(recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr), static_cast<int>(20 + request.size()));
  closesocket(s);
}

TEST_F(IcmpTest, ClosingWakesABlockedReceive) {
  InstallEchoing();
  SOCKET s = OpenBoundIcmp();
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 20000), 0);
  std::atomic<int> result{0}, error{0};
  std::atomic<bool> done{false};
  std::thread receiver([&] {
    char buffer[64];
    result = recvfrom(s, buffer, sizeof(buffer), 0, nullptr, nullptr);
    error = WSAGetLastError();
    done = true;
  });
  ASSERT_EQ(closesocket(s), 0);
  receiver.join();
  EXPECT_EQ(result, SOCKET_ERROR);
  EXPECT_TRUE(error == WSAEINTR || error == WSAENOTSOCK) << error;
}

TEST_F(IcmpTest, RefusingFactoryFailsTheSocket) {
  vek::net::InstallIcmpTransportFactory([](DWORD* error) -> std::unique_ptr<IcmpTransport> {
    *error = WSAEACCES;
    return nullptr;
  });
  EXPECT_EQ(socket(AF_INET, SOCK_RAW, IPPROTO_ICMP), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEACCES);
}

TEST_F(IcmpTest, NullFactoryRestoresTheSystemTransport) {
  InstallEchoing();
  vek::net::InstallIcmpTransportFactory(nullptr);
  SOCKET s = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  EXPECT_EQ(m_created, 0);
  if (s == INVALID_SOCKET) {
    const int error = WSAGetLastError();
    EXPECT_TRUE(error == WSAEACCES || error == WSAESOCKTNOSUPPORT) << error;
  } else {
    closesocket(s);
  }
}

TEST_F(IcmpTest, OnlyIcmpIsOfferedRaw) {
  EXPECT_EQ(socket(AF_INET, SOCK_RAW, IPPROTO_UDP), INVALID_SOCKET);
  EXPECT_EQ(WSAGetLastError(), WSAEPROTONOSUPPORT);
}

// Pings a random loopback address through the system's transport of the given
// kind and checks the reply as a whole IPv4 datagram.
void PingLoopback(IcmpSocketKind kind) {
  vek::net::InstallIcmpTransportFactory(
      [kind](DWORD* error) { return vek::net::CreateSystemIcmpTransport(kind, error); });
  SOCKET s = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (s == INVALID_SOCKET) {
    const int error = WSAGetLastError();
    ASSERT_TRUE(error == WSAEACCES || error == WSAESOCKTNOSUPPORT) << error;
    GTEST_SKIP() << "this system permits no ICMP socket of this kind (" << error << ")";
  }
  sockaddr_in local = InetAddress(INADDR_ANY, 0);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0);
  ASSERT_EQ(SetDwordOption(s, SO_RCVTIMEO, 1000), 0);

  std::mt19937 random{std::random_device{}()};
  const auto id = static_cast<std::uint16_t>(random());
  const auto sequence = static_cast<std::uint16_t>(random());
  std::vector<std::uint8_t> token(16);
  for (auto& byte : token) byte = static_cast<std::uint8_t>(random());
  const auto request = EchoRequest(id, sequence, token);
  const std::uint32_t target = RandomLoopbackAddress();
  sockaddr_in to = InetAddress(target, 0);
  ASSERT_EQ(sendto(s, reinterpret_cast<const char*>(request.data()), static_cast<int>(request.size()), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof(to)),
            static_cast<int>(request.size()))
      << WSAGetLastError();

  // A raw socket also sees our own request and other processes' traffic: look for
  // the reply carrying our token (a ping socket may have rewritten the id).
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  bool found = false;
  while (!found && Clock::now() < deadline) {
    char buffer[1500];
    sockaddr_in from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(s, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n == SOCKET_ERROR) {
      ASSERT_EQ(WSAGetLastError(), WSAETIMEDOUT);
      continue;
    }
    ASSERT_GE(n, 20);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer);
    ASSERT_EQ(bytes[0] >> 4, 4) << "an IPv4 header comes first";
    const int headerLength = (bytes[0] & 0x0F) * 4;
    ASSERT_GE(n, headerLength + 8);
    EXPECT_EQ(bytes[9], IPPROTO_ICMP);
    const std::uint8_t* icmp = bytes + headerLength;
    const int icmpLength = n - headerLength;
    if (icmp[0] != kEchoReply || icmpLength != static_cast<int>(request.size())) continue;
    if (std::memcmp(icmp + 8, token.data(), token.size()) != 0) continue;
    EXPECT_EQ((bytes[2] << 8 | bytes[3]), n) << "total length";
    EXPECT_EQ((icmp[6] << 8 | icmp[7]), sequence);
    EXPECT_EQ(from.sin_addr.s_addr, htonl(target));
    EXPECT_EQ(std::memcmp(bytes + 12, &from.sin_addr, 4), 0) << "the header's source is the sender";
    found = true;
  }
  EXPECT_TRUE(found) << "no echo reply from " << Dotted(target);
  closesocket(s);
}

TEST_F(IcmpTest, SystemTransportPingsLoopback) { PingLoopback(IcmpSocketKind::Automatic); }
TEST_F(IcmpTest, RawSocketPingsLoopback) { PingLoopback(IcmpSocketKind::Raw); }
TEST_F(IcmpTest, PingSocketPingsLoopback) { PingLoopback(IcmpSocketKind::Ping); }

}  // namespace
