#include "ui/terminal/input_actions.h"

#include "framework/control_defs.h"
#include "framework/message_api.h"
#include "ui/input.h"
#include "ui/terminal/text_cells.h"

namespace vek::ui::terminal {

bool PerformWindowAction(const InputAction& action) {
  using Kind = InputAction::Kind;
  HWND target = action.target;
  switch (action.kind) {
    case Kind::Character:
      if (action.value == VK_BACK) PostMessageA(target, WM_CHAR, VK_BACK, 1);
      else vek::ui::TypeText(target, EncodeUtf8(std::u32string(1, static_cast<char32_t>(action.value))));
      return true;
    case Kind::Key:
      vek::ui::PressKey(target, static_cast<WPARAM>(action.value), action.shift);
      return true;
    case Kind::Click:
      vek::ui::Click(target);
      return true;
    case Kind::Caret:
      vek::ui::SetCaret(target, static_cast<int>(action.value));
      return true;
    case Kind::Select:
      vek::ui::Select(target, static_cast<int>(action.value));
      return true;
    case Kind::Spin:
      vek::ui::Spin(target, static_cast<int>(action.value));
      return true;
    case Kind::Focus:
      vek::ui::Focus(target);
      return true;
    case Kind::MouseClick: {
      auto at = static_cast<LPARAM>(MAKELONG(static_cast<WORD>(action.point.x), static_cast<WORD>(action.point.y)));
      vek::ui::Focus(target);
      PostMessageA(target, WM_LBUTTONDOWN, 0x0001 /* MK_LBUTTON */, at);
      PostMessageA(target, WM_LBUTTONUP, 0, at);
      return true;
    }
    case Kind::OpenDropDown:
    case Kind::MoveDropDown:
    case Kind::CloseDropDown:
    case Kind::Redraw:
    case Kind::ScrollColumns:
    case Kind::ScrollPage:
      return false;
  }
  return false;
}

}  // namespace vek::ui::terminal
