#include "wizard/wizard_page.h"

#include <algorithm>

#include "wizard/page_text.h"
#include "wizard/wizard_font.h"

IMPLEMENT_DYNAMIC(WizardPage, CPropertyPage)

BEGIN_MESSAGE_MAP(WizardPage, CPropertyPage)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

WizardPage::WizardPage(UINT dialogId, UINT sideBitmap, int buttons, std::initializer_list<int> hollowIds)
    : CPropertyPage(dialogId), m_sideBitmap(sideBitmap), m_buttons(buttons), m_hollowIds(hollowIds) {}

BOOL WizardPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  // Every control of the page, first child and then each sibling, takes the one wizard font.
  for (HWND child : vek::framework::ChildWindows(m_hWnd))
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(g_WizardFont.m_hObject), TRUE);
  return TRUE;
}

BOOL WizardPage::OnSetActive() {
  if (m_buttons != kNoButtons) GetSheet()->SetWizardButtons(static_cast<DWORD>(m_buttons));
  return CPropertyPage::OnSetActive();
}

int WizardPage::ShowError(UINT stringId) {
  return MessageBox(LoadText(stringId).GetString(), "Error", MB_ICONSTOP);
}

void WizardPage::FillCombo(int comboId, std::initializer_list<UINT> stringIds) {
  if (auto* combo = static_cast<CComboBox*>(GetDlgItem(comboId))) combo->ResetContent();
  AddComboStrings(comboId, stringIds);
}

void WizardPage::AddComboStrings(int comboId, std::initializer_list<UINT> stringIds) {
  for (UINT id : stringIds) AddComboString(comboId, id);
}

void WizardPage::AddComboString(int comboId, UINT stringId) {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(comboId));
  if (combo == nullptr) return;
  combo->AddString(LoadText(stringId).GetString());
}

void WizardPage::ShowItem(int id, bool show) {
  if (CWnd* item = GetDlgItem(id)) item->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void WizardPage::EnableItem(int id, bool enable) {
  if (CWnd* item = GetDlgItem(id)) item->EnableWindow(enable ? TRUE : FALSE);
}

void WizardPage::PutCaret(int editId, int position) {
  auto* edit = static_cast<CEdit*>(GetDlgItem(editId));
  if (edit == nullptr) return;
  if (position < 0) position = 0;
  edit->SetSel(position, position);
  edit->SendMessage(EM_SCROLLCARET);
}

void WizardPage::ResetTwoColumns(CListCtrl& list, UINT first, UINT second, int firstShare, int shares) {
  list.DeleteAllItems();
  while (list.DeleteColumn(0)) {
  }
  CRect client;
  list.GetClientRect(&client);
  list.InsertColumn(0, LoadText(first).GetString(), LVCFMT_LEFT, client.Width() * firstShare / shares);
  list.InsertColumn(1, LoadText(second).GetString(), LVCFMT_LEFT, client.Width() * (shares - firstShare) / shares);
}

void WizardPage::OnPaint() {
  CPaintDC dc(this);
  dc.SetStretchBltMode(HALFTONE);
  CDC memory;
  memory.CreateCompatibleDC(&dc);
  CBitmap picture;
  if (!picture.LoadBitmap(m_sideBitmap)) return;
  memory.SelectObject(&picture);
  const RECT& at = kSidePicture;
  dc.StretchBlt(at.left, at.top, at.right - at.left, at.bottom - at.top, &memory, 0, 0, 140, 420, SRCCOPY);
}

HBRUSH WizardPage::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  HBRUSH brush = CPropertyPage::OnCtlColor(dc, control, kind);
  if (kind == CTLCOLOR_STATIC && control &&
      std::find(m_hollowIds.begin(), m_hollowIds.end(), control->GetDlgCtrlID()) != m_hollowIds.end())
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  return brush;
}
