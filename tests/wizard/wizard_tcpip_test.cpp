// The TCP/IP page driven headless: the record's values on every showing, the
// subnet-mask rule as the user meets it, DHCP, a server without a DHCP switch or
// without IP settings, and the typed address kept apart from the one the server
// answers at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chosen_server.h"
#include "kernel/version.h"

namespace {

using vek::test::ChosenServerCleanup;
using vek::test::SheetRun;

vek::emu::DeviceConfig Server() {
  vek::emu::DeviceConfig d = vek::test::CableDevice(3, "Front desk");
  d.address = 0xC0A80105u;  // 192.168.1.5
  d.subnetMask = 0xFFFFFF00u;
  d.gateway = 0xC0A80101u;
  return d;
}

void SetText(SheetRun& run, int id, const char* text) {
  ::SendMessageA(run.driver.Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::vector<BYTE> Bytes4(const BYTE* b) { return {b[0], b[1], b[2], b[3]}; }

// A field typed above 255 is put back to 255, and the user is told the range,
// in English or in Japanese.
TEST(TcpipPage, AnOctetAbove255IsPutBackAndTheRangeTold) {
  ChosenServerCleanup cleanup;
  vek::test::ChooseServer(vek::test::ListServer(Server(), 0), "admin");
  for (bool japanese : {false, true}) {
    const LANGID language = MAKELANGID(japanese ? LANG_JAPANESE : LANG_ENGLISH, SUBLANG_DEFAULT);
    vek::SetLanguage(language, language);
    SheetRun run(vek::test::kTcpipPageIndex);
    SetText(run, IDC_IP_ADDRESS, "");
    const std::size_t boxes = run.driver.MessageBoxes().size();
    run.driver.Type(IDC_IP_ADDRESS, "127.0.0.300");
    EXPECT_EQ(run.driver.Text(IDC_IP_ADDRESS), "127.0.0.255");
    const auto shown = run.driver.MessageBoxes();
    ASSERT_EQ(shown.size(), boxes + 1) << japanese;
    EXPECT_EQ(shown.back().text, japanese ? "300 は無効な値です。このフィールドには 0 から 255 までの値を指定してください。"
                                          : "300 is not a valid entry. Please specify a value between 0 and 255 for this field.");
    EXPECT_EQ(shown.back().caption, "Error");
    // A value in range says nothing.
    run.driver.Type(IDC_SUBNET_MASK, "255");
    EXPECT_EQ(run.driver.MessageBoxes().size(), boxes + 1);
  }
  vek::ResetOsVersionAndLanguage();
}

TEST(TcpipPage, SubnetMasksAcceptedAndRefusedAsTheUserTypesThem) {
  ChosenServerCleanup cleanup;
  vek::test::ChooseServer(vek::test::ListServer(Server(), 0), "admin");
  SheetRun run(vek::test::kTcpipPageIndex);
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  EXPECT_EQ(run.driver.Text(IDC_IP_ADDRESS), "192.168.1.5");
  EXPECT_EQ(run.driver.Text(IDC_SUBNET_MASK), "255.255.255.0");
  EXPECT_EQ(run.driver.Text(IDC_GATEWAY), "192.168.1.1");
  EXPECT_EQ(run.driver.Check(IDC_DHCP2), BST_CHECKED);
  EXPECT_TRUE(run.driver.Enabled(IDC_IP_ADDRESS));

  struct Case {
    const char* mask;
    bool accepted;
  };
  const Case cases[] = {
      {"255.255.255.0", true},    {"255.255.0.0", true},      {"255.0.0.0", true},
      {"255.255.255.254", true},  {"255.255.255.255", true},  {"255.255.255.128", true},
      {"255.224.0.0", true},      {"0.0.0.0", false},         {"254.0.0.0", false},
      {"255.255.253.0", false},   {"255.0.255.0", false},     {"255.255.128.255", false},
      {"255.255.255.1", false},   {"128.0.0.0", false},       {"255.192.0.1", false},
      {"255.255.255.", true},  // an empty field reads as 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    const std::size_t boxes = run.driver.MessageBoxes().size();
    SetText(run, IDC_IP_ADDRESS, "10.20.30.40");
    SetText(run, IDC_SUBNET_MASK, c.mask);
    SetText(run, IDC_GATEWAY, "10.20.30.1");
    run.driver.Next();
    // Stored whether or not the mask is taken; the server's own address stays.
    EXPECT_EQ(Bytes4(WizardSettings::m_NewIPAddress), (std::vector<BYTE>{10, 20, 30, 40}));
    EXPECT_EQ(Bytes4(WizardSettings::m_Gateway), (std::vector<BYTE>{10, 20, 30, 1}));
    EXPECT_EQ(Bytes4(WizardSettings::m_ServerIPAddress), (std::vector<BYTE>{192, 168, 1, 5}));
    EXPECT_EQ(WizardSettings::m_DHCP, 0);
    if (c.accepted) {
      EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
      EXPECT_EQ(run.driver.MessageBoxes().size(), boxes);
      // Back shows the record's values again, not what was typed.
      run.driver.Back();
      ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
      EXPECT_EQ(run.driver.Text(IDC_IP_ADDRESS), "192.168.1.5");
      EXPECT_EQ(run.driver.Text(IDC_SUBNET_MASK), "255.255.255.0");
    } else {
      EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
      const auto shown = run.driver.MessageBoxes();
      ASSERT_EQ(shown.size(), boxes + 1);
      EXPECT_EQ(shown.back().text, "The subnet mask you entered is not valid.");
      EXPECT_EQ(shown.back().caption, "Error");
      EXPECT_EQ(shown.back().type & 0xF0u, static_cast<UINT>(MB_ICONSTOP));
      EXPECT_EQ(run.driver.Text(IDC_SUBNET_MASK), c.mask) << "the page keeps what was typed";
    }
  }

  // Typed key by key on the page shown afresh: three digits move on to the next
  // field, a dot after fewer.
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  vek::test::TypeStatic(run, "172.16.5.9", "255.255.240.0", "172.16.0.1");
  run.driver.Next();
  EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  EXPECT_EQ(Bytes4(WizardSettings::m_NewIPAddress), (std::vector<BYTE>{172, 16, 5, 9}));
  EXPECT_EQ(Bytes4(WizardSettings::m_SubnetMask), (std::vector<BYTE>{255, 255, 240, 0}));
  EXPECT_EQ(Bytes4(WizardSettings::m_Gateway), (std::vector<BYTE>{172, 16, 0, 1}));
}

TEST(TcpipPage, DhcpStoresTheAddressesWithoutLookingAtTheMask) {
  ChosenServerCleanup cleanup;
  vek::emu::DeviceConfig dhcp = Server();
  dhcp.dhcp = true;
  vek::test::ChooseServer(vek::test::ListServer(dhcp, 0), "admin");
  SheetRun run(vek::test::kTcpipPageIndex);
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  EXPECT_EQ(run.driver.Check(IDC_DHCP1), BST_CHECKED);
  EXPECT_FALSE(run.driver.Enabled(IDC_IP_ADDRESS));
  EXPECT_FALSE(run.driver.Enabled(IDC_SUBNET_MASK));
  EXPECT_FALSE(run.driver.Enabled(IDC_GATEWAY));
  // Static: the fields open; DHCP again: they close.
  run.driver.Click(IDC_DHCP2);
  EXPECT_TRUE(run.driver.Enabled(IDC_SUBNET_MASK));
  SetText(run, IDC_SUBNET_MASK, "255.0.255.0");
  run.driver.Click(IDC_DHCP1);
  EXPECT_FALSE(run.driver.Enabled(IDC_SUBNET_MASK));
  const std::size_t boxes = run.driver.MessageBoxes().size();
  run.driver.Next();
  EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_SAVE));
  EXPECT_EQ(run.driver.MessageBoxes().size(), boxes);
  EXPECT_EQ(WizardSettings::m_DHCP, 1);
  EXPECT_EQ(Bytes4(WizardSettings::m_NewIPAddress), (std::vector<BYTE>{192, 168, 1, 5}));
  EXPECT_EQ(Bytes4(WizardSettings::m_SubnetMask), (std::vector<BYTE>{255, 0, 255, 0}));
  // The summary shows DHCP with no addresses.
  const auto rows = run.driver.Items(IDC_SETTINGS_LIST);
  ASSERT_GE(rows.size(), 8u);
  EXPECT_EQ(rows[4], "DHCP : |Enabled");
  EXPECT_EQ(rows[5], "IP address : |0.0.0.0");
  EXPECT_EQ(rows[6], "Subnet Mask : |0.0.0.0");
  EXPECT_EQ(rows[7], "Gateway : |0.0.0.0");
}

// An IP section of eight bytes has no DHCP switch; a reply without an IP section
// has no addresses at all.
TEST(TcpipPage, ServersWithoutADhcpSwitchOrWithoutIpSettings) {
  ChosenServerCleanup cleanup;
  std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(Server());
  CPrintServer probe;
  ASSERT_TRUE(probe.ParseReply(reply.data(), static_cast<int>(reply.size())));
  const std::size_t ipSection = static_cast<std::size_t>(probe.GetSubnetMask() - probe.m_pReply) - 1;
  ASSERT_EQ(reply[ipSection], 9);
  // Mask and gateway only.
  std::vector<std::uint8_t> shortened(reply);
  shortened[ipSection] = 8;
  shortened.erase(shortened.begin() + static_cast<std::ptrdiff_t>(ipSection) + 9);
  auto* noSwitch = new CPrintServer;
  ASSERT_TRUE(noSwitch->ParseReply(shortened.data(), static_cast<int>(shortened.size())));
  ASSERT_FALSE(noSwitch->HasDHCPSwitch());
  ASSERT_TRUE(noSwitch->HasIPSettings());
  noSwitch->m_Transport = PS_TRANSPORT_UDP;
  g_PrintServerList.AddTail(noSwitch);
  vek::test::ChooseServer(noSwitch, "admin");
  {
    SheetRun run(vek::test::kTcpipPageIndex);
    ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
    EXPECT_FALSE(run.driver.Enabled(IDC_DHCP1));
    EXPECT_FALSE(run.driver.Enabled(IDC_DHCP2));
    EXPECT_EQ(run.driver.Check(IDC_DHCP2), BST_CHECKED);
    EXPECT_TRUE(run.driver.Enabled(IDC_IP_ADDRESS));
    EXPECT_EQ(run.driver.Text(IDC_SUBNET_MASK), "255.255.255.0");
  }

  // No IP section: blank fields, which read as 0 and make no mask.
  std::vector<std::uint8_t> bare(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(ipSection));
  bare.push_back(0xFF);
  auto* noAddresses = new CPrintServer;
  ASSERT_TRUE(noAddresses->ParseReply(bare.data(), static_cast<int>(bare.size())));
  ASSERT_FALSE(noAddresses->HasIPSettings());
  noAddresses->m_Transport = PS_TRANSPORT_UDP;
  g_PrintServerList.AddTail(noAddresses);
  vek::test::ChooseServer(noAddresses, "admin");
  SheetRun run(vek::test::kTcpipPageIndex);
  ASSERT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  EXPECT_EQ(run.driver.Text(IDC_IP_ADDRESS), "...");
  run.driver.Next();
  EXPECT_EQ(run.Page(), static_cast<UINT>(IDD_WIZARD_TCPIP));
  EXPECT_EQ(run.driver.MessageBoxes().back().text, "The subnet mask you entered is not valid.");
}

}  // namespace
