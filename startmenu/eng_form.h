// eng: the picture menu, with its documentation, setup wizard and exit buttons and
// the help picture of the button under the mouse.
#pragma once

#include "kernel/types.h"
#include "startmenu/xform.h"

class LicensePage;
class XSetupMachine;

class eng : public XForm {
 public:
  eng(LicensePage& licensePage, XSetupMachine& machine);

  // 0 no help picture shown, 1 the setup wizard's, 3 the documentation's.
  SHORT HelpState = 0;

  void MouseDown(int id, int button, int shift, int x, int y) override;
  void MouseMove(int id, int button, int shift, int x, int y) override;
  void MouseUp(int id, int button, int shift, int x, int y) override;
  // The focus left a button: the pointer is over the background again.
  void PointerLeft(int id) override;

  void imgExit_MouseDown(int button, int shift, int x, int y);
  void imgExit_MouseUp(int button, int shift, int x, int y);
  void imgDocumentation_MouseDown(int button, int shift, int x, int y);
  void imgDocumentation_MouseMove(int button, int shift, int x, int y);
  void imgDocumentation_MouseUp(int button, int shift, int x, int y);
  void imgSetupWizard_MouseDown(int button, int shift, int x, int y);
  void imgSetupWizard_MouseMove(int button, int shift, int x, int y);
  void imgSetupWizard_MouseUp(int button, int shift, int x, int y);
  void OLE1_MouseMove(int button, int shift, int x, int y);

 protected:
  void Form_Load() override;

 private:
  void Picture(int id, const char* file);

  LicensePage& m_licensePage;
  XSetupMachine& m_machine;
};

// The button box: a point inside a picture button, in twips, both bounds counting.
bool InsideButtonBox(int x, int y);
