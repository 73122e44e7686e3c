#include "wizard/pages/wizardstepwlsecurity.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLSecurity, WizardPage)

WizardStepWLSecurity::WizardStepWLSecurity() : WizardPage(IDD_WIZARD_WL_SECURITY, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {1058, 1059, 1060, 1061, 1084, 1082, 1085, 1087, 1088, 1089, 1032, 1043, 1083, 1086, 1091, -1, 1062, 1064, 1076, 1077, 1078}) {}

LRESULT WizardStepWLSecurity::OnWizardBack() {
  return IDD_WIZARD_WL_BASIC;
}

LRESULT WizardStepWLSecurity::OnWizardNext() { return WizardSettings::m_Has8021X ? IDD_WIZARD_WL_8021X : IDD_WIZARD_TCPIP; }
