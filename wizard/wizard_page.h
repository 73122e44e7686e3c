// What every wizard page shares: the wizard font on every control, the side picture
// drawn at a fixed place, the title banner, a hollow background for the page's
// listed texts, the sheet's buttons on activation, and error message boxes.
#pragma once

#include <initializer_list>
#include <vector>

#include "framework/framework.h"

class WizardPage : public CPropertyPage {
  DECLARE_DYNAMIC(WizardPage)

 public:
  static constexpr int kNoButtons = -1;  // the page keeps the buttons of the page before

  WizardPage(UINT dialogId, UINT sideBitmap, int buttons, std::initializer_list<int> hollowIds);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;

  // A message box owned by the page: a string of the table, "Error", the stop icon.
  int ShowError(UINT stringId);
  // Empties a report list and gives it two columns with these headings (string
  // ids), the first taking firstShare / shares of the list's width.
  static void ResetTwoColumns(CListCtrl& list, UINT first, UINT second, int firstShare, int shares);

  UINT sideBitmap() const { return m_sideBitmap; }
  int buttons() const { return m_buttons; }

 protected:
  // Controls of the page by id: combo items from the string table, shown,
  // enabled, and the caret of an edit.
  void FillCombo(int comboId, std::initializer_list<UINT> stringIds);  // empties it first
  void AddComboStrings(int comboId, std::initializer_list<UINT> stringIds);
  void AddComboString(int comboId, UINT stringId);
  void ShowItem(int id, bool show);
  void EnableItem(int id, bool enable);
  // An empty selection at position (clamped to the text), scrolled into view.
  void PutCaret(int editId, int position);

  void OnPaint();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) override;

  DECLARE_MESSAGE_MAP()

 private:
  UINT m_sideBitmap;
  int m_buttons;
  std::vector<int> m_hollowIds;
};

// Where and how large the side picture is drawn on every page, in pixels.
inline constexpr RECT kSidePicture = {12, 12, 152, 432};
