// What windows paint, as the recording device context keeps it.
#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace {

using namespace vek::framework;

class CPicturePage : public CDialog {
 public:
  CPicturePage() : CDialog(910) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    return TRUE;
  }
  void OnPaint() {
    CPaintDC dc(this);
    dc.SetStretchBltMode(HALFTONE);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap side;
    side.LoadBitmap(701);
    memory.SelectObject(&side);
    dc.StretchBlt(12, 12, 140, 420, &memory, 0, 0, 140, 420, SRCCOPY);
  }
  LRESULT OnHollow(WPARAM, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (::GetDlgCtrlID(control) == 1058) return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPicturePage, CDialog)
  ON_WM_PAINT()
  ON_MESSAGE(WM_CTLCOLORSTATIC, OnHollow)
END_MESSAGE_MAP()

TEST(Drawing, PaintRecordsTheStretchedPictureAndTheControlsColours) {
  vek::test::RegisterTestTemplates();
  CPicturePage page;
  ASSERT_TRUE(page.Create(910));
  page.UpdateWindow();
  auto drawing = RecordedDrawing(page.m_hWnd);
  ASSERT_EQ(drawing.size(), 1u);
  EXPECT_EQ(drawing[0].kind, DrawCommand::Kind::StretchBlt);
  EXPECT_EQ(drawing[0].bitmapId, 701u);
  EXPECT_EQ(drawing[0].rect.left, 12);
  EXPECT_EQ(drawing[0].rect.top, 12);
  EXPECT_EQ(drawing[0].rect.right - drawing[0].rect.left, 140);
  EXPECT_EQ(drawing[0].rect.bottom - drawing[0].rect.top, 420);
  EXPECT_EQ(drawing[0].stretchMode, HALFTONE);
  EXPECT_EQ(drawing[0].rop, SRCCOPY);
  // A second paint replaces the record instead of adding to it.
  page.Invalidate();
  page.UpdateWindow();
  EXPECT_EQ(RecordedDrawing(page.m_hWnd).size(), 1u);

  HWND banner = ::GetDlgItem(page.m_hWnd, 1058);
  ::UpdateWindow(banner);
  auto bannerDrawing = RecordedDrawing(banner);
  ASSERT_FALSE(bannerDrawing.empty());
  EXPECT_EQ(bannerDrawing[0].bitmapId, 700u);
  page.DestroyWindow();
}

TEST(Drawing, FontsFollowTheScreenResolution) {
  for (auto [dpi, height] : {std::pair{96, -12}, {120, -15}, {144, -18}}) {
    SetScreenDpi(dpi);
    int caps = GetDeviceCaps(nullptr, LOGPIXELSX);
    EXPECT_EQ(caps, dpi);
    CFont font;
    font.CreateFont(caps == 96 ? -12 : -(caps * 12 / 96), 0, 0, 0, FW_DONTCARE, 0, 0, 0, DEFAULT_CHARSET,
                    OUT_TT_PRECIS, CLIP_TT_ALWAYS, DEFAULT_QUALITY, 0, "Arial");
    LOGFONTA description{};
    ASSERT_TRUE(DescribeFont(font, &description));
    EXPECT_EQ(description.lfHeight, height);
    EXPECT_STREQ(description.lfFaceName, "Arial");
  }
  SetScreenDpi(0);
}

TEST(Drawing, SaveRestoreAndClipping) {
  HWND window = CreateWindowExA(0, nullptr, "w", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  HDC dc = GetDC(window);
  int saved = SaveDC(dc);
  IntersectClipRect(dc, 0, 0, 50, 50);
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 1, 1, "clipped", -1);
  RestoreDC(dc, saved);
  TextOutA(dc, 2, 2, "free", -1);
  RECT r{0, 0, 10, 10};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  ReleaseDC(window, dc);
  auto drawing = RecordedDrawing(window);
  ASSERT_EQ(drawing.size(), 3u);
  EXPECT_EQ(drawing[0].clip.right, 50);
  EXPECT_EQ(drawing[0].bkMode, TRANSPARENT);
  EXPECT_EQ(drawing[1].clip.right, 0);
  EXPECT_EQ(drawing[1].bkMode, OPAQUE);
  EXPECT_TRUE(drawing[2].hollowBrush);
  DestroyWindow(window);
}

}  // namespace
