#include "wizard/pages/wizardstepwlbasicset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLBasicSet, WizardPage)

WizardStepWLBasicSet::WizardStepWLBasicSet() : WizardPage(IDD_WIZARD_WL_BASIC, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {1058, 1059, 1060, 1061, 1062, 1064, 1076, 1077, 1078, 1024, 1040, 1039, 1025, 1092}) {}

LRESULT WizardStepWLBasicSet::OnWizardBack() {
  return IDD_WIZARD_LOGIN;
}

LRESULT WizardStepWLBasicSet::OnWizardNext() { return WizardSettings::m_HasSecurityPage ? IDD_WIZARD_WL_SECURITY : IDD_WIZARD_WL_WEP; }
