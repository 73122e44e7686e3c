#include "startmenu/license_page.h"

#include "startmenu/busy_cursor.h"
#include "startmenu/eng_form.h"
#include "startmenu/install_decision.h"
#include "startmenu/start_menu_texts.h"
#include "startmenu/startmenu_ids.h"
#include "startmenu/xpicture_box.h"

LicensePage::LicensePage(XSetupMachine& machine) : XForm(IDD_LICENSE_PAGE), m_machine(machine) {}

void LicensePage::Form_Load() { SetDlgItemText(IDC_LICENSE_TEXT, LicenseAgreementText().c_str()); }

void LicensePage::MouseUp(int id, int button, int shift, int x, int y) {
  if (id == IDC_COMMAND1) Command1_MouseUp(button, shift, x, y);
  else if (id == IDC_COMMAND2) Command2_MouseUp(button, shift, x, y);
}

void LicensePage::Command2_MouseUp(int, int, int, int) { Unload(); }

void LicensePage::Command1_MouseUp(int button, int, int x, int y) {
  Unload();
  HCURSOR busy = LoadBusyCursor();
  if (button != kLeftButton || !InsideButtonBox(x, y)) return;
  HCURSOR previous = SetCursor(busy);
  // The menu takes no clicks meanwhile: the waits let the windows run.
  bool menuEnabled = m_menu && m_menu->IsLoaded() && m_menu->IsWindowEnabled();
  if (menuEnabled) m_menu->EnableWindow(FALSE);
  RunInstallDecision(m_machine);
  if (menuEnabled && m_menu->IsLoaded()) m_menu->EnableWindow(TRUE);
  SetCursor(previous);
}
