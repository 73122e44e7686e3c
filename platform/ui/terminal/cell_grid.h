// A screen of character cells that the front end paints into and the terminal then
// shows; tests read it without a terminal. Drawing is clipped to a rectangle; a wide
// character takes its cell and the next (the "tail"), and overwriting either half
// blanks the other. A cell has the terminal's own colours unless a picture gave it
// colours of its own (0xRRGGBB).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vek::ui::terminal {

enum CellAttr : std::uint8_t {
  kPlain = 0,
  kBold = 1,
  kReverse = 2,
  kDim = 4,
  kUnderline = 8,
};

// The terminal's own foreground or background colour.
inline constexpr std::uint32_t kTerminalColour = 0xFFFFFFFFu;
// A foreground that stands out from the cell's background as the terminal shows
// it: black or white (see terminal_colours.h).
inline constexpr std::uint32_t kContrastColour = 0xFFFFFFFEu;

struct Cell {
  char32_t ch = U' ';
  std::uint8_t attr = kPlain;
  bool tail = false;  // the right half of a wide character
  std::uint32_t fg = kTerminalColour;
  std::uint32_t bg = kTerminalColour;
  bool operator==(const Cell&) const = default;
};

struct CellPoint {
  int x = 0;
  int y = 0;
  bool operator==(const CellPoint&) const = default;
};

struct CellRect {
  int x = 0, y = 0, w = 0, h = 0;
  int Right() const { return x + w; }
  int Bottom() const { return y + h; }
  bool Empty() const { return w <= 0 || h <= 0; }
  bool Contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
  CellRect Intersect(const CellRect& other) const;
  CellRect Inset(int by) const { return CellRect{x + by, y + by, w - 2 * by, h - 2 * by}; }
  bool operator==(const CellRect&) const = default;
};

class CellGrid {
 public:
  CellGrid() = default;
  CellGrid(int width, int height);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  CellRect Bounds() const { return CellRect{0, 0, m_width, m_height}; }
  const Cell& At(int x, int y) const;

  // Drawing outside the clip (always within the grid) leaves the cells alone.
  void SetClip(const CellRect& clip);
  CellRect Clip() const { return m_clip; }

  void Put(int x, int y, char32_t c, std::uint8_t attr = kPlain);
  // A character in colours of its own.
  void PutColoured(int x, int y, char32_t c, std::uint32_t fg, std::uint32_t bg, std::uint8_t attr = kPlain);
  // Writes a line of text, cut (never wrapped) at maxColumns; returns the cells used.
  int Text(int x, int y, std::u32string_view text, int maxColumns, std::uint8_t attr = kPlain);
  int Text(int x, int y, std::string_view utf8, int maxColumns, std::uint8_t attr = kPlain);
  void Fill(const CellRect& rect, char32_t c = U' ', std::uint8_t attr = kPlain);
  void AddAttr(const CellRect& rect, std::uint8_t attr);

  // One row as UTF-8 (tails left out), and the whole grid as lines: for tests and logs.
  std::string Row(int y) const;
  std::string Dump() const;

  bool operator==(const CellGrid&) const = default;

 private:
  Cell& Mutable(int x, int y) { return m_cells[static_cast<std::size_t>(y * m_width + x)]; }
  bool Inside(int x, int y) const { return m_clip.Contains(x, y); }
  void Blank(int x, int y);

  int m_width = 0;
  int m_height = 0;
  std::vector<Cell> m_cells;
  CellRect m_clip;
};

// Sets a clip for a scope and puts the previous one back.
class ClipScope {
 public:
  ClipScope(CellGrid& grid, const CellRect& clip) : m_grid(grid), m_saved(grid.Clip()) {
    grid.SetClip(clip.Intersect(m_saved));
  }
  ~ClipScope() { m_grid.SetClip(m_saved); }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

 private:
  CellGrid& m_grid;
  CellRect m_saved;
};

}  // namespace vek::ui::terminal
