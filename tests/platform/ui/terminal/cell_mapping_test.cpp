// Pixels to cells: full size is one dialog-font character per cell; a small
// terminal scales down by one factor; rows of controls keep a line each.
#include <gtest/gtest.h>

#include "terminal_test_support.h"
#include "ui/terminal/cell_mapping.h"

namespace {

using namespace vek::test::terminal;

TEST(TerminalMapping, AtFullSizeACellIsFourByEightDialogUnits) {
  CellMapping mapping;
  EXPECT_EQ(mapping.Map(RECT{0, 0, 600, 487}), (CellRect{0, 0, 100, 37}));  // a wizard page
  // Text of a page: 124,46 260x24 dialog units.
  EXPECT_EQ(mapping.Map(Du(124, 46, 260, 24)), (CellRect{31, 6, 65, 3}));
  EXPECT_EQ(mapping.Columns(120), 20);
}

TEST(TerminalMapping, EveryControlGetsAtLeastOneCell) {
  CellMapping mapping(3.0);
  EXPECT_EQ(mapping.Map(RECT{10, 10, 12, 12}).w, 1);
  EXPECT_EQ(mapping.Map(RECT{10, 10, 12, 12}).h, 1);
}

TEST(TerminalMapping, ASmallTerminalScalesBothWaysByTheSameFactor) {
  EXPECT_DOUBLE_EQ(CellMapping::FitFactor(600, 526, 100, 41), 1.0);  // fits at full size
  double factor = CellMapping::FitFactor(600, 526, 78, 22);          // an 80 x 24 terminal inside a frame
  EXPECT_NEAR(factor, 526.0 / 13 / 22, 1e-9);                        // the height decides
  CellMapping mapping(factor);
  CellRect page = mapping.Map(RECT{0, 0, 600, 526});
  EXPECT_LE(page.h, 22);
  EXPECT_LE(page.w, 78);
  EXPECT_NEAR(static_cast<double>(page.w) / page.h, (600.0 / 6) / (526.0 / 13), 0.1);
}

TEST(TerminalMapping, RowsOfControlsKeepALineEachWhenScaledDown) {
  // Radio buttons 14 dialog units apart: at factor 3 they would share lines.
  std::vector<int> tops;
  for (short y : {90, 104, 118, 132}) tops.push_back(Du(0, y, 1, 1).top);
  CellMapping uniform(3.0);
  EXPECT_EQ(uniform.Row(tops[0]), uniform.Row(tops[1]));
  CellMapping mapping(3.0, tops);
  std::vector<int> rows;
  for (int top : tops) rows.push_back(mapping.Row(top));
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_GT(rows[i], rows[i - 1]) << i;
  // What lies below moves down with them, and the order of any two points holds.
  for (int y = 0; y < 400; ++y) EXPECT_LE(mapping.Row(y), mapping.Row(y + 1)) << y;
  EXPECT_GT(mapping.Row(tops.back() + 40), rows.back());
}

TEST(TerminalMapping, ALabelBesideItsFieldStaysOnTheFieldsLine) {
  RECT label = Du(134, 124, 56, 10), field = Du(192, 122, 90, 13);
  CellMapping mapping(1.0, {static_cast<int>(label.top), static_cast<int>(field.top)});
  EXPECT_EQ(mapping.Row(label.top), mapping.Row(field.top));
  EXPECT_EQ(mapping.Map(label).y, mapping.Map(field).y);
  // A button a little above the field starts the row: the label, further down
  // than the button is from the field, still joins it; the next row does not.
  RECT button = Du(252, 24, 50, 14), edit = Du(61, 26, 101, 13), text = Du(18, 29, 41, 8), next = Du(12, 42, 228, 75);
  CellMapping row(1.0, {static_cast<int>(button.top), static_cast<int>(edit.top), static_cast<int>(text.top),
                        static_cast<int>(next.top)});
  EXPECT_EQ(row.Row(text.top), row.Row(edit.top));
  EXPECT_EQ(row.Row(button.top), row.Row(edit.top));
  EXPECT_GT(row.Row(next.top), row.Row(text.top));
}

}  // namespace
