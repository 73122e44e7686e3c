// The wireless basic settings.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLBasicSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLBasicSet)

 public:
  WizardStepWLBasicSet();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
