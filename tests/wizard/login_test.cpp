// The login page against the emulator, headless: keeping the settings sends
// nothing; a device with the secured exchange checks the password itself (right,
// wrong, empty, its login mode, a silent one, strays on the way); an older one is
// compared with the password of its information reply; a server at 0.0.0.0 must
// be set up.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/password_login.h"
#include "protocol/secure_config.h"
#include "support/wizard_lab.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

using namespace std::chrono_literals;
using vek::test::WizardLab;
using Key = std::vector<std::uint8_t>;

vek::emu::DeviceConfig WithFaults(vek::emu::DeviceConfig d, const std::string& faults) {
  std::string why;
  EXPECT_TRUE(vek::emu::ReadFaults(faults, &d.faults, &why)) << why;
  return d;
}

// Login requests the device was sent.
int Logins(WizardLab& lab, std::size_t device) {
  int n = 0;
  for (const vek::emu::LoggedRequest& r : lab.Emulator().Log().Snapshot())
    if (r.device == device && r.kind == "login") n++;
  return n;
}

int AllLogins(WizardLab& lab) {
  int n = 0;
  for (std::size_t i = 0; i < lab.Emulator().DeviceCount(); i++) n += Logins(lab, i);
  return n;
}

Key LastKey(WizardLab& lab, std::size_t device) { return lab.Emulator().DeviceAt(device).Counters().lastLoginKey; }

TEST(LoginPage, EachDeviceChecksThePasswordItsWay) {
  vek::emu::DeviceConfig diagnostic = vek::test::WizardWirelessServer(2, "Diagnostic");
  diagnostic.wireless.loginMode = 1;
  vek::emu::DeviceConfig olderDiagnostic = vek::test::WizardCableServer(6, "Older diagnostic");
  olderDiagnostic.capabilities |= vek::emu::cap::kWireless;
  olderDiagnostic.wireless.loginMode = 1;
  WizardLab lab({vek::test::WizardWirelessServer(1, "Secured"), diagnostic,
                 WithFaults(vek::test::WizardWirelessServer(3, "Silent"), "login:drop"),
                 vek::test::WizardCableServer(4, "Older"),
                 WithFaults(vek::test::WizardWirelessServer(5, "Noisy"), "login:stray, login:empty"),
                 olderDiagnostic});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  vek::ui::HeadlessDriver& driver = lab.Driver();
  ASSERT_EQ(lab.Search().size(), 14u);

  // "No" is preselected, the password can't be typed, and keeping the settings
  // goes to the printer page without a word to the device.
  ASSERT_EQ(lab.Choose(0), 160u);
  EXPECT_EQ(driver.Check(IDC_MODIFY_NO), BST_CHECKED);
  EXPECT_EQ(driver.Check(IDC_MODIFY_YES), BST_UNCHECKED);
  EXPECT_FALSE(driver.Enabled(IDC_PASSWORD));
  EXPECT_TRUE(driver.Text(IDC_ZERO_IP_WARNING).empty());
  EXPECT_EQ(lab.KeepSettings(), 139u);
  EXPECT_EQ(AllLogins(lab), 0);
  driver.Back();
  ASSERT_EQ(lab.Page(), 131u);

  // A wrong password: the device refuses it, the page stays. A short password
  // goes as 8 bytes, zero-padded.
  ASSERT_EQ(lab.Choose(0), 160u);
  lab.Messages();
  EXPECT_EQ(lab.LogIn("wrong"), 160u);
  EXPECT_EQ(lab.Messages(), std::vector<std::string>{"Incorrect password."});
  EXPECT_EQ(LastKey(lab, 0), (Key{'w', 'r', 'o', 'n', 'g', 0, 0, 0}));
  EXPECT_EQ(driver.Text(IDC_PASSWORD), "wrong") << "what was typed stays";
  // An empty password sends the 2-byte fallback key, which this device refuses.
  EXPECT_EQ(lab.LogIn(""), 160u);
  EXPECT_EQ(lab.Messages(), std::vector<std::string>{"Incorrect password."});
  EXPECT_EQ(LastKey(lab, 0), (Key{0x56, 0x4B}));
  EXPECT_EQ(g_PasswordKeyLength, 2);
  // The right one: on to the wireless pages, with the key kept for the exchange.
  EXPECT_EQ(lab.LogIn("secret"), 181u);
  EXPECT_TRUE(lab.Messages().empty());
  EXPECT_EQ(Logins(lab, 0), 3) << "one datagram a login answered at once";
  EXPECT_EQ(g_PasswordKeyLength, 8);
  EXPECT_EQ(Key(g_PasswordKey, g_PasswordKey + 8), (Key{'s', 'e', 'c', 'r', 'e', 't', 0, 0}));
  driver.Back();
  driver.Back();
  ASSERT_EQ(lab.Page(), 131u);

  // A device in its login mode needs no password: whatever is typed, the
  // fallback key goes.
  ASSERT_EQ(lab.Choose(1), 160u);
  EXPECT_EQ(lab.LogIn("anything"), 181u);
  EXPECT_EQ(LastKey(lab, 1), (Key{0x56, 0x4B}));
  driver.Back();
  driver.Back();

  // A silent device: three sends, 3.5 s each, then the message.
  ASSERT_EQ(lab.Choose(2), 160u);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(lab.LogIn("secret"), 160u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 10000ms);
  EXPECT_EQ(lab.Messages(), std::vector<std::string>{"Cannot find any print servers; Please retry."});
  EXPECT_EQ(Logins(lab, 2), 3);
  driver.Back();

  // A refusal from another address and an empty datagram come first: neither is
  // the device's verdict.
  ASSERT_EQ(lab.Choose(4), 160u);
  EXPECT_EQ(lab.LogIn("secret"), 181u);
  EXPECT_TRUE(lab.Messages().empty());
  EXPECT_EQ(Logins(lab, 4), 1);
  driver.Back();
  driver.Back();

  // An older wireless device in its login mode takes any password.
  ASSERT_EQ(lab.Choose(5), 160u);
  EXPECT_EQ(lab.LogIn("wrong"), 181u);
  EXPECT_TRUE(lab.Messages().empty());
  driver.Back();
  driver.Back();

  // An older device compares locally, exactly, and is never sent a login.
  ASSERT_EQ(lab.Choose(3), 160u);
  EXPECT_EQ(lab.LogIn("Admin"), 160u);
  EXPECT_EQ(lab.Messages(), std::vector<std::string>{"Incorrect password."});
  EXPECT_EQ(lab.LogIn("admin"), 138u) << "a cabled server goes to the TCP/IP page";
  EXPECT_EQ(Logins(lab, 3) + Logins(lab, 5), 0);

  // Shown for a server at 0.0.0.0, the page has its settings changed, and says why.
  std::memset(WizardSettings::m_ServerIPAddress, 0, 4);
  WizardSettings::m_NoModify = 1;
  driver.Back();
  ASSERT_EQ(lab.Page(), 160u);
  EXPECT_EQ(driver.Check(IDC_MODIFY_YES), BST_CHECKED);
  EXPECT_TRUE(driver.Enabled(IDC_PASSWORD));
  EXPECT_EQ(driver.Text(IDC_ZERO_IP_WARNING), "The IP address of the selected print server is 0.0.0.0.");
  EXPECT_EQ(driver.Text(IDC_STATIC_IP_ADVICE), "It is highly recommended that you set a static IP address.");
}

}  // namespace
