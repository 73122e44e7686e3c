#include "ui/terminal/busy_mark.h"

#include <string>
#include <string_view>

#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

constexpr std::u32string_view kEnglishWait = U"Please wait";
constexpr std::u32string_view kJapaneseWait = U"\u304A\u5F85\u3061\u304F\u3060\u3055\u3044";  // お待ちください

}  // namespace

void MarkBusy(CellGrid& grid, const ScreenLayout& layout, bool japanese) {
  const auto& tops = layout.TopLevels();
  if (tops.empty()) return;
  const CellRect& frame = tops.back().frame;
  std::u32string mark = U" ";
  mark += japanese ? kJapaneseWait : kEnglishWait;
  mark += U" ";
  int width = TextWidth(mark);
  if (frame.w < width + 4) return;
  CellRect saved = grid.Clip();
  grid.SetClip(grid.Bounds());
  grid.Text(frame.x + frame.w - 2 - width, frame.y, mark, width, static_cast<std::uint8_t>(kReverse | kBold));
  grid.SetClip(saved);
}

void MarkBusyKeyLine(CellGrid& grid, int row, unsigned frame, const Glyphs& glyphs, bool japanese) {
  if (row < 0 || row >= grid.Height()) return;
  CellRect saved = grid.Clip();
  grid.SetClip(grid.Bounds());
  grid.Fill(CellRect{0, row, grid.Width(), 1});
  std::u32string text(1, glyphs.spinner[frame % glyphs.spinner.size()]);
  text += U" ";
  text += japanese ? kJapaneseWait : kEnglishWait;
  text += glyphs.ellipsis;
  grid.Text(1, row, text, grid.Width() - 1, kBold);
  grid.SetClip(saved);
}

}  // namespace vek::ui::terminal
