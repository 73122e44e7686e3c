// The summary page: the printer is bound to the new port.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep06 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep06)

 public:
  WizardStep06();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
