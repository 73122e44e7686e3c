// The record's exchanges against the emulator: the status query, each upload path
// changing the device exactly as the record was edited, the secured exchange at
// the limits of its chain, the password key the device checks, and the faults
// that must end an upload with the right result in time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "device_lab.h"
#include "emulator/info_reply.h"
#include "kernel/clock.h"
#include "protocol/secure_config.h"
#include "protocol/shared_settings.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vek::test::Bytes;
using vek::test::DeviceLab;
using vek::emu::UploadPath;

// The password key a login leaves for the exchange, and the device key the
// settings hold.
void LogIn(const char* password, CPrintServer& ps) {
  std::memset(g_PasswordKey, 0, sizeof(g_PasswordKey));
  std::memcpy(g_PasswordKey, password, strnlen(password, 8));
  g_PasswordKeyLength = 8;
  int length = 0;
  const BYTE* modulus = ps.GetRSAModulus(&length);
  std::memset(WizardSettings::m_DeviceKey, 0, sizeof(WizardSettings::m_DeviceKey));
  if (modulus) std::memcpy(WizardSettings::m_DeviceKey, modulus, static_cast<std::size_t>(length));
}

// What the device reports after taking a configuration is the record's copy, from
// the MAC on (the header is the host's).
void ExpectDeviceReports(vek::emu::Device& device, const CPrintServer& ps) {
  const std::vector<std::uint8_t> now = vek::emu::BuildInformationReply(device.Config());
  ASSERT_EQ(now.size(), static_cast<std::size_t>(ps.m_ReplyLength));
  EXPECT_EQ(Bytes(now.begin() + 6, now.end()), Bytes(ps.m_pReply + 6, ps.m_pReply + ps.m_ReplyLength));
}

// Secured-exchange datagrams of one body type the devices (one device, when
// given) received.
int Received(vek::emu::Emulator& emulator, WORD bodyType, std::size_t device = SIZE_MAX) {
  int n = 0;
  for (const auto& entry : emulator.Log().Snapshot())
    if (entry.command == PSCMD_SECURE_WORD && entry.data.size() >= 8 && PSGetWord(entry.data.data() + 6) == bodyType &&
        (device == SIZE_MAX || entry.device == device))
      n++;
  return n;
}

class Exchanges : public DeviceLab {};

TEST_F(Exchanges, StatusAndEachUploadPathChangeTheDeviceAsEdited) {
  auto secured6 = vek::test::SecuredDevice(4, "Secured six");
  secured6.keyAnswer = 6;
  secured6.rsaBits = 1536;
  Start({vek::test::CableDevice(1, "Cable"), vek::test::BlockDevice(2, "Blocks"), vek::test::SecuredDevice(3, "Secured"),
         secured6});

  Device(0).SetPortStatus(0x1D, 0x42);
  auto cable = Record(0);
  ASSERT_TRUE(cable->QueryStatus());
  EXPECT_EQ(cable->m_PortStatus, 0x1D);
  EXPECT_EQ(cable->m_PortStatus2, 0x42);

  // Whole configuration: a new name and static address.
  ASSERT_TRUE(cable->SetName("Cable renamed"));
  PutAddress(cable->GetIPAddress(), m_subnet.Host(60));
  PutAddress(cable->GetSubnetMask(), 0xFFFF0000u);
  PutAddress(cable->GetGateway(), m_subnet.Host(254));
  ASSERT_TRUE(cable->SendConfig());
  EXPECT_EQ(Device(0).Counters().lastPath, UploadPath::Whole);
  EXPECT_EQ(Device(0).Counters().configurations, 1) << "three copies, taken once";
  ExpectDeviceReports(Device(0), *cable);
  EXPECT_EQ(Device(0).Config().name, "Cable renamed");
  EXPECT_EQ(Device(0).Config().gateway, m_subnet.Host(254));

  // Blocks: wireless and security settings.
  auto blocks = Record(1);
  ASSERT_TRUE(blocks->SetSSID("new network"));
  ASSERT_TRUE(blocks->SetChannel(11));
  ASSERT_TRUE(blocks->SetWPAPSK("another shared secret"));
  ASSERT_TRUE(blocks->Set8021XUser("someone"));
  ASSERT_TRUE(blocks->SetTxMode(1));
  ASSERT_TRUE(blocks->SetDHCP(1));
  ASSERT_TRUE(blocks->SendConfig());
  EXPECT_EQ(Device(1).Counters().lastPath, UploadPath::Blocks);
  ExpectDeviceReports(Device(1), *blocks);
  EXPECT_EQ(Device(1).Config().wireless.ssid, "new network");
  EXPECT_EQ(Device(1).Config().security.user8021X, "someone");
  EXPECT_TRUE(Device(1).Config().dhcp);

  // Secured, with the key of the information reply (type 4) and with the key in
  // the device's answer (type 6).
  for (std::size_t i : {2u, 3u}) {
    SCOPED_TRACE(i);
    auto secured = Record(i);
    LogIn("secret", *secured);
    ASSERT_TRUE(secured->SetSSID("secured network"));
    ASSERT_TRUE(secured->SetWEPMode(2));
    std::memcpy(secured->GetWEPKey128(), "0123456789abc", 13);
    ASSERT_TRUE(secured->SendConfig());
    EXPECT_EQ(Device(i).Counters().lastPath, UploadPath::Secured);
    ExpectDeviceReports(Device(i), *secured);
    EXPECT_EQ(Device(i).Config().wireless.wepMode, 2);
  }

  // Every path ends with the restart request, twice; each device restarts once
  // and the cable device comes back at its new address.
  for (std::size_t i = 0; i < 4; i++) ASSERT_TRUE(WaitForRestart(i, 1)) << i;
  int restarts = 0;
  for (const auto& entry : m_emulator.Log().Snapshot())
    if (entry.command == 0x0003 && entry.data.size() == 64) restarts++;
  EXPECT_EQ(restarts, 8);
  for (std::size_t i = 0; i < 4; i++) EXPECT_EQ(Device(i).Counters().restarts, 1);
  EXPECT_EQ(Device(0).ListenAddress(), m_subnet.Host(60));
  auto again = Record(0);
  EXPECT_STREQ(again->GetName(), "Cable renamed") << "a later search shows the new settings";
}

TEST_F(Exchanges, SecuredChainAtItsLimitsAndTheDevicesPasswordKey) {
  auto noPassword = vek::test::SecuredDevice(2, "Open");
  noPassword.wireless.loginMode = 1;
  Start({vek::test::SecuredDevice(1, "Secured"), noPassword});
  auto base = Record(0);
  ASSERT_LT(base->m_ReplyLength, 968);
  int restarts = 0;
  const struct {
    int length;
    int bodies;
  } cases[] = {{968, 1}, {969, 2}, {2024, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    // The stored reply grown to the length (zeros after its last section).
    Bytes padded(base->m_pReply, base->m_pReply + base->m_ReplyLength);
    padded.resize(static_cast<std::size_t>(c.length), 0);
    CPrintServer ps;
    ASSERT_TRUE(ps.ParseReply(padded.data(), c.length));
    ps.m_Transport = PS_TRANSPORT_UDP;
    std::memcpy(ps.m_IPAddress, base->m_IPAddress, 4);
    LogIn("secret", ps);
    const std::string ssid = "size " + std::to_string(c.length);
    ASSERT_TRUE(ps.SetSSID(ssid.c_str()));
    m_emulator.Log().Clear();
    ASSERT_TRUE(ps.SendConfig());
    EXPECT_EQ(Device(0).Config().wireless.ssid, ssid);
    EXPECT_EQ(Received(m_emulator, SECURE_CONFIG), c.bodies);
    ASSERT_TRUE(WaitForRestart(0, ++restarts));
  }
  // One byte more than a chain holds: nothing is sent past the nonce, nothing
  // changes, no restart.
  Bytes padded(base->m_pReply, base->m_pReply + base->m_ReplyLength);
  padded.resize(2025, 0);
  CPrintServer tooLong;
  ASSERT_TRUE(tooLong.ParseReply(padded.data(), 2025));
  tooLong.m_Transport = PS_TRANSPORT_UDP;
  std::memcpy(tooLong.m_IPAddress, base->m_IPAddress, 4);
  LogIn("secret", tooLong);
  tooLong.SetSSID("too long");
  m_emulator.Log().Clear();
  EXPECT_FALSE(tooLong.SendConfig());
  EXPECT_EQ(Received(m_emulator, SECURE_CONFIG), 0);
  EXPECT_EQ(Device(0).Config().wireless.ssid, "size 2024");

  // A wrong password key: the device refuses the configuration's MAC.
  auto ps = Record(0);
  LogIn("wrong", *ps);
  ps->SetSSID("never");
  EXPECT_FALSE(ps->SendConfig());
  EXPECT_EQ(Device(0).Counters().secureRefused, 1);
  EXPECT_EQ(Device(0).Config().wireless.ssid, "size 2024");

  // The password login: the key RSA-OAEP encrypted in a type-1 body.
  auto login = [&](std::size_t device, const Bytes& key) {
    auto record = Record(device);
    int length = 0;
    const BYTE* modulus = record->GetRSAModulus(&length);
    EVP_PKEY* rsa = SecureConfigPublicKey(modulus, length);
    BYTE datagram[PS_SECURE_DATAGRAM_LENGTH] = {};
    PSBuildHeader(datagram, 0, PSCMD_SECURE_WORD);
    auto* body = reinterpret_cast<SecureConfigBody*>(datagram + PS_HEADER_LENGTH);
    body->Type = SECURE_LOGIN;
    body->PayloadLength = static_cast<WORD>(
        SecureConfigEncrypt(rsa, key.data(), static_cast<int>(key.size()), body->Payload, SECURE_PAYLOAD_LENGTH));
    EVP_PKEY_free(rsa);
    XUDPSocket socket;
    socket.Create(0);
    Aim(socket, Device(device).ListenAddress());
    socket.SetTimeout(3500);
    socket.Send(reinterpret_cast<char*>(datagram), sizeof(datagram), 0);
    char answer[PS_BUFFER_LENGTH] = {};
    const int n = socket.Receive(answer, sizeof(answer), 0);
    EXPECT_GE(n, 9);
    EXPECT_EQ(PSGetWord(reinterpret_cast<BYTE*>(answer) + 4), 0x00A5);
    EXPECT_EQ(PSGetWord(reinterpret_cast<BYTE*>(answer) + 6), SECURE_LOGIN_VERDICT);
    return n >= 9 && answer[8] == 0;
  };
  BYTE fallback[2];
  SecureConfigFallbackKey(fallback);
  const Bytes fallbackKey(fallback, fallback + 2);
  EXPECT_TRUE(login(0, Bytes{'s', 'e', 'c', 'r', 'e', 't', 0, 0}));
  EXPECT_FALSE(login(0, Bytes{'s', 'e', 'c', 'r', 'e', 'x', 0, 0}));
  EXPECT_FALSE(login(0, fallbackKey)) << "a device with a password wants it";
  EXPECT_TRUE(login(1, fallbackKey)) << "a device in its no-password login mode takes the fallback key";
  EXPECT_EQ(Device(0).Counters().loginsAccepted, 1);
  EXPECT_EQ(Device(0).Counters().loginsRefused, 2);
}

TEST_F(Exchanges, FaultyAnswersFailAtOnce) {
  auto ackEarly = vek::test::BlockDevice(1, "Acks early");
  ackEarly.generalText1 = std::string(254, 'g');  // a reply of two blocks
  ackEarly.faults = {{vek::emu::MessageKind::Block, vek::emu::FaultKind::AckNonLast, 0, -1}};
  auto malformed = vek::test::SecuredDevice(2, "Malformed");
  malformed.faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::Malformed, 0, -1}};
  auto badNonce = vek::test::SecuredDevice(3, "Bad nonce");
  badNonce.faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::BadNonce, 0, -1}};
  auto noisy = vek::test::CableDevice(4, "Noisy");
  noisy.faults = {{vek::emu::MessageKind::Upload, vek::emu::FaultKind::Duplicate, 0, -1},
                  {vek::emu::MessageKind::Upload, vek::emu::FaultKind::Empty, 0, -1}};
  Start({ackEarly, malformed, badNonce, noisy});

  auto blocks = Record(0);
  ASSERT_GT(blocks->m_ReplyLength, PS_BLOCK_DATA_LENGTH) << "more than one block";
  const auto start = Clock::now();
  EXPECT_FALSE(blocks->SendConfig()) << "an acknowledgement of a block that is not the last";
  for (std::size_t i : {1u, 2u}) {
    auto ps = Record(i);
    LogIn("secret", *ps);
    EXPECT_FALSE(ps->SendConfig()) << i;
  }
  EXPECT_LT(Clock::now() - start, 2s) << "refused bodies end the exchange at once";
  EXPECT_EQ(Device(0).Counters().restarts, 0);

  // An empty datagram before the acknowledgement, and the acknowledgement twice.
  auto cable = Record(3);
  cable->SetName("Still taken");
  EXPECT_TRUE(cable->SendConfig());
  EXPECT_EQ(Device(3).Config().name, "Still taken");
}

TEST_F(Exchanges, AnswersPastTheTimeOutsAndNoneFromABroadcastDevice) {
  auto late = vek::test::CableDevice(1, "Late");
  late.faults = {{vek::emu::MessageKind::Upload, vek::emu::FaultKind::Delay, 6000, -1}};
  auto silent = vek::test::CableDevice(2, "Silent");
  silent.faults = {{vek::emu::MessageKind::Upload, vek::emu::FaultKind::Drop, 0, -1}};
  Start({late, silent});
  auto ps = Record(0);
  auto start = Clock::now();
  EXPECT_FALSE(ps->SendConfig());
  EXPECT_GE(Clock::now() - start, 4900ms);
  EXPECT_LT(Clock::now() - start, 5800ms);

  // A record reached by broadcast succeeds without an answer, and its restart
  // goes to the broadcast address too.
  auto broadcast = Record(1);
  std::memset(broadcast->m_IPAddress, 0xFF, 4);
  m_emulator.Log().Clear();
  EXPECT_TRUE(broadcast->SendConfig());
  EXPECT_TRUE(m_emulator.Log().WaitFor(
      [](const auto& log) {
        for (const auto& entry : log)
          if (entry.device == 1 && entry.broadcast && entry.command == 0x0003) return true;
        return false;
      },
      2s));
}

TEST_F(Exchanges, ASilentDeviceEndsTheSecuredExchangeAfterThreeAttempts) {
  auto silent = vek::test::SecuredDevice(1, "Silent");
  silent.faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::Drop, 0, -1}};
  Start({silent});
  auto ps = Record(0);
  LogIn("secret", *ps);
  const auto start = Clock::now();
  EXPECT_FALSE(ps->SendConfig());
  EXPECT_GE(Clock::now() - start, 14900ms);
  EXPECT_LT(Clock::now() - start, 16500ms);
  EXPECT_EQ(Received(m_emulator, SECURE_OPEN), 3) << "the opening, and again after each of two failed attempts";
}

TEST_F(Exchanges, StaleBodiesEndAtTheDeadline) {
  auto stale = vek::test::SecuredDevice(1, "Stale");
  stale.faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::Stale, 0, -1}};
  Start({stale});
  auto ps = Record(0);
  LogIn("secret", *ps);
  const auto start = Clock::now();
  EXPECT_FALSE(ps->SendConfig());
  EXPECT_GE(Clock::now() - start, 19900ms);
  EXPECT_LT(Clock::now() - start, 21500ms);
  EXPECT_EQ(Device(0).Counters().restarts, 0);
}

// Opened by broadcast (the device was found late in the search), a secured
// exchange is answered by every device that offers it, the chosen one first or
// last (and then giving its key of 1536 bits in its answer). A neighbour asks
// for the key of the information reply and fails at the key sent under it;
// another gives a key of its own, which is not taken. The exchange goes on
// with the chosen device alone: only it receives the configuration, and only it
// changes.
TEST_F(Exchanges, ABroadcastOpeningReachesTheChosenDeviceWhicheverAnswersFirst) {
  for (const int chosenDelay : {100, 600}) {
    SCOPED_TRACE(chosenDelay);
    std::vector<vek::emu::DeviceConfig> devices = {vek::test::SecuredDevice(1, "Chosen"),
                                                    vek::test::SecuredDevice(2, "Neighbour"),
                                                    vek::test::SecuredDevice(3, "Own key")};
    if (chosenDelay > 150) {
      devices[0].keyAnswer = 6;
      devices[0].rsaBits = 1536;
    }
    devices[2].keyAnswer = 6;
    devices[0].faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::Delay, chosenDelay, -1}};
    for (std::size_t i = 1; i < devices.size(); i++)
      devices[i].faults = {{vek::emu::MessageKind::Secure, vek::emu::FaultKind::Delay, 150, -1}};
    Start(devices);
    m_emulator.Log().Clear();
    auto ps = Record(0);
    std::memset(ps->m_IPAddress, 0xFF, 4);  // found late in the search
    LogIn("secret", *ps);
    ASSERT_TRUE(ps->SetSSID("only mine"));
    EXPECT_TRUE(ps->SendConfig());
    EXPECT_EQ(Device(0).Counters().configurations, 1);
    EXPECT_EQ(Device(0).Config().wireless.ssid, "only mine");
    ASSERT_TRUE(WaitForRestart(0, 1));
    // The neighbour asks for the key of the information reply: while that is the
    // chosen device's own (1024 bits), it is tried with it.
    EXPECT_EQ(Received(m_emulator, SECURE_KEY, 1), chosenDelay > 150 ? 0 : 1);
    EXPECT_EQ(Received(m_emulator, SECURE_KEY, 2), 0) << "a key of its own is not the chosen device's";
    for (std::size_t i = 1; i < 3; i++) {
      SCOPED_TRACE(i);
      EXPECT_EQ(Received(m_emulator, SECURE_CONFIG, i), 0) << "no configuration went to another device";
      EXPECT_EQ(Device(i).Counters().configurations, 0);
      EXPECT_EQ(Device(i).Counters().restarts, 0);
      EXPECT_EQ(Device(i).Config().wireless.ssid, "lab net");
    }
  }
}

TEST_F(Exchanges, AnswersFromOtherHostsAreNotTheDevices) {
  // A device of our own making at .9, and another host at .10 that answers the
  // upload first, with what would be a refusal.
  auto bound = [&](int host) {
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(PS_PORT);
    local.sin_addr.s_addr = htonl(m_subnet.Host(host));
    EXPECT_EQ(bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)), 0) << host;
    const DWORD timeout = 3000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    return s;
  };
  SOCKET device = bound(9);
  SOCKET other = bound(10);
  std::thread answering([&] {
    char buffer[4096];
    sockaddr_in from{};
    int fromLength = sizeof(from);
    if (recvfrom(device, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength) <= 0) return;
    BYTE refusal[64] = {'N', 'E', 'T', 0, 0xA1, 0x00, 1, 2};
    BYTE accepted[64] = {'N', 'E', 'T', 0, 0x81, 0x00};
    sendto(other, reinterpret_cast<char*>(refusal), sizeof(refusal), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
    sendto(device, reinterpret_cast<char*>(accepted), sizeof(accepted), 0, reinterpret_cast<sockaddr*>(&from),
           fromLength);
  });
  vek::emu::DeviceConfig config = vek::test::CableDevice(9, "Own");
  config.address = m_subnet.Host(9);
  const std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(config);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reply.data(), static_cast<int>(reply.size())));
  ps.m_Transport = PS_TRANSPORT_UDP;
  PutAddress(ps.m_IPAddress, m_subnet.Host(9));
  EXPECT_TRUE(ps.SendConfig());
  answering.join();
  closesocket(device);
  closesocket(other);
}

}  // namespace
