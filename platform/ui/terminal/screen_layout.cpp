#include "ui/terminal/screen_layout.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/list_view_columns.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

int Remembered(const std::map<HWND, int>& values, HWND window) {
  auto it = values.find(window);
  return it == values.end() ? 0 : it->second;
}

RECT Offset(const RECT& r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

void CollectTops(const WindowNode& node, POINT origin, std::vector<int>& tops) {
  for (const WindowNode& child : node.children) {
    RECT r = Offset(child.rect, origin);
    if (child.kind != ControlKind::Dialog) tops.push_back(r.top);
    CollectTops(child, POINT{r.left, r.top}, tops);
  }
}

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

  // One scale for the whole stack, from its largest window, so a dialog over the
  // wizard keeps the wizard's proportions.
  int widest = 0, tallest = 0;
  for (const WindowNode& node : layout.m_stack) {
    widest = std::max(widest, static_cast<int>(node.rect.right - node.rect.left));
    tallest = std::max(tallest, static_cast<int>(node.rect.bottom - node.rect.top));
  }
  double factor = CellMapping::FitFactor(widest, tallest, columns - 2, rows - 2);

  std::size_t active = layout.m_stack.size();
  for (std::size_t i = 0; i < layout.m_stack.size(); ++i)
    if (layout.m_stack[i].enabled) active = i;

  ViewMemory kept;  // what is remembered of the windows there now
  for (std::size_t i = 0; i < layout.m_stack.size(); ++i) {
    const WindowNode& node = layout.m_stack[i];
    std::vector<int> tops;
    CollectTops(node, POINT{0, 0}, tops);
    TopLevelPlacement placement;
    placement.node = &node;
    placement.mapping = CellMapping(factor, std::move(tops));
    placement.dimmed = !node.enabled;
    placement.active = i == active;
    int widthPx = node.rect.right - node.rect.left, heightPx = node.rect.bottom - node.rect.top;
    CellRect frame;
    if (widthPx <= 0 || heightPx <= 0) {
      frame = screen;  // a window without a size (a main frame) takes the screen
    } else {
      int w = placement.mapping.Column(widthPx) + 2, h = placement.mapping.Row(heightPx) + 2;
      frame = CellRect{std::max(0, (columns - w) / 2), std::max(0, (rows - h) / 2), w, h};
    }
    // Taller than the screen: scroll so that the focused control shows.
    int offset = 0;
    if (frame.h > rows) {
      offset = memory.viewport.count(node.hwnd) ? memory.viewport[node.hwnd] : 0;
      if (const WindowNode* focused = FindFocused(node); focused && focused != &node) {
        bool found = false;
        RECT r = FindRect(node, focused, POINT{0, 0}, &found);
        CellRect cells = placement.mapping.Map(r);
        int top = frame.y + 1 + cells.y, bottom = frame.y + 1 + cells.Bottom();
        if (top - offset < 0) offset = top;
        if (bottom - offset > rows) offset = bottom - rows;
      }
      offset = std::clamp(offset, 0, frame.h - rows);
      kept.viewport[node.hwnd] = offset;
      frame.y -= offset;
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
  layout.WidenCutButtons();
  layout.WidenCutLabels();
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
  CellRect cells = top.mapping.Map(px);
  cells.x += top.client.x;
  cells.y += top.client.y;
  if (node.kind == ControlKind::ComboBox) cells = ComboFieldRect(cells);

  PlacedWindow placed;
  placed.node = &node;
  placed.topLevel = topLevel;
  placed.rect = cells;
  placed.clip = cells.Intersect(parentClip);
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

namespace {

// Windows that only frame others: a label may run over the cells inside them.
bool IsFrame(const WindowNode& node) {
  if (node.kind == ControlKind::Dialog) return true;
  if (node.kind == ControlKind::Button && (node.style & BS_TYPEMASK) == BS_GROUPBOX) return true;
  return node.kind == ControlKind::Static && (node.style & SS_TYPEMASK) >= SS_BLACKRECT &&
         (node.style & SS_TYPEMASK) <= SS_WHITEFRAME;
}

}  // namespace

std::pair<int, int> ScreenLayout::FreeRowSpan(const PlacedWindow& placed, int gap) const {
  const CellRect& rect = placed.rect;
  const CellRect& client = m_topLevels[placed.topLevel].client;
  int leftLimit = client.x, rightLimit = client.Right();
  for (const PlacedWindow& other : m_windows) {
    if (&other == &placed || other.topLevel != placed.topLevel) continue;
    const CellRect& r = other.rect;
    if (r.Bottom() <= rect.y || r.y >= rect.Bottom()) continue;  // not on these rows
    if (IsFrame(*other.node)) {
      // Inside a frame the space ends a cell before its border; a frame beside it
      // is a neighbour. A page (a dialog) has no border of its own.
      if (other.node->kind == ControlKind::Dialog) continue;
      if (r.x <= rect.x && r.Right() >= rect.Right()) {
        leftLimit = std::max(leftLimit, r.x + 1);
        rightLimit = std::min(rightLimit, r.Right() - 1);
        continue;
      }
    }
    if (r.Right() <= rect.x) leftLimit = std::max(leftLimit, r.Right() + gap);
    else if (r.x >= rect.Right()) rightLimit = std::min(rightLimit, r.x - gap);
  }
  return {leftLimit, rightLimit};
}

void ScreenLayout::WidenCutButtons() {
  auto isPush = [](const WindowNode& node) {
    DWORD type = node.style & BS_TYPEMASK;
    return node.kind == ControlKind::Button && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
  };
  const CellRect screen{0, 0, m_columns, m_rows};
  for (PlacedWindow& placed : m_windows) {
    if (!isPush(*placed.node) || placed.rect.h < 1) continue;
    const CellRect rect = placed.rect;
    int needed = TextWidth(ParseLabel(DecodeUtf8(placed.node->text)).text) + 2;  // and its brackets
    if (needed <= rect.w) continue;
    auto [leftLimit, rightLimit] = FreeRowSpan(placed, 1);
    int width = std::min(needed, rightLimit - leftLimit);
    if (width <= rect.w) continue;
    const CellRect& client = m_topLevels[placed.topLevel].client;
    int x = std::clamp(rect.x - (width - rect.w) / 2, leftLimit, rightLimit - width);
    placed.rect = CellRect{x, rect.y, width, rect.h};
    placed.clip = placed.rect.Intersect(client).Intersect(screen);
  }
}

void ScreenLayout::WidenCutLabels() {
  constexpr DWORD kNoPrefix = 0x0080;  // SS_NOPREFIX
  for (PlacedWindow& placed : m_windows) {
    const WindowNode& node = *placed.node;
    DWORD type = node.style & SS_TYPEMASK;
    // Left-aligned text as high as one line (its cells may be two rows where the
    // rows of the controls beside it fall); centred and right-aligned text keeps
    // its place.
    bool oneLine = placed.rect.h == 1 || node.rect.bottom - node.rect.top < 2 * kPixelsPerRow;
    if (node.kind != ControlKind::Static || !oneLine ||
        (type != SS_LEFT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP))
      continue;
    std::u32string text = ParseLabel(DecodeUtf8(node.text), !(node.style & kNoPrefix)).text;
    if (text.find(U'\n') != std::u32string::npos) continue;
    while (!text.empty() && text.back() == U' ') text.pop_back();  // a trailing space needs no cell
    int needed = TextWidth(text);
    if (needed <= placed.rect.w) continue;
    // Up to its neighbour on the right: a label and the field it names may touch.
    // Where that is not room enough, it starts further left, a cell short of its
    // neighbour there.
    // Where even that does not hold it, a label of two rows wraps as it is, and
    // one of one row takes what there is to its right.
    int rightLimit = std::min(FreeRowSpan(placed, 0).second, placed.parentClip.Right());
    int width = std::min(needed, rightLimit - placed.rect.x);
    int x = placed.rect.x;
    if (width < needed) {
      int left = std::max({FreeRowSpan(placed, 1).first, placed.parentClip.x, x - (needed - width)});
      if (width + (x - left) == needed) {
        width = needed;
        x = left;
      } else if (placed.rect.h > 1) {
        continue;
      }
    }
    if (width <= placed.rect.w) continue;
    placed.rect.x = x;
    placed.rect.w = width;
    placed.clip = placed.rect.Intersect(placed.parentClip);
  }
}

void ScreenLayout::KeepInsideFrames() {
  for (const PlacedWindow& frame : m_windows) {
    const WindowNode& node = *frame.node;
    if (!IsFrame(node) || node.kind == ControlKind::Dialog || frame.rect.w < 3 || frame.rect.h < 3) continue;
    const CellRect inside = frame.rect.Inset(1);
    for (PlacedWindow& placed : m_windows) {
      if (&placed == &frame || placed.topLevel != frame.topLevel || IsFrame(*placed.node)) continue;
      if (!inside.Contains(placed.rect.x, placed.rect.y)) continue;  // not one of the frame's
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
