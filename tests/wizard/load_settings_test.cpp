// The settings the wizard loads from the chosen server's record: records made
// from the emulator's own information replies, so the device's side of the
// tables and the wizard's reading of them meet here.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "emulator/info_reply.h"
#include "protocol/print_server.h"
#include "support/wizard_lab.h"
#include "wizard/load_settings.h"
#include "wizard/wizard_settings.h"

namespace {

using namespace WizardSettings;
using vek::emu::DeviceConfig;

std::unique_ptr<CPrintServer> RecordOf(const DeviceConfig& device) {
  const std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(device);
  auto ps = std::make_unique<CPrintServer>();
  EXPECT_TRUE(ps->ParseReply(reply.data(), static_cast<int>(reply.size())));
  return ps;
}

// Loads the device as the server list's Next does after finding its record.
LRESULT Load(const DeviceConfig& device, std::unique_ptr<CPrintServer>* keep) {
  ResetDeviceSettings();
  *keep = RecordOf(device);
  return LoadServerSettings(keep->get());
}

DeviceConfig Wireless(std::uint8_t model = 6) {
  DeviceConfig d = vek::test::WizardWirelessServer(1, "Lab");
  d.model = model;
  d.address = 0x7F0A0B0C;  // 127.10.11.12
  return d;
}

TEST(LoadSettings, WirelessServerFillsEveryField) {
  DeviceConfig d = Wireless();
  d.wireless.commType = 2;
  d.wireless.domain = 3;
  d.wireless.channel = 11;
  d.wireless.rateMask = 8;      // index 2
  d.wireless.authType = 5;      // type 4
  d.wireless.wirelessOption = 1;
  d.wireless.loginMode = 1;
  d.security.rateG = 16;        // index 8
  d.security.method8021X = 2;
  d.security.user8021X = "operator";
  d.security.password8021X = "eap pass";
  d.security.txMode = 2;        // G only
  d.security.encryption = 1;
  d.rsaModulus.assign(128, 0xA5);
  std::unique_ptr<CPrintServer> ps;
  ASSERT_EQ(Load(d, &ps), 160);
  EXPECT_EQ(m_pSelectedPS, ps.get());
  EXPECT_EQ(std::vector<BYTE>(m_ServerIPAddress, m_ServerIPAddress + 4), (std::vector<BYTE>{127, 10, 11, 12}));
  EXPECT_EQ(m_Wireless, 1);
  EXPECT_EQ(m_NoPassword, 1);
  EXPECT_EQ(m_HasWirelessOption, 1);
  EXPECT_EQ(m_WirelessOption, 1);
  EXPECT_EQ(m_CommType, 2) << "a model below 21 keeps 802.11b Ad-Hoc";
  EXPECT_EQ(m_ModelCode, 6);
  EXPECT_STREQ(m_SSID.GetString(), "lab net");
  EXPECT_EQ(m_RegDomain, 3);
  EXPECT_STREQ(m_Channel.GetString(), "11");
  EXPECT_EQ(m_HasGRates, 1);
  EXPECT_EQ(m_Has8021X, 1);
  EXPECT_EQ(m_HasWPAPSK, 1);
  EXPECT_EQ(m_HasSecurityPage, 1);
  EXPECT_EQ(m_HasTxMode, 1);
  EXPECT_EQ(m_SecureConfig, 1);
  EXPECT_EQ(m_RateIndex, 8);
  EXPECT_EQ(m_TxMode, 1);
  EXPECT_EQ(m_AuthType, 4);
  EXPECT_EQ(m_Encryption, 1);
  EXPECT_EQ(m_8021XMethod, 2);
  EXPECT_STREQ(m_8021XLogin.GetString(), "operator");
  EXPECT_STREQ(m_8021XPassword.GetString(), "eap pass");
  EXPECT_STREQ(m_WPAPSK.GetString(), "a shared secret");
  EXPECT_EQ(std::vector<BYTE>(m_DeviceKey, m_DeviceKey + 128), std::vector<BYTE>(128, 0xA5));
  EXPECT_EQ(m_WEPEnabled, 0);
}

TEST(LoadSettings, ValueMappingsOfTheDevicesRegisters) {
  std::unique_ptr<CPrintServer> ps;
  // Model 21 and above has no 802.11b Ad-Hoc of its own: it loads as Ad-Hoc.
  DeviceConfig d = Wireless(21);
  d.wireless.commType = 2;
  Load(d, &ps);
  EXPECT_EQ(m_CommType, 1);
  d = Wireless(20);
  d.wireless.commType = 2;
  Load(d, &ps);
  EXPECT_EQ(m_CommType, 2);

  // No 802.11g rate reported: the 802.11b rate index; auto: 3.
  for (auto [rateG, rateMask, index] : {std::tuple{0, 8, 2}, {0, 4, 1}, {255, 8, 3}, {128, 8, 11}}) {
    d = Wireless();
    d.security.rateG = static_cast<std::uint8_t>(rateG);
    d.wireless.rateMask = static_cast<std::uint8_t>(rateMask);
    Load(d, &ps);
    EXPECT_EQ(m_RateIndex, index) << "rate G " << rateG << ", mask " << rateMask;
  }
  // Without the 802.11g rates the 802.11b index alone.
  d = Wireless();
  d.capabilities &= ~vek::emu::cap::kGRates;
  d.security.rateG = 128;
  d.wireless.rateMask = 3;
  Load(d, &ps);
  EXPECT_EQ(m_HasGRates, 0);
  EXPECT_EQ(m_RateIndex, 0);
}

TEST(LoadSettings, WepKeysInBothFormats) {
  std::unique_ptr<CPrintServer> ps;
  DeviceConfig d = Wireless();
  d.wireless.wepMode = 2;
  d.wireless.wepKeyIndex = 3;
  d.wireless.wepKeyFormat = 1;
  d.wireless.wepKeys64[0] = {0x0A, 0x1B, 0x00, 0xFF, 0x05};
  d.wireless.wepKey128 = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0xAB, 0xCD, 0xEF};
  Load(d, &ps);
  EXPECT_EQ(m_WEPMode, 2);
  EXPECT_EQ(m_WEPKeySlot, 3);
  EXPECT_EQ(m_WEPKeyFormat, 1);
  // Upper-case digits, two a byte in byte order, leading zeros kept.
  EXPECT_STREQ(m_WEPKey64.GetString(), "0A1B00FF05");
  EXPECT_STREQ(m_WEPKey128.GetString(), "00010203040506070809ABCDEF");
  EXPECT_EQ(m_WEPKey128.GetLength(), 26);

  // Alphanumeric keys that fill their fields: 5 and 13 characters, never the
  // bytes that follow a field without its terminator.
  d.wireless.wepKeyFormat = 0;
  d.wireless.wepKeys64[0] = {'a', 'b', 'c', 'd', 'e'};
  d.wireless.wepKeys64[1] = {'X', 'Y', 'Z', 'X', 'Y'};
  for (std::size_t i = 0; i < 13; i++) d.wireless.wepKey128[i] = static_cast<std::uint8_t>('A' + i);
  ResetDeviceSettings();
  ps = RecordOf(d);
  ps->GetWEPKey64()[5] = 'Q';  // the byte after each field is not a terminator
  ps->GetWEPKey128()[13] = 'Q';
  LoadServerSettings(ps.get());
  EXPECT_STREQ(m_WEPKey64.GetString(), "abcde");
  EXPECT_STREQ(m_WEPKey128.GetString(), "ABCDEFGHIJKLM");
  // A shorter key ends at its first zero byte.
  d.wireless.wepKeys64[0] = {'k', 'e', 'y', 0, 'z'};
  Load(d, &ps);
  EXPECT_STREQ(m_WEPKey64.GetString(), "key");
}

TEST(LoadSettings, DeviceKeyIsCopiedOnlyAsLongAsItsSection) {
  std::unique_ptr<CPrintServer> ps;
  // A longer key first, so that a shorter one must not leave its tail.
  DeviceConfig d = Wireless();
  d.rsaModulus.assign(254, 0x11);
  Load(d, &ps);
  EXPECT_EQ(std::vector<BYTE>(m_DeviceKey, m_DeviceKey + 254), std::vector<BYTE>(254, 0x11));
  EXPECT_EQ(m_DeviceKey[254], 0);
  d.rsaModulus.assign(64, 0x22);
  Load(d, &ps);
  EXPECT_EQ(std::vector<BYTE>(m_DeviceKey, m_DeviceKey + 64), std::vector<BYTE>(64, 0x22));
  EXPECT_EQ(std::vector<BYTE>(m_DeviceKey + 64, m_DeviceKey + 256), std::vector<BYTE>(192, 0));
}

TEST(LoadSettings, EachChoiceStartsFromCleanDeviceFields) {
  std::unique_ptr<CPrintServer> wireless, cable, direct;
  DeviceConfig w = Wireless();
  w.rsaModulus.assign(128, 0x33);
  Load(w, &wireless);
  ASSERT_EQ(m_Wireless, 1);
  m_DHCP = 1;
  m_NoModify = 0;

  // A server without wireless settings keeps every wireless field reset and uses
  // the plain password comparison.
  DeviceConfig c = vek::test::WizardCableServer(2, "Office");
  c.address = 0x7F0A0B0D;
  ASSERT_EQ(Load(c, &cable), 160);
  EXPECT_EQ(m_Wireless, 0);
  EXPECT_EQ(m_SecureConfig, 0);
  EXPECT_EQ(m_ModelCode, 0);
  EXPECT_EQ(m_HasSecurityPage + m_Has8021X + m_HasWPAPSK + m_HasGRates + m_HasTxMode, 0);
  EXPECT_TRUE(m_SSID.IsEmpty());
  EXPECT_TRUE(m_WPAPSK.IsEmpty());
  EXPECT_TRUE(m_8021XLogin.IsEmpty());
  EXPECT_EQ(m_DeviceKey[0], 0);
  EXPECT_EQ(m_ServerIPAddress[3], 13);
  // The user's own answers stay.
  EXPECT_EQ(m_DHCP, 1);
  EXPECT_EQ(m_NoModify, 0);

  // The reply word 0x0184 goes straight to the printer page; nothing of the
  // wireless state is read, and m_Wireless keeps the previous choice's value.
  Load(w, &wireless);
  DeviceConfig f = vek::test::WizardCableServer(3, "Direct");
  f.capabilities = w.capabilities;
  f.replyFlag = true;
  EXPECT_EQ(Load(f, &direct), 139);
  EXPECT_EQ(m_Wireless, 1);
  EXPECT_TRUE(m_SSID.IsEmpty());
  EXPECT_EQ(m_SecureConfig, 0);
  EXPECT_EQ(m_pSelectedPS, direct.get());

  // No record: 0.0.0.0, and nothing read through it.
  ResetDeviceSettings();
  EXPECT_EQ(LoadServerSettings(nullptr), 160);
  EXPECT_EQ(std::vector<BYTE>(m_ServerIPAddress, m_ServerIPAddress + 4), std::vector<BYTE>(4, 0));
  EXPECT_EQ(m_pSelectedPS, nullptr);
  EXPECT_EQ(m_Wireless, 0);
}

TEST(LoadSettings, PortNumberOfThePortColumn) {
  struct Case {
    const char* text;
    int port;
  };
  for (const Case& c : {Case{"1", 1}, {"3 ", 3}, {"P2", 2}, {"U3", 3}, {"P1", 1}, {"  ", 0}, {"P ", 0}, {"", 0},
                        {"X1", 0}, {"u2", 0}})
    EXPECT_EQ(PortIDFromColumn(c.text), c.port) << "'" << c.text << "'";
  EXPECT_EQ(PortIDFromColumn(nullptr), 0);
}

}  // namespace
