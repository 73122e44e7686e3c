#include "ui/terminal/busy_mark.h"

#include <string>
#include <string_view>

namespace vek::ui::terminal {

void MarkBusy(CellGrid& grid, const ScreenLayout& layout) {
  const auto& tops = layout.TopLevels();
  if (tops.empty()) return;
  const CellRect& frame = tops.back().frame;
  constexpr std::u32string_view kMark = U" Please wait ";
  int width = static_cast<int>(kMark.size());
  if (frame.w < width + 4) return;
  CellRect saved = grid.Clip();
  grid.SetClip(grid.Bounds());
  grid.Text(frame.x + frame.w - 2 - width, frame.y, kMark, width, static_cast<std::uint8_t>(kReverse | kBold));
  grid.SetClip(saved);
}

void MarkBusyKeyLine(CellGrid& grid, int row, unsigned frame, const Glyphs& glyphs, bool japanese) {
  if (row < 0 || row >= grid.Height()) return;
  CellRect saved = grid.Clip();
  grid.SetClip(grid.Bounds());
  grid.Fill(CellRect{0, row, grid.Width(), 1});
  std::u32string text(1, glyphs.spinner[frame % glyphs.spinner.size()]);
  text += japanese ? U" \u304A\u5F85\u3061\u304F\u3060\u3055\u3044" : U" Please wait";  // お待ちください
  text += glyphs.ellipsis;
  grid.Text(1, row, text, grid.Width() - 1, kBold);
  grid.SetClip(saved);
}

}  // namespace vek::ui::terminal
