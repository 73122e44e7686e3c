// A window fitted to the screen: full size where it fits (a cell per dialog-font
// character), else each axis shrunk evenly around what its controls need, and a
// band of rows scrolled where even that is too tall.
#include <gtest/gtest.h>

#include "terminal_test_support.h"
#include "ui/terminal/axis_fit.h"
#include "ui/terminal/text_cells.h"
#include "ui/terminal/window_fit.h"

namespace {

using namespace vek::test::terminal;

TEST(TerminalFit, AtFullSizeACellIsFourByEightDialogUnits) {
  CellMapping mapping;
  EXPECT_EQ(mapping.Map(RECT{0, 0, 600, 487}), (CellRect{0, 0, 100, 37}));  // a wizard page
  // Text of a page: 124,46 260x24 dialog units.
  EXPECT_EQ(mapping.Map(Du(124, 46, 260, 24)), (CellRect{31, 6, 65, 3}));
  EXPECT_EQ(mapping.Columns(120), 20);
  EXPECT_EQ(mapping.Map(RECT{10, 10, 12, 12}), (CellRect{2, 1, 1, 1}));  // at least a cell each way
  EXPECT_TRUE(mapping.MapExact(RECT{10, 10, 12, 12}).Empty());
}

// An axis of 0..600 pixels (100 cells at full size) whose points at 180 and 570
// must lie at least 60 cells apart (a text): the rest gives way, squeezed alike;
// with less room than the text needs it is as tight as the text allows and does
// not fit.
TEST(TerminalFit, AnAxisShrinksAroundWhatItsControlsNeed) {
  AxisFit fit(6);
  fit.AddPoint(0);
  fit.AddPoint(600);
  fit.Require(180, 570, 60);
  fit.AddPoint(60);  // a picture's edge: nothing requires it
  auto cellOf = [](const AxisFit::Result& r, int px) {
    for (const AxisMap::Point& p : r.points)
      if (p.px == px) return p.cell;
    return -1;
  };
  const struct {
    int available;
    bool fits;
    int extent, text, textWidth, picture;
  } cases[] = {
      {120, true, 100, 30, 65, 10},  // full size
      {80, true, 80, 17, 60, 6},     // shrunk: the text keeps its 60 cells, the rest alike
      {62, true, 62, 2, 60, 1},      // the text takes nearly all
      {50, false, 60, 0, 60, 0},     // too small: as tight as the text allows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.available);
    AxisFit::Result r = fit.Fit(c.available);
    EXPECT_EQ(r.fits, c.fits);
    EXPECT_EQ(r.extent, c.extent);
    EXPECT_EQ(cellOf(r, 180), c.text);
    EXPECT_EQ(cellOf(r, 570) - cellOf(r, 180), c.textWidth);
    EXPECT_EQ(cellOf(r, 60), c.picture);
  }
}

// A row of a window scrolled: the band of rows [4, 20) shown in 6 rows, 3 of them
// scrolled off; rows above stay, rows below move up by what the band hides.
TEST(TerminalFit, AScrolledBandMovesItsRowsAndThoseBelowIt) {
  RowScroll scroll{4, 20, 6, 3};
  EXPECT_TRUE(scroll.Scrolls());
  EXPECT_EQ(scroll.Hidden(), 10);
  for (auto [row, shown] : {std::pair{0, 0}, {3, 3}, {4, 1}, {7, 4}, {19, 16}, {20, 10}, {25, 15}})
    EXPECT_EQ(scroll.Apply(row), shown) << row;
  CellMapping mapping;
  mapping.SetScroll(scroll);
  // A window filling the band ends where its last row does.
  CellRect band = mapping.Map(RECT{0, 4 * 13, 60, 20 * 13});
  EXPECT_EQ(band.y, 1);
  EXPECT_EQ(band.Bottom(), 17);
}

// A wizard-sized page on 80 x 24: radio buttons 14 dialog units apart keep a row
// each, the text above them keeps its lines at its width, a label keeps a cell from
// its field, and the side picture gives way first.
TEST(TerminalFit, AWizardPageKeepsItsTextsWholeOnASmallScreen) {
  std::string words;
  for (int i = 0; i < 40; ++i) words += "word ";
  WindowNode page = Node(ControlKind::Dialog, FakeHandle(1), RECT{0, 0, 600, 487}, "", WS_CHILD);
  page.children.push_back(Node(ControlKind::Static, FakeHandle(2), Du(124, 46, 260, 24), words));
  for (int i = 0; i < 4; ++i)
    page.children.push_back(Node(ControlKind::Button, FakeHandle(10 + i), Du(134, static_cast<short>(90 + 14 * i), 240, 10),
                                 "Choice " + std::to_string(i), BS_AUTORADIOBUTTON));
  page.children.push_back(Node(ControlKind::Static, FakeHandle(20), Du(146, 156, 80, 10), "A label of 29 cells wide here"));
  page.children.push_back(Node(ControlKind::IpAddress, FakeHandle(21), Du(230, 154, 100, 13), "0.0.0.0"));
  page.children[0].drawing.push_back(DrawnShape{DrawnShape::Kind::Picture, RECT{10, 10, 150, 470}, {}, "side", 0});
  WindowNode sheet = Node(ControlKind::Dialog, FakeHandle(3), RECT{0, 0, 600, 526}, "Wizard", WS_POPUP | WS_CAPTION);
  sheet.children = {page};
  WindowFit fit = FitWindow(sheet, 78, 21);
  EXPECT_LE(fit.columns, 78);
  EXPECT_LE(fit.rows, 21);
  CellRect text = fit.mapping.Map(Du(124, 46, 260, 24));
  EXPECT_GE(text.w, 65);
  EXPECT_GE(text.h, static_cast<int>(WrapLines(DecodeUtf8(words), text.w).size()));
  int previous = text.Bottom() - 1;
  for (short y = 90; y < 90 + 4 * 14; y += 14) {
    CellRect radio = fit.mapping.Map(Du(134, y, 240, 10));
    EXPECT_GT(radio.y, previous) << y;
    previous = radio.y;
  }
  CellRect label = fit.mapping.Map(Du(146, 156, 80, 10)), field = fit.mapping.Map(Du(230, 154, 100, 13));
  EXPECT_GE(label.w, 29);
  EXPECT_GE(field.x, label.Right() + 1);
  EXPECT_EQ(label.y, field.y);
  EXPECT_LT(fit.mapping.Column(150) - fit.mapping.Column(10), 23);  // the side picture, less than its full size
}

}  // namespace
