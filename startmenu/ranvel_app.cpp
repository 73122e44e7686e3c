#include "startmenu/ranvel_app.h"

#include <filesystem>
#include <system_error>

#include "shell/path_mapping.h"
#include "startmenu/start_menu_texts.h"

CRanvelApp theApp;

CRanvelApp::CRanvelApp() : CWinApp("Ranvel") {}

BOOL CRanvelApp::InitInstance() {
  // The menu runs in the CD's root, where it lies, as the CD's autostart starts it:
  // its pictures, manual and driver setups are named from there.
  std::error_code ignored;
  std::filesystem::current_path(vek::shell::ProgramFolder(), ignored);
  RegisterStartMenuResources();
  m_frontEnd = vek::ui::StartFrontEnd();
  m_licensePage.SetMenu(&m_menu);
  m_startWindow.Load();
  return XForm::LoadedForms() > 0;
}

int CRanvelApp::ExitInstance() {
  m_frontEnd.End();
  return CWinApp::ExitInstance();
}
