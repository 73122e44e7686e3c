#include "startmenu/ranvel_form.h"

#include "kernel/version.h"
#include "startmenu/module1.h"
#include "startmenu/startmenu_ids.h"

Ranvel::Ranvel(XForm& menu) : XForm(IDD_START_WINDOW), m_menu(menu) {}

void Ranvel::Form_Load() {
  WinDir = GetWindowsDir();
  SysDrive = WinDir.substr(0, 3);
  LanguageChoice choice = ChooseForLanguage(GetUserDefaultLangID());
  DriverSet = choice.driverSet;
  InstallDir = InstallDirOf(SysDrive, choice.programFiles);
  m_menu.Show();
  Unload();
}
