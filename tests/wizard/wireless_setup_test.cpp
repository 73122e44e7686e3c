// A wireless print server set up through the wizard's whole road against the
// emulator: searched, logged in to, every wireless choice made on the pages,
// saved and restarted. The emulated device then holds what was chosen.
#include <gtest/gtest.h>

#include <string>

#include "support/wizard_lab.h"

namespace {

using vek::test::WizardLab;

// Empties an edit and types the text into it, as a person selecting all would.
void Retype(WizardLab& lab, int id, const std::string& text) {
  SetWindowTextA(lab.Driver().Control(id), "");
  lab.Driver().Type(id, text);
}

// Past the TCP/IP page (the address as it is) and the save page: the device
// restarts with the settings; the printer page follows.
void SaveAndWaitForRestart(WizardLab& lab, std::size_t device) {
  lab.Driver().Next();
  ASSERT_EQ(lab.Page(), 142u);
  const std::size_t boxes = lab.Driver().MessageBoxes().size();
  lab.Driver().Next();
  EXPECT_TRUE(vek::ui::HeadlessDriver::WaitFor(
      [&] { return lab.Page() != 142u || lab.Driver().MessageBoxes().size() != boxes; }, 60000));
  lab.SettleLong();
  ASSERT_EQ(lab.Page(), 139u) << ::testing::PrintToString(lab.Messages());
  vek::emu::Device& d = lab.Emulator().DeviceAt(device);
  EXPECT_TRUE(vek::ui::HeadlessDriver::WaitFor(
      [&] { return d.Counters().restarts >= 1 && !d.Silent(std::chrono::steady_clock::now()); }, 15000));
}

// The combined security page: WPA2-PSK with its cipher and key, and 802.1X.
TEST(WirelessSetup, ServerWithTheSecurityPage) {
  WizardLab lab({vek::test::WizardWirelessServer(1, "Lab")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  lab.Search();
  ASSERT_EQ(lab.Choose(0), 160u);
  ASSERT_EQ(lab.LogIn("secret"), 181u);
  auto& driver = lab.Driver();
  driver.Select(1039, 2);  // 802.11b Ad-Hoc
  Retype(lab, 1040, "corvane-e2e");
  driver.Select(1024, 10);  // channel 11
  driver.Select(1081, 1);   // G only
  driver.Select(1025, 10);  // 48 Mbps
  driver.Next();
  ASSERT_EQ(lab.Page(), 107u);
  driver.Select(1084, 3);  // WPA2-PSK
  driver.Select(1085, 1);  // CCMP
  driver.Type(1086, "e2eKey2024xyz");
  driver.Next();
  ASSERT_EQ(lab.Page(), 187u);
  driver.Select(1076, 1);  // MD5
  Retype(lab, 1074, "operator");
  Retype(lab, 1075, "pw1234");
  driver.Next();
  ASSERT_EQ(lab.Page(), 138u);
  SaveAndWaitForRestart(lab, 0);

  const vek::emu::DeviceConfig after = lab.Emulator().DeviceAt(0).Config();
  EXPECT_EQ(after.wireless.commType, 2);
  EXPECT_EQ(after.wireless.ssid, "corvane-e2e");
  EXPECT_EQ(after.wireless.channel, 11);
  EXPECT_EQ(after.security.rateG, 64);  // 48 Mbps
  EXPECT_EQ(after.wireless.rateMask, 3);
  EXPECT_EQ(after.security.txMode, 2);    // G only
  EXPECT_EQ(after.wireless.authType, 5);  // WPA2-PSK
  EXPECT_EQ(after.security.encryption, 1);
  EXPECT_EQ(after.security.wpaPsk, "e2eKey2024xyz");
  EXPECT_EQ(after.security.method8021X, 1);
  EXPECT_EQ(after.security.user8021X, "operator");
  EXPECT_EQ(after.security.password8021X, "pw1234");
  EXPECT_EQ(after.wireless.wepMode, 0);
}

// The WEP key page, 802.1X off and the separate pre-shared key page.
TEST(WirelessSetup, ServerWithTheWEPAndPreSharedKeyPages) {
  vek::emu::DeviceConfig server = vek::test::WizardWirelessServer(2, "Older");
  server.capabilities &= ~vek::emu::cap::kWpa2Psk;
  server.model = 25;
  server.wireless.domain = 163;
  server.security.method8021X = 1;
  server.wireless.commType = 1;  // Ad-Hoc: the channel list starts open
  WizardLab lab({server});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  lab.Search();
  ASSERT_EQ(lab.Choose(0), 160u);
  ASSERT_EQ(lab.LogIn("secret"), 181u);
  auto& driver = lab.Driver();
  EXPECT_EQ(driver.Items(1024).front(), "10");
  driver.Select(1024, 2);  // channel 12, before Infrastructure closes the list
  driver.Select(1039, 0);  // Infrastructure
  driver.Select(1081, 0);  // B only
  driver.Select(1025, 2);  // 11Mbps
  driver.Next();
  ASSERT_EQ(lab.Page(), 185u);
  driver.Click(1051);
  driver.Click(1053);  // 128-bit
  driver.Click(1070);  // hexadecimal
  driver.Type(1043, "00112233445566778899aabbcc");
  driver.Next();
  ASSERT_EQ(lab.Page(), 187u);
  driver.Select(1076, 0);
  driver.Next();
  ASSERT_EQ(lab.Page(), 188u);
  Retype(lab, 1079, "separate psk 1");
  driver.Next();
  ASSERT_EQ(lab.Page(), 138u);
  SaveAndWaitForRestart(lab, 0);

  const vek::emu::DeviceConfig after = lab.Emulator().DeviceAt(0).Config();
  EXPECT_EQ(after.wireless.commType, 0);
  EXPECT_EQ(after.wireless.channel, 12);
  EXPECT_EQ(after.wireless.rateMask, 8);
  EXPECT_EQ(after.security.rateG, 0);
  EXPECT_EQ(after.security.txMode, 1);  // B only
  EXPECT_EQ(after.wireless.wepMode, 2);
  EXPECT_EQ(after.wireless.wepKeyFormat, 1);
  const std::array<std::uint8_t, 13> key = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                                            0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC};
  EXPECT_EQ(after.wireless.wepKey128, key);
  EXPECT_EQ(after.security.method8021X, 0);
  EXPECT_EQ(after.security.wpaPsk, "separate psk 1");
  EXPECT_EQ(after.wireless.authType, 4);  // WPA-PSK with a key of 8 or more
}

}  // namespace
