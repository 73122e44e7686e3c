// The password login on the wire: its datagram against the table, the verdicts
// it takes and refuses, the password key, and against the emulator a key that
// cannot carry the password (nothing is sent).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device_lab.h"
#include "protocol/password_login.h"
#include "protocol/secure_config.h"

namespace {

using vek::test::Bytes;
using vek::test::DeviceLab;

TEST(PasswordLogin, DatagramAndPasswordKey) {
  // A 1024-bit modulus of the form a device has (top bit set, odd).
  std::vector<BYTE> modulus(128, 0xC3);
  modulus.back() = 0xC5;
  ASSERT_TRUE(SetupRSAKey(modulus.data(), static_cast<int>(modulus.size())));

  SetPasswordKey("abc", FALSE);
  EXPECT_EQ(g_PasswordKeyLength, 8);
  EXPECT_EQ(Bytes(g_PasswordKey, g_PasswordKey + 8), (Bytes{'a', 'b', 'c', 0, 0, 0, 0, 0}));
  BYTE datagram[PS_SECURE_DATAGRAM_LENGTH];
  std::memset(datagram, 0xEE, sizeof(datagram));
  ASSERT_EQ(BuildLoginDatagram(datagram), 1030);
  EXPECT_EQ(Bytes(datagram, datagram + 10), (Bytes{'N', 'E', 'T', 0, 0x25, 0x01, 1, 0, 0, 0}));
  EXPECT_EQ(Bytes(datagram + 10, datagram + 32), Bytes(22, 0)) << "fragment index, IV and totals";
  EXPECT_EQ(datagram[32] | datagram[33] << 8, 128) << "the ciphertext is as long as the modulus";
  EXPECT_EQ(Bytes(datagram + 34 + 128, datagram + 1030), Bytes(1030 - 34 - 128, 0));
  // OAEP is randomised: the same key twice gives two ciphertexts.
  BYTE again[PS_SECURE_DATAGRAM_LENGTH];
  BuildLoginDatagram(again);
  EXPECT_NE(Bytes(datagram + 34, datagram + 162), Bytes(again + 34, again + 162));

  // No password typed, or a device that needs none: the 2-byte fallback key.
  for (auto [password, none] : {std::pair{"", FALSE}, {"secret", TRUE}, {nullptr, FALSE}}) {
    SetPasswordKey(password, none);
    EXPECT_EQ(g_PasswordKeyLength, 2);
    EXPECT_EQ(Bytes(g_PasswordKey, g_PasswordKey + 8), (Bytes{0x56, 0x4B, 0, 0, 0, 0, 0, 0}));
  }
  // More than 8 characters: the first 8.
  SetPasswordKey("123456789", FALSE);
  EXPECT_EQ(Bytes(g_PasswordKey, g_PasswordKey + 8), (Bytes{'1', '2', '3', '4', '5', '6', '7', '8'}));

  // No modulus: no key, and no datagram.
  EXPECT_FALSE(SetupRSAKey(modulus.data(), 0));
  EXPECT_EQ(g_LoginRSA, nullptr);
  EXPECT_EQ(BuildLoginDatagram(datagram), 0);
}

TEST(PasswordLogin, OnlyAVerdictCounts) {
  auto verdict = [](Bytes d) { return ReadLoginVerdict(d.data(), static_cast<int>(d.size())); };
  const Bytes accepted = {'N', 'E', 'T', 0, 0xA5, 0, 2, 0, 0};
  EXPECT_EQ(verdict(accepted), LOGIN_ACCEPTED);
  Bytes refused = accepted;
  refused[8] = 7;
  EXPECT_EQ(verdict(refused), LOGIN_REFUSED);
  Bytes flagged = accepted;
  flagged[5] = 1;  // only byte 4 is compared
  EXPECT_EQ(verdict(flagged), LOGIN_ACCEPTED);
  struct Case {
    int at;
    BYTE value;
  };
  for (Case c : {Case{0, 'Q'}, {4, 0x25}, {4, 0xA4}, {6, 9}, {6, 1}, {7, 1}}) {
    Bytes other = accepted;
    other[static_cast<std::size_t>(c.at)] = c.value;
    EXPECT_EQ(verdict(other), -1) << "byte " << c.at;
  }
  EXPECT_EQ(verdict(Bytes(accepted.begin(), accepted.end() - 1)), -1) << "cut before its status";
  EXPECT_EQ(ReadLoginVerdict(nullptr, 9), -1);
}

class Login : public DeviceLab {};

TEST_F(Login, AKeyThatCannotCarryThePasswordSendsNothing) {
  Start({vek::test::SecuredDevice(1, "Secured")});
  ASSERT_TRUE(Device(0).KeyReady());
  const std::uint32_t at = htonl(Device(0).ListenAddress());
  BYTE address[4];
  std::memcpy(address, &at, 4);
  m_emulator.Log().Clear();

  // 16 bytes leave no room for OAEP's padding.
  const std::vector<BYTE> tooShort(16, 0xC3);
  ASSERT_TRUE(SetupRSAKey(tooShort.data(), static_cast<int>(tooShort.size())));
  XUDPSocket socket;
  EXPECT_EQ(LoginWithPassword(socket, "secret", FALSE, address), LOGIN_NO_KEY);
  EXPECT_FALSE(socket.m_bCreated);

  // The device's own key: accepted, and the socket is closed after.
  const std::vector<BYTE> modulus = Device(0).Config().rsaModulus;
  ASSERT_TRUE(SetupRSAKey(modulus.data(), static_cast<int>(modulus.size())));
  EXPECT_EQ(LoginWithPassword(socket, "secret", FALSE, address), LOGIN_ACCEPTED);
  EXPECT_FALSE(socket.m_bCreated);
  int logins = 0;
  for (const auto& r : m_emulator.Log().Snapshot()) logins += r.kind == "login";
  EXPECT_EQ(logins, 1) << "the short key sent nothing";
  EXPECT_EQ(Device(0).Counters().lastLoginKey, (std::vector<std::uint8_t>{'s', 'e', 'c', 'r', 'e', 't', 0, 0}));
}

}  // namespace
