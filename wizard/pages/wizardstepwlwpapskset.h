// The WPA pre-shared key page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLWPAPSKSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLWPAPSKSet)

 public:
  WizardStepWLWPAPSKSet();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
