// The wizard's sheet: its thirteen pages in order, the routes between them by the
// settings, and what every page shares (buttons, side picture, hollow texts, font).
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "ui/headless_driver.h"
#include "support/wizard_lab.h"
#include "support/temp_root.h"
#include "support/wizard_sheet_run.h"
#include "wizard/wizard_settings.h"
#include "wizard/wizard_sheet.h"

namespace {

using vek::test::SheetRun;
using vek::test::WizardLab;
using vek::ui::HeadlessDriver;

void ResetSettings() {
  using namespace WizardSettings;
  m_NoModify = 1;
  m_Wireless = m_HasSecurityPage = m_Has8021X = m_HasWPAPSK = 0;
}

TEST(WizardSheet, PagesInTheirOrder) {
  cwizardbegin sheet("test");
  const UINT expected[] = {129, 131, 160, 181, 185, 187, 188, 107, 138, 142, 139, 141, 148};
  ASSERT_EQ(sheet.GetPageCount(), 13);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(sheet.GetPage(i)->m_nIDTemplate, expected[i]) << i;
}

// The page each showing of the sheet ends on paints the side picture at its place.
void ExpectSidePicture(SheetRun& run) {
  CPropertyPage* page = run.sheet().GetActivePage();
  auto drawing = run.driver.Paint(page->m_hWnd);
  ASSERT_FALSE(drawing.empty()) << page->m_nIDTemplate;
  const auto& picture = drawing.front();
  EXPECT_EQ(picture.kind, vek::framework::DrawCommand::Kind::StretchBlt);
  EXPECT_EQ(picture.rect.left, 12);
  EXPECT_EQ(picture.rect.top, 12);
  EXPECT_EQ(picture.rect.right - picture.rect.left, 140);
  EXPECT_EQ(picture.rect.bottom - picture.rect.top, 420);
  EXPECT_EQ(picture.stretchMode, HALFTONE);
  EXPECT_EQ(picture.bitmapId, static_cast<WizardPage*>(page)->sideBitmap());
}

TEST(WizardSheet, PlainServerRouteWithoutChanges) {
  vek::test::TempRoot root;  // the printer page reads the spooler
  WizardLab lab({vek::test::WizardCableServer(1, "Office")});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  SheetRun& run = lab.Run();
  EXPECT_EQ(run.Page(), 129u);
  EXPECT_EQ(run.sheet().GetWizardButtons(), static_cast<DWORD>(PSWIZB_NEXT));  // only Next on the welcome page
  ASSERT_EQ(lab.Search().size(), 1u);
  EXPECT_EQ(run.Page(), 131u);
  EXPECT_EQ(lab.Choose(0), 160u);
  // The login page sets no buttons: those of the server list stay.
  EXPECT_EQ(run.sheet().GetWizardButtons(), static_cast<DWORD>(PSWIZB_BACK | PSWIZB_NEXT));
  run.driver.Back();
  EXPECT_EQ(run.Page(), 131u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 129u);
  run.driver.Next();  // a server is chosen: no new search
  EXPECT_EQ(run.Page(), 131u);
  EXPECT_EQ(lab.Choose(0), 160u);
  EXPECT_EQ(lab.KeepSettings(), 139u);  // the user keeps the settings: straight to the printer page
  run.driver.Back();                    // which leads back to the server list
  EXPECT_EQ(run.Page(), 131u);
}

// Two wireless servers: one with the combined security page and 802.1X, one with
// the WEP page and a WPA-PSK page of its own. Every page on the way paints its
// side picture at the same place.
TEST(WizardSheet, WirelessRoutesFollowTheServersPages) {
  vek::emu::DeviceConfig wpa = vek::test::WizardCableServer(2, "WPA only");
  wpa.capabilities |= vek::emu::cap::kWireless | vek::emu::cap::kWpaPsk;
  WizardLab lab({vek::test::WizardWirelessServer(1, "Lab"), wpa});
  ASSERT_TRUE(lab.Ok()) << lab.Error();
  SheetRun& run = lab.Run();
  std::set<UINT> painted;
  auto paint = [&] {
    ExpectSidePicture(run);
    painted.insert(run.Page());
  };
  paint();
  lab.Search();
  paint();
  ASSERT_EQ(lab.Choose(0), 160u);
  paint();
  ASSERT_EQ(lab.LogIn("secret"), 181u);
  paint();
  run.driver.Next();
  EXPECT_EQ(run.Page(), 107u);
  paint();
  run.driver.Next();
  EXPECT_EQ(run.Page(), 187u);
  paint();
  run.driver.Next();  // the security page has asked for the pre-shared key already
  EXPECT_EQ(run.Page(), 138u);
  paint();
  run.driver.Back();  // from TCP/IP: the 802.1X page comes before the security page
  EXPECT_EQ(run.Page(), 187u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 107u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 181u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 160u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 131u);

  ASSERT_EQ(lab.Choose(1), 160u);
  ASSERT_EQ(lab.LogIn("admin"), 181u);
  run.driver.Next();
  EXPECT_EQ(run.Page(), 185u);
  run.driver.Next();
  EXPECT_EQ(run.Page(), 188u);
  run.driver.Next();
  EXPECT_EQ(run.Page(), 138u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 188u);
  run.driver.Back();
  EXPECT_EQ(run.Page(), 185u);
  EXPECT_EQ(painted.size(), 7u);
}

TEST(WizardSheet, BackOnTheWelcomePageCancels) {
  ResetSettings();
  SheetRun run;
  run.sheet().PostMessage(PSM_PRESSBUTTON, PSBTN_BACK, 0);
  ASSERT_TRUE(HeadlessDriver::WaitFor([&] { return run.done(); }));
  EXPECT_EQ(run.result(), IDCANCEL);
}

TEST(WizardPages, ListedStaticsGetTheHollowBrush) {
  ResetSettings();
  SheetRun run;
  HWND page = run.sheet().GetActivePage()->m_hWnd;
  HWND intro = ::GetDlgItem(page, 1059);
  ASSERT_NE(intro, nullptr);
  auto drawing = run.driver.Paint(intro);
  ASSERT_FALSE(drawing.empty());
  EXPECT_TRUE(drawing.front().hollowBrush);
}

TEST(WizardFont, ResolutionAndLanguage) {
  for (auto [dpi, height] : {std::pair{96, -12}, {120, -15}, {144, -18}}) {
    vek::framework::SetScreenDpi(dpi);
    SetupWizardFont();
    LOGFONTA font{};
    ASSERT_TRUE(vek::framework::DescribeFont(g_WizardFont, &font));
    EXPECT_EQ(font.lfHeight, height);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfOutPrecision, OUT_TT_PRECIS);
    EXPECT_EQ(font.lfClipPrecision, CLIP_TT_ALWAYS);
  }
  vek::framework::SetScreenDpi(96);
  vek::SetLanguage(0x0409, 0x0811);  // any Japanese sub-language of the system
  SetupWizardFont();
  LOGFONTA font{};
  vek::framework::DescribeFont(g_WizardFont, &font);
  EXPECT_STREQ(font.lfFaceName, "MS PGothic");
  vek::ResetOsVersionAndLanguage();
  vek::framework::SetScreenDpi(0);
}

}  // namespace
