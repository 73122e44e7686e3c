// Where the window stack lands on the screen: each top-level window fitted to the
// screen (window_fit.h) and centred in a frame, its controls mapped from pixels to
// cells, clipped to their parents and the screen. Painting and mouse hit-testing
// both read this. A window still taller than the screen scrolls a band of its rows:
// its page when it has one (a wizard's), so that the buttons below it stay, else
// all of it. The band follows the focus, and the keys and the wheel move it.
#pragma once

#include <map>
#include <vector>

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/cell_mapping.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {

// What the layout keeps from one screen update to the next, so views do not jump.
struct ViewMemory {
  std::map<HWND, int> scroll;    // first row of a list, first character or line of an edit
  std::map<HWND, int> viewport;  // rows scrolled off above, of a page or window taller than the screen
  std::map<HWND, HWND> viewportFocus;  // the focus the band last moved to show
  std::map<HWND, int> firstColumn;  // first column shown of a list whose columns do not all fit
};

struct TopLevelPlacement {
  const WindowNode* node = nullptr;
  CellRect frame;   // including the border
  CellRect client;  // where its client area lands (may run past the screen)
  CellMapping mapping;
  bool dimmed = false;  // disabled, under a modal window
  bool active = false;  // the one that takes input
  // Where its rows scroll, when they do (mapping.Scroll() says how far), and the
  // window whose rows they are (its page, or itself).
  CellRect band;
  HWND bandOwner = nullptr;
};

struct PlacedWindow {
  const WindowNode* node = nullptr;
  std::size_t topLevel = 0;
  CellRect rect;       // on the screen
  CellRect clip;       // the part that shows
  CellRect parentClip; // the part of its parent that shows
  POINT origin{};      // its top-left, in pixels of the top-level's client area
  bool enabled = true; // it and its parents
  bool inBand = false;  // in the rows of its window that scroll
  int scroll = 0;      // see ViewMemory::scroll
  int columnScroll = 0;     // see ViewMemory::firstColumn
  int columnScrollMax = 0;  // the first column from which a list's columns all show
};

class ScreenLayout {
 public:
  ScreenLayout() = default;
  static ScreenLayout Build(std::vector<WindowNode> stack, int columns, int rows, ViewMemory& memory);

  ScreenLayout(ScreenLayout&&) = default;
  ScreenLayout& operator=(ScreenLayout&&) = default;
  ScreenLayout(const ScreenLayout&) = delete;
  ScreenLayout& operator=(const ScreenLayout&) = delete;

  int Columns() const { return m_columns; }
  int Rows() const { return m_rows; }
  const std::vector<TopLevelPlacement>& TopLevels() const { return m_topLevels; }
  // Paint order: each top-level window first, then its controls, parents before children.
  const std::vector<PlacedWindow>& Windows() const { return m_windows; }
  const TopLevelPlacement* Active() const;
  const PlacedWindow* Find(HWND window) const;
  // The control of the active window under a cell that takes clicks, topmost first.
  const PlacedWindow* HitTest(int x, int y) const;
  // The controls of the active window, in creation order.
  std::vector<const PlacedWindow*> ActiveControls() const;

 private:
  void Place(const WindowNode& node, std::size_t topLevel, POINT parentOrigin, const CellRect& parentClip,
             bool parentEnabled, const ViewMemory& memory, ViewMemory& kept);
  // A control inside a frame (a group box) shows within the frame's border, even
  // where a window shrunk for a narrow screen puts its cells on the border.
  void KeepInsideFrames();
  // Each list's first column shown, as remembered, within what its columns allow.
  void ScrollListColumns(const ViewMemory& memory, ViewMemory& kept);

  int m_columns = 0;
  int m_rows = 0;
  std::vector<WindowNode> m_stack;  // owned here: the placements point into it
  std::vector<TopLevelPlacement> m_topLevels;
  std::vector<PlacedWindow> m_windows;
};

bool TakesClicks(const WindowNode& node);

}  // namespace vek::ui::terminal
