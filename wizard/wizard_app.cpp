#include "wizard/wizard_app.h"

#include "protocol/winsock_startup.h"
#include "protocol/xudp_socket.h"
#include "ui/front_end_choice.h"
#include "wizard/resources/wizard_resources.h"
#include "wizard/wizard_font.h"
#include "wizard/wizard_settings.h"
#include "wizard/wizard_sheet.h"

CWizardApp theApp;

CWizardApp::CWizardApp() : CWinApp("VEKWizard") {}

BOOL CWizardApp::InitInstance() {
  AfxEnableControlContainer();
  if (!StartupWinsock()) return FALSE;
  if (!XUDPSocket::LoadUDP()) WizardSettings::m_Transports &= ~2;
  Enable3dControlsStatic();
  WizardSettings::m_AddPrinterRunning = 0;
  WizardSettings::m_PortCreated = 0;
  WizardSettings::m_NoModify = 1;
  WizardSettings::m_SelectedRow = -1;
  WizardSettings::m_SearchDone = 1;
  RegisterWizardResources();
  SetupWizardFont();
  auto frontEnd = vek::ui::StartFrontEnd();
  {
    cwizardbegin sheet("test", nullptr, 0);
    sheet.SetWizardMode();
    sheet.DoModal();
  }
  return FALSE;
}
