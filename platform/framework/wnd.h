// CWnd: a framework object attached to a window of the window table. The attached
// object sees every message of its window first, through its message map, and hands
// the rest to the window's class behaviour.
#pragma once

#include <string>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "framework/message_api.h"
#include "framework/window_api.h"
#include "framework/gdi.h"

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)

 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  operator HWND() const { return m_hWnd; }
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The attached object of a window, or a temporary one that lives as long as the
  // window does; nullptr for no window.
  static CWnd* FromHandle(HWND window);
  static CWnd* FromHandlePermanent(HWND window);
  BOOL Attach(HWND window);
  HWND Detach();
  // This object handles the messages of an existing window (a control of a dialog);
  // PreSubclassWindow runs once it is attached.
  BOOL SubclassWindow(HWND window);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow() { return Detach(); }

  virtual BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, LPVOID createParams = nullptr);
  virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  virtual BOOL DestroyWindow();

  // Texts: narrow texts are UTF-8; the wide forms convert.
  void SetWindowText(LPCSTR text);
  void SetWindowText(LPCWSTR text);
  int GetWindowText(LPSTR buffer, int bufferMax) const;
  int GetWindowText(LPWSTR buffer, int bufferMax) const;
  void GetWindowText(CStringA& text) const;
  void GetWindowText(CStringW& text) const;
  int GetWindowTextLength() const;
  void SetDlgItemText(int id, LPCSTR text);
  void SetDlgItemText(int id, LPCWSTR text);
  int GetDlgItemText(int id, CStringA& text) const;
  int GetDlgItemText(int id, CStringW& text) const;

  CWnd* GetDlgItem(int id) const;
  int GetDlgCtrlID() const;
  CWnd* GetParent() const;
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int command);
  BOOL IsWindowVisible() const;
  void UpdateWindow();
  void Invalidate(BOOL erase = TRUE);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
  // The font the window was given (WM_GETFONT), and giving it one.
  class CFont* GetFont() const;
  void SetFont(class CFont* font, BOOL redraw = TRUE);
  CWnd* SetFocus();
  static CWnd* GetFocus();
  void GetWindowRect(LPRECT rect) const;
  void GetClientRect(LPRECT rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
  BOOL KillTimer(UINT_PTR id);
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = 0);
  int MessageBox(LPCWSTR text, LPCWSTR caption = nullptr, UINT type = 0);

  // The message path of an attached window.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The window class's own handling of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateMessage(MSG* msg);

  // A message a control sent its parent, handed back to the control's own object
  // (owner drawing reaches the control's DrawItem this way). TRUE when handled.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  // The default colours of a control (WM_CTLCOLOR): what the window class gives.
  virtual HBRUSH OnCtlColor(class CDC* dc, CWnd* control, UINT kind);
  // During WM_CTLCOLOR: the kind of control asking (CTLCOLOR_STATIC, ...).
  UINT CurrentCtlColorKind() const;

  // The object passed to the window creation in progress on this thread.
  static CWnd* TakeWindowBeingCreated();

 protected:
  // Called by SubclassWindow once the object is attached, before it sees a message.
  virtual void PreSubclassWindow();
  // The last message of a window; an attached object lets go of its handle here.
  virtual void OnNcDestroy();
  // Called after the window is gone; frame windows delete themselves here.
  virtual void PostNcDestroy();
  LRESULT Default();

  DECLARE_MESSAGE_MAP()

 private:
  const MSG* m_currentMessage = nullptr;
  MSG m_lastMessage{};
};
