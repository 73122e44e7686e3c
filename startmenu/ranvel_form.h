// Ranvel: the start window. Never shown; its load event finds the Windows folder
// and the user's language, sets where the software is installed, shows the menu
// and unloads the start window.
#pragma once

#include "startmenu/xform.h"

class Ranvel : public XForm {
 public:
  explicit Ranvel(XForm& menu);

 protected:
  void Form_Load() override;

 private:
  XForm& m_menu;
};
