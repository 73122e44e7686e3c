// Where the parts of a control fall within its cells: the rows of a list view, the
// labels of a tab row, the arrows of an up-down, the visible part of an edit. The
// painter and the hit-testing of mouse clicks both ask here, so they agree.
#pragma once

#include <string>
#include <vector>

#include "ui/terminal/cell_grid.h"
#include "ui/terminal/text_cells.h"
#include "ui/terminal/window_snapshot.h"

namespace vek::ui::terminal {

struct ListViewArea {
  bool framed = false;
  int headerY = -1;  // -1: no header row
  CellRect body;     // the rows
};
ListViewArea ListViewGeometry(const WindowNode& list, const CellRect& rect);
// The row that keeps the focused (else the first selected) row in view.
int ListViewScroll(const WindowNode& list, const CellRect& rect, int previous);
// The row shown at a screen line, -1 when none.
int ListViewRowAt(const WindowNode& list, const CellRect& rect, int scroll, int y);

// Tab labels as " text " cells, one separator apart; a label that does not fit
// gets what is left of the row (possibly nothing).
struct Span {
  int x = 0;
  int width = 0;
};
std::vector<Span> TabSpans(const std::vector<std::string>& labels, const CellRect& rect);

struct UpDownParts {
  CellRect up;
  CellRect down;
};
UpDownParts UpDownGeometry(const CellRect& rect);

// The cells an edit writes its text in: a single-line edit uses one row of its
// rectangle, a multi-line one all of it. The edit functions below take this area.
CellRect EditTextArea(const WindowNode& edit, const CellRect& rect);
// What an edit shows: its text, masked for a password.
std::u32string EditDisplayText(const WindowNode& edit);
bool IsMultiline(const WindowNode& edit);
// Single line: the first character shown, keeping the caret in view. Multi-line:
// the first line shown.
int EditScroll(const WindowNode& edit, const CellRect& rect, int previous);
// Single line: the cells before the text of a centred or right-aligned edit whose
// text fits (with a cell for the caret after it); 0 otherwise.
int EditIndent(const WindowNode& edit, const CellRect& rect, int scroll);
// The caret's cell relative to the text area.
CellPoint EditCaretCell(const WindowNode& edit, const CellRect& rect, int scroll);
// The caret position (UTF-16 units) a click at a cell relative to the text area gives.
int EditPositionAt(const WindowNode& edit, const CellRect& rect, int scroll, CellPoint at);

// A combo box shows one line, whatever its drop-down height.
CellRect ComboFieldRect(const CellRect& rect);

// The text of a static as it shows at a width: its '&' taken out (unless the
// static says not), and in a wrapped text each run of padding spaces as one; the
// lines as [begin, end) ranges into the label's text.
struct StaticText {
  Label label;
  std::vector<std::pair<std::size_t, std::size_t>> lines;
};
StaticText StaticTextLines(const WindowNode& node, int width);

}  // namespace vek::ui::terminal
