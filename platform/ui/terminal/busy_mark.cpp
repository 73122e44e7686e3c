#include "ui/terminal/busy_mark.h"

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

}  // namespace vek::ui::terminal
