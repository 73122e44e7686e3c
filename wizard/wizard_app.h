// The setup wizard's application: it runs the whole wizard from InitInstance.
#pragma once

#include "framework/framework.h"

class CWizardApp : public CWinApp {
 public:
  CWizardApp();
  BOOL InitInstance() override;
};
