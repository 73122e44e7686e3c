#include "wizard/pages/wizardstep03.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStep03, WizardPage)

WizardStep03::WizardStep03() : WizardPage(IDD_WIZARD_TCPIP, IDB_SIDE_TCPIP, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061, 1062, 1064, 1009, 1010}) {}

LRESULT WizardStep03::OnWizardBack() {
  using namespace WizardSettings;
  if (!m_Wireless) return IDD_WIZARD_LOGIN;
  if (m_HasWPAPSK && !m_HasSecurityPage) return IDD_WIZARD_WL_WPAPSK;
  if (m_Has8021X) return IDD_WIZARD_WL_8021X;
  if (m_HasSecurityPage) return IDD_WIZARD_WL_SECURITY;
  return IDD_WIZARD_WL_WEP;
}

LRESULT WizardStep03::OnWizardNext() { return IDD_WIZARD_SAVE; }
