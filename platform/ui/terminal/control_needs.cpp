#include "ui/terminal/control_needs.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "framework/styles.h"
#include "ui/terminal/cell_mapping.h"
#include "ui/terminal/control_geometry.h"
#include "ui/terminal/list_view_columns.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {
namespace {

constexpr DWORD kEtchedHorz = 0x0010;  // SS_ETCHEDHORZ
constexpr DWORD kEtchedVert = 0x0011;  // SS_ETCHEDVERT
// A list shows at least this many rows before the page around it scrolls instead.
constexpr int kListRowsShown = 4;
// The cells an address field needs: "255.255.255.255" and the caret.
constexpr int kAddressColumns = 16;
// A wizard's animation shows as one turning mark.
constexpr int kAnimationCells = 1;

DWORD StaticType(const WindowNode& node) { return node.style & SS_TYPEMASK; }
DWORD ButtonType(const WindowNode& node) { return node.style & BS_TYPEMASK; }

bool IsTextStatic(const WindowNode& node) {
  DWORD type = StaticType(node);
  return node.kind == ControlKind::Static &&
         (type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP);
}

bool IsFrameStatic(const WindowNode& node) {
  DWORD type = StaticType(node);
  return node.kind == ControlKind::Static &&
         ((type >= SS_BLACKFRAME && type <= SS_WHITEFRAME) || type == SS_ETCHEDFRAME);
}

bool DrewContent(const WindowNode& node) {
  return std::any_of(node.drawing.begin(), node.drawing.end(), [](const DrawnShape& shape) {
    return (shape.kind == DrawnShape::Kind::Text && !shape.text.empty()) ||
           (shape.kind == DrawnShape::Kind::Picture && !shape.text.empty());
  });
}

int Width(const std::string& utf8, bool prefix = true) { return TextWidth(ParseLabel(DecodeUtf8(utf8), prefix).text); }

int LabelColumns(const WindowNode& node) {
  std::u32string text = StaticTextLines(node, 1 << 20).label.text;
  while (!text.empty() && text.back() == U' ') text.pop_back();
  return TextWidth(text);
}

}  // namespace

bool IsDecoration(const WindowNode& node) {
  switch (node.kind) {
    case ControlKind::Static: {
      DWORD type = StaticType(node);
      if (type == SS_BITMAP) return node.pictureTitle.empty();
      return type == SS_ICON || type == SS_BLACKRECT || type == SS_GRAYRECT || type == SS_WHITERECT;
    }
    case ControlKind::Other:
      return !(node.style & WS_TABSTOP) && !DrewContent(node);
    default:
      return false;
  }
}

std::optional<FrameBorder> FrameOf(const WindowNode& node) {
  if (node.kind == ControlKind::Dialog) return FrameBorder{};
  if (node.kind == ControlKind::Button && ButtonType(node) == BS_GROUPBOX) return FrameBorder{1, 1, 1, 1};
  if (IsFrameStatic(node)) return FrameBorder{1, 1, 1, 1};
  // The labels and the line under them.
  if (node.kind == ControlKind::Tab) return FrameBorder{0, 2, 0, 0};
  return std::nullopt;
}

bool IsOneLineLabel(const WindowNode& node) {
  return IsTextStatic(node) && node.rect.bottom - node.rect.top < 2 * kPixelsPerRow &&
         node.text.find('\n') == std::string::npos && !node.text.empty();
}

int NeededColumns(const WindowNode& node, int natural, NeedLevel level) {
  if (IsDecoration(node)) return 0;
  switch (node.kind) {
    case ControlKind::Static:
      if (StaticType(node) == kEtchedVert) return 1;
      if (StaticType(node) == kEtchedHorz || IsFrameStatic(node)) return 0;
      if (StaticType(node) == SS_BITMAP) return std::min(natural, Width(node.pictureTitle, false));
      if (IsOneLineLabel(node)) return level == NeedLevel::Whole ? LabelColumns(node) : std::min(natural, LabelColumns(node));
      return natural;
    case ControlKind::Button:
      switch (ButtonType(node)) {
        case BS_GROUPBOX: return node.text.empty() ? 2 : Width(node.text) + 6;  // "┌─ caption ─┐"
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON: return Width(node.text) + (level == NeedLevel::Whole ? 4 : 2);  // "[ label ]"
        case BS_OWNERDRAW: return natural;
        default: return node.rect.bottom - node.rect.top < 2 * kPixelsPerRow ? Width(node.text) + 4 : natural;  // "[x] label"
      }
    case ControlKind::ComboBox: {
      int widest = 0;
      for (const std::string& item : node.items) widest = std::max(widest, Width(item, false));
      return std::max(natural, widest + 2);  // and its arrow
    }
    case ControlKind::ListView:
      // A list that cannot take the focus cannot scroll its columns into view.
      if (!node.enabled && (node.style & LVS_TYPEMASK) == LVS_REPORT && !node.columns.empty())
        return std::max(natural, ListViewWholeWidth(node) + 2);
      return natural;
    case ControlKind::IpAddress: return kAddressColumns;
    case ControlKind::Animation: return kAnimationCells;
    case ControlKind::Dialog: return 0;
    default: return natural;
  }
}

int NeededRows(const WindowNode& node, int columns, int natural) {
  if (IsDecoration(node)) return 0;
  switch (node.kind) {
    case ControlKind::Static:
      if (StaticType(node) == kEtchedHorz) return 1;
      if (StaticType(node) == kEtchedVert || IsFrameStatic(node)) return 0;
      if (StaticType(node) == SS_BITMAP) return 1;  // its title
      return std::max(1, static_cast<int>(StaticTextLines(node, std::max(columns, 1)).lines.size()));
    case ControlKind::Button: return ButtonType(node) == BS_GROUPBOX ? 2 : 1;
    case ControlKind::Edit: return (node.style & ES_MULTILINE) ? std::clamp(natural, 1, 3) : 1;
    case ControlKind::ListView: {
      bool header = (node.style & LVS_TYPEMASK) == LVS_REPORT && !(node.style & LVS_NOCOLUMNHEADER);
      int rows = static_cast<int>(node.rows.size());
      // A list that cannot take the focus shows all its rows; one that can scrolls.
      int shown = node.enabled ? std::clamp(rows, 2, kListRowsShown) : std::max(rows, 1);
      int framed = ListViewGeometry(node, CellRect{0, 0, columns, natural}).framed ? 2 : 0;
      return std::max(1, std::min(natural, framed + (header ? 1 : 0) + shown));
    }
    case ControlKind::Tab: return 2;
    case ControlKind::Dialog: return 0;
    default: return 1;
  }
}

}  // namespace vek::ui::terminal
