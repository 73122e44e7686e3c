// A property sheet in wizard mode and its pages. The sheet shows one page at a time
// with Back, Next or Finish, and Cancel. A page's OnWizardBack or OnWizardNext
// answers 0 for the neighbour in sheet order, another page's dialog id to go there,
// or its own id (or an id no page has) to stay, without a new OnSetActive.
#pragma once

#include <atomic>
#include <vector>

#include "framework/control_defs.h"
#include "framework/dialog.h"
#include "framework/message_box.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)

 public:
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);

  // The first showing runs OnInitDialog (and its data exchange); every showing runs
  // OnSetActive, which by default refills the controls from the members.
  virtual BOOL OnSetActive();
  // Leaving the page: by default the controls are read back and validated.
  virtual BOOL OnKillActive();
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  virtual BOOL OnWizardFinish();
  virtual BOOL OnQueryCancel();
  void OnOK() override;
  void OnCancel() override;

  void SetModified(BOOL changed = TRUE);
  void CancelToClose();
  CPropertySheet* GetSheet() const { return m_pSheet; }
  BOOL IsModified() const { return m_modified; }

  UINT m_captionId;
  BOOL m_bFirstSetActive = TRUE;

 private:
  friend class CPropertySheet;
  CPropertySheet* m_pSheet = nullptr;
  BOOL m_modified = FALSE;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)

 public:
  CPropertySheet();
  explicit CPropertySheet(LPCSTR caption, CWnd* parent = nullptr, UINT startPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* page);
  void SetWizardMode();
  // Posted to the sheet, as the platform does: the buttons change when it is handled.
  void SetWizardButtons(DWORD flags);
  BOOL PressButton(int button);
  // ID_WIZFINISH or IDCANCEL; -1 when the sheet could not be shown.
  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();

  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  CPropertyPage* GetActivePage() const;
  // Readable from any thread, so tests can follow the sheet.
  int GetActiveIndex() const { return m_active; }
  BOOL SetActivePage(int index);
  DWORD GetWizardButtons() const { return m_wizardButtons; }

  struct Header {
    DWORD dwFlags = 0;
    UINT nStartPage = 0;
  } m_psh;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void CreateButtons(const RECT& pageArea);
  void ApplyWizardButtons(DWORD flags);
  void ShowPage(int index);
  void Navigate(LRESULT answer, int direction);
  void OnButton(int id);
  void End(INT_PTR result);
  HWND Button(int id) const { return ::GetDlgItem(m_hWnd, id); }

  CStringA m_caption;
  CWnd* m_pParentWnd = nullptr;
  std::vector<CPropertyPage*> m_pages;
  std::atomic<int> m_active{-1};
  std::atomic<DWORD> m_wizardButtons{0};
  bool m_ended = false;
  INT_PTR m_result = IDCANCEL;
};
