// The list of the print servers found.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep02 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep02)

 public:
  WizardStep02();
  LRESULT OnWizardBack() override;
};
