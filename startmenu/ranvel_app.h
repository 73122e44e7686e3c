// The start menu's application: the computer it works on and its three forms.
// The program ends when its last form is unloaded.
#pragma once

#include "framework/framework.h"
#include "startmenu/eng_form.h"
#include "startmenu/license_page.h"
#include "startmenu/local_machine.h"
#include "startmenu/ranvel_form.h"
#include "ui/front_end_choice.h"

class CRanvelApp : public CWinApp {
 public:
  CRanvelApp();
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  vek::ui::FrontEndSession m_frontEnd;
  XLocalMachine m_machine;
  LicensePage m_licensePage{m_machine};
  eng m_menu{m_licensePage, m_machine};
  Ranvel m_startWindow{m_menu};
};
