#include "terminal_test_support.h"

namespace vek::test::terminal {

HWND FakeHandle(int n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x7000 + 2 * n)); }

RECT Du(short x, short y, short cx, short cy) { return vek::framework::DialogUnitsToPixels(x, y, cx, cy); }

WindowNode Node(ControlKind kind, HWND hwnd, RECT rect, std::string text, DWORD style) {
  WindowNode node;
  node.kind = kind;
  node.hwnd = hwnd;
  node.rect = rect;
  node.text = std::move(text);
  node.style = WS_CHILD | WS_VISIBLE | style;
  return node;
}

WindowNode Dialog(HWND hwnd, std::string caption, short cx, short cy, std::vector<WindowNode> children) {
  WindowNode node = Node(ControlKind::Dialog, hwnd, Du(0, 0, cx, cy), std::move(caption));
  node.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  node.children = std::move(children);
  return node;
}

CellGrid PaintAt(const WindowNode& node, CellRect rect, int columns, int rows, PaintOptions options) {
  CellGrid grid(columns, rows);
  WindowNode window = Node(ControlKind::Dialog, FakeHandle(999), RECT{0, 0, columns * 6, rows * 13});
  TopLevelPlacement top;
  top.node = &window;
  top.frame = CellRect{0, 0, columns, rows};
  top.client = CellRect{0, 0, columns, rows};
  top.active = true;
  PlacedWindow placed;
  placed.node = &node;
  placed.rect = rect;
  placed.clip = rect.Intersect(grid.Bounds());
  placed.origin = POINT{node.rect.left, node.rect.top};
  placed.enabled = options.enabled;
  placed.scroll = options.scroll;
  placed.columnScroll = options.columnScroll;
  PaintContext context{options.ascii ? Glyphs::Ascii() : Glyphs::Unicode(), options.frame, options.showFocus,
                       options.colours};
  PaintWindow(grid, placed, top, context);
  return grid;
}

std::string RowOf(const CellGrid& grid, int y) {
  std::string row = grid.Row(y);
  row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

bool HasAttr(const CellGrid& grid, int x, int y, std::uint8_t attr) { return (grid.At(x, y).attr & attr) == attr; }

}  // namespace vek::test::terminal
