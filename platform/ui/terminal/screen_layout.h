// Where the window stack lands on the screen: each top-level window centred in a
// frame, its controls mapped from pixels to cells, clipped to their parents and the
// screen. Painting and mouse hit-testing both read this. A window taller than the
// screen scrolls to keep the focused control in view.
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
  std::map<HWND, int> viewport;  // first row shown of a window taller than the screen
  std::map<HWND, int> firstColumn;  // first column shown of a list whose columns do not all fit
};

struct TopLevelPlacement {
  const WindowNode* node = nullptr;
  CellRect frame;   // including the border
  CellRect client;  // where its client area lands (may run past the screen)
  CellMapping mapping;
  bool dimmed = false;  // disabled, under a modal window
  bool active = false;  // the one that takes input
};

struct PlacedWindow {
  const WindowNode* node = nullptr;
  std::size_t topLevel = 0;
  CellRect rect;       // on the screen
  CellRect clip;       // the part that shows
  CellRect parentClip; // the part of its parent that shows
  POINT origin{};      // its top-left, in pixels of the top-level's client area
  bool enabled = true; // it and its parents
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
  // A push button too narrow for its label (a scaled-down window, a longer
  // language) takes the free cells beside it, so the label is not cut; a one-line
  // label that would wrap runs on into the free cells to its right.
  void WidenCutButtons();
  void WidenCutLabels();
  // A control inside a frame (a group box) shows within the frame's border: scaled
  // down, its cells could fall on the border and write over it.
  void KeepInsideFrames();
  // Each list's first column shown, as remembered, within what its columns allow.
  void ScrollListColumns(const ViewMemory& memory, ViewMemory& kept);
  // The free cells on a window's rows, between its neighbours (`gap` cells away
  // from them), inside its window: [left, right).
  std::pair<int, int> FreeRowSpan(const PlacedWindow& placed, int gap) const;

  int m_columns = 0;
  int m_rows = 0;
  std::vector<WindowNode> m_stack;  // owned here: the placements point into it
  std::vector<TopLevelPlacement> m_topLevels;
  std::vector<PlacedWindow> m_windows;
};

bool TakesClicks(const WindowNode& node);

}  // namespace vek::ui::terminal
