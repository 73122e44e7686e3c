// The last page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep08 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep08)

 public:
  WizardStep08();
  BOOL OnWizardFinish() override;
};
