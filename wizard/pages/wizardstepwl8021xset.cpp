#include "wizard/pages/wizardstepwl8021xset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWL8021XSet, WizardPage)

WizardStepWL8021XSet::WizardStepWL8021XSet() : WizardPage(IDD_WIZARD_WL_8021X, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {}) {}

LRESULT WizardStepWL8021XSet::OnWizardBack() {
  return WizardSettings::m_HasSecurityPage ? IDD_WIZARD_WL_SECURITY : IDD_WIZARD_WL_WEP;
}

LRESULT WizardStepWL8021XSet::OnWizardNext() { return WizardSettings::m_HasWPAPSK ? IDD_WIZARD_WL_WPAPSK : IDD_WIZARD_TCPIP; }
