#include "support/screen_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "framework/control_defs.h"
#include "framework/message_api.h"
#include "framework/styles.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "ui/headless_driver.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/control_needs.h"
#include "ui/terminal/message_box_view.h"
#include "ui/terminal/screen_layout.h"
#include "ui/terminal/screen_painter.h"
#include "ui/terminal/text_cells.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::test {
namespace {

using namespace vek::ui::terminal;

// Below this many rows the front end shows no key line.
constexpr int kKeyLineMinRows = 12;
constexpr DWORD kNoPrefix = 0x0080;  // SS_NOPREFIX

// Texts compared without their spaces: a wrapped line loses the space where it
// breaks, and padding shows as one space.
std::string Squeezed(std::u32string_view text) {
  std::u32string out;
  for (char32_t c : text)
    if (c != U' ' && c != U'\n' && c != U'\r' && c != U'\t' && c != 0x3000) out.push_back(c);
  return EncodeUtf8(out);
}
std::string Squeezed(const std::string& utf8) { return Squeezed(DecodeUtf8(utf8)); }
std::string LabelOf(const std::string& utf8, bool prefix = true) { return Squeezed(ParseLabel(DecodeUtf8(utf8), prefix).text); }

// The cells of a rectangle of the grid, row by row, without the right halves of
// wide characters.
std::string CellsIn(const CellGrid& grid, const CellRect& rect) {
  std::u32string text;
  CellRect r = rect.Intersect(grid.Bounds());
  for (int y = r.y; y < r.Bottom(); ++y)
    for (int x = r.x; x < r.Right(); ++x)
      if (!grid.At(x, y).tail) text.push_back(grid.At(x, y).ch);
  return Squeezed(text);
}

bool Contains(const std::string& shown, const std::string& text) { return shown.find(text) != std::string::npos; }

DWORD ButtonType(const WindowNode& node) { return node.style & BS_TYPEMASK; }

// What a control must show whole in its cells; empty when nothing.
std::vector<std::string> TextsOf(const WindowNode& node) {
  switch (node.kind) {
    case ControlKind::Static: {
      DWORD type = node.style & SS_TYPEMASK;
      if (type == SS_BITMAP) return {Squeezed(node.pictureTitle)};
      if (type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP)
        return {LabelOf(node.text, !(node.style & kNoPrefix))};
      return {};
    }
    case ControlKind::Button:
      if (ButtonType(node) == BS_OWNERDRAW || ButtonType(node) == BS_GROUPBOX) return {};
      if (ButtonType(node) == BS_PUSHBUTTON || ButtonType(node) == BS_DEFPUSHBUTTON) return {"[" + LabelOf(node.text) + "]"};
      return {LabelOf(node.text)};
    case ControlKind::ComboBox:
      if (node.selection >= 0 && node.selection < static_cast<int>(node.items.size()))
        return {Squeezed(node.items[static_cast<std::size_t>(node.selection)])};
      return {};
    case ControlKind::IpAddress: return {Squeezed(node.text)};
    case ControlKind::Tab: {
      std::vector<std::string> labels;
      for (const std::string& item : node.items) labels.push_back(LabelOf(item));
      return labels;
    }
    case ControlKind::Other: {
      if (!(node.style & WS_TABSTOP)) return {};
      std::vector<std::string> titles;
      for (const DrawnShape& shape : node.drawing)
        if (shape.kind == DrawnShape::Kind::Picture && !shape.text.empty()) titles.push_back(Squeezed(shape.text));
      return titles;
    }
    default: return {};
  }
}

std::string Describe(const WindowNode& node) {
  std::string text = node.text.empty() ? node.pictureTitle : node.text;
  if (text.size() > 40) text = text.substr(0, 40) + "...";
  return "control " + std::to_string(node.id) + " \"" + text + "\"";
}

RECT PixelRect(const PlacedWindow& placed) {
  const RECT& r = placed.node->rect;
  return RECT{placed.origin.x, placed.origin.y, placed.origin.x + (r.right - r.left), placed.origin.y + (r.bottom - r.top)};
}

bool PixelsOverlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool PixelsInside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top && inner.bottom <= outer.bottom;
}

bool IsBorderFrame(const WindowNode& node) {
  return node.kind != ControlKind::Dialog && node.kind != ControlKind::Tab && FrameOf(node).has_value();
}

// Whether a list's row shows the texts that tell it from the others whole: all
// of them in a list that cannot scroll its columns, else its first three.
std::vector<std::string> ListProblems(const CellGrid& grid, const PlacedWindow& placed) {
  const WindowNode& node = *placed.node;
  std::vector<std::string> problems;
  if ((node.style & LVS_TYPEMASK) != LVS_REPORT || node.columns.empty()) return problems;
  ListViewArea area = ListViewGeometry(node, placed.rect);
  std::size_t whole = node.enabled ? std::min<std::size_t>(3, node.columns.size()) : node.columns.size();
  auto check = [&](int y, const std::vector<std::string>& texts, const std::string& which) {
    std::string expected;
    for (std::size_t c = 0; c < whole && c < texts.size(); ++c) expected += Squeezed(texts[c]);
    std::string shown = CellsIn(grid, CellRect{area.body.x, y, area.body.w, 1});
    if (!Contains(shown, expected)) problems.push_back(Describe(node) + ": " + which + " shows \"" + shown + "\"");
  };
  if (area.headerY >= 0) {
    std::vector<std::string> headings;
    for (const ListColumn& column : node.columns) headings.push_back(column.text);
    check(area.headerY, headings, "its headings");
  }
  for (int line = 0; line < area.body.h; ++line) {
    int index = placed.scroll + line;
    if (index >= static_cast<int>(node.rows.size())) break;
    check(area.body.y + line, node.rows[static_cast<std::size_t>(index)].texts, "row " + std::to_string(index));
  }
  return problems;
}

class ScreenReader {
 public:
  ScreenReader(std::string what, int columns, int rows) : m_what(std::move(what)), m_columns(columns), m_rows(rows) {}

  // One screen as laid out with the band scrolled as the memory says.
  void Read(const ScreenLayout& layout, const Screen& screen) {
    const TopLevelPlacement* active = layout.Active();
    if (active == nullptr) {
      std::string windows;
      for (const TopLevelPlacement& top : layout.TopLevels())
        windows += " \"" + top.node->text + (top.node->enabled ? "\" enabled" : "\" disabled");
      return Problem("no window takes the input:" + windows, screen);
    }
    const CellRect& frame = active->frame;
    if (frame.x < 0 || frame.y < 0 || frame.Right() > m_columns || frame.Bottom() > layout.Rows())
      Problem("the window runs off the screen", screen);
    std::vector<const PlacedWindow*> controls = layout.ActiveControls();
    for (const PlacedWindow* placed : controls) {
      const WindowNode& node = *placed->node;
      // In view: not scrolled off, even in part (what cuts it then is a fault).
      const CellRect view = placed->inBand ? active->band : active->client;
      if (!placed->rect.Empty() && placed->rect.Intersect(view) == placed->rect) {
        m_shownWhole.insert(node.hwnd);
        std::string shown = CellsIn(screen.grid, placed->rect);
        for (const std::string& text : TextsOf(node))
          if (!Contains(shown, text)) Problem(Describe(node) + " shows \"" + shown + "\"", screen);
        if (node.kind == ControlKind::ListView)
          for (const std::string& problem : ListProblems(screen.grid, *placed)) Problem(problem, screen);
        if (node.kind == ControlKind::Button && ButtonType(node) == BS_GROUPBOX && !node.text.empty()) {
          std::string top = CellsIn(screen.grid, CellRect{placed->rect.x, placed->rect.y, placed->rect.w, 1});
          if (!Contains(top, LabelOf(node.text))) Problem(Describe(node) + " has the caption \"" + top + "\"", screen);
        }
      }
      if (!TextsOf(node).empty() || node.kind == ControlKind::ListView) m_withText.insert(node.hwnd);
    }
    for (const PlacedWindow* a : controls) {
      if (a->clip.Empty() || IsDecoration(*a->node) || FrameOf(*a->node)) continue;
      for (const PlacedWindow* b : controls) {
        if (b <= a || b->clip.Empty() || IsDecoration(*b->node) || FrameOf(*b->node)) continue;
        if (PixelsOverlap(PixelRect(*a), PixelRect(*b))) continue;  // laid over each other on purpose
        if (!a->clip.Intersect(b->clip).Empty())
          Problem(Describe(*a->node) + " and " + Describe(*b->node) + " share cells", screen);
      }
    }
    // A text runs up to the next control only with a cell between them.
    for (const PlacedWindow* label : controls) {
      if (label->node->kind != ControlKind::Static || TextsOf(*label->node).empty() || label->clip.Empty()) continue;
      const int x = label->clip.Right() - 1;
      for (int y = label->clip.y; y < label->clip.Bottom(); ++y) {
        if (screen.grid.At(x, y).ch == U' ' || x + 1 >= screen.grid.Width()) continue;
        for (const PlacedWindow* other : controls)
          if (other != label && !FrameOf(*other->node) && other->clip.Contains(x + 1, y) && screen.grid.At(x + 1, y).ch != U' ')
            Problem(Describe(*label->node) + " touches " + Describe(*other->node), screen);
      }
    }
    for (const PlacedWindow* frameControl : controls) {
      if (!IsBorderFrame(*frameControl->node) || frameControl->clip != frameControl->rect) continue;
      const CellRect box = frameControl->rect, inside = box.Inset(1);
      for (const PlacedWindow* other : controls) {
        if (other == frameControl || other->clip.Empty() || IsDecoration(*other->node)) continue;
        if (PixelsInside(PixelRect(*frameControl), PixelRect(*other))) continue;  // around the frame
        CellRect on = other->clip.Intersect(box);
        if (!on.Empty() && on.Intersect(inside) != on)
          Problem(Describe(*other->node) + " lies on the border of " + Describe(*frameControl->node), screen);
      }
    }
  }

  // After every scrolled screen: what never showed whole.
  void Finish(const Screen& last) {
    for (HWND hwnd : m_withText)
      if (!m_shownWhole.count(hwnd)) Problem("a control (" + std::to_string(GetDlgCtrlID(hwnd)) + ") never shows whole", last);
  }

  std::vector<std::string> TakeProblems() { return std::move(m_problems); }

 private:
  void Problem(const std::string& problem, const Screen& screen) {
    std::string where = m_what + " at " + std::to_string(m_columns) + " x " + std::to_string(m_rows) + ": " + problem;
    for (const std::string& seen : m_problems)
      if (seen.substr(0, seen.find('\n')) == where) return;
    m_problems.push_back(where + "\n" + screen.grid.Dump());
  }

  std::string m_what;
  int m_columns, m_rows;
  std::set<HWND> m_shownWhole, m_withText;
  std::vector<std::string> m_problems;
};

// Windows that draw themselves show what they drew at their last paint: paint them.
void PaintDrawnWindows(const std::vector<WindowNode>& nodes) {
  vek::ui::HeadlessDriver driver;
  for (const WindowNode& node : nodes) {
    bool drawn = node.kind == ControlKind::Dialog || node.kind == ControlKind::Other ||
                 (node.kind == ControlKind::Button && ButtonType(node) == BS_OWNERDRAW) ||
                 (node.kind == ControlKind::ListView && (node.style & LVS_OWNERDRAWFIXED));
    if (drawn) driver.Paint(node.hwnd);
    PaintDrawnWindows(node.children);
  }
}

const WindowNode* FindFocus(const std::vector<WindowNode>& nodes) {
  for (const WindowNode& node : nodes) {
    if (node.focused) return &node;
    if (const WindowNode* found = FindFocus(node.children)) return found;
  }
  return nullptr;
}

}  // namespace

std::vector<std::string> ScreenProblems(HWND window, const std::string& what) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HWND focus = reinterpret_cast<HWND>(SendMessageA(window, framework::VEK_UM_GETFOCUS, 0, 0));
  PaintDrawnWindows(SnapshotThreadWindows(thread, focus));
  // A modal window coming up may for a moment leave every window disabled.
  std::vector<WindowNode> stack;
  vek::ui::HeadlessDriver::WaitFor(
      [&] {
        stack = SnapshotThreadWindows(thread, focus);
        return std::any_of(stack.begin(), stack.end(), [](const WindowNode& node) { return node.enabled; });
      },
      2000);
  std::vector<std::string> problems;
  for (const ScreenSize size : kCommonScreenSizes) {
    const int rows = size.rows >= kKeyLineMinRows ? size.rows - 1 : size.rows;
    ScreenReader reader(what, size.columns, size.rows);
    ViewMemory memory;
    ScreenLayout layout = ScreenLayout::Build(stack, size.columns, rows, memory);
    const TopLevelPlacement* active = layout.Active();
    const RowScroll scroll = active ? active->mapping.Scroll() : RowScroll{};
    const HWND owner = active ? active->bandOwner : nullptr;
    Screen screen;
    // Each way the band can be scrolled, the focus left where it is.
    for (int offset = 0; offset <= (scroll.Scrolls() ? scroll.Hidden() : 0); ++offset) {
      if (owner) {
        memory.viewport[owner] = offset;
        if (const WindowNode* focused = FindFocus(stack)) memory.viewportFocus[owner] = focused->hwnd;
      }
      layout = ScreenLayout::Build(stack, size.columns, rows, memory);
      screen = PaintScreen(layout, Glyphs::Unicode(), 0, {}, ScreenStyle{.keyLine = rows < size.rows});
      reader.Read(layout, screen);
      if (std::getenv("VEK_SHOW_SCREENS"))
        std::printf("%s at %d x %d, scrolled %d:\n%s\n", what.c_str(), size.columns, size.rows, offset,
                    screen.grid.Dump().c_str());
    }
    reader.Finish(screen);
    for (std::string& problem : reader.TakeProblems()) problems.push_back(std::move(problem));
  }
  return problems;
}

CellBox ControlCells(HWND window, int id, ScreenSize size) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HWND focus = reinterpret_cast<HWND>(SendMessageA(window, framework::VEK_UM_GETFOCUS, 0, 0));
  ViewMemory memory;
  ScreenLayout layout = ScreenLayout::Build(SnapshotThreadWindows(thread, focus), size.columns,
                                            size.rows >= kKeyLineMinRows ? size.rows - 1 : size.rows, memory);
  for (const PlacedWindow* placed : layout.ActiveControls())
    if (placed->node->id == id) return CellBox{placed->rect.x, placed->rect.y, placed->rect.w, placed->rect.h};
  return CellBox{};
}

std::vector<std::string> MessageBoxProblems(const framework::MessageBoxRecord& box, bool japanese) {
  std::vector<std::string> problems;
  const unsigned icon = box.type & 0xF0;
  const int iconRows = icon >= MB_ICONHAND && icon <= MB_ICONASTERISK ? 1 : 0;
  for (const ScreenSize size : kCommonScreenSizes) {
    const int rows = size.rows - 1;
    const std::string where = "the message box \"" + box.text.substr(0, 40) + "\" at " + std::to_string(size.columns) +
                              " x " + std::to_string(size.rows) + ": ";
    MessageBoxView view(box, japanese);
    std::vector<std::string> lines;
    CellGrid grid;
    for (int page = 0; page < 100; ++page) {
      view.Place(size.columns, rows);
      grid = CellGrid(size.columns, rows);
      view.Paint(grid, Glyphs::Unicode());
      const CellRect r = view.Rect();
      for (int i = 0; i < view.ShownLines(); ++i) {
        auto line = static_cast<std::size_t>(view.FirstLine() + i);
        if (lines.size() <= line) lines.resize(line + 1);
        lines[line] = CellsIn(grid, CellRect{r.x + 2, r.y + 1 + iconRows + i, r.w - 4, 1});
      }
      if (view.FirstLine() + view.ShownLines() >= view.LineCount()) break;
      view.HandleKey(TermKey::Key(KeyCode::PageDown));
    }
    std::string joined;
    for (const std::string& line : lines) joined += line;
    if (joined != Squeezed(box.text)) problems.push_back(where + "shows \"" + joined + "\"\n" + grid.Dump());
    const CellRect r = view.Rect();
    if (r.x < 0 || r.y < 0 || r.Right() > size.columns || r.Bottom() > rows)
      problems.push_back(where + "runs off the screen\n" + grid.Dump());
    const std::string buttons = CellsIn(grid, CellRect{r.x, r.Bottom() - 2, r.w, 1});
    for (const MessageBoxView::Button& button : view.Buttons())
      if (!Contains(buttons, "[" + Squeezed(ParseLabel(button.label).text) + "]"))
        problems.push_back(where + "its buttons show \"" + buttons + "\"\n" + grid.Dump());
  }
  return problems;
}

}  // namespace vek::test
