// What the windows of the user-interface thread show, read once per screen update
// into plain data: the stack of top-level windows (and popups their owners hold)
// with their visible controls and the state each control kind shows. The renderer
// works on this, so it is testable with hand-made nodes.
#pragma once

#include <string>
#include <vector>

#include "framework/win_types.h"

namespace vek::ui::terminal {

enum class ControlKind { Static, Edit, Button, ComboBox, ListView, Progress, Animation, Tab, UpDown, IpAddress, Dialog, Other };

ControlKind KindOfClass(const std::string& className);

struct ListColumn {
  std::string text;
  int widthPx = 0;
};

struct ListRow {
  std::vector<std::string> texts;  // sub-item 0 first
  bool selected = false;
  bool focused = false;
  bool ownColour = false;  // an owner-drawn row whose text its owner drew in a colour of its own
};

// A drawing call of a window's own paint, reduced to what cells can show.
struct DrawnShape {
  enum class Kind { Text, Frame, Line, Picture } kind = Kind::Text;
  RECT rect{};       // client pixels; for text a point when it has no box
  RECT clip{};       // empty: none
  std::string text;  // the text, or a picture's title
  UINT bitmapId = 0; // a picture's bitmap resource
};

struct WindowNode {
  HWND hwnd = nullptr;
  int id = 0;  // the control id
  ControlKind kind = ControlKind::Other;
  std::string text;  // UTF-8
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};  // pixels, relative to the parent's client area
  bool enabled = true;
  bool focused = false;
  bool closesOnEscape = false;  // a top-level window that Esc closes

  int check = 0;             // buttons
  std::string pictureTitle;  // a static's bitmap: its title, and its resource
  UINT pictureId = 0;
  char32_t passwordChar = 0; // edits: 0 when the text shows plainly
  int selStart = 0;          // edits, address fields: the selection, in UTF-16 units; selEnd is the caret
  int selEnd = 0;
  std::vector<std::string> items;  // combo items, tab labels
  int selection = -1;
  std::vector<ListColumn> columns;  // list view
  std::vector<ListRow> rows;
  int low = 0, high = 100, position = 0;  // progress bar
  bool playing = false;                   // animation
  HWND buddy = nullptr;                   // up-down
  std::vector<DrawnShape> drawing;        // dialogs and windows of other classes

  std::vector<WindowNode> children;  // visible child windows, in creation order
};

// The visible top-level windows of a thread and the visible popups they own, bottom
// first; each with its visible children. `focus` is marked.
std::vector<WindowNode> SnapshotThreadWindows(DWORD threadId, HWND focus);
// One window and its visible children (popups it owns left out).
WindowNode SnapshotWindow(HWND window, HWND focus);

}  // namespace vek::ui::terminal
