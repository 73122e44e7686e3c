// The TCP/IP settings page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep03 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep03)

 public:
  WizardStep03();
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
};
