#include "wizard/wizard_sheet.h"

IMPLEMENT_DYNAMIC(cwizardbegin, CPropertySheet)

BEGIN_MESSAGE_MAP(cwizardbegin, CPropertySheet)
  ON_WM_CREATE()
  ON_WM_CTLCOLOR()
  ON_WM_PAINT()
END_MESSAGE_MAP()

cwizardbegin::cwizardbegin(LPCSTR caption, CWnd* parent, UINT startPage) : CPropertySheet(caption, parent, startPage) {
  AddPage(&m_WizardStep01);
  AddPage(&m_WizardStep02);
  AddPage(&m_WizardStep022);
  AddPage(&m_WizardStepWLBasicSet);
  AddPage(&m_WizardStepWLWEPSet);
  AddPage(&m_WizardStepWL8021XSet);
  AddPage(&m_WizardStepWLWPAPSKSet);
  AddPage(&m_WizardStepWLSecurity);
  AddPage(&m_WizardStep03);
  AddPage(&m_WizardSP03);
  AddPage(&m_WizardStep04);
  AddPage(&m_WizardStep06);
  AddPage(&m_WizardStep08);
}

BOOL cwizardbegin::OnInitDialog() { return CPropertySheet::OnInitDialog(); }

int cwizardbegin::OnCreate(LPCREATESTRUCT create) {
  return static_cast<int>(Default()) == -1 || !create ? -1 : 0;
}

HBRUSH cwizardbegin::OnCtlColor(CDC* dc, CWnd* control, UINT kind) { return CPropertySheet::OnCtlColor(dc, control, kind); }

// The sheet itself draws nothing.
void cwizardbegin::OnPaint() { CPaintDC dc(this); }
