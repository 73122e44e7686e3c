// The combined wireless security page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLSecurity : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLSecurity)

 public:
  WizardStepWLSecurity();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
