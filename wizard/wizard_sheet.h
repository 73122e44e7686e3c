// The wizard: one property sheet in wizard mode with its thirteen pages, in the order
// that a page answering 0 to Back or Next moves along.
#pragma once

#include "wizard/pages/wizardstep01.h"
#include "wizard/pages/wizardstep02.h"
#include "wizard/pages/wizardstep022.h"
#include "wizard/pages/wizardstepwlbasicset.h"
#include "wizard/pages/wizardstepwlwepset.h"
#include "wizard/pages/wizardstepwl8021xset.h"
#include "wizard/pages/wizardstepwlwpapskset.h"
#include "wizard/pages/wizardstepwlsecurity.h"
#include "wizard/pages/wizardstep03.h"
#include "wizard/pages/wizardsp03.h"
#include "wizard/pages/wizardstep04.h"
#include "wizard/pages/wizardstep06.h"
#include "wizard/pages/wizardstep08.h"

class cwizardbegin : public CPropertySheet {
  DECLARE_DYNAMIC(cwizardbegin)

 public:
  cwizardbegin(LPCSTR caption, CWnd* parent = nullptr, UINT startPage = 0);
  BOOL OnInitDialog() override;

  WizardStep01 m_WizardStep01;
  WizardStep02 m_WizardStep02;
  WizardStep022 m_WizardStep022;
  WizardStepWLBasicSet m_WizardStepWLBasicSet;
  WizardStepWLWEPSet m_WizardStepWLWEPSet;
  WizardStepWL8021XSet m_WizardStepWL8021XSet;
  WizardStepWLWPAPSKSet m_WizardStepWLWPAPSKSet;
  WizardStepWLSecurity m_WizardStepWLSecurity;
  WizardStep03 m_WizardStep03;
  WizardSP03 m_WizardSP03;
  WizardStep04 m_WizardStep04;
  WizardStep06 m_WizardStep06;
  WizardStep08 m_WizardStep08;

 protected:
  int OnCreate(LPCREATESTRUCT create);
  void OnPaint();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) override;
  DECLARE_MESSAGE_MAP()
};
