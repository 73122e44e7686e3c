// The save's write-back: what the pages chose goes into the record's copy so
// that a device reading it (the emulator's side of the tables) takes exactly
// those settings, and the settings themselves stay as the user left them.
#include <gtest/gtest.h>

#include <string>

#include "chosen_server.h"
#include "emulator/config_apply.h"
#include "wizard/settings_write_back.h"

namespace {

using vek::test::ChosenServerCleanup;

// What a device makes of the record's copy after the write-back.
vek::emu::DeviceConfig Written(const vek::emu::DeviceConfig& device, CPrintServer& ps) {
  WriteBackSettings(ps);
  vek::emu::DeviceConfig taken = device;
  std::string why;
  EXPECT_TRUE(vek::emu::ApplyConfiguration({ps.m_pReply, static_cast<std::size_t>(ps.m_ReplyLength)}, &taken, &why))
      << why;
  return taken;
}

TEST(SettingsWriteBack, EachSettingReachesTheDeviceAsItReadsIt) {
  ChosenServerCleanup cleanup;
  using namespace WizardSettings;
  struct Case {
    const char* what;
    int model;
    bool separatePsk;  // the WPA-PSK page instead of the combined security page
    int commType;
    int rateIndex;
    const char* channel;
    const char* psk;
    int dhcp;
    // What the device takes.
    int deviceCommType, rateMask, rateG, channelTaken, authByte;
  };
  const Case cases[] = {
      {"ad hoc on a model with one ad-hoc mode", 22, false, 1, 2, "11", "a shared secret", 0, 2, 8, 0, 11, 3},
      {"ad hoc on an older model", 20, false, 1, 2, "11", "a shared secret", 0, 1, 8, 0, 11, 3},
      {"an 802.11g rate", 5, false, 0, 5, "3", "a shared secret", 0, 0, 3, 2, 3, 3},
      {"Auto", 5, false, 0, 3, "3", "a shared secret", 0, 0, 3, 255, 3, 3},
      {"an 802.11b rate", 5, false, 0, 1, "3", "a shared secret", 1, 0, 4, 0, 3, 3},
      {"a channel that is no number", 5, false, 0, 0, "1x", "a shared secret", 0, 0, 3, 0, 6, 3},
      {"no channel", 5, false, 0, 0, "", "a shared secret", 0, 0, 3, 0, 6, 3},
      {"a pre-shared key of 7 on the WPA-PSK page", 5, true, 0, 0, "6", "1234567", 0, 0, 3, 0, 6, 1},
      {"a pre-shared key of 8 on the WPA-PSK page", 5, true, 0, 0, "6", "12345678", 0, 0, 3, 0, 6, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vek::emu::DeviceConfig device = vek::test::BlockDevice(7, "Write-back");
    device.model = static_cast<std::uint8_t>(c.model);
    if (c.separatePsk) device.capabilities &= ~vek::emu::cap::kWpa2Psk;
    device.address = 0x0A000007u;
    CPrintServer* ps = vek::test::ListServer(device, device.address);
    vek::test::ChooseServer(ps, "admin");
    ASSERT_EQ(m_HasWPAPSK && !m_HasSecurityPage, c.separatePsk);
    m_CommType = c.commType;
    m_RateIndex = c.rateIndex;
    m_Channel = c.channel;
    m_WPAPSK = c.psk;
    m_AuthType = 2;  // "Both Use" on the combined page
    m_DHCP = c.dhcp;
    const BYTE address[4] = {10, 1, 2, 3}, mask[4] = {255, 255, 0, 0}, gateway[4] = {10, 1, 0, 1};
    std::memcpy(m_NewIPAddress, address, 4);
    std::memcpy(m_SubnetMask, mask, 4);
    std::memcpy(m_Gateway, gateway, 4);

    const vek::emu::DeviceConfig taken = Written(device, *ps);
    EXPECT_EQ(taken.wireless.commType, c.deviceCommType);
    EXPECT_EQ(m_CommType, c.commType) << "the page's choice stays as the user made it";
    EXPECT_EQ(taken.wireless.rateMask, c.rateMask);
    EXPECT_EQ(taken.security.rateG, c.rateG);
    EXPECT_EQ(taken.wireless.channel, c.channelTaken);
    EXPECT_EQ(taken.wireless.authType, c.authByte);
    EXPECT_EQ(taken.security.wpaPsk, c.psk);
    EXPECT_EQ(taken.wireless.ssid, "lab net");
    EXPECT_EQ(taken.dhcp, c.dhcp != 0);
    // The typed addresses go in with DHCP as well.
    EXPECT_EQ(taken.address, 0x0A010203u);
    EXPECT_EQ(taken.subnetMask, 0xFFFF0000u);
    EXPECT_EQ(taken.gateway, 0x0A010001u);
    EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), device.address) << "the address it answers at now";
  }
}

}  // namespace
