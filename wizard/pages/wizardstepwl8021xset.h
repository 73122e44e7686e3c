// The 802.1X page: the method (None or MD5), a login name and a password, kept in
// the wizard's settings for the save page.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWL8021XSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWL8021XSet)

 public:
  WizardStepWL8021XSet();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void Fill8021XControls();
  void OnSelChange8021XMethod();

  DECLARE_MESSAGE_MAP()

  int m_MethodIndex = -1;
  CStringA m_LoginText;
  CStringA m_PasswordText;
};
