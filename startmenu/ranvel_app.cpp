#include "startmenu/ranvel_app.h"

#include "startmenu/start_menu_texts.h"

CRanvelApp theApp;

CRanvelApp::CRanvelApp() : CWinApp("Ranvel") {}

BOOL CRanvelApp::InitInstance() {
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
