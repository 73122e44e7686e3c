// The monitor's owner-drawn controls as their paint records them: the tab labels
// centred with their images and the selected one in its colour on the face
// colour; the list rows highlighted whole, in the colour their item carries, the
// row image, the cells in their columns, and the focus frame.
#include "framework/framework.h"
#include "monitor_test_support.h"
#include "resources/resource_ids.h"
#include "xlist_ctrl.h"
#include "xtab_ctrl.h"

namespace vek::test {
namespace {

using vek::framework::DrawCommand;

class OwnerDrawn : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    m_parent = new CFrameWnd;  // deletes itself with its window
    ASSERT_TRUE(m_parent->Create(nullptr, "owner"));
  }
  void TearDown() override {
    m_parent->DestroyWindow();
    MonitorTest::TearDown();
  }
  HWND Child(const char* className, DWORD style, int y, int height, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, y, 300, height, m_parent->m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
  }
  static std::vector<DrawCommand> Of(const std::vector<DrawCommand>& drawing, DrawCommand::Kind kind) {
    std::vector<DrawCommand> found;
    for (const DrawCommand& command : drawing)
      if (command.kind == kind) found.push_back(command);
    return found;
  }
  static bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }

  CFrameWnd* m_parent = nullptr;
};

TEST_F(OwnerDrawn, TabLabelsAreCentredWithTheirImagesAndTheSelectedOneStandsOut) {
  XTabCtrl tab;
  ASSERT_TRUE(tab.SubclassWindow(Child(WC_TABCONTROL, TCS_OWNERDRAWFIXED, 0, 30, 7)));
  CFont font;
  font.CreatePointFont(80, "Tahoma");
  tab.SetFont(&font);
  tab.m_TextColor = RGB(0, 0, 0);
  tab.m_SelectedTextColor = RGB(0, 0, 255);
  tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, 0, u"IPX", 0, 0);
  tab.InsertItem(TCIF_TEXT | TCIF_IMAGE, 1, u"TCP/IP", 1, 0);
  tab.SetCurSel(1);

  // Without images the labels alone are centred: tabs of 60 x 20 pixels, text 6
  // pixels a character and 13 high.
  UpdateWindow(tab);
  std::vector<DrawCommand> texts = Of(vek::framework::RecordedDrawing(tab), DrawCommand::Kind::Text);
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ("IPX", texts[0].text);
  EXPECT_EQ(21, texts[0].rect.left);
  EXPECT_EQ(5, texts[0].rect.top);
  EXPECT_EQ(RGB(0, 0, 0), texts[0].color);
  EXPECT_EQ("Tahoma", texts[0].fontFace);
  // The selected tab: 2 pixels in, filled with the face colour, raised by 6.
  std::vector<DrawCommand> fills = Of(vek::framework::RecordedDrawing(tab), DrawCommand::Kind::FillRect);
  ASSERT_EQ(1u, fills.size());
  EXPECT_TRUE(Same(RECT{62, 2, 118, 20}, fills[0].rect));
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), fills[0].color);
  EXPECT_EQ(RGB(0, 0, 255), texts[1].color);
  EXPECT_EQ(72, texts[1].rect.left);
  EXPECT_EQ(3, texts[1].rect.top);

  // With images: image and label centred together, 4 pixels apart.
  CImageList images;
  ASSERT_TRUE(images.Create(IDB_PROTOCOL_TABS, 16, 0, 0xFF00FF));
  tab.SetImageList(&images);
  UpdateWindow(tab);
  std::vector<DrawCommand> drawing = vek::framework::RecordedDrawing(tab);
  std::vector<DrawCommand> blits = Of(drawing, DrawCommand::Kind::BitBlt);
  texts = Of(drawing, DrawCommand::Kind::Text);
  ASSERT_EQ(2u, blits.size());
  EXPECT_EQ(static_cast<UINT>(IDB_PROTOCOL_TABS), blits[0].bitmapId);
  EXPECT_TRUE(Same(RECT{11, 4, 27, 20}, blits[0].rect));
  EXPECT_EQ(0, blits[0].source.left) << "image 0";
  EXPECT_EQ(31, texts[0].rect.left);
  EXPECT_TRUE(Same(RECT{62, 2, 78, 18}, blits[1].rect));
  EXPECT_EQ(16, blits[1].source.left) << "image 1";
  EXPECT_EQ(82, texts[1].rect.left);
  EXPECT_EQ(3, texts[1].rect.top);
  tab.SetImageList(nullptr);
  tab.UnsubclassWindow();
}

TEST_F(OwnerDrawn, ListRowsAreHighlightedWholeInTheirOwnColour) {
  XListCtrl list;
  ASSERT_TRUE(list.SubclassWindow(
      Child(WC_LISTVIEW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED, 40, 200, 8)));
  CImageList images;
  ASSERT_TRUE(images.Create(IDB_SERVER_ROW, 16, 0, 0xFF00FF));
  list.SetImageList(&images, LVSIL_SMALL);
  list.InsertColumn(0, u"Device Name", LVCFMT_LEFT, 80);
  list.InsertColumn(1, u"PID", LVCFMT_CENTER, 40);
  list.InsertColumn(2, u"Node", LVCFMT_RIGHT, 30);
  list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 0, u"Front Desk", 0, 0, 1, 0);
  list.SetItemText(0, 1, u"1");
  list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 1, u"Late One", 0, 0, 1, RGB(255, 0, 0));
  list.SetItemText(1, 1, u"2");
  list.SetItemText(1, 2, u"024E57101A2B");
  list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  UpdateWindow(list);

  // Rows of 16 pixels under an 18-pixel header; the label after the 16-pixel icon.
  std::vector<DrawCommand> drawing = vek::framework::RecordedDrawing(list);
  std::vector<DrawCommand> fills = Of(drawing, DrawCommand::Kind::FillRect);
  ASSERT_EQ(2u, fills.size());
  EXPECT_TRUE(Same(RECT{16, 18, 150, 34}, fills[0].rect));
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), fills[0].color);
  EXPECT_TRUE(Same(RECT{16, 34, 150, 50}, fills[1].rect)) << "selected, without the focus: still highlighted";
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), fills[1].color);
  std::vector<DrawCommand> blits = Of(drawing, DrawCommand::Kind::BitBlt);
  ASSERT_EQ(2u, blits.size());
  EXPECT_EQ(static_cast<UINT>(IDB_SERVER_ROW), blits[0].bitmapId);
  EXPECT_TRUE(Same(RECT{0, 18, 16, 34}, blits[0].rect));
  EXPECT_EQ(16, blits[0].source.left) << "image 1";

  std::vector<DrawCommand> texts = Of(drawing, DrawCommand::Kind::Text);
  ASSERT_EQ(5u, texts.size());
  EXPECT_EQ("Front Desk", texts[0].text);
  EXPECT_TRUE(Same(RECT{17, 18, 77, 34}, texts[0].rect)) << "1 in on the left, 3 on the right";
  EXPECT_TRUE(Same(RECT{0, 18, 80, 34}, texts[0].clip)) << "cut to the first column";
  EXPECT_EQ(0u, texts[0].color);
  EXPECT_EQ("1", texts[1].text);
  EXPECT_TRUE(Same(RECT{83, 18, 117, 34}, texts[1].rect)) << "its cell, 3 in on both sides";
  EXPECT_TRUE(Same(RECT{0, 18, 150, 34}, texts[1].clip));
  for (std::size_t i = 2; i < 5; ++i) EXPECT_EQ(RGB(255, 0, 0), texts[i].color) << texts[i].text;
  EXPECT_TRUE(Of(drawing, DrawCommand::Kind::FrameRect).empty()) << "no focus frame without the focus";

  // Taking the focus repaints the focused row, now with its frame.
  list.SetFocus();
  drawing = vek::framework::RecordedDrawing(list);
  std::vector<DrawCommand> frames = Of(drawing, DrawCommand::Kind::FrameRect);
  ASSERT_EQ(1u, frames.size());
  EXPECT_TRUE(Same(RECT{16, 34, 150, 50}, frames[0].rect));

  // Without LVS_SHOWSELALWAYS and without the focus a selection is not shown.
  ::SetFocus(m_parent->m_hWnd);
  list.ModifyStyle(LVS_SHOWSELALWAYS, 0);
  list.Invalidate();
  UpdateWindow(list);
  fills = Of(vek::framework::RecordedDrawing(list), DrawCommand::Kind::FillRect);
  ASSERT_EQ(2u, fills.size());
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), fills[1].color);
  list.SetImageList(nullptr, LVSIL_SMALL);
  list.UnsubclassWindow();
}

}  // namespace
}  // namespace vek::test
