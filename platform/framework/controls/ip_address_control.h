// The system's IP address control: four fields of 0 to 255, each possibly blank.
// Dotted text goes in through WM_SETTEXT; IPM_GETADDRESS gives the four fields.
#pragma once

#include <array>

#include "framework/controls/control_support.h"

namespace vek::framework {

class IpAddressControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Changed(HWND window);
  std::string Dotted() const;
  void TypeByUser(HWND window, char16_t c);

  std::array<int, 4> m_fields{-1, -1, -1, -1};  // -1: blank
  int m_current = 0;
  int m_digits = 0;  // digits typed into the current field
};

}  // namespace vek::framework
