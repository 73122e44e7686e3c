// The save page: the settings go to the print server.
#pragma once

#include "wizard/wizard_page.h"

class WizardSP03 : public WizardPage {
  DECLARE_DYNCREATE(WizardSP03)

 public:
  WizardSP03();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
