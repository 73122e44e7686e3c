#include "ui/terminal/paint_support.h"

#include <algorithm>

#include "ui/terminal/picture_cells.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

// Lettering in a picture does not survive its cells: the title is written over it,
// in the middle of a low one (a banner, a button), near the foot of a tall one
// where a picture's own caption goes, in black or white as reads best on it.
constexpr int kLetteredPictureRows = 3;
// A picture squeezed narrower than this shows nothing: its pixels would be noise.
constexpr int kNarrowestPicture = 4;

// A title shows only where each of its words fits the width whole: a picture
// squeezed narrower shows without it.
bool WordsFit(std::u32string_view text, int width) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(U' ', start);
    if (end == std::u32string_view::npos) end = text.size();
    if (TextWidth(text.substr(start, end - start)) > width) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::uint8_t BaseAttr(const PlacedWindow& placed) { return placed.enabled ? kPlain : kDim; }

bool ShowsFocus(const PlacedWindow& placed, const PaintContext& context) {
  return context.showFocus && placed.node->focused;
}

int MiddleRow(const CellRect& rect) { return rect.y + (rect.h - 1) / 2; }

int DrawLabel(CellGrid& grid, int x, int y, std::string_view utf8, int maxColumns, std::uint8_t attr, bool prefix) {
  Label label = ParseLabel(DecodeUtf8(utf8), prefix);
  int used = 0;
  for (std::size_t i = 0; i < label.text.size(); ++i) {
    char32_t c = label.text[i];
    if (c == U'\n' || c == U'\r') break;
    int width = CellWidth(c);
    if (width == 0) continue;
    if (used + width > maxColumns) break;
    std::uint8_t a = static_cast<int>(i) == label.mnemonic ? static_cast<std::uint8_t>(attr | kUnderline) : attr;
    grid.Put(x + used, y, c, a);
    used += width;
  }
  return used;
}

int LabelWidth(std::string_view utf8, bool prefix) { return TextWidth(ParseLabel(DecodeUtf8(utf8), prefix).text); }

void DrawPicture(CellGrid& grid, const CellRect& rect, std::string_view title, UINT bitmapId,
                 const PaintContext& context, std::uint8_t attr) {
  if (rect.w < kNarrowestPicture) return;
  std::u32string text = DecodeUtf8(title);
  if (!WordsFit(text, rect.w)) text.clear();
  if (context.colours && DrawPictureCells(grid, rect, bitmapId, context.glyphs.upperHalf, attr)) {
    if (text.empty()) return;
    auto lines = WrapLines(text, rect.w);
    int count = std::min(static_cast<int>(lines.size()), rect.h);
    int top = rect.h <= kLetteredPictureRows ? rect.y + (rect.h - count) / 2
                                             : rect.Bottom() - count - std::max(1, rect.h / 12);
    for (int i = 0; i < count; ++i) {
      std::u32string_view line = std::u32string_view(text).substr(lines[i].first, lines[i].second - lines[i].first);
      int x = rect.x + std::max(0, (rect.w - TextWidth(line)) / 2);
      for (char32_t c : line) {
        grid.PutColoured(x, top + i, c, kContrastColour, PictureBackground(grid, x, top + i),
                         static_cast<std::uint8_t>(attr | kBold));
        x += CellWidth(c);
      }
    }
    return;
  }
  // The title, never cut where the rectangle has the room: inside a frame when it
  // fits there, else on the whole rectangle.
  if (text.empty()) return;
  bool framed = rect.h >= 3 && rect.w >= 4;
  CellRect area = framed ? rect.Inset(1) : rect;
  auto lines = WrapLines(text, area.w);
  if (framed && (static_cast<int>(lines.size()) > area.h || !WordsFit(text, area.w))) {
    framed = false;
    area = rect;
    lines = WrapLines(text, area.w);
  }
  if (framed) DrawBox(grid, rect, context.glyphs, attr);
  if (area.h == 1) {
    // One line: as much of the title as it holds.
    DrawCentred(grid, area.x, area.y, area.w, text, static_cast<std::uint8_t>(attr | kBold));
    return;
  }
  int count = std::min(static_cast<int>(lines.size()), area.h);
  int top = area.y + (area.h - count) / 2;
  for (int i = 0; i < count; ++i)
    DrawCentred(grid, area.x, top + i,
                area.w, std::u32string_view(text).substr(lines[i].first, lines[i].second - lines[i].first),
                static_cast<std::uint8_t>(attr | kBold));
}

}  // namespace vek::ui::terminal
