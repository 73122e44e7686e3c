#include "wizard/pages/wizardstepwlwpapskset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLWPAPSKSet, WizardPage)

WizardStepWLWPAPSKSet::WizardStepWLWPAPSKSet()
    : WizardPage(IDD_WIZARD_WL_WPAPSK, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {}) {}

void WizardStepWLWPAPSKSet::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Text(exchange, IDC_WPAPSK, m_PSKText);
}

BOOL WizardStepWLWPAPSKSet::OnInitDialog() {
  WizardPage::OnInitDialog();
  static_cast<CEdit*>(GetDlgItem(IDC_WPAPSK))->LimitText(WizardSettings::kLongestPSK);
  FillPSKControl();
  UpdateData(FALSE);
  return TRUE;
}

BOOL WizardStepWLWPAPSKSet::OnSetActive() {
  UpdateData(TRUE);
  FillPSKControl();
  UpdateWindow();
  return WizardPage::OnSetActive();
}

// A stored key too short to be one is not shown.
void WizardStepWLWPAPSKSet::FillPSKControl() {
  UpdateData(TRUE);
  m_PSKText = WizardSettings::m_WPAPSK.GetLength() >= WizardSettings::kShortestPSK ? WizardSettings::m_WPAPSK : CStringA();
  UpdateData(FALSE);
  UpdateData(TRUE);
}

LRESULT WizardStepWLWPAPSKSet::OnWizardBack() {
  return WizardSettings::m_Has8021X ? IDD_WIZARD_WL_8021X : IDD_WIZARD_WL_WEP;
}

// Empty means no pre-shared key; a key needs 8 characters at least.
LRESULT WizardStepWLWPAPSKSet::OnWizardNext() {
  UpdateData(TRUE);
  if (m_PSKText.GetLength() >= 1 && m_PSKText.GetLength() < WizardSettings::kShortestPSK) {
    ShowError(IDS_ERR_PSK_LENGTH);
    return IDD_WIZARD_WL_WPAPSK;
  }
  WizardSettings::m_WPAPSK = m_PSKText;
  return IDD_WIZARD_TCPIP;
}
