#include "xip_address_ctrl.h"

#include <algorithm>
#include <cstdio>

#include "framework/class_registration.h"
#include "framework/cursor.h"
#include "framework/dc.h"
#include "framework/dialog.h"
#include "framework/keyboard.h"
#include "framework/message_box.h"
#include "framework/message_map_window.h"
#include "framework/owner_draw.h"

IMPLEMENT_DYNAMIC(XIPAddressCtrl, CWnd)

BEGIN_MESSAGE_MAP(XIPAddressCtrl, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_ENABLE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

constexpr UINT kClassStyle = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
constexpr DWORD kFieldStyle = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_UPPERCASE;
constexpr DWORD kNoParentNotify = 0x00000004;  // WS_EX_NOPARENTNOTIFY
constexpr int kFieldDigits = 3;
constexpr int kEdge = 2;  // the sunken edge, painted inside the client area here

HBRUSH WindowBackground() { return reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1)); }

}  // namespace

XIPAddressCtrl::XIPAddressCtrl() : m_FieldRect{}, m_DotRect{}, m_bLayoutDone(FALSE), m_bEnabled(TRUE) {}

BOOL XIPAddressCtrl::RegisterWndClass() {
  WNDCLASSW windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  windowClass.hbrBackground = WindowBackground();
  windowClass.lpszClassName = kIPAddressClassName;
  return RegisterClassW(&windowClass) != 0;
}

void XIPAddressCtrl::UnregisterWndClass() { UnregisterClassW(kIPAddressClassName, nullptr); }

BOOL XIPAddressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  LPCSTR className = AfxRegisterWndClass(kClassStyle, LoadCursorA(nullptr, IDC_IBEAM), WindowBackground());
  return CreateEx(0, className, "", style, rect, parent, id);
}

void XIPAddressCtrl::PreSubclassWindow() {
  MakeFields();
  CWnd::PreSubclassWindow();
}

int XIPAddressCtrl::OnCreate(LPCREATESTRUCT) {
  if (Default() == -1) return -1;
  MakeFields();
  return 0;
}

void XIPAddressCtrl::MakeFields() {
  ModifyStyleEx(0, WS_EX_CLIENTEDGE | kNoParentNotify);
  CWnd* parent = GetParent();
  CFont* font = parent ? parent->GetFont() : GetFont();
  for (int i = 0; i < 4; ++i) {
    if (m_Field[i].m_hWnd) continue;
    m_Field[i].CreateEx(0, WC_EDIT, "", kFieldStyle, CRect(0, 0, 0, 0), this, static_cast<UINT>(i + 1));
    m_Field[i].LimitText(kFieldDigits);
    m_Field[i].SetFont(font, FALSE);
  }
  // Laid out at once when the control has its size already (from a template), so
  // that it shows its fields in place before it first paints.
  CRect client;
  GetClientRect(&client);
  if (!client.IsRectEmpty()) Layout();
}

void XIPAddressCtrl::Layout() {
  CRect client;
  GetClientRect(&client);
  CRect r = client;
  r.DeflateRect(kEdge, kEdge);
  CClientDC dc(this);
  CFont* font = GetFont();
  if (font && font->m_hObject) dc.SelectObject(font);
  const int dot = dc.GetTextExtent(".", 1).cx;
  const int edge = GetSystemMetrics(SM_CYEDGE);
  // At sizes too small for four fields they shrink to nothing rather than turn over.
  const int field = std::max(0, static_cast<int>(r.Width() - 2 * edge - 3 * dot) / 4);
  for (int k = 0; k < 4; ++k) {
    int left = r.left + k * (field + dot);
    m_FieldRect[k] = RECT{left, r.top + edge, left + field, r.bottom};
    m_Field[k].MoveWindow(&m_FieldRect[k], TRUE);
  }
  for (int k = 0; k < 3; ++k)
    m_DotRect[k] = RECT{r.left + field + k * (field + dot), r.top, r.left + (k + 1) * (field + dot), r.bottom};
  m_bLayoutDone = TRUE;
}

void XIPAddressCtrl::OnSize(UINT, int, int) {
  Default();
  Layout();
}

void XIPAddressCtrl::OnPaint() {
  CPaintDC dc(this);
  if (!m_bLayoutDone) Layout();
  CFont* font = GetFont();
  CFont* oldFont = font && font->m_hObject ? dc.SelectObject(font) : nullptr;
  int oldMode = dc.SetBkMode(TRANSPARENT);
  COLORREF oldColor = dc.SetTextColor(GetSysColor(m_bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  for (RECT& cell : m_DotRect) dc.DrawText(".", 1, &cell, DT_SINGLELINE | DT_BOTTOM | DT_CENTER);
  CRect frame;
  GetClientRect(&frame);
  dc.Draw3dRect(&frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
  frame.DeflateRect(1, 1);
  dc.Draw3dRect(&frame, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  dc.SetBkMode(oldMode);
  dc.SetTextColor(oldColor);
  if (oldFont) dc.SelectObject(oldFont);
}

BOOL XIPAddressCtrl::OnEraseBkgnd(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  if (dc) dc->FillRect(&client, CBrush::FromHandle(GetSysColorBrush(m_bEnabled ? COLOR_WINDOW : COLOR_BTNFACE)));
  return TRUE;
}

void XIPAddressCtrl::OnEnable(BOOL enable) {
  Default();
  if ((enable != FALSE) != (m_bEnabled != FALSE)) {
    m_bEnabled = enable;
    for (XIPAddressEdit& field : m_Field) field.EnableWindow(enable);
  }
  Invalidate(TRUE);
}

void XIPAddressCtrl::OnSetFocus(CWnd*) { FocusField(&m_Field[0]); }

void XIPAddressCtrl::FocusField(XIPAddressEdit* field) {
  if (field == nullptr || field->m_hWnd == nullptr) return;
  field->SetFocus();
  field->SetSel(0, -1);
  field->SendMessage(EM_SCROLLCARET);
}

XIPAddressEdit* XIPAddressCtrl::GetField(int index) { return index >= 1 && index <= 4 ? &m_Field[index - 1] : nullptr; }

BOOL XIPAddressCtrl::GetFieldValue(XIPAddressEdit* field, int* value) {
  if (field == nullptr || value == nullptr) return FALSE;
  CStringW text;
  field->GetWindowText(text);
  *value = -1;
  if (text.IsEmpty()) return FALSE;
  // Digits only: a text that came in other than by typing (pasted, set) is no number.
  int number = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    WCHAR c = text[i];
    if (c < u'0' || c > u'9') {
      *value = 0;
      return FALSE;
    }
    if (number <= 255) number = number * 10 + (c - u'0');
  }
  *value = number;
  return number <= 255;
}

BOOL XIPAddressCtrl::GetAddress(BOOL showError, DWORD out[2]) {
  if (out == nullptr) return FALSE;
  out[0] = out[1] = 0;
  DWORD address = 0;
  for (int i = 1; i <= 4; ++i) {
    XIPAddressEdit* field = GetField(i);
    int value = 0;
    if (!GetFieldValue(field, &value)) {
      out[1] = static_cast<DWORD>(i);
      if (showError && value == -1) MessageBox(u"Missing value in IP address", u"Error", MB_ICONEXCLAMATION);
      else if (showError) ShowRangeMessage();
      FocusField(field);
      return FALSE;
    }
    address |= static_cast<DWORD>(value) << (8 * (i - 1));
  }
  out[0] = address;
  return TRUE;
}

void XIPAddressCtrl::ShowRangeMessage() {
  MessageBox(u"Please specify a value between 0 and 255 for this field.", u"Error", MB_ICONEXCLAMATION);
}

BOOL XIPAddressCtrl::SetAddress(const BYTE address[4]) {
  for (int i = 0; i < 4; ++i) {
    char text[4];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(address[i]));
    m_Field[i].SetWindowText(text);
  }
  return TRUE;
}

void XIPAddressCtrl::MoveFocusByKey(UINT key, XIPAddressEdit* field) {
  int i = field ? field->GetDlgCtrlID() : 0;
  if (i < 1 || i > 4) return;
  HWND dialog = ::GetParent(m_hWnd);
  auto leave = [&](bool backwards) {
    if (HWND stop = dialog ? GetNextDlgTabItem(dialog, m_hWnd, backwards) : nullptr) ::SetFocus(stop);
  };
  switch (key) {
    case VK_BACK:
    case VK_LEFT:
      if (i > 1) FocusField(GetField(i - 1));
      else leave(true);
      break;
    case VK_RIGHT:
    case '.':
      if (i < 4) {
        GetField(i + 1)->m_bDigitTyped = FALSE;
        FocusField(GetField(i + 1));
      } else {
        leave(false);
      }
      break;
    case VK_TAB:
    case VK_RETURN:
      leave(GetKeyState(VK_SHIFT) < 0);
      break;
    default:
      // Esc and the rest are the control's to handle as a window does: not at all.
      break;
  }
}

void DDX_IPAddress(CDataExchange* exchange, XIPAddressCtrl& control, DWORD& value) {
  if (exchange == nullptr || exchange->Failed() || control.m_hWnd == nullptr) return;
  if (exchange->m_bSaveAndValidate) {
    DWORD out[2] = {};
    if (control.GetAddress(TRUE, out)) {
      value = out[0];
      return;
    }
    XIPAddressEdit* field = control.GetField(static_cast<int>(out[1]));
    exchange->m_hWndLastControl = field ? field->m_hWnd : control.m_hWnd;
    exchange->m_bEditLastControl = true;
    exchange->Fail();
    return;
  }
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  control.SetAddress(bytes);
}
