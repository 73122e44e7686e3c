// The cell grid: clipping, cutting, and wide characters that take two cells.
#include <gtest/gtest.h>

#include "terminal_test_support.h"
#include "ui/terminal/glyphs.h"

namespace {

using namespace vek::test::terminal;

TEST(TerminalGrid, TextIsCutAtItsWidthAndAtTheGridNeverWrapped) {
  CellGrid grid(10, 2);
  EXPECT_EQ(grid.Text(0, 0, "Hello, world", 5), 5);
  EXPECT_EQ(RowOf(grid, 0), "Hello");
  grid.Text(7, 1, "overflow", 20);
  EXPECT_EQ(RowOf(grid, 1), "       ove");
  EXPECT_EQ(RowOf(grid, 0), "Hello");  // nothing ran into the next line
  EXPECT_EQ(grid.Text(0, 0, "a\nb", 5), 1);
}

TEST(TerminalGrid, DrawingStaysInsideTheClip) {
  CellGrid grid(10, 3);
  {
    ClipScope clip(grid, CellRect{2, 1, 4, 1});
    grid.Fill(grid.Bounds(), U'#');
    grid.Text(0, 1, "abcdefgh", 8);
  }
  EXPECT_EQ(RowOf(grid, 0), "");
  EXPECT_EQ(RowOf(grid, 1), "  cdef");
  EXPECT_EQ(RowOf(grid, 2), "");
  grid.Put(9, 2, U'x');  // the clip is back to the whole grid
  EXPECT_EQ(RowOf(grid, 2), "         x");
}

TEST(TerminalGrid, WideCharactersTakeTwoCellsAndOverwritingHalfBlanksTheOther) {
  CellGrid grid(6, 1);
  EXPECT_EQ(grid.Text(0, 0, "\xe6\x97\xa5\xe6\x9c\xac" "x", 6), 5);  // 日本x
  EXPECT_TRUE(grid.At(1, 0).tail);
  EXPECT_EQ(RowOf(grid, 0), "\xe6\x97\xa5\xe6\x9c\xacx");
  grid.Put(3, 0, U'b');  // the right half of 本
  EXPECT_EQ(RowOf(grid, 0), "\xe6\x97\xa5 bx");
  grid.Put(0, 0, U'a');  // the left half of 日
  EXPECT_EQ(RowOf(grid, 0), "a  bx");
  EXPECT_FALSE(grid.At(1, 0).tail);
}

TEST(TerminalGrid, AWideCharacterThatWouldStraddleTheEdgeIsLeftOut) {
  CellGrid grid(3, 1);
  EXPECT_EQ(grid.Text(0, 0, "a\xe6\x97\xa5\xe6\x9c\xac", 3), 3);  // a日 fits, 本 does not
  EXPECT_EQ(RowOf(grid, 0), "a\xe6\x97\xa5");
  CellGrid clipped(4, 1);
  ClipScope clip(clipped, CellRect{0, 0, 3, 1});
  clipped.Put(2, 0, U'日');
  EXPECT_EQ(RowOf(clipped, 0), "");
}

TEST(TerminalGrid, BoxesTakeTheirTitleAndAttributesAdd) {
  CellGrid grid(12, 3);
  DrawBox(grid, grid.Bounds(), Glyphs::Ascii(), kPlain, U"Title");
  EXPECT_EQ(RowOf(grid, 0), "+- Title --+");
  EXPECT_EQ(RowOf(grid, 1), "|          |");
  EXPECT_EQ(RowOf(grid, 2), "+----------+");
  EXPECT_TRUE(HasAttr(grid, 3, 0, kBold));
  grid.AddAttr(CellRect{0, 1, 2, 1}, kDim);
  EXPECT_TRUE(HasAttr(grid, 1, 1, kDim));
  EXPECT_FALSE(HasAttr(grid, 2, 1, kDim));
  // A title too long for the box is cut, keeping the corner.
  CellGrid small(8, 2);
  DrawBox(small, small.Bounds(), Glyphs::Ascii(), kPlain, U"Very long title");
  EXPECT_EQ(RowOf(small, 0), "+- Ve -+");
}

}  // namespace
