#include "ui/terminal/control_geometry.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

int FocusRow(const WindowNode& list) {
  int firstSelected = -1;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (list.rows[i].focused) return static_cast<int>(i);
    if (list.rows[i].selected && firstSelected < 0) firstSelected = static_cast<int>(i);
  }
  return firstSelected;
}

// Keeps `line` within [scroll, scroll + visible), moving as little as possible.
int KeepInView(int line, int visible, int total, int previous) {
  int scroll = previous;
  if (line >= 0) {
    if (line < scroll) scroll = line;
    if (line >= scroll + visible) scroll = line - visible + 1;
  }
  return std::clamp(scroll, 0, std::max(0, total - visible));
}

struct Wrapped {
  std::u32string text;
  std::vector<std::pair<std::size_t, std::size_t>> lines;
};

Wrapped WrapEdit(const WindowNode& edit, int width) {
  Wrapped wrapped{EditDisplayText(edit), {}};
  wrapped.lines = WrapLines(wrapped.text, std::max(width, 1));
  if (wrapped.lines.empty()) wrapped.lines.emplace_back(0, 0);
  return wrapped;
}

// The line holding a code point index: the last one starting at or before it.
std::size_t LineOf(const Wrapped& wrapped, std::size_t index) {
  std::size_t line = 0;
  for (std::size_t i = 0; i < wrapped.lines.size(); ++i)
    if (wrapped.lines[i].first <= index) line = i;
  return line;
}

std::size_t CaretIndex(const WindowNode& edit, const std::u32string& shown) {
  // A masked text has one mask per character of the real one.
  std::u32string real = DecodeUtf8(edit.text);
  std::size_t index = CodePointIndex(real, static_cast<std::size_t>(std::max(edit.selEnd, 0)));
  return std::min(index, shown.size());
}

constexpr DWORD kNoPrefix = 0x0080;  // SS_NOPREFIX: '&' is a plain character

// Runs of spaces inside a line of wrapped text were put there to push the next
// word onto a new line at the width the text was written for; at any other width
// they leave gaps, so each is one space. A line's own indent stays.
Label CollapsePadding(const Label& label) {
  Label out;
  bool lineStart = true;
  for (std::size_t i = 0; i < label.text.size(); ++i) {
    char32_t c = label.text[i];
    bool repeat = c == U' ' && i > 0 && label.text[i - 1] == U' ' && !lineStart;
    if (c != U' ') lineStart = c == U'\n';
    if (repeat) continue;
    if (static_cast<int>(i) == label.mnemonic) out.mnemonic = static_cast<int>(out.text.size());
    out.text.push_back(c);
  }
  return out;
}

}  // namespace

ListViewArea ListViewGeometry(const WindowNode& list, const CellRect& rect) {
  ListViewArea area;
  CellRect inner = rect;
  if (rect.h >= 4 && rect.w >= 6) {
    area.framed = true;
    inner = rect.Inset(1);
  }
  bool report = (list.style & LVS_TYPEMASK) == LVS_REPORT;
  if (report && !(list.style & LVS_NOCOLUMNHEADER) && inner.h >= 2) {
    area.headerY = inner.y;
    inner.y += 1;
    inner.h -= 1;
  }
  area.body = inner;
  return area;
}

int ListViewScroll(const WindowNode& list, const CellRect& rect, int previous) {
  ListViewArea area = ListViewGeometry(list, rect);
  return KeepInView(FocusRow(list), std::max(area.body.h, 1), static_cast<int>(list.rows.size()), previous);
}

int ListViewRowAt(const WindowNode& list, const CellRect& rect, int scroll, int y) {
  ListViewArea area = ListViewGeometry(list, rect);
  if (y < area.body.y || y >= area.body.Bottom()) return -1;
  int row = scroll + (y - area.body.y);
  return row < static_cast<int>(list.rows.size()) ? row : -1;
}

std::vector<Span> TabSpans(const std::vector<std::string>& labels, const CellRect& rect) {
  std::vector<Span> spans;
  int x = rect.x;
  for (const std::string& label : labels) {
    int wanted = TextWidth(ParseLabel(DecodeUtf8(label)).text) + 2;
    int width = std::clamp(rect.Right() - x, 0, wanted);
    spans.push_back(Span{x, width});
    x += width + 1;
  }
  return spans;
}

UpDownParts UpDownGeometry(const CellRect& rect) {
  if (rect.h >= 2)
    return UpDownParts{CellRect{rect.x, rect.y, rect.w, rect.h / 2},
                       CellRect{rect.x, rect.y + rect.h / 2, rect.w, rect.h - rect.h / 2}};
  if (rect.w >= 2)
    return UpDownParts{CellRect{rect.x, rect.y, rect.w / 2, 1}, CellRect{rect.x + rect.w / 2, rect.y, rect.w - rect.w / 2, 1}};
  return UpDownParts{rect, CellRect{rect.x, rect.y, 0, 0}};
}

CellRect EditTextArea(const WindowNode& edit, const CellRect& rect) {
  if (IsMultiline(edit)) return rect;
  return CellRect{rect.x, rect.y + (rect.h - 1) / 2, rect.w, std::min(rect.h, 1)};
}

std::u32string EditDisplayText(const WindowNode& edit) {
  std::u32string text = DecodeUtf8(edit.text);
  if (edit.passwordChar != 0) return std::u32string(text.size(), edit.passwordChar);
  return text;
}

bool IsMultiline(const WindowNode& edit) { return (edit.style & ES_MULTILINE) != 0; }

int EditScroll(const WindowNode& edit, const CellRect& rect, int previous) {
  if (IsMultiline(edit)) {
    Wrapped wrapped = WrapEdit(edit, rect.w);
    int line = static_cast<int>(LineOf(wrapped, CaretIndex(edit, wrapped.text)));
    return KeepInView(line, rect.h, static_cast<int>(wrapped.lines.size()), previous);
  }
  std::u32string shown = EditDisplayText(edit);
  int caret = static_cast<int>(CaretIndex(edit, shown));
  int scroll = std::clamp(previous, 0, static_cast<int>(shown.size()));
  if (caret < scroll) scroll = caret;
  // The caret needs a cell of its own after the characters before it.
  auto widthBetween = [&](int from, int to) {
    return TextWidth(std::u32string_view(shown).substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from)));
  };
  while (scroll < caret && widthBetween(scroll, caret) + 1 > rect.w) ++scroll;
  return scroll;
}

int EditIndent(const WindowNode& edit, const CellRect& rect, int scroll) {
  if (IsMultiline(edit) || scroll > 0 || !(edit.style & (ES_CENTER | ES_RIGHT))) return 0;
  int free = rect.w - TextWidth(EditDisplayText(edit)) - 1;
  if (free <= 0) return 0;
  return (edit.style & ES_RIGHT) ? free : free / 2;
}

CellPoint EditCaretCell(const WindowNode& edit, const CellRect& rect, int scroll) {
  if (IsMultiline(edit)) {
    Wrapped wrapped = WrapEdit(edit, rect.w);
    std::size_t caret = CaretIndex(edit, wrapped.text);
    std::size_t line = LineOf(wrapped, caret);
    std::size_t begin = wrapped.lines[line].first;
    int column = TextWidth(std::u32string_view(wrapped.text).substr(begin, caret - begin));
    return CellPoint{std::min(column, rect.w - 1), static_cast<int>(line) - scroll};
  }
  std::u32string shown = EditDisplayText(edit);
  auto caret = static_cast<int>(CaretIndex(edit, shown));
  int from = std::min(scroll, caret);
  int column = EditIndent(edit, rect, scroll) +
               TextWidth(std::u32string_view(shown).substr(static_cast<std::size_t>(from), static_cast<std::size_t>(caret - from)));
  return CellPoint{std::min(column, rect.w - 1), 0};
}

int EditPositionAt(const WindowNode& edit, const CellRect& rect, int scroll, CellPoint at) {
  std::u32string real = DecodeUtf8(edit.text);
  std::u32string shown = EditDisplayText(edit);
  std::size_t begin = 0, end = shown.size();
  if (IsMultiline(edit)) {
    Wrapped wrapped = WrapEdit(edit, rect.w);
    std::size_t line = static_cast<std::size_t>(std::clamp(scroll + at.y, 0, static_cast<int>(wrapped.lines.size()) - 1));
    begin = wrapped.lines[line].first;
    end = wrapped.lines[line].second;
  } else {
    begin = static_cast<std::size_t>(std::clamp(scroll, 0, static_cast<int>(shown.size())));
    at.x -= EditIndent(edit, rect, scroll);
  }
  // The character whose cells hold the click; past the end, the end.
  std::size_t index = begin;
  int used = 0;
  while (index < end) {
    int w = CellWidth(shown[index]);
    if (used + w > at.x) break;
    used += w;
    ++index;
  }
  return static_cast<int>(Utf16Index(real, index));
}

CellRect ComboFieldRect(const CellRect& rect) { return CellRect{rect.x, rect.y, rect.w, std::min(rect.h, 1)}; }

StaticText StaticTextLines(const WindowNode& node, int width) {
  StaticText text;
  text.label = ParseLabel(DecodeUtf8(node.text), !(node.style & kNoPrefix));
  DWORD kind = node.style & SS_TYPEMASK;
  bool wrap = kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP;
  if (wrap) text.label = CollapsePadding(text.label);
  text.lines = WrapLines(text.label.text, wrap ? width : static_cast<int>(text.label.text.size()) * 2 + 1);
  return text;
}

}  // namespace vek::ui::terminal
