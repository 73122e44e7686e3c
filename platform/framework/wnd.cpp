#include "framework/wnd.h"

#include "framework/controls.h"
#include "framework/message_box.h"
#include "framework/window_table.h"
#include "kernel/strings.h"
#include "kernel/thread.h"

using vek::framework::WindowTableLock;

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {
thread_local CWnd* t_creating = nullptr;
}

CWnd* CWnd::TakeWindowBeingCreated() {
  CWnd* wnd = t_creating;
  t_creating = nullptr;
  return wnd;
}

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  auto record = vek::framework::FindWindowRecord(m_hWnd);
  if (record && record->wnd == this && record->threadId == GetCurrentThreadId()) {
    ::DestroyWindow(m_hWnd);  // a window must not outlive the object that handles it
  }
  Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
  auto record = vek::framework::FindWindowRecord(window);
  if (!record) return nullptr;
  std::lock_guard guard(WindowTableLock());
  return record->wnd;
}

CWnd* CWnd::FromHandle(HWND window) {
  auto record = vek::framework::FindWindowRecord(window);
  if (!record) return nullptr;
  std::lock_guard guard(WindowTableLock());
  if (record->wnd) return record->wnd;
  if (!record->temporaryWnd) {
    // Of the control's own class, so code that treats a control it did not make as
    // that control's class object gets one.
    record->temporaryWnd = vek::framework::MakeTemporaryWnd(record->className);
    record->temporaryWnd->m_hWnd = window;
  }
  return record->temporaryWnd.get();
}

BOOL CWnd::Attach(HWND window) {
  auto record = vek::framework::FindWindowRecord(window);
  if (!record || m_hWnd) return FALSE;
  std::lock_guard guard(WindowTableLock());
  if (record->wnd) return FALSE;
  record->wnd = this;
  m_hWnd = window;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND window = m_hWnd;
  if (auto record = vek::framework::FindWindowRecord(window)) {
    std::lock_guard guard(WindowTableLock());
    if (record->wnd == this) record->wnd = nullptr;
  }
  m_hWnd = nullptr;
  return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
  if (!Attach(window)) return FALSE;
  PreSubclassWindow();
  return TRUE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
  return control ? SubclassWindow(control) : FALSE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID createParams) {
  t_creating = this;
  HWND window = ::CreateWindowExA(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                                  reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, createParams);
  t_creating = nullptr;
  return window != nullptr;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
void CWnd::SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
int CWnd::GetWindowText(LPSTR buffer, int bufferMax) const { return ::GetWindowTextA(m_hWnd, buffer, bufferMax); }
int CWnd::GetWindowText(LPWSTR buffer, int bufferMax) const { return ::GetWindowTextW(m_hWnd, buffer, bufferMax); }

void CWnd::GetWindowText(CStringA& text) const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  ::GetWindowTextA(m_hWnd, text.GetBuffer(length + 1), length + 1);
  text.ReleaseBuffer();
}

void CWnd::GetWindowText(CStringW& text) const {
  int length = ::GetWindowTextLengthW(m_hWnd);
  ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
  text.ReleaseBuffer();
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
void CWnd::SetDlgItemText(int id, LPCWSTR text) { ::SetDlgItemTextW(m_hWnd, id, text); }

int CWnd::GetDlgItemText(int id, CStringA& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
}

int CWnd::GetDlgItemText(int id, CStringW& text) const {
  text.Empty();
  if (CWnd* item = GetDlgItem(id)) item->GetWindowText(text);
  return text.GetLength();
}

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  DWORD style = GetStyle();
  DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
  return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  DWORD style = GetExStyle();
  DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
  return TRUE;
}

CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
  ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
void CWnd::GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::MoveWindow(LPCRECT rect, BOOL repaint) {
  MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapseMs, proc); }
BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) { return ::MessageBoxA(m_hWnd, text, caption, type); }
int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) { return ::MessageBoxW(m_hWnd, text, caption, type); }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  MSG current{m_hWnd, message, wParam, lParam, 0, {}};
  const MSG* outer = m_currentMessage;
  m_currentMessage = &current;
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  m_currentMessage = outer;
  if (message == WM_NCDESTROY) OnNcDestroy();  // may delete this object
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 0;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
  if (message == WM_DRAWITEM) {
    if (DispatchMapped(message, 0, 0, wParam, lParam, result)) return TRUE;
    // Not drawn here: the control's own object may draw itself.
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CWnd* control = item ? FromHandlePermanent(item->hwndItem) : nullptr;
    return control && control != this && control->OnChildNotify(message, wParam, lParam, result);
  }
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && DispatchMapped(WM_CTLCOLOR, 0, 0, wParam, lParam, result))
    return TRUE;
  return DispatchMapped(message, 0, 0, wParam, lParam, result) ? TRUE : FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  return DispatchMapped(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), wParam, lParam, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header == nullptr) return FALSE;
  return DispatchMapped(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom), 0, lParam, result) ? TRUE : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  auto record = vek::framework::FindWindowRecord(m_hWnd);
  if (!record) return 0;
  return record->behaviour->Handle(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  if (!m_currentMessage) return 0;
  return DefWindowProc(m_currentMessage->message, m_currentMessage->wParam, m_currentMessage->lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

UINT CWnd::CurrentCtlColorKind() const {
  if (!m_currentMessage) return 0;
  UINT message = m_currentMessage->message;
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC ? message - WM_CTLCOLORMSGBOX : 0;
}

void CWnd::OnNcDestroy() {
  Detach();
  PostNcDestroy();
}

void CWnd::PostNcDestroy() {}
