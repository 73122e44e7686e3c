// The save page driven headless against the emulator: the summary of the chosen
// settings and the key fingerprint; a save by each upload path ending with the
// device answering at its new address with the new settings, the progress bar
// moving all along; a device that cannot be found again or does not take the
// settings, each with its message, the page staying; and a device that takes
// them but misses its restart, among secured neighbours that answer sooner.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "chosen_server.h"
#include "support/wizard_lab.h"

namespace {

using namespace std::chrono_literals;
using vek::test::ChosenServerCleanup;
using vek::test::SheetRun;
using vek::emu::UploadPath;

// What the save page showed while it saved: every position of the bar while
// shown, and every status text, in order.
struct SaveSeen {
  std::vector<int> positions;
  std::vector<std::string> statuses;
};

// Presses Next on the save page and follows the save until the page changes or a
// message box comes.
SaveSeen Save(SheetRun& run) {
  SaveSeen seen;
  const std::size_t boxes = run.driver.MessageBoxes().size();
  run.driver.Next();
  const auto deadline = std::chrono::steady_clock::now() + 120s;
  while (run.Page() == static_cast<UINT>(IDD_WIZARD_SAVE) && run.driver.MessageBoxes().size() == boxes &&
         std::chrono::steady_clock::now() < deadline) {
    if (run.driver.Visible(IDC_SAVE_PROGRESS)) seen.positions.push_back(run.driver.ProgressPosition(IDC_SAVE_PROGRESS));
    const std::string status = run.driver.Text(IDC_SAVE_STATUS);
    if (seen.statuses.empty() || seen.statuses.back() != status) seen.statuses.push_back(status);
    ::Sleep(50);
  }
  run.driver.Settle();
  return seen;
}

// The wizard from its welcome page to the TCP/IP page with device 0 chosen and
// logged in to.
void ToTcpip(vek::test::WizardLab& lab, const std::string& password) {
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  lab.Search();
  ASSERT_EQ(lab.Choose(0), static_cast<UINT>(IDD_WIZARD_LOGIN));
  lab.LogIn(password);
  ASSERT_TRUE(vek::test::DriveToTcpip(lab.Run())) << lab.Page();
}

std::vector<std::string> Rows(SheetRun& run) { return run.driver.Items(IDC_SETTINGS_LIST); }

TEST(SavePage, SummaryOfACableAndAWirelessServerAndTheKeyFingerprint) {
  ChosenServerCleanup cleanup;
  vek::emu::DeviceConfig cable = vek::test::CableDevice(1, "Front desk");
  cable.address = 0xC0A80105u;
  cable.subnetMask = 0xFFFFFF00u;
  vek::test::ChooseServer(vek::test::ListServer(cable, cable.address), "admin");
  {
    SheetRun run(vek::test::kTcpipPageIndex);
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
  SheetRun run(vek::test::kTcpipPageIndex);
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

void PrintTo(const SaveCase& c, std::ostream* out) { *out << c.name; }

class SaveEndToEnd : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveEndToEnd, TheDeviceComesBackWithTheNewSettings) {
  const SaveCase& c = GetParam();
  vek::emu::DeviceConfig device = vek::test::WizardWirelessServer(1, "Upstairs");
  if (c.path == UploadPath::Whole) device = vek::test::WizardCableServer(1, "Front desk");
  if (c.path == UploadPath::Blocks) device.capabilities &= ~vek::emu::cap::kSecureConfig;
  device.restartSilenceMs = 1500;
  vek::test::WizardLab lab({device}, {150});
  ToTcpip(lab, device.password);
  if (HasFatalFailure()) return;
  vek::emu::Device& emulated = lab.Emulator().DeviceAt(0);
  SheetRun& run = lab.Run();
  using namespace WizardSettings;
  CPrintServer* ps = m_pSelectedPS;
  ASSERT_NE(ps, nullptr);
  if (m_Wireless) {
    m_SSID = "new net";
    m_Channel = "11";
    m_WPAPSK = "a new shared key";
  }
  const std::uint32_t before = emulated.ListenAddress();
  const std::uint32_t moved = lab.Subnet().Host(77);

  if (c.dhcp) run.driver.Click(IDC_DHCP1);
  else vek::test::TypeStatic(run, lab.Subnet().Dotted(77), "255.255.255.0", lab.Subnet().Dotted(254));
  run.driver.Next();
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  EXPECT_EQ(Rows(run)[5], c.dhcp ? "IP address : |0.0.0.0" : "IP address : |" + lab.Subnet().Dotted(77));
  EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), before) << "the search still needs the old one";

  const SaveSeen seen = Save(run);
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_PRINTER)) << vek::test::DescribeRequests(lab.Emulator(), 0);
  const vek::emu::DeviceConfig now = emulated.Config();
  const vek::emu::DeviceCounters counters = emulated.Counters();
  EXPECT_EQ(counters.lastPath, c.path);
  EXPECT_EQ(counters.configurations, 1);
  EXPECT_EQ(counters.restarts, 1);
  EXPECT_EQ(now.dhcp, c.dhcp);
  EXPECT_EQ(emulated.ListenAddress(), c.dhcp ? lab.Subnet().Host(150) : moved);
  if (!c.dhcp) {
    EXPECT_EQ(now.subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(now.gateway, lab.Subnet().Host(254));
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
  ASSERT_GE(seen.positions.size(), 20u);
  int distinct = 1;
  for (std::size_t i = 1; i < seen.positions.size(); i++) {
    EXPECT_GE(seen.positions[i], seen.positions[i - 1]);
    if (seen.positions[i] != seen.positions[i - 1]) distinct++;
  }
  EXPECT_GE(distinct, 10);
  EXPECT_LT(seen.positions.front(), 1000) << "moving while the server is searched for";
  EXPECT_EQ(seen.positions.back(), 8000);
  EXPECT_EQ(seen.statuses, (std::vector<std::string>{"Saving print server settings...", "Done !"}));
}

INSTANTIATE_TEST_SUITE_P(EachUploadPath, SaveEndToEnd,
                         testing::Values(SaveCase{"Whole", UploadPath::Whole, false},
                                         SaveCase{"Blocks", UploadPath::Blocks, false},
                                         SaveCase{"Secured", UploadPath::Secured, false},
                                         SaveCase{"WholeWithDhcp", UploadPath::Whole, true}),
                         [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

// A server that is gone when the save looks for it, and one that does not take
// the settings: each gives its message, and the page stays with nothing changed.
TEST(SavePage, ALostServerAndASilentOneGiveTheirMessagesAndThePageStays) {
  for (const bool lost : {true, false}) {
    SCOPED_TRACE(lost ? "lost" : "silent");
    vek::emu::DeviceConfig device = vek::test::WizardCableServer(1, "Front desk");
    if (!lost) device.faults = {{vek::emu::MessageKind::Upload, vek::emu::FaultKind::Drop, 0, -1}};
    vek::test::WizardLab lab({device});
    ToTcpip(lab, "admin");
    if (HasFatalFailure()) return;
    SheetRun& run = lab.Run();
    CPrintServer* ps = WizardSettings::m_pSelectedPS;
    const std::vector<BYTE> held(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength);
    vek::test::TypeStatic(run, lab.Subnet().Dotted(88), "255.255.255.0", "0.0.0.0");
    run.driver.Next();
    ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
    lab.Messages();
    if (lost) lab.Emulator().Stop();
    const SaveSeen seen = Save(run);
    EXPECT_EQ(lab.Messages(), std::vector<std::string>{lost ? "Cannot find the print server!"
                                                            : "Cannot save the settings to the print server!"});
    EXPECT_EQ(run.driver.MessageBoxes().back().caption, "Error");
    EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
    ASSERT_TRUE(vek::ui::HeadlessDriver::WaitFor(
        [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT); }));
    EXPECT_FALSE(run.driver.Visible(IDC_SAVE_PROGRESS));
    EXPECT_GE(seen.positions.size(), 10u) << "the bar moved while the save waited";
    // Nothing changed anywhere: the record still holds what the device holds.
    EXPECT_EQ(std::vector<BYTE>(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength), held);
    if (lost) {
      EXPECT_GE(WizardSettings::m_SelectedRow, 0) << "nothing was sent";
    } else {
      vek::emu::Device& emulated = lab.Emulator().DeviceAt(0);
      EXPECT_EQ(emulated.Counters().configurations, 0);
      EXPECT_EQ(emulated.Counters().restarts, 0);
      EXPECT_EQ(emulated.ListenAddress(), lab.Subnet().Host(1));
      EXPECT_EQ(WizardSettings::m_SelectedRow, -1);
    }
    // Back is open again, and leads to the TCP/IP page.
    run.driver.Back();
    EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  }
}

// Two secured wireless servers; the chosen one was found late in the search
// (listed at the broadcast address) and answers later than its neighbour. Its
// configuration reaches it alone, at the address it answers from. The save is
// done only when the server, found again after its restart, reports the new
// settings: a restart it ignored is sent once more, and when that is ignored as
// well the page says so and stays, claiming nothing.
struct InForceCase {
  const char* name;
  int ignoredRestarts;  // restart requests the chosen server ignores; -1: all
};

void PrintTo(const InForceCase& c, std::ostream* out) { *out << c.name; }

class SaveInForce : public vek::test::DeviceLab, public testing::WithParamInterface<InForceCase> {};

int RequestsTo(vek::emu::Emulator& emulator, std::size_t device, WORD command) {
  int n = 0;
  for (const vek::emu::LoggedRequest& entry : emulator.Log().Snapshot())
    if (entry.device == device && entry.command == command) n++;
  return n;
}

TEST_P(SaveInForce, DoneOnlyOnceTheServerReportsTheNewSettings) {
  const InForceCase& c = GetParam();
  ChosenServerCleanup cleanup;
  using vek::emu::FaultKind;
  using vek::emu::MessageKind;
  vek::emu::DeviceConfig chosen = vek::test::WizardWirelessServer(1, "Chosen");
  chosen.faults = {{MessageKind::Secure, FaultKind::Delay, 400, -1}};
  if (c.ignoredRestarts != 0) chosen.faults.push_back({MessageKind::Restart, FaultKind::Ignore, 0, c.ignoredRestarts});
  Start({chosen, vek::test::WizardWirelessServer(2, "Neighbour")});
  m_emulator.Log().Clear();
  CPrintServer* ps = vek::test::ListServer(Device(0).Config(), 0);
  vek::test::ChooseServer(ps, "secret");
  const std::vector<BYTE> held(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength);
  SheetRun run(vek::test::kTcpipPageIndex);
  using namespace WizardSettings;
  m_SSID = "new net";
  vek::test::TypeStatic(run, m_subnet.Dotted(77), "255.255.255.0", m_subnet.Dotted(254));
  run.driver.Next();
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  const std::size_t boxes = run.driver.MessageBoxes().size();

  const SaveSeen seen = Save(run);
  const bool inForce = c.ignoredRestarts >= 0;
  const std::string log = vek::test::DescribeRequests(m_emulator, 0);
  EXPECT_EQ(Device(0).Counters().configurations, 1) << log;
  EXPECT_EQ(Device(0).Config().wireless.ssid, "new net") << "taken";
  EXPECT_EQ(RequestsTo(m_emulator, 0, PSCMD_RESTART), c.ignoredRestarts == 0 ? 2 : 4) << log;
  EXPECT_EQ(RequestsTo(m_emulator, 1, PSCMD_SECURE_WORD), 0) << "the neighbour heard nothing of the exchange";
  EXPECT_EQ(Device(1).Counters().configurations, 0);
  // The bar kept moving through the restarts and the looks after them.
  std::vector<int> positions = seen.positions;
  std::sort(positions.begin(), positions.end());
  EXPECT_GE(std::unique(positions.begin(), positions.end()) - positions.begin(), c.ignoredRestarts == 0 ? 15 : 25);
  if (inForce) {
    EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_PRINTER)) << log;
    // (The printer page may have a word of its own about the printers here; the
    // save's messages all speak of the print server.)
    for (std::size_t i = boxes; i < run.driver.MessageBoxes().size(); i++)
      EXPECT_EQ(run.driver.MessageBoxes()[i].text.find("print server"), std::string::npos);
    EXPECT_EQ(seen.statuses, (std::vector<std::string>{"Saving print server settings...", "Done !"}));
    EXPECT_EQ(Device(0).Counters().restarts, 1);
    EXPECT_EQ(Device(0).InForce().wireless.ssid, "new net");
    EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), m_subnet.Host(77));
    EXPECT_EQ(seen.positions.back(), 8000);
    return;
  }
  ASSERT_EQ(run.driver.MessageBoxes().size(), boxes + 1) << log;
  EXPECT_EQ(run.driver.MessageBoxes().back().text,
            "The print server has not taken the new settings. Restart the print server, then save the settings again.");
  EXPECT_EQ(run.driver.MessageBoxes().back().caption, "Error");
  EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  EXPECT_EQ(seen.statuses, std::vector<std::string>{"Saving print server settings..."}) << "nothing said done";
  ASSERT_TRUE(vek::ui::HeadlessDriver::WaitFor(
      [&] { return run.sheet().GetWizardButtons() == static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT); }));
  EXPECT_FALSE(run.driver.Visible(IDC_SAVE_PROGRESS));
  // The server still runs, and is known by, what it had.
  EXPECT_EQ(Device(0).Counters().restarts, 0);
  EXPECT_EQ(Device(0).InForce().wireless.ssid, "lab net");
  EXPECT_EQ(Device(0).ListenAddress(), m_subnet.Host(1));
  EXPECT_EQ(vek::test::HostOrder(m_ServerIPAddress), m_subnet.Host(1));
  EXPECT_EQ(std::vector<BYTE>(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength), held);
}

INSTANTIATE_TEST_SUITE_P(Restarts, SaveInForce,
                         testing::Values(InForceCase{"Heard", 0}, InForceCase{"IgnoredOnce", 2},
                                         InForceCase{"IgnoredAlways", -1}),
                         [](const testing::TestParamInfo<InForceCase>& info) { return std::string(info.param.name); });

}  // namespace
