// The welcome page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep01 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep01)

 public:
  WizardStep01();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
