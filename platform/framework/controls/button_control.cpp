#include "framework/controls/button_control.h"

#include <utility>
#include <vector>

namespace vek::framework {
namespace {

DWORD ButtonKind(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & BS_TYPEMASK; }

bool IsButtonClass(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string_view(name) == "Button";
}

// The children of the window's parent, in order.
std::vector<HWND> Siblings(HWND window) { return ChildWindows(GetParent(window)); }

}  // namespace

bool IsRadioButton(HWND window) {
  DWORD kind = ButtonKind(window);
  return IsButtonClass(window) && (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
}

bool IsCheckBox(HWND window) {
  DWORD kind = ButtonKind(window);
  return IsButtonClass(window) &&
         (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE);
}

bool IsPushButton(HWND window) {
  DWORD kind = ButtonKind(window);
  return IsButtonClass(window) && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON || kind == BS_OWNERDRAW);
}

std::vector<HWND> ControlGroup(HWND member) {
  std::vector<HWND> siblings = Siblings(member);
  std::size_t at = 0;
  while (at < siblings.size() && siblings[at] != member) ++at;
  if (at == siblings.size()) return {};
  std::size_t first = at;
  while (first > 0 && !(GetWindowLongA(siblings[first], GWL_STYLE) & WS_GROUP)) --first;
  std::size_t end = at + 1;
  while (end < siblings.size() && !(GetWindowLongA(siblings[end], GWL_STYLE) & WS_GROUP)) ++end;
  return std::vector<HWND>(siblings.begin() + static_cast<std::ptrdiff_t>(first),
                           siblings.begin() + static_cast<std::ptrdiff_t>(end));
}

HWND CheckedRadioOf(HWND stop) {
  if (!IsRadioButton(stop)) return stop;
  for (HWND control : ControlGroup(stop))
    if (IsRadioButton(control) && IsWindowEnabled(control) && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) &&
        SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
      return control;
  return stop;
}

void ButtonControl::UncheckGroupSiblings(HWND window) {
  for (HWND other : ControlGroup(window))
    if (other != window && IsRadioButton(other)) SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
}

void ButtonControl::ClickByUser(HWND window) {
  if (!IsWindowEnabled(window)) return;
  switch (ButtonKind(window)) {
    case BS_AUTOCHECKBOX:
      m_check = m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      break;
    case BS_AUTO3STATE:
      m_check = (m_check + 1) % 3;
      break;
    case BS_AUTORADIOBUTTON:
      m_check = BST_CHECKED;
      UncheckGroupSiblings(window);
      break;
    case BS_GROUPBOX:
      return;
    default:
      break;
  }
  NotifyCommand(window, BN_CLICKED);
}

LRESULT ButtonControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK:
      return static_cast<LRESULT>(m_check);
    case BM_SETCHECK:
      m_check = wParam > BST_INDETERMINATE ? BST_CHECKED : wParam;
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(m_check);
    case BM_SETSTYLE: {
      DWORD style = Style(window);
      SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & ~0xFFFFu) | (wParam & 0xFFFF)));
      return 0;
    }
    case BM_SETIMAGE:
      return reinterpret_cast<LRESULT>(std::exchange(m_image, reinterpret_cast<HBITMAP>(lParam)));
    case BM_CLICK:
    case VEK_UM_CLICK:
      ClickByUser(window);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) ClickByUser(window);
      return 0;
    case WM_GETDLGCODE: {
      DWORD kind = ButtonKind(window);
      if (kind == BS_DEFPUSHBUTTON) return 0x0010;  // DLGC_DEFPUSHBUTTON
      if (kind == BS_PUSHBUTTON) return 0x0020;     // DLGC_UNDEFPUSHBUTTON
      if (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON) return 0x0040;  // DLGC_RADIOBUTTON
      return 0x2000;                                                            // DLGC_BUTTON
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      DWORD kind = ButtonKind(window);
      bool flat = kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON && kind != BS_OWNERDRAW;
      AskColours(window, dc, flat ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
