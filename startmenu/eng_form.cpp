#include "startmenu/eng_form.h"

#include "framework/picture_file.h"
#include "shell/shell_execute.h"
#include "startmenu/busy_cursor.h"
#include "startmenu/license_page.h"
#include "startmenu/startmenu_ids.h"
#include "startmenu/xpicture_box.h"

bool InsideButtonBox(int x, int y) { return x >= 0 && x <= 1965 && y >= 0 && y <= 465; }

eng::eng(LicensePage& licensePage, XSetupMachine& machine)
    : XForm(IDD_ENG), m_licensePage(licensePage), m_machine(machine) {}

void eng::Form_Load() { HelpState = 0; }

// A picture from the CD; a file that cannot be loaded leaves the control empty.
void eng::Picture(int id, const char* file) { SetPicture(id, file ? LoadPicture(file) : nullptr); }

void eng::MouseDown(int id, int button, int shift, int x, int y) {
  switch (id) {
    case IDC_IMG_EXIT: imgExit_MouseDown(button, shift, x, y); break;
    case IDC_IMG_DOCUMENTATION: imgDocumentation_MouseDown(button, shift, x, y); break;
    case IDC_IMG_SETUP_WIZARD: imgSetupWizard_MouseDown(button, shift, x, y); break;
    default: break;
  }
}

void eng::MouseMove(int id, int button, int shift, int x, int y) {
  switch (id) {
    case IDC_IMG_DOCUMENTATION: imgDocumentation_MouseMove(button, shift, x, y); break;
    case IDC_IMG_SETUP_WIZARD: imgSetupWizard_MouseMove(button, shift, x, y); break;
    case IDC_OLE1: OLE1_MouseMove(button, shift, x, y); break;
    default: break;
  }
}

void eng::MouseUp(int id, int button, int shift, int x, int y) {
  switch (id) {
    case IDC_IMG_EXIT: imgExit_MouseUp(button, shift, x, y); break;
    case IDC_IMG_DOCUMENTATION: imgDocumentation_MouseUp(button, shift, x, y); break;
    case IDC_IMG_SETUP_WIZARD: imgSetupWizard_MouseUp(button, shift, x, y); break;
    default: break;
  }
}

void eng::PointerLeft(int) { OLE1_MouseMove(0, 0, 0, 0); }

void eng::imgExit_MouseDown(int, int, int, int) { Picture(IDC_IMG_EXIT, "images\\eng\\exitdown.gif"); }

void eng::imgExit_MouseUp(int button, int, int x, int y) {
  Picture(IDC_IMG_EXIT, "images\\eng\\exit.gif");
  ReleaseDelay();
  if (button == kLeftButton && InsideButtonBox(x, y)) Unload();
}

void eng::imgDocumentation_MouseDown(int, int, int x, int y) {
  HCURSOR previous = SetCursor(LoadBusyCursor());
  if (InsideButtonBox(x, y)) Picture(IDC_IMG_DOCUMENTATION, "images\\eng\\documentationdown.gif");
  SetCursor(previous);
}

void eng::imgDocumentation_MouseMove(int, int, int x, int y) {
  if (!InsideButtonBox(x, y)) {
    Picture(IDC_IMG_HELP, nullptr);
    HelpState = 0;  // so the help shows again when the pointer comes back
  } else if (HelpState != 3) {
    Picture(IDC_IMG_HELP, "images\\eng\\documentationhelp.gif");
    HelpState = 3;
  }
}

void eng::imgDocumentation_MouseUp(int button, int, int x, int y) {
  HCURSOR busy = LoadBusyCursor();
  Picture(IDC_IMG_DOCUMENTATION, "images\\eng\\documentation.gif");
  ReleaseDelay();
  if (button == kLeftButton && InsideButtonBox(x, y) && IsLoaded()) {
    HCURSOR previous = SetCursor(busy);
    ShellExecuteA(m_hWnd, "open", "Manuals\\documentation.htm", "", "", SW_SHOWNORMAL);  // a failure is ignored
    SetCursor(previous);
  }
}

void eng::imgSetupWizard_MouseDown(int, int, int x, int y) {
  HCURSOR previous = SetCursor(LoadBusyCursor());
  if (InsideButtonBox(x, y)) Picture(IDC_IMG_SETUP_WIZARD, "images\\eng\\setupwizarddown.gif");
  SetCursor(previous);
}

void eng::imgSetupWizard_MouseMove(int, int, int x, int y) {
  if (!InsideButtonBox(x, y)) {
    Picture(IDC_IMG_HELP, nullptr);
    HelpState = 0;
  } else if (HelpState != 1) {
    Picture(IDC_IMG_HELP, "images\\eng\\setupwizardhelp.gif");
    HelpState = 1;
  }
}

void eng::imgSetupWizard_MouseUp(int, int, int, int) { m_licensePage.Show(); }

void eng::OLE1_MouseMove(int, int, int, int) {
  if (HelpState != 0) {
    Picture(IDC_IMG_HELP, nullptr);
    HelpState = 0;
  }
}
