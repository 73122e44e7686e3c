// Data exchange between a dialog's controls and its members, with validation. A
// failed validation shows its message, puts the focus back on the field and makes
// UpdateData return FALSE; the exchanges after it in the same pass do nothing.
#pragma once

#include "framework/cstring.h"
#include "framework/wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  bool m_bEditLastControl = false;

  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Marks the exchange failed and returns the focus to the last control.
  void Fail();
  bool Failed() const { return m_failed; }

 private:
  bool m_failed = false;
};

void DDX_Text(CDataExchange* exchange, int id, CStringA& value);
void DDX_Text(CDataExchange* exchange, int id, CStringW& value);
void DDX_Text(CDataExchange* exchange, int id, int& value);
void DDX_Text(CDataExchange* exchange, int id, UINT& value);
void DDX_Text(CDataExchange* exchange, int id, long& value);
void DDX_Text(CDataExchange* exchange, int id, BYTE& value);
void DDX_Radio(CDataExchange* exchange, int firstId, int& index);
void DDX_Check(CDataExchange* exchange, int id, int& value);
void DDX_CBIndex(CDataExchange* exchange, int id, int& index);
void DDX_CBString(CDataExchange* exchange, int id, CStringA& value);
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

void DDV_MaxChars(CDataExchange* exchange, const CStringA& value, int maxChars);
void DDV_MaxChars(CDataExchange* exchange, const CStringW& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* exchange, UINT value, UINT minimum, UINT maximum);
