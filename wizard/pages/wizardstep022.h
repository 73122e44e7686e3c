// The login page: whether to change the server's settings, and its password.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep022 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep022)

 public:
  WizardStep022();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
