// The 802.1X page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWL8021XSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWL8021XSet)

 public:
  WizardStepWL8021XSet();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
