// LicensePage: the agreement, with "I accept" (the install decision) and
// "I do not accept" (back to the menu).
#pragma once

#include "startmenu/xform.h"

class XSetupMachine;

class LicensePage : public XForm {
 public:
  explicit LicensePage(XSetupMachine& machine);
  // The menu, kept from clicks while the install decision runs.
  void SetMenu(XForm* menu) { m_menu = menu; }

  void MouseUp(int id, int button, int shift, int x, int y) override;
  void Command1_MouseUp(int button, int shift, int x, int y);
  void Command2_MouseUp(int button, int shift, int x, int y);

 protected:
  void Form_Load() override;

 private:
  XSetupMachine& m_machine;
  XForm* m_menu = nullptr;
};
