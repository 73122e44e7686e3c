// XIPAddressEdit: one of the four fields of XIPAddressCtrl. Digits and control
// characters go in; a value above 255 is selected with a beep and the range
// message; the third digit,
// or a '.' after a digit, moves on to the next field; the arrows, Backspace in
// an empty field, Tab and Enter move between the fields and out of the control.
#pragma once

#include "framework/controls.h"

class XIPAddressCtrl;

class XIPAddressEdit : public CEdit {
 public:
  XIPAddressEdit();

  // A digit or a control character has been typed: a '.' then moves on.
  BOOL m_bDigitTyped;

 protected:
  void OnChar(UINT c, UINT repeats, UINT flags);
  void OnKeyDown(UINT key, UINT repeats, UINT flags);
  void OnSetFocus(CWnd* oldWindow);
  DECLARE_MESSAGE_MAP()

 private:
  XIPAddressCtrl* Control() const;
  // The character index of the caret.
  int CaretIndex();
};
