// Button: push button, check box, radio button or group box. BN_CLICKED comes from
// the user's clicks (and BM_CLICK, which stands for one), never from BM_SETCHECK.
#pragma once

#include <vector>

#include "framework/controls/control_support.h"

namespace vek::framework {

class ButtonControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ClickByUser(HWND window);
  // Unchecks the other radio buttons of the window's group.
  static void UncheckGroupSiblings(HWND window);

  WPARAM m_check = BST_UNCHECKED;
  HBITMAP m_image = nullptr;
};

bool IsRadioButton(HWND window);
// The controls of the group a control belongs to: from the control with WS_GROUP
// at or before it up to the next one with WS_GROUP, among its siblings.
std::vector<HWND> ControlGroup(HWND member);
// Where the focus goes for a tab stop: into a group of radio buttons at the one
// checked, from which the arrow keys move on; else (none checked, not a radio
// button) the stop itself.
HWND CheckedRadioOf(HWND stop);
bool IsCheckBox(HWND window);
bool IsPushButton(HWND window);

}  // namespace vek::framework
