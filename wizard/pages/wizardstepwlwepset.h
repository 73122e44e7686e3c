// The WEP key page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLWEPSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLWEPSet)

 public:
  WizardStepWLWEPSet();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
