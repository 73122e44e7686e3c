// Two readings of the reply tables against each other: replies built by the
// emulator from a device's configuration, read by the wizard's record. Every
// getter must give back what the device was configured with.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/info_reply.h"
#include "protocol/print_server.h"

namespace {

using namespace vek::emu;

// The wizard's list indexes of the device's register values, from the tables.
int TxRateIndex(std::uint8_t mask) { return mask == 3 ? 0 : mask == 4 ? 1 : mask == 8 ? 2 : 3; }
int TxRateGIndex(std::uint8_t value) {
  if (value == 0) return 2;
  for (int bit = 0; bit < 8; bit++)
    if (value == (1 << bit)) return 4 + bit;
  return 3;
}
int AuthIndex(std::uint8_t value) { return value >= 2 && value <= 5 ? value - 1 : 0; }
int TxModeIndex(std::uint8_t value) { return value == 1 ? 0 : value == 2 ? 1 : 2; }

std::string PortTypesText(const DeviceConfig& d) {
  std::string text(100, ' ');
  for (int i = 0; i < d.ports; i++) {
    const std::size_t port = static_cast<std::size_t>(i);
    const int digit = d.digitsGiven ? d.portDigits[port] : i + 1;
    const char digitChar = digit ? static_cast<char>('0' + digit) : ' ';
    const std::size_t slot = port * 5;
    if (d.portTypes[port] == 1 || d.portTypes[port] == 2) {
      text[slot] = d.portTypes[port] == 1 ? 'P' : 'U';
      text[slot + 1] = digitChar;
    } else {
      text[slot] = digitChar;
    }
  }
  return text;
}

std::vector<std::uint8_t> Ipv4Bytes(std::uint32_t hostOrder) {
  return {static_cast<std::uint8_t>(hostOrder >> 24), static_cast<std::uint8_t>(hostOrder >> 16),
          static_cast<std::uint8_t>(hostOrder >> 8), static_cast<std::uint8_t>(hostOrder)};
}

std::vector<std::uint8_t> Vec(const BYTE* p, std::size_t n) {
  return p ? std::vector<std::uint8_t>(p, p + n) : std::vector<std::uint8_t>{};
}

void ExpectRecordMatches(const DeviceConfig& d) {
  SCOPED_TRACE(FormatMac(d.mac) + " " + d.name);
  const std::vector<std::uint8_t> reply = BuildInformationReply(d);
  ASSERT_LE(reply.size(), 1300u) << "a single reply fits the wizard's receive buffer";
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reply.data(), static_cast<int>(reply.size())));
  const bool wireless = (d.capabilities & cap::kWireless) != 0;
  const bool security = (d.capabilities & cap::kSecurity) != 0;

  EXPECT_EQ(ps.m_Generation, 5);
  EXPECT_EQ(reply[5], d.replyFlag ? 1 : 0);
  EXPECT_TRUE(ps.IsExtended());
  EXPECT_EQ(ps.GetCapabilities().m_Bits, d.capabilities);
  EXPECT_EQ(Vec(ps.m_NodeID, 6), Vec(d.mac.data(), 6));
  EXPECT_EQ(ps.GetNodeIDText(), FormatMac(d.mac));
  EXPECT_EQ(ps.GetName(), d.name);
  EXPECT_EQ(ps.GetFirmwareMajor(), d.firmwareMajor);
  EXPECT_EQ(ps.GetFirmwareMinor(), d.firmwareMinor);
  char numeric[16];
  std::snprintf(numeric, sizeof(numeric), "%d.%02x", d.firmwareMajor, d.firmwareMinor);
  EXPECT_EQ(ps.GetVersionText(), d.firmwareText.empty() ? std::string(numeric) : d.firmwareText);
  EXPECT_EQ(ps.GetModelCode(), d.model);
  EXPECT_EQ(ps.GetPortCount(), d.ports);
  EXPECT_EQ(ps.GetPassword(), d.password);
  ASSERT_TRUE(ps.HasIPSettings());
  EXPECT_EQ(Vec(ps.GetIPAddress(), 4), Ipv4Bytes(d.address));
  EXPECT_EQ(Vec(ps.GetSubnetMask(), 4), Ipv4Bytes(d.subnetMask));
  EXPECT_EQ(Vec(ps.GetGateway(), 4), Ipv4Bytes(d.gateway));
  EXPECT_TRUE(ps.HasDHCPSwitch());
  EXPECT_EQ(ps.GetDHCP(), d.dhcp ? 1 : 0);
  EXPECT_EQ(ps.GetPortTypes(), PortTypesText(d));

  EXPECT_EQ(ps.HasWireless(), wireless);
  EXPECT_EQ(ps.HasWirelessOption(), wireless && (d.capabilities & cap::kWirelessOption));
  EXPECT_EQ(ps.HasSecureConfig(), (d.capabilities & cap::kSecureConfig) != 0);
  const WirelessSettings defaults;
  const WirelessSettings& w = wireless ? d.wireless : defaults;
  if (wireless) {
    EXPECT_EQ(ps.GetCommType(), w.commType > 2 ? 1 : w.commType);
    EXPECT_EQ(ps.GetSSID(), w.ssid);
    EXPECT_EQ(ps.GetDomain(), w.domain);
    EXPECT_EQ(ps.GetChannel(), w.channel);
    EXPECT_EQ(ps.GetTxRate(), TxRateIndex(w.rateMask));
    EXPECT_EQ(ps.GetAuthType(), AuthIndex(w.authType));
    EXPECT_EQ(ps.GetWEPMode(), w.wepMode > 2 ? 1 : w.wepMode);
    EXPECT_EQ(ps.GetWEPKeyIndex(), w.wepKeyIndex > 4 ? 0 : w.wepKeyIndex);
    for (int slot = 0; slot < 4; slot++)
      EXPECT_EQ(Vec(ps.GetWEPKey64Slot(slot), 5), Vec(w.wepKeys64[static_cast<std::size_t>(slot)].data(), 5));
    EXPECT_EQ(Vec(ps.GetWEPKey128(), 13), Vec(w.wepKey128.data(), 13));
    EXPECT_EQ(ps.GetWEPKeyFormat(), w.wepKeyFormat > 1 ? 0 : w.wepKeyFormat);
    EXPECT_EQ(ps.GetLoginMode(), w.loginMode > 1 ? 0 : w.loginMode);
    if (d.capabilities & cap::kWirelessOption) {
      EXPECT_EQ(ps.GetWirelessOption(), w.wirelessOption > 1 ? 0 : w.wirelessOption);
    }
  } else {
    EXPECT_EQ(ps.GetCommType(), 1);
    EXPECT_EQ(ps.GetSSID(), std::string());
    EXPECT_EQ(ps.GetTxRate(), 2);
    EXPECT_EQ(ps.GetWEPKey64(), nullptr);
  }

  if (wireless && security) {
    const SecuritySettings& s = d.security;
    if (d.capabilities & cap::kGRates) {
      EXPECT_EQ(ps.GetTxRateG(), TxRateGIndex(s.rateG));
    }
    if (d.capabilities & cap::k8021X) {
      EXPECT_EQ(ps.Get8021XMethod(), s.method8021X > 2 ? 0 : s.method8021X);
      EXPECT_EQ(ps.Get8021XUser(), s.user8021X);
      EXPECT_EQ(ps.Get8021XPassword(), s.password8021X);
    }
    if (d.capabilities & (cap::kWpaPsk | cap::kWpa2Psk)) {
      EXPECT_EQ(ps.GetWPAPSK(), s.wpaPsk);
    }
    if (d.capabilities & cap::kTxMode) {
      EXPECT_EQ(ps.GetTxMode(), TxModeIndex(s.txMode));
    }
    EXPECT_EQ(ps.GetEncryption(), s.encryption == 1 ? 1 : 0);
  } else {
    EXPECT_EQ(ps.GetTxMode(), 2);
    EXPECT_EQ(ps.GetEncryption(), 0);
    EXPECT_EQ(ps.GetWPAPSK(), std::string());
  }

  int length = 0;
  const BYTE* modulus = ps.GetRSAModulus(&length);
  if (security && (d.capabilities & cap::kSecureConfig)) {
    EXPECT_EQ(Vec(modulus, static_cast<std::size_t>(length)), d.rsaModulus);
  } else {
    EXPECT_EQ(modulus, nullptr);
  }

  // The walk wrote nothing: no default port types were needed, and only a device
  // without digits of its own gets them written in.
  if (d.digitsGiven) {
    EXPECT_EQ(std::vector<std::uint8_t>(ps.m_pReply, ps.m_pReply + ps.m_ReplyLength), reply);
  }
}

DeviceConfig Wired() {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x20, 0x00, 0x01};
  d.name = "Wired";
  d.address = 0x7F000002u;
  d.gateway = 0x7F000001u;
  d.ports = 1;
  d.model = 5;
  d.password = "admin";
  d.digitsGiven = true;
  d.portDigits = {1, 0, 0};
  d.portTypes = {1, 0, 0};
  return d;
}

DeviceConfig FullWireless() {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x20, 0x00, 0x02};
  d.name = "Wireless 18 chars!";  // the full width
  d.firmwareMajor = 3;
  d.firmwareMinor = 0x2F;
  d.firmwareText = "3.2f-full-width";  // 15 characters
  d.model = 63;
  d.ports = 3;
  d.address = 0x7F0A0B0Cu;
  d.subnetMask = 0xFFFFFF00u;
  d.gateway = 0x7F0A0B01u;
  d.dhcp = true;
  d.capabilities = cap::kPortLength | cap::kWireless | cap::kWirelessOption | cap::kGRates | cap::k8021X |
                   cap::kTextLength | cap::kWpaPsk | cap::kSecurity | cap::kWpa2Psk | cap::kTxMode |
                   cap::kSecureConfig;
  d.password = "12345678";
  d.generalText = "general";
  d.generalText1 = "first counted text";
  d.generalText2 = "second";
  d.keyLabel = "label";
  d.keyText = "a key text";
  d.sixth = {1, 2, 3};
  d.portTypes = {2, 1, 3};
  d.digitsGiven = true;
  d.portDigits = {3, 1, 2};
  WirelessSettings& w = d.wireless;
  w.commType = 2;
  w.ssid = "ssid-of-the-full-width-32-chars!";
  w.domain = 4;
  w.channel = 13;
  w.rateMask = 4;
  w.authType = 5;
  w.wepMode = 2;
  w.wepKeyIndex = 4;
  w.wepKeys64 = {{{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}, {16, 17, 18, 19, 20}}};
  w.wepKey128 = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC};
  w.wepKeyFormat = 1;
  w.loginMode = 1;
  w.wirelessOption = 1;
  SecuritySettings& s = d.security;
  s.rateG = 64;
  s.method8021X = 2;
  s.user8021X = "user-name-21-chars-xx";
  s.password8021X = "pw";
  s.wpaPsk = std::string(64, 'k');
  s.txMode = 1;
  s.encryption = 1;
  d.texts = {"one", "two", "thirteen-char"};
  for (int i = 0; i < 128; i++) d.rsaModulus.push_back(static_cast<std::uint8_t>(0x80 | i));
  return d;
}

TEST(CrossCheck, WiredDevice) { ExpectRecordMatches(Wired()); }

TEST(CrossCheck, WirelessDeviceWithEverySection) { ExpectRecordMatches(FullWireless()); }

TEST(CrossCheck, WirelessDeviceWithoutSecuritySection) {
  DeviceConfig d = FullWireless();
  d.capabilities = cap::kWireless | cap::kWirelessOption;
  d.rsaModulus.clear();
  ExpectRecordMatches(d);
}

TEST(CrossCheck, SecurityWithoutWireless) {
  DeviceConfig d = FullWireless();
  d.capabilities = cap::kSecurity | cap::kSecureConfig;
  d.texts = {};
  ExpectRecordMatches(d);
}

TEST(CrossCheck, SecuritySectionWithoutTextOrKey) {
  DeviceConfig d = FullWireless();
  d.capabilities &= ~(cap::kTextLength | cap::kSecureConfig);
  d.texts = {};
  d.rsaModulus.clear();
  ExpectRecordMatches(d);
}

TEST(CrossCheck, FlaggedInformationReply) {
  DeviceConfig d = FullWireless();
  d.replyFlag = true;
  ExpectRecordMatches(d);
}

TEST(CrossCheck, ShippedExampleDevices) {
  EmulatorConfig config;
  std::string error;
  ASSERT_TRUE(LoadEmulatorConfig(VEK_SOURCE_DIR "/emulator/examples/two-devices.conf", &config, &error)) << error;
  for (const DeviceConfig& d : config.devices) ExpectRecordMatches(d);
}

}  // namespace
