// Dialogs made from templates. A modal dialog disables its owner and runs its own
// loop, which keeps timers, posted and sent messages flowing, until EndDialog.
// Enter presses the default button; Esc cancels unless the Cancel button is disabled.
#pragma once

#include "framework/dialog_template.h"
#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog();
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  // A modeless dialog.
  using CWnd::Create;
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  void EndDialog(int result);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* control);
  BOOL CheckRadioButton(int first, int last, int checked);
  int GetCheckedRadioButton(int first, int last);
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void SetDefID(UINT id);
  DWORD GetDefID() const;

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* exchange);

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  friend class CPropertySheet;
  // Builds the dialog's window and its controls from the template; for a page, as a
  // child of the given parent.
  BOOL CreateFromTemplate(UINT templateId, HWND parent, bool child);
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  // Esc cancels a dialog: TRUE.
  LRESULT HandleClosesOnEscape(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  bool m_modal = false;
  bool m_endModal = false;
  int m_modalResult = -1;
};

// Keyboard handling of a dialog: Tab moves the focus, Enter presses the default
// button, Esc cancels. TRUE when the message was a dialog key and is done.
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
BOOL IsDialogMessageW(HWND dialog, MSG* msg);
// The tab stop of the dialog after the control (before it with previous), in the
// order Tab moves; a control inside a tab stop counts as that stop.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

namespace vek::framework {
// The loop of a modal window: dispatches this thread's messages (dialog keys through
// IsDialogMessage of the window) until `ended` says so. WM_QUIT ends it too and is
// posted again for the loop outside; the result is then false.
bool RunModalLoop(HWND dialog, const bool& ended);
// Dialog units to pixels, for the dialog font of every template.
RECT DialogUnitsToPixels(short x, short y, short cx, short cy);
constexpr int kDialogBaseX = 6;
constexpr int kDialogBaseY = 13;
}  // namespace vek::framework
