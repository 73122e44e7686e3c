// The system's IP address control: four fields of 0 to 255, each possibly blank.
// Dotted text goes in through WM_SETTEXT; IPM_GETADDRESS gives the four fields.
// EM_GETSEL tells the front ends where in the dotted text the user types: the
// field being edited selected while typing replaces it (as on coming into the
// control), else the caret after the digits typed.
#pragma once

#include <array>
#include <utility>

#include "framework/controls/control_support.h"

namespace vek::framework {

class IpAddressControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Changed(HWND window);
  std::string Dotted() const;
  void TypeByUser(HWND window, char16_t c);
  // [start, end) of the current field's text in the dotted text.
  std::pair<int, int> CurrentField() const;

  std::array<int, 4> m_fields{-1, -1, -1, -1};  // -1: blank
  int m_current = 0;
  int m_digits = 0;  // digits typed into the current field
};

}  // namespace vek::framework
