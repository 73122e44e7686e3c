#include "wizard/pages/wizardstep08.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardStep08, WizardPage)

WizardStep08::WizardStep08() : WizardPage(IDD_WIZARD_FINISH, IDB_SIDE_FINISH, PSWIZB_FINISH, {1058, 1059}) {}

BOOL WizardStep08::OnInitDialog() {
  WizardPage::OnInitDialog();
  CancelToClose();
  return TRUE;
}

BOOL WizardStep08::OnWizardFinish() { return WizardPage::OnWizardFinish(); }
