#include "wizard/pages/wizardstep01.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardStep01, WizardPage)

WizardStep01::WizardStep01() : WizardPage(IDD_WIZARD_WELCOME, IDB_SIDE_WELCOME, PSWIZB_NEXT, {1058, 1059, 1060, 1061, 1062}) {}

// Back is never enabled here; told to go back, the page cancels the wizard.
LRESULT WizardStep01::OnWizardBack() {
  GetSheet()->PressButton(PSBTN_CANCEL);
  return CPropertyPage::OnWizardBack();
}

LRESULT WizardStep01::OnWizardNext() { return IDD_WIZARD_SERVER_LIST; }
