#include "xip_address_edit.h"

#include <cwchar>

#include "framework/keyboard.h"
#include "framework/message_map_window.h"
#include "xip_address_ctrl.h"

BEGIN_MESSAGE_MAP(XIPAddressEdit, CEdit)
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
END_MESSAGE_MAP()

namespace {

constexpr UINT kSimpleBeep = 0xFFFFFFFF;
constexpr int kFieldDigits = 3;

bool IsDigit(UINT c) { return c >= '0' && c <= '9'; }

}  // namespace

XIPAddressEdit::XIPAddressEdit() : m_bDigitTyped(FALSE) {}

XIPAddressCtrl* XIPAddressEdit::Control() const {
  CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
  return parent && parent->IsKindOf(RUNTIME_CLASS(XIPAddressCtrl)) ? static_cast<XIPAddressCtrl*>(parent) : nullptr;
}

int XIPAddressEdit::CaretIndex() {
  int start = 0, end = 0;
  GetSel(start, end);
  return end;
}

void XIPAddressEdit::OnChar(UINT c, UINT, UINT) {
  XIPAddressCtrl* control = Control();
  if (c == '.') {
    if (m_bDigitTyped && control) control->MoveFocusByKey('.', this);
    return;
  }
  if (!IsDigit(c) && c >= 0x20) {
    MessageBeep(kSimpleBeep);
    return;
  }
  // Backspace reaches a field as the character alone: in an empty field it goes
  // back to the field before, as the key does.
  if (c == VK_BACK && GetWindowTextLength() == 0) {
    if (control) control->MoveFocusByKey(static_cast<UINT>(VK_BACK), this);
    return;
  }
  m_bDigitTyped = TRUE;
  Default();
  CStringW text;
  GetWindowText(text);
  int value = 0;
  if (control && !control->GetFieldValue(this, &value) && value != -1) {
    // Out of range (or, pasted, not a number): selected for replacement, and
    // the user told the range at once.
    m_bDigitTyped = FALSE;
    SetSel(0, -1);
    MessageBeep(kSimpleBeep);
    control->ShowRangeMessage();
    return;
  }
  if (text.GetLength() == kFieldDigits && control) control->MoveFocusByKey('.', this);
}

void XIPAddressEdit::OnKeyDown(UINT key, UINT, UINT) {
  XIPAddressCtrl* control = Control();
  bool move = false;
  switch (key) {
    case VK_BACK: move = GetWindowTextLength() == 0; break;
    case VK_LEFT: move = CaretIndex() == 0; break;
    case VK_RIGHT: move = CaretIndex() == GetWindowTextLength(); break;
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: move = true; break;
    default: break;
  }
  if (move && control) control->MoveFocusByKey(key, this);
  else Default();
}

void XIPAddressEdit::OnSetFocus(CWnd*) {
  Default();
  SetSel(0, -1);
  SendMessage(EM_SCROLLCARET);
}
