#include "ui/terminal/screen_layout.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/control_needs.h"
#include "ui/terminal/list_view_columns.h"
#include "ui/terminal/text_cells.h"
#include "ui/terminal/window_fit.h"

namespace vek::ui::terminal {
namespace {

int Remembered(const std::map<HWND, int>& values, HWND window) {
  auto it = values.find(window);
  return it == values.end() ? 0 : it->second;
}

RECT Offset(const RECT& r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

const WindowNode* FindFocused(const WindowNode& node) {
  if (node.focused) return &node;
  for (const WindowNode& child : node.children)
    if (const WindowNode* found = FindFocused(child)) return found;
  return nullptr;
}

RECT FindRect(const WindowNode& node, const WindowNode* target, POINT origin, bool* found) {
  for (const WindowNode& child : node.children) {
    RECT r = Offset(child.rect, origin);
    if (&child == target) {
      *found = true;
      return r;
    }
    RECT inner = FindRect(child, target, POINT{r.left, r.top}, found);
    if (*found) return inner;
  }
  return RECT{};
}

// A page scrolls alone when it keeps at least this many rows.
constexpr int kMinBandRows = 3;

// The band of a window's rows that scrolls when the window is taller than the
// screen: its page, so that the buttons below it stay, else all of it. It stays
// scrolled as it was (the keys and the wheel move it), and moves to show the focus
// when the focus has moved.
RowScroll ScrollBand(const WindowNode& window, const CellMapping& mapping, int total, int available,
                     const ViewMemory& memory, ViewMemory& kept, HWND* owner) {
  *owner = nullptr;
  if (total <= available) return RowScroll{};
  RowScroll scroll{0, total, available, 0};
  *owner = window.hwnd;
  for (const WindowNode& child : window.children) {
    if (child.kind != ControlKind::Dialog) continue;
    int first = mapping.LayoutRow(child.rect.top), end = mapping.LayoutRow(child.rect.bottom);
    int shown = available - (total - (end - first));
    if (shown >= kMinBandRows) {
      scroll = RowScroll{first, end, shown, 0};
      *owner = child.hwnd;
    }
  }
  int offset = Remembered(memory.viewport, *owner);
  if (const WindowNode* focused = FindFocused(window); focused && focused != &window) {
    bool found = false;
    RECT r = FindRect(window, focused, POINT{0, 0}, &found);
    int top = mapping.LayoutRow(r.top), bottom = std::max(mapping.LayoutRow(r.bottom), top + 1);
    auto seen = memory.viewportFocus.find(*owner);
    bool moved = seen == memory.viewportFocus.end() || seen->second != focused->hwnd;
    if (moved && top >= scroll.first && top < scroll.end) {
      if (bottom - scroll.first - offset > scroll.shown) offset = bottom - scroll.first - scroll.shown;
      if (top - scroll.first < offset) offset = top - scroll.first;
    }
    kept.viewportFocus[*owner] = focused->hwnd;
  }
  scroll.offset = std::clamp(offset, 0, scroll.Hidden());
  kept.viewport[*owner] = scroll.offset;
  return scroll;
}

}  // namespace

bool TakesClicks(const WindowNode& node) {
  switch (node.kind) {
    case ControlKind::Static:
      return (node.style & SS_NOTIFY) != 0;
    case ControlKind::Button:
      return (node.style & BS_TYPEMASK) != BS_GROUPBOX;
    case ControlKind::Dialog:
    case ControlKind::Progress:
    case ControlKind::Animation:
      return false;
    default:
      return true;
  }
}

ScreenLayout ScreenLayout::Build(std::vector<WindowNode> stack, int columns, int rows, ViewMemory& memory) {
  ScreenLayout layout;
  layout.m_columns = columns;
  layout.m_rows = rows;
  layout.m_stack = std::move(stack);
  CellRect screen{0, 0, columns, rows};

  std::size_t active = layout.m_stack.size();
  for (std::size_t i = 0; i < layout.m_stack.size(); ++i)
    if (layout.m_stack[i].enabled) active = i;

  ViewMemory kept;  // what is remembered of the windows there now
  for (std::size_t i = 0; i < layout.m_stack.size(); ++i) {
    const WindowNode& node = layout.m_stack[i];
    WindowFit fit = FitWindow(node, columns - 2, rows - 2);
    TopLevelPlacement placement;
    placement.node = &node;
    placement.mapping = fit.mapping;
    placement.dimmed = !node.enabled;
    placement.active = i == active;
    int widthPx = node.rect.right - node.rect.left, heightPx = node.rect.bottom - node.rect.top;
    CellRect frame = screen;  // a window without a size (a main frame) takes the screen
    if (widthPx > 0 && heightPx > 0) {
      RowScroll scroll = ScrollBand(node, placement.mapping, fit.rows, rows - 2, memory, kept, &placement.bandOwner);
      placement.mapping.SetScroll(scroll);
      int w = fit.columns + 2, h = fit.rows - scroll.Hidden() + 2;
      frame = CellRect{std::max(0, (columns - w) / 2), std::max(0, (rows - h) / 2), w, h};
      if (scroll.Scrolls()) placement.band = CellRect{frame.x + 1, frame.y + 1 + scroll.first, w - 2, scroll.shown};
    }
    placement.frame = frame;
    placement.client = frame.Inset(1);
    layout.m_topLevels.push_back(placement);

    PlacedWindow self;
    self.node = &node;
    self.topLevel = i;
    self.rect = placement.client;
    self.clip = placement.client.Intersect(screen);
    self.enabled = node.enabled;
    layout.m_windows.push_back(self);
    for (const WindowNode& child : node.children)
      layout.Place(child, i, POINT{0, 0}, self.clip, node.enabled, memory, kept);
  }
  layout.KeepInsideFrames();
  layout.ScrollListColumns(memory, kept);
  // Only windows still there are remembered.
  memory = std::move(kept);
  return layout;
}

void ScreenLayout::Place(const WindowNode& node, std::size_t topLevel, POINT parentOrigin, const CellRect& parentClip,
                         bool parentEnabled, const ViewMemory& memory, ViewMemory& kept) {
  const TopLevelPlacement& top = m_topLevels[topLevel];
  RECT px = Offset(node.rect, parentOrigin);
  // A picture the fit squeezed out has no cells.
  CellRect cells = IsDecoration(node) ? top.mapping.MapExact(px) : top.mapping.Map(px);
  cells.x += top.client.x;
  cells.y += top.client.y;
  if (node.kind == ControlKind::ComboBox) cells = ComboFieldRect(cells);

  PlacedWindow placed;
  placed.node = &node;
  placed.topLevel = topLevel;
  placed.rect = cells;
  placed.clip = cells.Intersect(parentClip);
  placed.inBand = top.mapping.Scroll().InBand(top.mapping.LayoutRow(px.top));
  if (placed.inBand) placed.clip = placed.clip.Intersect(top.band);
  placed.parentClip = parentClip;
  placed.origin = POINT{px.left, px.top};
  placed.enabled = parentEnabled && node.enabled;
  auto remembered = [&node](const std::map<HWND, int>& values) { return Remembered(values, node.hwnd); };
  if (node.kind == ControlKind::ListView) placed.scroll = ListViewScroll(node, cells, remembered(memory.scroll));
  if (node.kind == ControlKind::Edit) placed.scroll = EditScroll(node, EditTextArea(node, cells), remembered(memory.scroll));
  if (node.kind == ControlKind::ListView || node.kind == ControlKind::Edit) kept.scroll[node.hwnd] = placed.scroll;
  m_windows.push_back(placed);
  CellRect clip = placed.clip;
  for (const WindowNode& child : node.children)
    Place(child, topLevel, placed.origin, clip, placed.enabled, memory, kept);
}

void ScreenLayout::KeepInsideFrames() {
  auto pixels = [](const PlacedWindow& placed) {
    const RECT& r = placed.node->rect;
    return RECT{placed.origin.x, placed.origin.y, placed.origin.x + (r.right - r.left), placed.origin.y + (r.bottom - r.top)};
  };
  for (const PlacedWindow& frame : m_windows) {
    std::optional<FrameBorder> border = FrameOf(*frame.node);
    if (!border || border->left == 0 || frame.rect.w < 3 || frame.rect.h < 3) continue;  // not one with a border
    const CellRect inside = frame.rect.Inset(1);
    const RECT around = pixels(frame);
    for (PlacedWindow& placed : m_windows) {
      if (&placed == &frame || placed.topLevel != frame.topLevel || FrameOf(*placed.node)) continue;
      const RECT r = pixels(placed);
      if (r.left < around.left || r.right > around.right || r.top < around.top || r.bottom > around.bottom) continue;
      placed.clip = placed.clip.Intersect(inside);
    }
  }
}

const TopLevelPlacement* ScreenLayout::Active() const {
  for (const TopLevelPlacement& top : m_topLevels)
    if (top.active) return &top;
  return nullptr;
}

const PlacedWindow* ScreenLayout::Find(HWND window) const {
  for (const PlacedWindow& placed : m_windows)
    if (placed.node->hwnd == window) return &placed;
  return nullptr;
}

std::vector<const PlacedWindow*> ScreenLayout::ActiveControls() const {
  std::vector<const PlacedWindow*> controls;
  const TopLevelPlacement* active = Active();
  for (const PlacedWindow& placed : m_windows)
    if (active && placed.node != active->node && m_topLevels[placed.topLevel].node == active->node)
      controls.push_back(&placed);
  return controls;
}

const PlacedWindow* ScreenLayout::HitTest(int x, int y) const {
  const TopLevelPlacement* active = Active();
  if (active == nullptr) return nullptr;
  for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it) {
    if (m_topLevels[it->topLevel].node != active->node || !it->clip.Contains(x, y)) continue;
    if (TakesClicks(*it->node)) return &*it;
  }
  return nullptr;
}

void ScreenLayout::ScrollListColumns(const ViewMemory& memory, ViewMemory& kept) {
  for (PlacedWindow& placed : m_windows) {
    if (placed.node->kind != ControlKind::ListView) continue;
    HWND list = placed.node->hwnd;
    ListViewColumns columns = LayOutListViewColumns(*placed.node, ListViewGeometry(*placed.node, placed.rect).body,
                                                    m_topLevels[placed.topLevel].mapping, Remembered(memory.firstColumn, list));
    placed.columnScroll = columns.first;
    placed.columnScrollMax = columns.lastFirst;
    kept.firstColumn[list] = columns.first;
  }
}

}  // namespace vek::ui::terminal
