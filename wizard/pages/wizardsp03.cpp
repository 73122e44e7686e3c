#include "wizard/pages/wizardsp03.h"

#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNCREATE(WizardSP03, WizardPage)

WizardSP03::WizardSP03() : WizardPage(IDD_WIZARD_SAVE, IDB_SIDE_SAVE, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1002, 1093, 1029}) {}

LRESULT WizardSP03::OnWizardBack() {
  return IDD_WIZARD_TCPIP;
}

LRESULT WizardSP03::OnWizardNext() { return IDD_WIZARD_PRINTER; }
