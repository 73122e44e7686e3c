#include "wizard/pages/wizardstepwlwepset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLWEPSet, WizardPage)

WizardStepWLWEPSet::WizardStepWLWEPSet() : WizardPage(IDD_WIZARD_WL_WEP, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {1058, 1059, 1060, 1061, 1062, 1064, 1076, 1077, 1053, 1052, 1069, 1051, 1070, 1066}) {}

LRESULT WizardStepWLWEPSet::OnWizardBack() {
  return IDD_WIZARD_WL_BASIC;
}

LRESULT WizardStepWLWEPSet::OnWizardNext() { return WizardSettings::m_Has8021X ? IDD_WIZARD_WL_8021X : (WizardSettings::m_HasWPAPSK ? IDD_WIZARD_WL_WPAPSK : IDD_WIZARD_TCPIP); }
