#include "wizard/pages/wizardstepwlwpapskset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLWPAPSKSet, WizardPage)

WizardStepWLWPAPSKSet::WizardStepWLWPAPSKSet() : WizardPage(IDD_WIZARD_WL_WPAPSK, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {}) {}

LRESULT WizardStepWLWPAPSKSet::OnWizardBack() {
  return WizardSettings::m_Has8021X ? IDD_WIZARD_WL_8021X : IDD_WIZARD_WL_WEP;
}

LRESULT WizardStepWLWPAPSKSet::OnWizardNext() { return IDD_WIZARD_TCPIP; }
