// The save page driven headless against the emulator: the summary of the chosen
// settings and the key fingerprint; a save by each upload path ending with the
// device answering at its new address with the new settings, the progress bar
// moving all along; and a device that cannot be found again or does not take
// the settings, each with its message, the page staying.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "chosen_server.h"

namespace {

using namespace std::chrono_literals;
using vek::test::ChosenServerCleanup;
using vek::test::SheetRun;
using vek::emu::UploadPath;

class SavePage : public vek::test::DeviceLab {
 protected:
  void TearDown() override {
    WizardSettings::m_pSelectedPS = nullptr;
    g_PrintServerList.DeleteAll();
    DeviceLab::TearDown();
  }

  // Device i, chosen from the list, at the address it listens at.
  CPrintServer* Choose(std::size_t i, const char* password) {
    CPrintServer* ps = vek::test::ListServer(Device(i).Config(), Device(i).ListenAddress());
    vek::test::ChooseServer(ps, password);
    return ps;
  }

  // Presses Next on the save page and follows the save until the page changes
  // or a message box comes: every position of the bar and every status text.
  void Save(SheetRun& run) {
    m_positions.clear();
    m_statuses.clear();
    const std::size_t boxes = run.driver.MessageBoxes().size();
    run.driver.Next();
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (run.Page() == static_cast<UINT>(IDD_WIZARD_SAVE) && run.driver.MessageBoxes().size() == boxes &&
           std::chrono::steady_clock::now() < deadline) {
      if (run.driver.Visible(IDC_SAVE_PROGRESS)) m_positions.push_back(run.driver.ProgressPosition(IDC_SAVE_PROGRESS));
      const std::string status = run.driver.Text(IDC_SAVE_STATUS);
      if (m_statuses.empty() || m_statuses.back() != status) m_statuses.push_back(status);
      ::Sleep(50);
    }
    run.driver.Settle();
  }

  std::vector<int> m_positions;
  std::vector<std::string> m_statuses;
};

std::vector<std::string> Rows(SheetRun& run) { return run.driver.Items(IDC_SETTINGS_LIST); }

TEST_F(SavePage, SummaryOfACableAndAWirelessServerAndTheKeyFingerprint) {
  vek::emu::DeviceConfig cable = vek::test::CableDevice(1, "Front desk");
  cable.address = 0xC0A80105u;
  cable.subnetMask = 0xFFFFFF00u;
  vek::test::ChooseServer(vek::test::ListServer(cable, cable.address), "admin");
  {
    SheetRun run;
    ASSERT_TRUE(vek::test::DriveToTcpip(run));
    run.driver.Next();
    ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
    EXPECT_EQ(Rows(run), (std::vector<std::string>{"Current Settings : |", "Print Server Name : |Front desk",
                                                   "MAC Address : |02:4E:57:50:00:01", "|", "DHCP : |Disabled",
                                                   "IP address : |192.168.1.5", "Subnet Mask : |255.255.255.0",
                                                   "Gateway : |0.0.0.0"}));
    EXPECT_EQ(run.driver.Text(IDC_PUBLIC_KEY_LINE), "");
    EXPECT_FALSE(run.driver.Visible(IDC_SAVE_STATUS));
    EXPECT_FALSE(run.driver.Visible(IDC_SAVE_PROGRESS));
    EXPECT_FALSE(run.driver.Enabled(IDC_SETTINGS_LIST)) << "the summary only shows";
  }

  // A wireless server with the secured exchange and a key of 129 bytes: the
  // fingerprint covers exactly the modulus the key section holds.
  vek::emu::DeviceConfig wireless = vek::test::SecuredDevice(3, "Upstairs");
  wireless.address = 0x0A000009u;
  for (int i = 0; i < 129; i++) wireless.rsaModulus.push_back(static_cast<std::uint8_t>(i));
  vek::test::ChooseServer(vek::test::ListServer(wireless, wireless.address), "secret");
  using namespace WizardSettings;
  ASSERT_TRUE(m_HasSecurityPage && m_Has8021X && m_HasWPAPSK && m_SecureConfig);
  SheetRun run;
  ASSERT_TRUE(vek::test::DriveToTcpip(run));
  struct Case {
    int security, wpaPsk, dot1x, commType, rate, auth, encryption, wep, method;
    const char* psk;
    std::vector<std::string> rows;  // from row 8 on
  };
  const Case cases[] = {
      {1, 1, 1, 0, 11, 4, 1, 0, 1, "", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |54 Mbps",
                                        "Authentication Type : |WPA2-PSK", "Encryption : |WPA2-PSK (CCMP)", "802.1X : |MD5"}},
      {1, 0, 0, 1, 3, 0, 0, 2, 0, "", {"|", "Mode : |Ad-Hoc", "ESSID : |lab net", "Data Transmit Rates : |Auto",
                                       "Authentication Type : |Open System", "Encryption : |WEP-128bit"}},
      {1, 0, 1, 2, 1, 3, 0, 1, 2, "", {"|", "Mode : |802.11b Ad-Hoc", "ESSID : |lab net", "Data Transmit Rates : |5.5Mbps",
                                       "Authentication Type : |WPA-PSK", "Encryption : |WPA-PSK (TKIP)", "802.1X : |CHAPV2"}},
      {0, 1, 1, 0, 4, 0, 0, 1, 0, "1234567", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |6 Mbps",
                                              "WEP : |Enable ( 64-bit )", "WPA-PSK : |Disable", "802.1X : |None"}},
      {0, 1, 0, 0, 0, 0, 0, 0, 0, "12345678", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |1, 2Mbps",
                                               "WEP : |Disable", "WPA-PSK : |Enable"}},
      {0, 0, 1, 0, 2, 0, 0, 2, 1, "", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |11Mbps",
                                       "WEP : |Enable ( 128-bit )", "802.1X : |MD5"}},
      // Values outside the lists show nothing.
      {1, 0, 1, 3, 12, 5, 0, 0, 3, "", {"|", "Mode : |", "ESSID : |lab net", "Data Transmit Rates : |",
                                        "Authentication Type : |", "Encryption : |", "802.1X : |"}},
      {1, 0, 0, 0, 0, 3, 2, 0, 0, "", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |1, 2Mbps",
                                       "Authentication Type : |WPA-PSK", "Encryption : |"}},
      {0, 0, 0, 0, 0, 0, 0, 3, 0, "", {"|", "Mode : |Infrastructure", "ESSID : |lab net", "Data Transmit Rates : |1, 2Mbps",
                                       "WEP : |"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n++);
    m_HasSecurityPage = c.security;
    m_HasWPAPSK = c.wpaPsk;
    m_Has8021X = c.dot1x;
    m_CommType = c.commType;
    m_RateIndex = c.rate;
    m_AuthType = static_cast<BYTE>(c.auth);
    m_Encryption = static_cast<BYTE>(c.encryption);
    m_WEPMode = c.wep;
    m_8021XMethod = c.method;
    m_WPAPSK = c.psk;
    run.driver.Next();
    ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
    const std::vector<std::string> rows = Rows(run);
    ASSERT_EQ(rows.size(), 8 + c.rows.size());
    EXPECT_EQ(rows[5], "IP address : |10.0.0.9");
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 8, rows.end()), c.rows);
    // HMAC-MD5 of the 129 modulus bytes keyed with the MAC 02:4E:57:50:00:03.
    EXPECT_EQ(run.driver.Text(IDC_PUBLIC_KEY_LINE), "Public Key :E4BD3C4C906CBA236E35E9A6286B9EE3");
    run.driver.Back();
    ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  }
}

struct SaveCase {
  const char* name;
  UploadPath path;
  bool dhcp;
};

class SaveEndToEnd : public SavePage, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveEndToEnd, TheDeviceComesBackWithTheNewSettings) {
  const SaveCase& c = GetParam();
  vek::emu::DeviceConfig device = c.path == UploadPath::Whole    ? vek::test::CableDevice(1, "Cable")
                                  : c.path == UploadPath::Blocks ? vek::test::BlockDevice(1, "Blocks")
                                                                 : vek::test::SecuredDevice(1, "Secured");
  device.restartSilenceMs = 1500;
  Start({device}, {150});
  CPrintServer* ps = Choose(0, c.path == UploadPath::Secured ? "secret" : "admin");
  using namespace WizardSettings;
  if (m_Wireless) {
    m_SSID = "new net";
    m_Channel = "11";
    m_WPAPSK = "a new shared key";
  }
  const std::uint32_t before = Device(0).ListenAddress();
  const std::uint32_t moved = m_subnet.Host(77);

  SheetRun run;
  ASSERT_TRUE(vek::test::DriveToTcpip(run));
  if (c.dhcp) run.driver.Click(IDC_DHCP1);
  else vek::test::TypeStatic(run, vek::test::Dotted(moved), "255.255.255.0", vek::test::Dotted(m_subnet.Host(254)));
  run.driver.Next();
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  EXPECT_EQ(Rows(run)[5], c.dhcp ? "IP address : |0.0.0.0" : "IP address : |" + vek::test::Dotted(moved));
  EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), before) << "the login and the search still need the old one";

  Save(run);
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_PRINTER)) << vek::test::DescribeRequests(m_emulator, 0);
  const vek::emu::DeviceConfig now = Device(0).Config();
  const vek::emu::DeviceCounters counters = Device(0).Counters();
  EXPECT_EQ(counters.lastPath, c.path);
  EXPECT_EQ(counters.configurations, 1);
  EXPECT_EQ(counters.restarts, 1);
  EXPECT_EQ(now.dhcp, c.dhcp);
  const std::uint32_t expected = c.dhcp ? m_subnet.Host(150) : moved;
  EXPECT_EQ(Device(0).ListenAddress(), expected);
  if (!c.dhcp) {
    EXPECT_EQ(now.subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(now.gateway, m_subnet.Host(254));
    EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), moved);
  }
  if (m_Wireless) {
    EXPECT_EQ(now.wireless.ssid, "new net");
    EXPECT_EQ(now.wireless.channel, 11);
    EXPECT_EQ(now.security.wpaPsk, "a new shared key");
  }
  EXPECT_EQ(m_SelectedRow, -1) << "the list is searched again";
  // It answers where the record now says it is.
  EXPECT_EQ(vek::test::HostOrder(ps->GetIPAddress()), c.dhcp ? before : moved);
  if (!c.dhcp) {
    EXPECT_TRUE(ps->QueryStatus());
  }

  // The bar moved the whole time, from the search to the end of the restart, and
  // the status line said what was going on.
  ASSERT_GE(m_positions.size(), 50u);
  int distinct = 1;
  for (std::size_t i = 1; i < m_positions.size(); i++) {
    EXPECT_GE(m_positions[i], m_positions[i - 1]);
    if (m_positions[i] != m_positions[i - 1]) distinct++;
  }
  EXPECT_GE(distinct, 30);
  EXPECT_LT(m_positions.front(), 1000) << "moving while the server is searched for";
  EXPECT_EQ(m_positions.back(), 8000);
  EXPECT_EQ(m_statuses, (std::vector<std::string>{"Saving print server settings...", "Done !"}));
}

INSTANTIATE_TEST_SUITE_P(EachUploadPath, SaveEndToEnd,
                         testing::Values(SaveCase{"Whole", UploadPath::Whole, false},
                                         SaveCase{"Blocks", UploadPath::Blocks, false},
                                         SaveCase{"Secured", UploadPath::Secured, false},
                                         SaveCase{"WholeWithDhcp", UploadPath::Whole, true}),
                         [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

TEST_F(SavePage, ALostServerAndASilentOneGiveTheirMessagesAndThePageStays) {
  auto lost = vek::test::CableDevice(1, "Lost");
  lost.faults = {{vek::emu::MessageKind::Search, vek::emu::FaultKind::Drop, 0, -1}};
  auto silent = vek::test::CableDevice(2, "Silent");
  silent.faults = {{vek::emu::MessageKind::Upload, vek::emu::FaultKind::Drop, 0, -1}};
  Start({lost, silent});

  struct Case {
    std::size_t device;
    const char* message;
  };
  for (const Case& c : {Case{0, "Cannot find the print server!"}, Case{1, "Cannot save the settings to the print server!"}}) {
    SCOPED_TRACE(c.message);
    CPrintServer* ps = Choose(c.device, "admin");
    const std::vector<BYTE> held(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength);
    WizardSettings::m_SelectedRow = 0;
    SheetRun run;
    ASSERT_TRUE(vek::test::DriveToTcpip(run));
    vek::test::TypeStatic(run, vek::test::Dotted(m_subnet.Host(88)), "255.255.255.0", "0.0.0.0");
    run.driver.Next();
    const std::size_t boxes = run.driver.MessageBoxes().size();
    Save(run);
    ASSERT_EQ(run.driver.MessageBoxes().size(), boxes + 1);
    const auto box = run.driver.MessageBoxes().back();
    EXPECT_EQ(box.text, c.message);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
    ASSERT_TRUE(vek::ui::HeadlessDriver::WaitFor(
        [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT); }));
    EXPECT_FALSE(run.driver.Visible(IDC_SAVE_PROGRESS));
    EXPECT_GE(m_positions.size(), 10u) << "the bar moved while the save waited";
    // Nothing changed anywhere: the record still holds what the device holds.
    EXPECT_EQ(std::vector<BYTE>(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength), held);
    EXPECT_EQ(Device(c.device).Counters().configurations, 0);
    EXPECT_EQ(Device(c.device).Counters().restarts, 0);
    EXPECT_EQ(Device(c.device).ListenAddress(), m_subnet.Host(static_cast<int>(c.device) + 1));
    if (c.device == 0) {
      EXPECT_EQ(WizardSettings::m_SelectedRow, 0) << "nothing was sent";
      for (const auto& entry : m_emulator.Log().Snapshot())
        EXPECT_NE(entry.command, 0x0001) << "no upload without the server found";
    } else {
      EXPECT_EQ(WizardSettings::m_SelectedRow, -1);
    }
    // Back is open again, and leads to the TCP/IP page.
    run.driver.Back();
    EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  }
}

}  // namespace
