#include "wizard/pages/wizardstep06.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardStep06, WizardPage)

WizardStep06::WizardStep06() : WizardPage(IDD_WIZARD_SUMMARY, IDB_SIDE_SUMMARY, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061, 1015}) {}

LRESULT WizardStep06::OnWizardBack() {
  return IDD_WIZARD_PRINTER;
}

LRESULT WizardStep06::OnWizardNext() { return IDD_WIZARD_FINISH; }
