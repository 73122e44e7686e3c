#include "ui/terminal/window_snapshot.h"

#include <algorithm>

#include "framework/control_defs.h"
#include "framework/controls/list_view_control.h"
#include "framework/dialog_template.h"
#include "framework/gdi.h"
#include "framework/message_api.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "kernel/strings.h"

namespace vek::ui::terminal {
namespace {

using vek::framework::DrawCommand;

// More rows than any screen shows; a longer list is cut here.
constexpr int kMaxListRows = 5000;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
  int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  return text;
}

std::vector<HWND> DirectChildren(HWND window) { return vek::framework::ChildWindows(window); }

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
bool IsPopup(HWND window) { return !(StyleOf(window) & WS_CHILD); }

std::string PictureTitle(UINT bitmapId) {
  const auto* bitmap = bitmapId ? vek::framework::FindBitmap(bitmapId) : nullptr;
  return bitmap && bitmap->title ? bitmap->title : "";
}

std::string ComboItem(HWND combo, int index) {
  auto length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  auto copied = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

std::string ListText(HWND list, int row, int column) {
  char buffer[512] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::string TabLabel(HWND tab, int index) {
  char buffer[256] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(tab, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

// The rows of an owner-drawn list whose owner drew their text in a colour other
// than the system's (a row it marks, as a late print server in red).
void MarkOwnColours(HWND list, WindowNode& node) {
  const COLORREF system[] = {0, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
  using vek::framework::ListViewControl;
  for (const DrawCommand& command : vek::framework::RecordedDrawing(list)) {
    if (command.kind != DrawCommand::Kind::Text || command.text.empty()) continue;
    if (std::find(std::begin(system), std::end(system), command.color) != std::end(system)) continue;
    int row = (static_cast<int>(command.rect.top) - ListViewControl::kHeaderHeight) / ListViewControl::kRowHeight;
    if (row >= 0 && row < static_cast<int>(node.rows.size())) node.rows[static_cast<std::size_t>(row)].ownColour = true;
  }
}

void ReadListView(HWND list, WindowNode& node) {
  for (int c = 0;; ++c) {
    char buffer[256] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = buffer;
    column.cchTextMax = sizeof buffer;
    if (!SendMessageA(list, LVM_GETCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column))) break;
    node.columns.push_back(ListColumn{buffer, column.cx});
  }
  int count = std::min(static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)), kMaxListRows);
  std::size_t columns = std::max<std::size_t>(node.columns.size(), 1);
  for (int r = 0; r < count; ++r) {
    ListRow row;
    for (std::size_t c = 0; c < columns; ++c) row.texts.push_back(ListText(list, r, static_cast<int>(c)));
    auto state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED | LVIS_FOCUSED));
    row.selected = (state & LVIS_SELECTED) != 0;
    row.focused = (state & LVIS_FOCUSED) != 0;
    node.rows.push_back(std::move(row));
  }
  if (node.style & LVS_OWNERDRAWFIXED) MarkOwnColours(list, node);
}

void ReadDrawing(HWND window, WindowNode& node) {
  for (const DrawCommand& command : vek::framework::RecordedDrawing(window)) {
    DrawnShape shape;
    shape.rect = command.rect;
    shape.clip = command.clip;
    switch (command.kind) {
      case DrawCommand::Kind::Text:
        shape.kind = DrawnShape::Kind::Text;
        shape.text = command.text;
        break;
      case DrawCommand::Kind::FrameRect:
      case DrawCommand::Kind::Rectangle:
        shape.kind = DrawnShape::Kind::Frame;
        break;
      case DrawCommand::Kind::Line:
        shape.kind = DrawnShape::Kind::Line;
        break;
      case DrawCommand::Kind::BitBlt:
      case DrawCommand::Kind::StretchBlt:
        if (command.bitmapId == 0) continue;  // a copy between memory contexts shows nothing
        shape.kind = DrawnShape::Kind::Picture;
        shape.text = PictureTitle(command.bitmapId);
        shape.bitmapId = command.bitmapId;
        break;
      case DrawCommand::Kind::FillRect:
        continue;  // backgrounds: cells have none
    }
    node.drawing.push_back(std::move(shape));
  }
}

// The state each kind of control shows.
void ReadControl(HWND window, WindowNode& node) {
  switch (node.kind) {
    case ControlKind::Static:
      if ((node.style & SS_TYPEMASK) == SS_BITMAP) {
        auto image = reinterpret_cast<HBITMAP>(SendMessageA(window, STM_GETIMAGE, IMAGE_BITMAP, 0));
        node.pictureId = vek::framework::BitmapResourceId(image);
        node.pictureTitle = PictureTitle(node.pictureId);
      }
      break;
    case ControlKind::Button:
      node.check = static_cast<int>(SendMessageA(window, BM_GETCHECK, 0, 0));
      if ((node.style & BS_TYPEMASK) == BS_OWNERDRAW) ReadDrawing(window, node);
      break;
    case ControlKind::Edit:
    case ControlKind::IpAddress: {
      DWORD start = 0, end = 0;
      SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      node.selStart = static_cast<int>(start);
      node.selEnd = static_cast<int>(end);
      if (node.kind == ControlKind::Edit)
        node.passwordChar = static_cast<char32_t>(SendMessageA(window, EM_GETPASSWORDCHAR, 0, 0));
      break;
    }
    case ControlKind::ComboBox: {
      auto count = SendMessageA(window, CB_GETCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) node.items.push_back(ComboItem(window, static_cast<int>(i)));
      node.selection = static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0));
      break;
    }
    case ControlKind::ListView:
      ReadListView(window, node);
      break;
    case ControlKind::Progress:
      node.low = static_cast<int>(SendMessageA(window, PBM_GETRANGE, TRUE, 0));
      node.high = static_cast<int>(SendMessageA(window, PBM_GETRANGE, FALSE, 0));
      node.position = static_cast<int>(SendMessageA(window, PBM_GETPOS, 0, 0));
      break;
    case ControlKind::Animation:
      node.playing = SendMessageA(window, ACM_ISPLAYING, 0, 0) != 0;
      break;
    case ControlKind::Tab: {
      auto count = SendMessageA(window, TCM_GETITEMCOUNT, 0, 0);
      for (LRESULT i = 0; i < count; ++i) node.items.push_back(TabLabel(window, static_cast<int>(i)));
      node.selection = static_cast<int>(SendMessageA(window, TCM_GETCURSEL, 0, 0));
      break;
    }
    case ControlKind::UpDown:
      node.buddy = reinterpret_cast<HWND>(SendMessageA(window, UDM_GETBUDDY, 0, 0));
      break;
    case ControlKind::Dialog:
    case ControlKind::Other:
      ReadDrawing(window, node);
      break;
  }
}

void CollectStack(HWND window, DWORD threadId, HWND focus, std::vector<WindowNode>& stack);

// Popups owned by the window or by any control in it stand above it.
void CollectOwned(HWND window, DWORD threadId, HWND focus, std::vector<WindowNode>& stack) {
  for (HWND child : DirectChildren(window)) {
    if (IsPopup(child)) CollectStack(child, threadId, focus, stack);
    else CollectOwned(child, threadId, focus, stack);
  }
}

void CollectStack(HWND window, DWORD threadId, HWND focus, std::vector<WindowNode>& stack) {
  if (IsWindowVisible(window) && GetWindowThreadProcessId(window, nullptr) == threadId)
    stack.push_back(SnapshotWindow(window, focus));
  CollectOwned(window, threadId, focus, stack);
}

}  // namespace

ControlKind KindOfClass(const std::string& className) {
  struct Entry {
    const char* name;
    ControlKind kind;
  };
  static const Entry kinds[] = {
      {WC_STATIC, ControlKind::Static},         {WC_EDIT, ControlKind::Edit},
      {WC_BUTTON, ControlKind::Button},         {WC_COMBOBOX, ControlKind::ComboBox},
      {WC_LISTVIEW, ControlKind::ListView},     {PROGRESS_CLASS, ControlKind::Progress},
      {ANIMATE_CLASS, ControlKind::Animation},  {WC_TABCONTROL, ControlKind::Tab},
      {UPDOWN_CLASS, ControlKind::UpDown},      {WC_IPADDRESS, ControlKind::IpAddress},
      {WC_DIALOG, ControlKind::Dialog},
  };
  for (const Entry& entry : kinds)
    if (vek::CompareNoCase(className, entry.name) == 0) return entry.kind;
  return ControlKind::Other;
}

WindowNode SnapshotWindow(HWND window, HWND focus) {
  WindowNode node;
  node.hwnd = window;
  node.id = (StyleOf(window) & WS_CHILD) ? GetDlgCtrlID(window) : 0;
  node.kind = KindOfClass(ClassOf(window));
  node.text = TextOf(window);
  node.style = StyleOf(window);
  node.exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  GetWindowRect(window, &node.rect);
  node.enabled = IsWindowEnabled(window) != FALSE;
  node.focused = window == focus;
  if (!(node.style & WS_CHILD))
    node.closesOnEscape = SendMessageA(window, vek::framework::VEK_UM_CLOSESONESCAPE, 0, 0) != FALSE;
  ReadControl(window, node);
  for (HWND child : DirectChildren(window)) {
    DWORD style = StyleOf(child);
    if ((style & WS_CHILD) && (style & WS_VISIBLE)) node.children.push_back(SnapshotWindow(child, focus));
  }
  return node;
}

std::vector<WindowNode> SnapshotThreadWindows(DWORD threadId, HWND focus) {
  std::vector<HWND> roots;
  EnumWindows(
      [](HWND window, LPARAM out) {
        reinterpret_cast<std::vector<HWND>*>(out)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&roots));
  std::vector<WindowNode> stack;
  for (HWND root : roots) CollectStack(root, threadId, focus, stack);
  return stack;
}

}  // namespace vek::ui::terminal
