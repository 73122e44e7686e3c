// The key edits of the combined security page and the WEP key page as a person
// types into them, and the key bytes the pages write into the record of a server
// found on an emulated network: exactly the key's bytes, nothing around them.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "protocol/device_lab.h"
#include "protocol/print_server_list.h"
#include "support/wizard_sheet_run.h"
#include "ui/input.h"
#include "wizard/wizard_settings.h"

namespace {

using vek::test::SheetRun;

constexpr UINT kWEPPage = 4;
constexpr UINT kSecurityPage = 7;
constexpr BYTE kCanary = 0xA5;

// The key settings as a server with the given page reports them.
void ResetKeys(bool securityPage, int authType, int wepMode, int keyFormat) {
  using namespace WizardSettings;
  m_NoModify = 0;
  m_Wireless = 1;
  m_HasSecurityPage = securityPage ? 1 : 0;
  m_Has8021X = m_HasWPAPSK = 0;
  m_AuthType = static_cast<BYTE>(authType);
  m_Encryption = 0;
  m_WEPMode = wepMode;
  m_WEPKeyFormat = keyFormat;
  m_WEPKey64 = m_WEPKey128 = m_WPAPSK = "";
}

void TypeAt(SheetRun& run, int id, int caret, const std::string& text) {
  vek::ui::SetCaret(run.driver.Control(id), caret < 0 ? 1000 : caret);
  run.driver.Settle();
  run.driver.Type(id, text);
}

// The item chosen in a list, "(none)" without a choice.
std::string Chosen(SheetRun& run, int id) {
  const int i = run.driver.Selection(id);
  const std::vector<std::string> items = run.driver.Items(id);
  return i >= 0 && i < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(i)] : "(none)";
}

std::vector<std::string> Messages(SheetRun& run) {
  std::vector<std::string> texts;
  for (const auto& box : run.driver.MessageBoxes()) texts.push_back(box.text);
  return texts;
}

// Typing into the keys of the combined security page: a character too many or of
// the wrong class typed at the end empties the key with a message; typed inside
// the key it is taken out again without one.
TEST(WirelessSecurityKeys, TypingTable) {
  const std::string k63(63, 'q');
  struct Case {
    int authType, wepMode, format, edit;
    std::string initial;
    int caret;  // -1: at the end
    std::string typed, expected, message;
  };
  const Case cases[] = {
      {0, 1, 0, 1032, "abcde", -1, "f", "", "Wrong key length! Key must be 5 characters."},
      {0, 1, 0, 1032, "abcde", 2, "f", "abcde", ""},
      {0, 1, 0, 1032, "abc", -1, "-", "", "Wrong Key Format! Key must be 5 characters."},
      {0, 1, 0, 1032, "abc", 1, "-", "abc", ""},
      {0, 1, 1, 1032, "0123456789", -1, "A", "", "Wrong key length! Key must be 10 hexadecimal numbers."},
      {0, 1, 1, 1032, "01234", -1, "G", "", "Wrong Key Format! Key must be 10 hexadecimal numbers."},
      {0, 1, 1, 1032, "01234", 2, "G", "01234", ""},
      {0, 1, 1, 1032, "0123", -1, "aF", "0123aF", ""},
      {0, 2, 0, 1043, "abcdefghijklm", -1, "n", "", "Wrong key length! Key must be 13 characters."},
      {0, 2, 0, 1043, "abcdefghijklm", 5, "n", "abcdefghijklm", ""},
      {0, 2, 0, 1043, "ab", -1, "-", "", "Wrong Key Format! Key must be 13 characters."},
      {1, 1, 0, 1043, "", -1, "", "", ""},  // Shared Key shows the 64-bit edit: nothing typed here
      {0, 2, 1, 1043, "0123456789abcdef0123456789", -1, "0", "", "Wrong key length! Key must be 26 hexadecimal numbers."},
      {0, 2, 1, 1043, "ab", -1, "G", "", "Wrong Key Format! Key must be 26 hexadecimal numbers."},
      {3, 0, 0, 1086, k63, -1, "", k63, ""},
      {3, 0, 0, 1086, k63, -1, "x", "", "Wrong key length! Key must be 8 - 63 characters."},
      {3, 0, 0, 1086, "abc", -1, " ", "", "Wrong Key Format! Key must be 8 - 63 characters."},
      {4, 0, 0, 1086, "abc", -1, "!", "", "Wrong Key Format! Key must be 8 - 63 characters."},
      {3, 0, 0, 1086, "abc", 1, "!", "abc", ""},
  };
  for (const Case& c : cases) {
    ResetKeys(true, c.authType, c.wepMode, c.format);
    (c.edit == 1032 ? WizardSettings::m_WEPKey64 : c.edit == 1043 ? WizardSettings::m_WEPKey128 : WizardSettings::m_WPAPSK) =
        c.initial.c_str();
    SheetRun run(kSecurityPage);
    const std::string label = std::to_string(c.edit) + " '" + c.initial + "' +'" + c.typed + "' at " + std::to_string(c.caret);
    if (c.typed.empty()) {
      EXPECT_EQ(run.driver.Text(c.edit), c.expected) << label;
      continue;
    }
    ASSERT_TRUE(run.driver.Visible(c.edit)) << label;
    vek::framework::ClearMessageBoxLog();
    TypeAt(run, c.edit, c.caret, c.typed);
    EXPECT_EQ(run.driver.Text(c.edit), c.expected) << label;
    const auto messages = Messages(run);
    if (c.message.empty()) {
      EXPECT_TRUE(messages.empty()) << label << ": " << messages.front();
    } else {
      ASSERT_EQ(messages.size(), 1u) << label;
      EXPECT_EQ(messages[0], c.message) << label;
      EXPECT_EQ(run.driver.MessageBoxes()[0].caption, "Error");
    }
  }
}

// The WEP key page filters without a word: a character of the other class, or
// one past the end of an alphanumeric key, goes again.
TEST(WirelessWEPKeys, SilentFilterTable) {
  struct Case {
    int wepMode, format, edit;
    std::string initial;
    int caret;
    std::string typed, expected;
  };
  const Case cases[] = {
      {1, 1, 1032, "abc", -1, "g", "abc"},        {1, 1, 1032, "abc", 1, "g", "abc"},
      {1, 0, 1032, "abc", -1, "-", "abc"},        {1, 0, 1032, "abcde", -1, "f", "abcde"},
      {1, 0, 1032, "abcde", 2, "f", "abcde"},     {1, 1, 1032, "0123456789", -1, "a", "0123456789"},
      {2, 0, 1043, "abcdefghijklm", 3, "z", "abcdefghijklm"}, {2, 1, 1043, "ab", -1, "Cd", "abCd"},
  };
  for (const Case& c : cases) {
    ResetKeys(false, 0, c.wepMode, c.format);
    (c.edit == 1032 ? WizardSettings::m_WEPKey64 : WizardSettings::m_WEPKey128) = c.initial.c_str();
    SheetRun run(kWEPPage);
    vek::framework::ClearMessageBoxLog();
    TypeAt(run, c.edit, c.caret, c.typed);
    EXPECT_EQ(run.driver.Text(c.edit), c.expected) << c.initial << " + " << c.typed << " at " << c.caret;
    EXPECT_TRUE(run.driver.MessageBoxes().empty());
  }

  // Deleting at the start of a key that is still too long takes the last character.
  ResetKeys(false, 0, 1, 0);
  WizardSettings::m_WEPKey64 = "abcdefg";
  SheetRun run(kWEPPage);
  vek::ui::SetCaret(run.driver.Control(1032), 0);
  run.driver.Settle();
  run.driver.Key(VK_DELETE);
  EXPECT_EQ(run.driver.Text(1032), "bcdef");
}

TEST(WirelessWEPPage, EnableSizeAndFormat) {
  ResetKeys(false, 0, 0, 1);
  WizardSettings::m_WEPKey64 = "0123456789";
  WizardSettings::m_WEPKey128 = "0123456789ABCDEF0123456789";
  SheetRun run(kWEPPage);
  EXPECT_EQ(run.driver.Check(1051), BST_UNCHECKED);
  EXPECT_EQ(run.driver.Text(1051), "Enable WEP Encryption");
  EXPECT_EQ(run.driver.Check(1070), BST_CHECKED);
  for (int id : {1052, 1053, 1069, 1070, 1032, 1043}) EXPECT_FALSE(run.driver.Enabled(id)) << id;
  EXPECT_TRUE(run.driver.Visible(1032));
  EXPECT_FALSE(run.driver.Visible(1043));
  run.driver.Click(1051);
  for (int id : {1052, 1053, 1069, 1070, 1032}) EXPECT_TRUE(run.driver.Enabled(id)) << id;
  run.driver.Click(1053);
  EXPECT_TRUE(run.driver.Visible(1043));
  EXPECT_FALSE(run.driver.Visible(1032));
  EXPECT_EQ(run.driver.Text(1043), "0123456789ABCDEF0123456789");  // the size switch keeps both keys
  run.driver.Click(1070);  // the format already chosen: nothing emptied
  EXPECT_EQ(run.driver.Text(1043), "0123456789ABCDEF0123456789");
  run.driver.Click(1069);
  EXPECT_EQ(run.driver.Text(1043), "");
  EXPECT_EQ(run.driver.Text(1032), "");
}

TEST(WirelessSecurityPage, ControlsFollowTheAuthenticationAndWEPMode) {
  const std::vector<int> switched = {1082, 1085, 1091, 1083, 1086, 1061, 1078, 1087, 1088, 1089, 1032, 1043, 1062, 1064, 1076};
  struct Case {
    int authType, wepMode;
    std::set<int> shown;
    std::vector<std::string> secondList;
    int secondSelection;
  };
  const std::set<int> wep = {1082, 1091, 1062, 1064, 1076};
  auto with = [&](std::set<int> more) {
    more.insert(wep.begin(), wep.end());
    return more;
  };
  const Case cases[] = {
      {0, 0, wep, {"None", "WEP-64bit", "WEP-128bit"}, 0},
      {0, 1, with({1087, 1088, 1089, 1032}), {"None", "WEP-64bit", "WEP-128bit"}, 1},
      {0, 2, with({1087, 1088, 1089, 1043}), {"None", "WEP-64bit", "WEP-128bit"}, 2},
      {2, 1, with({1087, 1088, 1089, 1032}), {"WEP-64bit", "WEP-128bit"}, 0},  // both, shown as Shared Key
      {1, 0, wep, {"WEP-64bit", "WEP-128bit"}, -1},
      {3, 0, {1082, 1085, 1083, 1086, 1061, 1078}, {"WPA-PSK (TKIP)", "WPA-PSK (CCMP)"}, 0},
      {4, 0, {1082, 1085, 1083, 1086, 1061, 1078}, {"WPA2-PSK (TKIP)", "WPA2-PSK (CCMP)"}, 0},
  };
  for (const Case& c : cases) {
    ResetKeys(true, c.authType, c.wepMode, 1);
    SheetRun run(kSecurityPage);
    const std::string label = std::to_string(c.authType) + "/" + std::to_string(c.wepMode);
    EXPECT_EQ(run.driver.Items(1084), (std::vector<std::string>{"Open System", "Shared Key", "WPA-PSK", "WPA2-PSK"}));
    EXPECT_EQ(run.driver.Selection(1084), c.authType <= 1 ? c.authType : c.authType - 1) << label;
    for (int id : switched) EXPECT_EQ(run.driver.Visible(id), c.shown.count(id) == 1) << label << " control " << id;
    const int second = c.authType >= 3 ? 1085 : 1091;
    EXPECT_EQ(run.driver.Items(second), c.secondList) << label;
    EXPECT_EQ(run.driver.Selection(second), c.secondSelection) << label;
    if (c.shown.count(1088)) {
      EXPECT_EQ(run.driver.Selection(1088), 1) << label;
    }
  }
}

TEST(WirelessSecurityPage, SwitchingChoices) {
  ResetKeys(true, 3, 0, 0);
  WizardSettings::m_Encryption = 1;
  WizardSettings::m_WPAPSK = "keykeykey1";
  {
    SheetRun run(kSecurityPage);
    run.driver.Select(1084, 3);  // WPA2-PSK keeps CCMP
    EXPECT_EQ(Chosen(run, 1085), "WPA2-PSK (CCMP)");
    EXPECT_EQ(run.driver.Text(1086), "keykeykey1");
    run.driver.Select(1085, 0);  // a new cipher empties the key
    EXPECT_EQ(run.driver.Text(1086), "");
    run.driver.Select(1084, 1);  // Shared Key: WEP-64bit and the 64-bit key
    EXPECT_EQ(run.driver.Selection(1091), 0);
    EXPECT_TRUE(run.driver.Visible(1032));
    run.driver.Type(1032, "abcde");
    run.driver.Select(1091, 1);
    EXPECT_TRUE(run.driver.Visible(1043));
    EXPECT_FALSE(run.driver.Visible(1032));
    EXPECT_EQ(run.driver.Text(1032), "");
    run.driver.Type(1043, "abc");
    run.driver.Select(1088, 1);  // a new key format empties the keys
    EXPECT_EQ(run.driver.Text(1043), "");
  }
  for (auto [to, cipher] : {std::pair{3, "WPA2-PSK (CCMP)"}, {2, "WPA-PSK (TKIP)"}}) {
    ResetKeys(true, 0, 0, 0);  // Open System, no cipher chosen before
    SheetRun open(kSecurityPage);
    open.driver.Select(1084, to);
    EXPECT_EQ(Chosen(open, 1085), cipher);
  }
}

TEST(WirelessSecurityPage, NextChecksAndBackKeeps) {
  ResetKeys(true, 3, 0, 0);
  WizardSettings::m_Has8021X = 1;
  {
    SheetRun run(kSecurityPage);
    run.driver.Type(1086, "abc1234");
    vek::framework::ClearMessageBoxLog();
    run.driver.Next();
    EXPECT_EQ(Messages(run), std::vector<std::string>{"Wrong key length! Key must be 8 - 63 characters."});
    EXPECT_EQ(run.Page(), 107u);
    EXPECT_EQ(run.driver.Text(1086), "");
    run.driver.Type(1086, "abc1234");
    run.driver.Back();  // a short key survives Back
    EXPECT_EQ(run.Page(), 181u);
    EXPECT_STREQ(WizardSettings::m_WPAPSK, "abc1234");
    EXPECT_EQ(WizardSettings::m_AuthType, 3);
    run.driver.Next();
    EXPECT_EQ(run.driver.Text(1086), "abc1234");
    TypeAt(run, 1086, -1, "X");
    run.driver.Next();
    EXPECT_EQ(run.Page(), 187u);
    EXPECT_STREQ(WizardSettings::m_WPAPSK, "abc1234X");
  }
  // A failed WEP check empties that key and its setting, not the other size's.
  ResetKeys(true, 2, 2, 0);  // both, 128-bit
  WizardSettings::m_WEPKey64 = "abcde";
  WizardSettings::m_WEPKey128 = "abcdef";
  SheetRun wep(kSecurityPage);
  EXPECT_EQ(Chosen(wep, 1084), "Shared Key");
  vek::framework::ClearMessageBoxLog();
  wep.driver.Next();
  EXPECT_EQ(Messages(wep), std::vector<std::string>{"Wrong key length! Key must be 13 characters."});
  EXPECT_EQ(wep.Page(), 107u);
  EXPECT_STREQ(WizardSettings::m_WEPKey128, "");
  EXPECT_STREQ(WizardSettings::m_WEPKey64, "abcde");
  EXPECT_EQ(WizardSettings::m_AuthType, 1);  // type and mode stay stored
  EXPECT_EQ(WizardSettings::m_WEPMode, 2);
  wep.driver.Select(1091, 0);
  wep.driver.Type(1032, "abc");
  wep.driver.Back();  // no message, the wrong key emptied
  EXPECT_EQ(wep.Page(), 181u);
  EXPECT_TRUE(Messages(wep).size() == 1u);
  EXPECT_STREQ(WizardSettings::m_WEPKey64, "");
}

// A message box a person reads while what they typed ahead comes in: the
// thread's queued messages are dispatched before the box is answered.
int ReadWhileTypingAhead(const vek::framework::MessageBoxRecord&) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  return IDOK;
}

// Refusals and choices of the two key pages as a person meets them: one message
// per refused key, however much was typed ahead; a paste with a character of
// another format refused whole; the key format kept by a list hidden meanwhile.
TEST(WirelessKeyPages, OneMessagePerRefusalAndChoicesKept) {
  struct Step {
    enum { kType, kPaste, kSelect } action;
    int id;
    std::string text;
    int index;
  };
  struct Case {
    const char* label;
    bool securityPage;
    int authType, wepMode, format;
    std::string key;  // the 64-bit key, or the pre-shared key for authentication types 3 and 4
    std::vector<Step> steps;
    int shownId;
    std::string shown;  // the edit's text, or the list's choice
    std::vector<std::string> messages;
  };
  const std::string psk = "Wrong Key Format! Key must be 8 - 63 characters.";
  const Case cases[] = {
      {"pre-shared key typed ahead with blanks", true, 4, 0, 0, "", {{Step::kType, 1086, "abcd efgh ijkl", 0}}, 1086, "",
       {psk}},
      {"passphrase typed ahead", true, 3, 0, 0, "", {{Step::kType, 1086, "correct horse battery staple ok", 0}}, 1086,
       "", {psk}},
      {"pre-shared key too long typed ahead", true, 4, 0, 0, std::string(60, 'k'), {{Step::kType, 1086, "abcdefg", 0}},
       1086, "", {"Wrong key length! Key must be 8 - 63 characters."}},
      {"hexadecimal key typed ahead", true, 0, 1, 1, "", {{Step::kType, 1032, "12g4567", 0}}, 1032, "",
       {"Wrong Key Format! Key must be 10 hexadecimal numbers."}},
      {"hexadecimal format kept behind WPA2-PSK", true, 4, 0, 1, "",
       {{Step::kSelect, 1084, "", 0}, {Step::kSelect, 1091, "", 1}}, 1088, "Hexadecimal", {}},
      {"hexadecimal format kept into Shared Key", true, 4, 1, 1, "",
       {{Step::kSelect, 1084, "", 1}, {Step::kSelect, 1091, "", 1}}, 1088, "Hexadecimal", {}},
      {"hexadecimal paste with dashes", false, 0, 1, 1, "12", {{Step::kPaste, 1032, "-34-56-7", 0}}, 1032, "12",
       {"Wrong Key Format! Key must be 10 hexadecimal numbers."}},
      {"alphanumeric 128-bit paste with a dash", false, 0, 2, 0, "", {{Step::kPaste, 1043, "abc-defg", 0}}, 1043, "",
       {"Wrong Key Format! Key must be 13 characters."}},
      {"hexadecimal paste of digits", false, 0, 1, 1, "", {{Step::kPaste, 1032, "0A1b2C", 0}}, 1032, "0A1b2C", {}},
  };
  vek::framework::SetMessageBoxHandler(ReadWhileTypingAhead);
  for (const Case& c : cases) {
    ResetKeys(c.securityPage, c.authType, c.wepMode, c.format);
    (c.authType >= 3 ? WizardSettings::m_WPAPSK : WizardSettings::m_WEPKey64) = c.key.c_str();
    if (c.wepMode == 2) WizardSettings::m_WEPKey128 = c.key.c_str();
    SheetRun run(c.securityPage ? kSecurityPage : kWEPPage);
    vek::framework::ClearMessageBoxLog();
    for (const Step& step : c.steps) {
      if (step.action == Step::kType) TypeAt(run, step.id, -1, step.text);
      else if (step.action == Step::kPaste) {
        vek::ui::SetCaret(run.driver.Control(step.id), 1000);
        run.driver.Paste(step.id, step.text);
      } else run.driver.Select(step.id, step.index);
    }
    // A box is logged once answered, after the keys that came in meanwhile.
    vek::ui::HeadlessDriver::WaitFor([&] { return Messages(run).size() >= c.messages.size(); }, 5000);
    run.driver.Settle();
    const std::string shown = c.shownId == 1088 ? Chosen(run, c.shownId) : run.driver.Text(c.shownId);
    EXPECT_EQ(shown, c.shown) << c.label;
    EXPECT_EQ(Messages(run), c.messages) << c.label;
  }
  vek::framework::SetMessageBoxHandler(nullptr);

  // What a refused paste leaves is the key as it was: Next sends it whole.
  ResetKeys(false, 0, 1, 1);
  WizardSettings::m_WEPKey64 = "0123456789";
  SheetRun run(kWEPPage);
  run.driver.Paste(1032, "12-34");
  run.driver.Next();
  EXPECT_STREQ(WizardSettings::m_WEPKey64, "0123456789");
}

// The key bytes in the record of a server found on the emulated network: the
// bytes around each key are canaries that must stay as they were.
class WirelessKeyRecord : public vek::test::DeviceLab {
 protected:
  void SetUp() override {
    DeviceLab::SetUp();
    Start({vek::test::BlockDevice(1, "WL")});
    m_record = Record(0).release();
    ASSERT_NE(m_record->GetWEPKey128(), nullptr);
    g_PrintServerList.AddTail(m_record);
    std::memcpy(WizardSettings::m_ServerNodeID, m_record->m_NodeID, 6);
    WizardSettings::m_pSelectedPS = m_record;
    Canaries();
  }
  // Wireless section bytes 44 to 86, around and between the keys.
  void Canaries() {
    BYTE* section = Section();
    for (int i = 44; i <= 86; i++) section[i] = kCanary;
    m_before.assign(m_record->m_pReply, m_record->m_pReply + m_record->m_ReplyLength);
  }
  void TearDown() override {
    g_PrintServerList.DeleteAll();
    WizardSettings::m_pSelectedPS = nullptr;
    DeviceLab::TearDown();
  }
  BYTE* Section() { return m_record->GetWEPKey64() - 45; }
  // Every byte of the copy as before, but for the ones at section offset `at`.
  void ExpectOnly(int at, const std::vector<BYTE>& bytes, const std::string& label) {
    const int start = static_cast<int>(Section() - m_record->m_pReply) + at;
    for (int i = 0; i < m_record->m_ReplyLength; i++) {
      const int k = i - start;
      const BYTE expected = k >= 0 && k < static_cast<int>(bytes.size()) ? bytes[static_cast<std::size_t>(k)] : m_before[static_cast<std::size_t>(i)];
      EXPECT_EQ(m_record->m_pReply[i], expected) << label << ": reply byte " << i << " (section byte " << i - start + at << ")";
    }
  }

  CPrintServer* m_record = nullptr;
  std::vector<BYTE> m_before;
};

std::vector<BYTE> Chars(const std::string& text, bool zero) {
  std::vector<BYTE> bytes(text.begin(), text.end());
  if (zero) bytes.push_back(0);
  return bytes;
}

TEST_F(WirelessKeyRecord, KeyBytesAndNothingElse) {
  struct Case {
    bool securityPage;
    int wepMode, format;
    std::string key, paste;
    std::vector<BYTE> bytes;
    std::string kept;  // the key text the settings keep
  };
  const Case cases[] = {
      {false, 1, 1, "ABC", "", {0xAB, 0xC0, 0, 0, 0}, "ABC0000000"},
      {false, 1, 0, "ab", "", Chars("ab000", true), "ab000"},
      {false, 2, 0, "abcdef", "", Chars("abcdef0000000", true), "abcdef0000000"},
      {false, 2, 1, "0123456789abcdefABCDEF0123", "",
       {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0xAB, 0xCD, 0xEF, 0x01, 0x23}, "0123456789abcdefABCDEF0123"},
      // A paste leaves more than an alphanumeric key holds: five go in.
      {false, 1, 0, "", "abcdefghij", Chars("abcde", true), "abcde"},
      {true, 1, 1, "0123456789", "", {0x01, 0x23, 0x45, 0x67, 0x89}, "0123456789"},
      // A letter no digit, from the device: the WEP page drops it silently.
      {false, 1, 1, "12G4", "", {0x12, 0x40, 0, 0, 0}, "1240000000"},
      {true, 2, 0, "ABCDEFGHIJKLM", "", Chars("ABCDEFGHIJKLM", true), "ABCDEFGHIJKLM"},
  };
  for (const Case& c : cases) {
    Canaries();
    ResetKeys(c.securityPage, 0, c.wepMode, c.format);
    (c.wepMode == 1 ? WizardSettings::m_WEPKey64 : WizardSettings::m_WEPKey128) = c.key.c_str();
    SheetRun run(c.securityPage ? kSecurityPage : kWEPPage);
    if (!c.paste.empty()) run.driver.Paste(c.wepMode == 1 ? 1032 : 1043, c.paste);
    run.driver.Next();
    const std::string label = (c.securityPage ? "security " : "WEP ") + c.key + c.paste;
    EXPECT_EQ(run.Page(), 138u) << label;
    ExpectOnly(c.wepMode == 1 ? 45 : 69, c.bytes, label);
    EXPECT_STREQ(c.wepMode == 1 ? WizardSettings::m_WEPKey64 : WizardSettings::m_WEPKey128, c.kept.c_str()) << label;
  }
}

TEST_F(WirelessKeyRecord, NothingWrittenForABadKeyOrAMissingRecord) {
  // A hexadecimal key from the device with a letter that is no digit.
  ResetKeys(true, 0, 1, 1);
  WizardSettings::m_WEPKey64 = "12345678G0";
  {
    SheetRun run(kSecurityPage);
    vek::framework::ClearMessageBoxLog();
    run.driver.Next();
    EXPECT_EQ(Messages(run), std::vector<std::string>{"Wrong Key Format! Key must be 10 hexadecimal numbers."});
    EXPECT_EQ(run.Page(), 107u);
  }
  ExpectOnly(0, {}, "bad digit");

  // A server not in the list: the pages go on and write nothing anywhere.
  ResetKeys(false, 0, 2, 0);
  WizardSettings::m_WEPKey128 = "abcdefghijklm";
  WizardSettings::m_ServerNodeID[5] ^= 0xFF;
  {
    SheetRun run(kWEPPage);
    run.driver.Next();
    EXPECT_EQ(run.Page(), 138u);
  }
  WizardSettings::m_ServerNodeID[5] ^= 0xFF;
  ExpectOnly(0, {}, "no record");
}

TEST_F(WirelessKeyRecord, TheZeroAfterAKeyOnlyInsideTheSection) {
  // A section that ends with the 128-bit key: no room for its zero.
  BYTE* section = Section();
  section[0] = 81;
  m_before.assign(m_record->m_pReply, m_record->m_pReply + m_record->m_ReplyLength);
  ResetKeys(false, 0, 2, 0);
  WizardSettings::m_WEPKey128 = "abcdefghijklm";
  {
    SheetRun run(kWEPPage);
    run.driver.Next();
  }
  ExpectOnly(69, Chars("abcdefghijklm", false), "short section");
}

}  // namespace
