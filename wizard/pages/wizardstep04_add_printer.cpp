// Add New Printer on the printer page: the platform's Add Printer wizard runs as a
// process of its own while the guide stands beside it; the sheet takes no input
// until it ends, and the printer list is read again afterwards.
#include "kernel/thread.h"
#include "wizard/add_printer_process.h"
#include "wizard/pages/add_printer_guide.h"
#include "wizard/pages/wizardstep04.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

// The Add Printer window is given this long to open before the guide looks for it.
constexpr DWORD kWindowWaitMs = 1000;

}  // namespace

void WizardStep04::OnAddNewPrinter() {
  GetSheet()->SetWizardButtons(0);
  m_PrinterRow = -1;
  GetDlgItem(IDC_ADD_NEW_PRINTER)->EnableWindow(FALSE);

  if (StartAddPrinterProcess()) {
    WizardSettings::m_AddPrinterRunning = 1;
    Sleep(kWindowWaitMs);
    EnumWindows(FindProcessWindow, static_cast<LPARAM>(g_AddPrinterProcess.dwProcessId));
  }
  CAddPrinterGuideDlg guide;
  guide.DoModal();
  CloseAddPrinterProcess();

  GetDlgItem(IDC_ADD_NEW_PRINTER)->EnableWindow(TRUE);
  m_PrinterList.EnableWindow(TRUE);
  ResetPrinterList();
  // Also after a guide closed with Esc, which its own end would have done.
  if (FillPrinterList() == 0) GetSheet()->SetWizardButtons(PSWIZB_FINISH);
  else GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
}
