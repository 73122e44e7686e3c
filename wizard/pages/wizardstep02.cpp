#include "wizard/pages/wizardstep02.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardStep02, WizardPage)

WizardStep02::WizardStep02() : WizardPage(IDD_WIZARD_SERVER_LIST, IDB_SIDE_SERVER_LIST, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061, 1062}) {}

LRESULT WizardStep02::OnWizardBack() {
  return 0;
}
