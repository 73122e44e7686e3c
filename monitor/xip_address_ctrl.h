// XIPAddressCtrl: the monitor's IPv4 address control. One framed box with four
// fields (XIPAddressEdit, ids 1 to 4) separated by painted dots. A dialog
// template names its window class, "XIPAddressCtrl", which is registered while
// such a dialog exists; the dialog attaches the control to the template's window
// and exchanges its value as one DWORD (the first field in the lowest byte)
// through DDX_IPAddress.
#pragma once

#include "framework/ddx.h"
#include "framework/wnd.h"
#include "xip_address_edit.h"

class XIPAddressCtrl : public CWnd {
  DECLARE_DYNAMIC(XIPAddressCtrl)

 public:
  XIPAddressCtrl();

  static BOOL RegisterWndClass();
  static void UnregisterWndClass();
  // A control of its own (not from a template), in a class of the framework's.
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  // The four values as the bytes of out[0], field 1 lowest; out[1] = 0. A field
  // that is empty or out of range gives FALSE with out[1] = its number and the
  // focus on it, and with showError the message box that says what is wrong.
  BOOL GetAddress(BOOL showError, DWORD out[2]);
  BOOL SetAddress(const BYTE address[4]);
  // -1 and FALSE for an empty field; FALSE for one that is not a number of 0..255.
  BOOL GetFieldValue(XIPAddressEdit* field, int* value);
  // Field 1 to 4, NULL for any other number.
  XIPAddressEdit* GetField(int index);
  // The message box that tells a field's range, for a value out of it typed or
  // found on saving.
  void ShowRangeMessage();
  // Moves the focus for a key typed in a field: between the fields, or to the
  // dialog's tab stop before or after the control.
  void MoveFocusByKey(UINT key, XIPAddressEdit* field);

  XIPAddressEdit m_Field[4];
  RECT m_FieldRect[4];
  RECT m_DotRect[3];
  BOOL m_bLayoutDone;
  BOOL m_bEnabled;

 protected:
  void PreSubclassWindow() override;
  int OnCreate(LPCREATESTRUCT create);
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* oldWindow);
  void OnEnable(BOOL enable);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  void MakeFields();
  void Layout();
  void FocusField(XIPAddressEdit* field);
};

void DDX_IPAddress(CDataExchange* exchange, XIPAddressCtrl& control, DWORD& value);

// The window class the templates name.
inline constexpr char16_t kIPAddressClassName[] = u"XIPAddressCtrl";
