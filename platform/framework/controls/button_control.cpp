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
std::vector<HWND> Siblings(HWND window) {
  std::vector<HWND> siblings;
  HWND parent = GetParent(window);
  if (!parent) return siblings;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&siblings));
  // Only direct children count.
  std::erase_if(siblings, [&](HWND child) { return GetParent(child) != parent; });
  return siblings;
}

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

void ButtonControl::UncheckGroupSiblings(HWND window) {
  // A group runs from a control with WS_GROUP up to the next one with WS_GROUP.
  std::vector<HWND> siblings = Siblings(window);
  std::size_t self = 0;
  while (self < siblings.size() && siblings[self] != window) ++self;
  if (self == siblings.size()) return;
  std::size_t first = self;
  while (first > 0 && !(GetWindowLongA(siblings[first], GWL_STYLE) & WS_GROUP)) --first;
  for (std::size_t i = first; i < siblings.size(); ++i) {
    if (i > first && (GetWindowLongA(siblings[i], GWL_STYLE) & WS_GROUP)) break;
    if (siblings[i] != window && IsRadioButton(siblings[i])) SendMessageA(siblings[i], BM_SETCHECK, BST_UNCHECKED, 0);
  }
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
