// Edit: one line of text with a selection, a limit for what the user types, and the
// read-only, password, upper-case and number styles. EN_CHANGE follows every change
// of the text, by the user or by code.
#pragma once

#include "framework/controls/control_support.h"

namespace vek::framework {

class EditControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Puts text at the selection as the user would: within the limit and the styles.
  void InsertByUser(HWND window, std::u16string typed);
  void Replace(HWND window, std::u16string text, std::size_t caret);
  std::u16string Wide(HWND window) const;

  std::size_t m_limit = 30000;
  std::size_t m_selStart = 0;
  std::size_t m_selEnd = 0;
  char16_t m_passwordChar = 0;
  bool m_passwordSet = false;
  bool m_modified = false;
};

}  // namespace vek::framework
