#include "wizard/pages/wizardstep04.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardStep04, WizardPage)

WizardStep04::WizardStep04() : WizardPage(IDD_WIZARD_PRINTER, IDB_SIDE_PRINTER, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061}) {}

LRESULT WizardStep04::OnWizardBack() {
  return IDD_WIZARD_SERVER_LIST;
}

LRESULT WizardStep04::OnWizardNext() { return IDD_WIZARD_SUMMARY; }
