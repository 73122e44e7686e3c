#include "wizard/pages/wizardstep022.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStep022, WizardPage)

WizardStep022::WizardStep022() : WizardPage(IDD_WIZARD_LOGIN, IDB_SIDE_LOGIN, WizardPage::kNoButtons, {1058, 1059, 1060, 1061, 1030, 1036, 1027, 1026}) {}

LRESULT WizardStep022::OnWizardBack() {
  return 0;
}

LRESULT WizardStep022::OnWizardNext() { return WizardSettings::m_NoModify ? IDD_WIZARD_PRINTER : (WizardSettings::m_Wireless ? IDD_WIZARD_WL_BASIC : IDD_WIZARD_TCPIP); }
