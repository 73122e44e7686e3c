// The WPA pre-shared key page of servers without the combined security page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLWPAPSKSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLWPAPSKSet)

 public:
  WizardStepWLWPAPSKSet();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void FillPSKControl();

  CStringA m_PSKText;
};
