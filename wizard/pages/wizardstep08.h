// The last page: the wizard has set everything up; Finish closes it.
#pragma once

#include "wizard/wizard_page.h"

class WizardStep08 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep08)

 public:
  WizardStep08();
  BOOL OnInitDialog() override;
  BOOL OnWizardFinish() override;
};
