// The wireless pages driven as a person drives them: what the basic settings page
// lists for each kind of server, what Next keeps, the 802.1X and pre-shared key
// pages, and the road through the wireless pages for every set of offered pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/wizard_sheet_run.h"
#include "wizard/wizard_settings.h"

namespace {

using vek::test::SheetRun;

// Sheet indexes of the wireless pages.
constexpr UINT kBasicPage = 3;
constexpr UINT k8021XPage = 5;
constexpr UINT kPSKPage = 6;

// The settings of a wireless server as a fresh load leaves them.
void ResetWireless() {
  using namespace WizardSettings;
  m_NoModify = 0;
  m_Wireless = 1;
  m_HasSecurityPage = m_Has8021X = m_HasWPAPSK = m_HasGRates = m_HasTxMode = 0;
  m_HasWirelessOption = m_WirelessOption = 0;
  m_ModelCode = 0;
  m_CommType = 0;
  m_SSID = "";
  m_RegDomain = 161;
  m_Channel = "1";
  m_RateIndex = 3;
  m_TxMode = 0;
  m_AuthType = m_Encryption = 0;
  m_WEPMode = m_WEPKeyFormat = m_WEPEnabled = 0;
  m_WEPKey64 = m_WEPKey128 = "";
  m_8021XMethod = 0;
  m_8021XLogin = m_8021XPassword = m_WPAPSK = "";
  for (BYTE& b : m_ServerNodeID) b = 0;
}

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> items;
  for (int n = first; n <= last; n++) items.push_back(std::to_string(n));
  return items;
}

const std::vector<std::string> kBRates = {"1, 2Mbps", "5.5Mbps", "11Mbps", "Auto"};
const std::vector<std::string> kAllRates = {"1, 2Mbps", "5.5Mbps", "11Mbps", "Auto",    "6 Mbps",  "9 Mbps",
                                            "12 Mbps",  "18 Mbps", "24 Mbps", "36 Mbps", "48 Mbps", "54 Mbps"};

TEST(WirelessBasicPage, CommunicationTypesAndHelpFollowTheModel) {
  struct Case {
    int model;
    std::vector<std::string> types;
    bool plainAdHocHelp;  // 1092 instead of 1077
  };
  const Case cases[] = {
      {0, {"Infrastructure", "Ad-Hoc", "802.11b Ad-Hoc"}, false},
      {20, {"Infrastructure", "Ad-Hoc", "802.11b Ad-Hoc"}, false},
      {21, {"Infrastructure", "802.11b Ad-Hoc"}, false},
      {25, {"Infrastructure", "802.11b Ad-Hoc"}, false},
      {32, {"Infrastructure", "Ad-Hoc"}, true},
      {33, {"Infrastructure", "802.11b Ad-Hoc"}, false},
  };
  for (const Case& c : cases) {
    ResetWireless();
    WizardSettings::m_ModelCode = static_cast<BYTE>(c.model);
    WizardSettings::m_CommType = 1;
    SheetRun run(kBasicPage);
    EXPECT_EQ(run.driver.Items(1039), c.types) << c.model;
    EXPECT_EQ(run.driver.Selection(1039), 1) << c.model;
    EXPECT_EQ(run.driver.Visible(1092), c.plainAdHocHelp) << c.model;
    EXPECT_EQ(run.driver.Visible(1077), !c.plainAdHocHelp) << c.model;
    run.driver.Next();
    EXPECT_EQ(WizardSettings::m_CommType, 1) << c.model;  // Ad-Hoc on 32, 802.11b Ad-Hoc on 25
  }
}

TEST(WirelessBasicPage, ChannelsFollowTheDomain) {
  struct Case {
    int domain;
    const char* stored;
    int first, last, selection;
    const char* afterNext;  // with no choice made
  };
  const Case cases[] = {
      {161, "6", 1, 11, 5, "6"},   {162, "13", 1, 13, 12, "13"}, {163, "6", 10, 13, -1, "6"},
      {164, "14", 1, 14, 13, "14"}, {165, "11", 10, 11, 1, "11"}, {170, "3", 1, 11, 2, "3"},
      {161, "", 1, 11, -1, ""},
  };
  for (const Case& c : cases) {
    ResetWireless();
    WizardSettings::m_RegDomain = c.domain;
    WizardSettings::m_Channel = c.stored;
    SheetRun run(kBasicPage);
    EXPECT_EQ(run.driver.Items(1024), Numbers(c.first, c.last)) << c.domain;
    EXPECT_EQ(run.driver.Selection(1024), c.selection) << c.domain << " " << c.stored;
    run.driver.Next();
    // A channel list without a selection keeps the device's channel.
    EXPECT_STREQ(WizardSettings::m_Channel, c.afterNext) << c.domain << " " << c.stored;
  }
}

TEST(WirelessBasicPage, RatesFollowTheTransmitModeAndTheServersRates) {
  struct Case {
    int hasTxMode, hasGRates, txMode;
    const std::vector<std::string>* rates;
  };
  const Case cases[] = {
      {0, 0, 0, &kBRates}, {0, 1, 0, &kAllRates}, {1, 1, 0, &kBRates},
      {1, 1, 1, &kAllRates}, {1, 1, 2, &kAllRates}, {1, 0, 2, &kBRates},
  };
  for (const Case& c : cases) {
    ResetWireless();
    WizardSettings::m_HasTxMode = c.hasTxMode;
    WizardSettings::m_HasGRates = c.hasGRates;
    WizardSettings::m_TxMode = static_cast<BYTE>(c.txMode);
    SheetRun run(kBasicPage);
    const std::string label = std::to_string(c.hasTxMode) + std::to_string(c.hasGRates) + std::to_string(c.txMode);
    EXPECT_EQ(run.driver.Items(1025), *c.rates) << label;
    EXPECT_EQ(run.driver.Visible(1081), c.hasTxMode == 1) << label;
    EXPECT_EQ(run.driver.Visible(1080), c.hasTxMode == 1) << label;
    // Only a server with the 802.11g rates is offered them, whatever the mode.
    if (c.hasTxMode) {
      EXPECT_EQ(run.driver.Selection(1081), c.txMode) << label;
      run.driver.Select(1081, 1);
      EXPECT_EQ(run.driver.Items(1025).size(), c.hasGRates ? 12u : 4u) << label;
    }
  }
}

TEST(WirelessBasicPage, SwitchingTheTransmitModeKeepsTheRateWhileListed) {
  ResetWireless();
  using namespace WizardSettings;
  m_HasTxMode = m_HasGRates = 1;
  m_TxMode = 1;      // G only
  m_RateIndex = 8;   // 24 Mbps
  m_CommType = 1;
  m_SSID = "office";
  {
    SheetRun run(kBasicPage);
    EXPECT_EQ(run.driver.Selection(1025), 8);
    run.driver.Select(1081, 2);  // Auto
    EXPECT_EQ(run.driver.Selection(1025), 8);
    run.driver.Select(1081, 0);  // B only: no 24 Mbps
    EXPECT_EQ(run.driver.Items(1025), kBRates);
    EXPECT_EQ(run.driver.Selection(1025), -1);
    EXPECT_EQ(run.driver.Selection(1039), 1);  // the other choices stay
    EXPECT_EQ(run.driver.Text(1040), "office");
    run.driver.Next();
    EXPECT_EQ(run.Page(), 185u);
  }
  EXPECT_EQ(m_TxMode, 0);
  EXPECT_EQ(m_RateIndex, 8);  // no rate chosen: the setting stays what it was

  ResetWireless();
  m_RateIndex = 7;  // 18 Mbps on a server without the 802.11g rates
  m_TxMode = 1;
  {
    SheetRun plain(kBasicPage);
    EXPECT_EQ(plain.driver.Selection(1025), -1);
    plain.driver.Next();
  }
  EXPECT_EQ(m_RateIndex, 7);
  EXPECT_EQ(m_TxMode, 1);  // no transmit mode offered: the value stays

  ResetWireless();
  m_HasTxMode = m_HasGRates = 1;
  m_RateIndex = 2;  // 11Mbps stays through every switch
  SheetRun again(kBasicPage);
  for (int mode : {1, 2, 0, 1}) {
    again.driver.Select(1081, mode);
    EXPECT_EQ(again.driver.Selection(1025), 2) << mode;
  }
}

TEST(WirelessBasicPage, ChannelListOnlyOutsideInfrastructure) {
  ResetWireless();
  using namespace WizardSettings;
  m_HasTxMode = m_HasGRates = 1;
  m_CommType = 0;
  m_Channel = "6";
  SheetRun run(kBasicPage);
  EXPECT_TRUE(run.driver.Enabled(1039));
  EXPECT_FALSE(run.driver.Enabled(1024));
  run.driver.Select(1025, 1);  // the rate's change looks at the communication type too
  EXPECT_FALSE(run.driver.Enabled(1024));
  run.driver.Select(1039, 2);
  EXPECT_TRUE(run.driver.Enabled(1024));
  run.driver.Select(1025, 0);
  EXPECT_TRUE(run.driver.Enabled(1024));
  run.driver.Select(1024, 10);
  run.driver.Select(1039, 0);
  EXPECT_FALSE(run.driver.Enabled(1024));
  run.driver.Type(1040, std::string(33, 's'));
  EXPECT_EQ(run.driver.Text(1040), std::string(32, 's'));
  run.driver.Next();
  EXPECT_STREQ(m_Channel, "11");  // stored although the list was disabled
}

TEST(Wireless8021XPage, AMethodNotListedStaysTheDevices) {
  ResetWireless();
  using namespace WizardSettings;
  m_Has8021X = 1;
  m_8021XMethod = 2;  // CHAPV2, which the page does not list
  m_8021XLogin = "operator";
  m_8021XPassword = "pw";
  SheetRun run(k8021XPage);
  EXPECT_EQ(run.driver.Items(1076), (std::vector<std::string>{"None", "MD5"}));
  EXPECT_EQ(run.driver.Selection(1076), -1);
  EXPECT_TRUE(run.driver.Enabled(1074));
  EXPECT_TRUE(run.driver.Enabled(1075));
  EXPECT_EQ(run.driver.Text(1074), "operator");
  run.driver.Next();
  EXPECT_EQ(m_8021XMethod, 2);  // the device's method stays
  EXPECT_EQ(run.Page(), 138u);
  run.driver.Back();
  run.driver.Select(1076, 0);  // None closes the login, keeping it
  EXPECT_FALSE(run.driver.Enabled(1074));
  EXPECT_FALSE(run.driver.Enabled(1075));
  EXPECT_EQ(run.driver.Text(1074), "operator");
}

TEST(WirelessPSKPage, AKeyNeedsEightCharacters) {
  ResetWireless();
  using namespace WizardSettings;
  m_HasWPAPSK = 1;
  m_WPAPSK = "short";  // too short to be a key: not shown
  SheetRun run(kPSKPage);
  EXPECT_EQ(run.driver.Text(1079), "");
  run.driver.Type(1079, "1234567");
  vek::framework::ClearMessageBoxLog();
  run.driver.Next();
  auto boxes = run.driver.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "8 to 63 characters!");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].type & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_EQ(run.Page(), 188u);
  EXPECT_EQ(run.driver.Text(1079), "1234567");  // kept for correction
  run.driver.Type(1079, "8");
  run.driver.Next();
  EXPECT_EQ(run.Page(), 138u);
  EXPECT_STREQ(m_WPAPSK, "12345678");
}

// Next from the basic page to the TCP/IP page and Back again, for every set of
// pages a server offers: Back walks the same road in reverse.
TEST(WirelessRoutes, EveryCombinationOfPages) {
  struct Case {
    int security, x8021, psk;
    std::vector<UINT> road;
  };
  const Case cases[] = {
      {0, 0, 0, {181, 185, 138}},      {0, 0, 1, {181, 185, 188, 138}},
      {0, 1, 0, {181, 185, 187, 138}}, {0, 1, 1, {181, 185, 187, 188, 138}},
      {1, 0, 0, {181, 107, 138}},      {1, 0, 1, {181, 107, 138}},
      {1, 1, 0, {181, 107, 187, 138}}, {1, 1, 1, {181, 107, 187, 138}},  // the security page asks for the key
  };
  for (const Case& c : cases) {
    ResetWireless();
    WizardSettings::m_HasSecurityPage = c.security;
    WizardSettings::m_Has8021X = c.x8021;
    WizardSettings::m_HasWPAPSK = c.psk;
    SheetRun run(kBasicPage);
    const std::string label = std::to_string(c.security) + std::to_string(c.x8021) + std::to_string(c.psk);
    std::vector<UINT> forward = {run.Page()};
    while (run.Page() != 138u && forward.size() < 8) {
      run.driver.Next();
      forward.push_back(run.Page());
    }
    EXPECT_EQ(forward, c.road) << label;
    std::vector<UINT> backward = {run.Page()};
    while (run.Page() != 181u && backward.size() < 8) {
      run.driver.Back();
      backward.push_back(run.Page());
    }
    EXPECT_EQ(backward, std::vector<UINT>(c.road.rbegin(), c.road.rend())) << label;
    run.driver.Back();
    EXPECT_EQ(run.Page(), 160u) << label;
  }
}

}  // namespace
