// The printer page: the Windows printer for the server and its port.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep04 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep04)

 public:
  WizardStep04();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
