#include "framework/ddx.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include "framework/control_defs.h"
#include "framework/controls/button_control.h"
#include "framework/message_box.h"

HWND CDataExchange::PrepareCtrl(int id) {
  HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  m_hWndLastControl = control;
  m_bEditLastControl = false;
  return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND control = PrepareCtrl(id);
  m_bEditLastControl = true;
  return control;
}

void CDataExchange::Fail() {
  m_failed = true;
  if (!m_bSaveAndValidate || m_hWndLastControl == nullptr) return;
  ::SetFocus(m_hWndLastControl);
  if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
}

namespace {

void FailWith(CDataExchange* exchange, const std::string& text) {
  ::MessageBoxA(exchange->m_pDlgWnd ? exchange->m_pDlgWnd->m_hWnd : nullptr, text.c_str(), nullptr,
                MB_OK | MB_ICONEXCLAMATION);
  exchange->Fail();
}

template <typename Number>
void ExchangeNumber(CDataExchange* exchange, int id, Number& value, bool isSigned) {
  if (exchange->Failed()) return;
  HWND control = exchange->PrepareEditCtrl(id);
  if (!control) return;
  if (!exchange->m_bSaveAndValidate) {
    std::string text = isSigned ? std::to_string(static_cast<long long>(value))
                                : std::to_string(static_cast<unsigned long long>(value));
    ::SetWindowTextA(control, text.c_str());
    return;
  }
  char buffer[64];
  ::GetWindowTextA(control, buffer, sizeof buffer);
  char* end = nullptr;
  errno = 0;
  long long parsed = std::strtoll(buffer, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  bool bad = end == buffer || (end && *end) || errno == ERANGE || (!isSigned && parsed < 0) ||
             static_cast<long long>(static_cast<Number>(parsed)) != parsed;
  if (bad) {
    FailWith(exchange, isSigned ? "Please enter an integer." : "Please enter a positive integer.");
    return;
  }
  value = static_cast<Number>(parsed);
}

template <typename Text>
void ExchangeText(CDataExchange* exchange, int id, Text& value) {
  if (exchange->Failed()) return;
  HWND control = exchange->PrepareEditCtrl(id);
  if (!control) return;
  if (exchange->m_bSaveAndValidate) CWnd::FromHandle(control)->GetWindowText(value);
  else CWnd::FromHandle(control)->SetWindowText(value.GetString());
}

template <typename Text>
void CheckLength(CDataExchange* exchange, const Text& value, int maxChars) {
  if (exchange->Failed()) return;
  if (!exchange->m_bSaveAndValidate) {
    if (exchange->m_hWndLastControl && exchange->m_bEditLastControl)
      ::SendMessageA(exchange->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    return;
  }
  if (value.GetLength() > maxChars) FailWith(exchange, "Enter no more than " + std::to_string(maxChars) + " characters.");
}

}  // namespace

void DDX_Text(CDataExchange* exchange, int id, CStringA& value) { ExchangeText(exchange, id, value); }
void DDX_Text(CDataExchange* exchange, int id, CStringW& value) { ExchangeText(exchange, id, value); }
void DDX_Text(CDataExchange* exchange, int id, int& value) { ExchangeNumber(exchange, id, value, true); }
void DDX_Text(CDataExchange* exchange, int id, UINT& value) { ExchangeNumber(exchange, id, value, false); }
void DDX_Text(CDataExchange* exchange, int id, long& value) { ExchangeNumber(exchange, id, value, true); }
void DDX_Text(CDataExchange* exchange, int id, BYTE& value) { ExchangeNumber(exchange, id, value, false); }

void DDX_Radio(CDataExchange* exchange, int firstId, int& index) {
  if (exchange->Failed()) return;
  HWND first = exchange->PrepareCtrl(firstId);
  if (!first) return;
  std::vector<HWND> group;
  for (HWND control : vek::framework::ControlGroup(first))
    if (vek::framework::IsRadioButton(control)) group.push_back(control);
  if (exchange->m_bSaveAndValidate) {
    index = -1;
    for (std::size_t i = 0; i < group.size(); ++i)
      if (::SendMessageA(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) index = static_cast<int>(i);
  } else {
    for (std::size_t i = 0; i < group.size(); ++i)
      ::SendMessageA(group[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void DDX_Check(CDataExchange* exchange, int id, int& value) {
  if (exchange->Failed()) return;
  HWND control = exchange->PrepareCtrl(id);
  if (!control) return;
  if (exchange->m_bSaveAndValidate) value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
  else ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_CBIndex(CDataExchange* exchange, int id, int& index) {
  if (exchange->Failed()) return;
  HWND control = exchange->PrepareCtrl(id);
  if (!control) return;
  if (exchange->m_bSaveAndValidate) index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
  else ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* exchange, int id, CStringA& value) {
  if (exchange->Failed()) return;
  HWND control = exchange->PrepareCtrl(id);
  if (!control) return;
  if (exchange->m_bSaveAndValidate) {
    CWnd::FromHandle(control)->GetWindowText(value);
  } else if (::SendMessageA(control, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR) {
    ::SetWindowTextA(control, value.GetString());
  }
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
  if (exchange->Failed() || control.m_hWnd) return;
  HWND window = exchange->PrepareCtrl(id);
  if (window) control.SubclassWindow(window);
}

void DDV_MaxChars(CDataExchange* exchange, const CStringA& value, int maxChars) { CheckLength(exchange, value, maxChars); }
void DDV_MaxChars(CDataExchange* exchange, const CStringW& value, int maxChars) { CheckLength(exchange, value, maxChars); }

void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum) {
  if (exchange->Failed() || !exchange->m_bSaveAndValidate) return;
  if (value < minimum || value > maximum)
    FailWith(exchange, "Enter an integer between " + std::to_string(minimum) + " and " + std::to_string(maximum) + ".");
}

void DDV_MinMaxUInt(CDataExchange* exchange, UINT value, UINT minimum, UINT maximum) {
  if (exchange->Failed() || !exchange->m_bSaveAndValidate) return;
  if (value < minimum || value > maximum)
    FailWith(exchange, "Enter an integer between " + std::to_string(minimum) + " and " + std::to_string(maximum) + ".");
}
