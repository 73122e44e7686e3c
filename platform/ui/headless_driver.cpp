#include "ui/headless_driver.h"

#include <stdexcept>
#include <chrono>
#include <thread>

#include "framework/control_defs.h"
#include "framework/message_api.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "kernel/clock.h"
#include "ui/input.h"

namespace vek::ui {
namespace {

std::vector<HWND> Descendants(HWND window) { return framework::DescendantWindows(window); }

std::string ClassOf(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

HWND HeadlessDriver::ActiveWindow() const {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM out) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) *reinterpret_cast<HWND*>(out) = window;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND HeadlessDriver::ControlIn(HWND window, int id) const {
  // The nearest to the window: a control's own parts (the fields of an address
  // control) may reuse the ids of the dialog's buttons.
  HWND found = nullptr;
  int foundDepth = 0;
  bool foundVisible = false;
  for (HWND child : Descendants(window)) {
    if (GetDlgCtrlID(child) != id) continue;
    int depth = 0;
    for (HWND up = GetParent(child); up && up != window; up = GetParent(up)) ++depth;
    bool visible = IsWindowVisible(child) != FALSE;
    bool better = !found || (visible && !foundVisible) || (visible == foundVisible && depth < foundDepth);
    if (better) {
      found = child;
      foundDepth = depth;
      foundVisible = visible;
    }
  }
  return found;
}

HWND HeadlessDriver::Control(int id) const { return ControlIn(ActiveWindow(), id); }

HWND HeadlessDriver::Require(int id) const { return RequireIn(ActiveWindow(), id); }

HWND HeadlessDriver::RequireIn(HWND window, int id) const {
  HWND control = ControlIn(window, id);
  if (!control) throw std::runtime_error("no control " + std::to_string(id) + " in the active window");
  return control;
}

bool HeadlessDriver::Settle() const {
  HWND window = ActiveWindow();
  return window ? vek::ui::Settle(window) : true;
}

// The window acted on is the one waited for, not the one on top afterwards: an
// action that opens or ends a dialog changes that while its thread is still at
// work, with no window on top for a moment.
void HeadlessDriver::Act(int id, const std::function<void(HWND)>& action) {
  HWND window = ActiveWindow();
  action(RequireIn(window, id));
  vek::ui::Settle(window);
}

void HeadlessDriver::Click(int id) {
  Act(id, [](HWND control) { vek::ui::Click(control); });
}

void HeadlessDriver::Type(int id, const std::string& text) {
  Act(id, [&](HWND control) { vek::ui::TypeText(control, text); });
}

void HeadlessDriver::Paste(int id, const std::string& text) {
  Act(id, [&](HWND control) { vek::ui::Paste(control, text); });
}

void HeadlessDriver::Key(WPARAM virtualKey, bool shift) {
  HWND window = ActiveWindow();
  if (!window) return;
  // The focus is the window thread's own; it tells.
  HWND focus = reinterpret_cast<HWND>(SendMessageA(window, framework::VEK_UM_GETFOCUS, 0, 0));
  vek::ui::PressKey(focus ? focus : window, virtualKey, shift);
  vek::ui::Settle(window);
}

void HeadlessDriver::Select(int id, int index) {
  Act(id, [&](HWND control) { vek::ui::Select(control, index); });
}

void HeadlessDriver::Spin(int id, int delta) {
  Act(id, [&](HWND control) { vek::ui::Spin(control, delta); });
}

void HeadlessDriver::Back() { Click(ID_WIZBACK); }
void HeadlessDriver::Next() { Click(ID_WIZNEXT); }
void HeadlessDriver::Finish() { Click(ID_WIZFINISH); }
void HeadlessDriver::Cancel() { Click(IDCANCEL); }

std::string HeadlessDriver::Text(int id) const { return TextOf(Require(id)); }
bool HeadlessDriver::Enabled(int id) const { return IsWindowEnabled(Require(id)) != FALSE; }
bool HeadlessDriver::Visible(int id) const { return IsWindowVisible(Require(id)) != FALSE; }
int HeadlessDriver::Check(int id) const { return static_cast<int>(SendMessageA(Require(id), BM_GETCHECK, 0, 0)); }

int HeadlessDriver::Selection(int id) const {
  HWND control = Require(id);
  std::string kind = ClassOf(control);
  if (kind == WC_COMBOBOX) return static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
  if (kind == WC_TABCONTROL) return static_cast<int>(SendMessageA(control, TCM_GETCURSEL, 0, 0));
  if (kind == WC_LISTVIEW)
    return static_cast<int>(SendMessageA(control, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return -1;
}

std::vector<std::string> HeadlessDriver::Items(int id) const {
  HWND control = Require(id);
  std::vector<std::string> items;
  std::string kind = ClassOf(control);
  if (kind == WC_COMBOBOX) {
    auto count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      auto length = static_cast<int>(SendMessageA(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
      std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
      SendMessageA(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<std::size_t>(std::max(length, 0)));
      items.push_back(text);
    }
  } else if (kind == WC_LISTVIEW) {
    auto rows = static_cast<int>(SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
    int columns = 0;
    for (;; ++columns) {
      LVCOLUMNA column{};
      column.mask = LVCF_WIDTH;
      if (!SendMessageA(control, LVM_GETCOLUMNA, static_cast<WPARAM>(columns), reinterpret_cast<LPARAM>(&column))) break;
    }
    for (int row = 0; row < rows; ++row) {
      std::string line;
      for (int column = 0; column < std::max(columns, 1); ++column) {
        char buffer[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        SendMessageA(control, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        if (column) line += '|';
        line += buffer;
      }
      items.push_back(line);
    }
  }
  return items;
}

int HeadlessDriver::ProgressPosition(int id) const { return static_cast<int>(SendMessageA(Require(id), PBM_GETPOS, 0, 0)); }

std::string HeadlessDriver::ActiveCaption() const {
  HWND window = ActiveWindow();
  return window ? TextOf(window) : std::string();
}

std::vector<framework::DrawCommand> HeadlessDriver::Drawing(HWND window) const {
  return framework::RecordedDrawing(window);
}

std::vector<framework::DrawCommand> HeadlessDriver::Paint(HWND window) const {
  // Sent, not left to UpdateWindow: a paint the owner thread has already taken
  // from its queue may still be drawing, and a sent paint runs after it.
  InvalidateRect(window, nullptr, TRUE);
  SendMessageA(window, WM_PAINT, 0, 0);
  return framework::RecordedDrawing(window);
}

void HeadlessDriver::AnswerNextMessageBox(int answer) const { framework::QueueMessageBoxAnswer(answer); }

std::vector<framework::MessageBoxRecord> HeadlessDriver::MessageBoxes() const { return framework::MessageBoxLog(); }

bool HeadlessDriver::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  // Real time, also while a test runs the user interface on a virtual clock.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace vek::ui
