#include "wizard/pages/add_printer_guide.h"

#include "kernel/sync.h"
#include "protocol/trace.h"
#include "wizard/add_printer_process.h"
#include "wizard/resources/resource_ids.h"

IMPLEMENT_DYNAMIC(CAddPrinterGuideDlg, CDialog)

BEGIN_MESSAGE_MAP(CAddPrinterGuideDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

constexpr UINT kWatchMs = 100;
constexpr DWORD kWaitMs = 100;

}  // namespace

CAddPrinterGuideDlg::CAddPrinterGuideDlg() : CDialog(IDD_ADD_PRINTER_GUIDE, nullptr) {}

BOOL CAddPrinterGuideDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect own;
  GetWindowRect(&own);
  DebugTrace("rect : %d,%d,%d,%d\r\n", static_cast<int>(own.left), static_cast<int>(own.top),
             static_cast<int>(own.right), static_cast<int>(own.bottom));
  // To the right of the Add Printer window, at its top, keeping its own size.
  MoveWindow(g_AddPrinterRect.right, g_AddPrinterRect.top, own.Width(), own.Height());
  ShowWindow(SW_SHOW);
  SetTimer(kWatchTimer, kWatchMs);
  for (int i = 0; i <= IDC_HELP_ADD_PRINTER9 - IDC_HELP_ADD_PRINTER1; ++i) {
    CStringA text;
    text.LoadString(static_cast<UINT>(IDS_HELP_ADD_PRINTER1 + i));
    SetDlgItemText(IDC_HELP_ADD_PRINTER1 + i, text.GetString());
  }
  // Nothing in it takes the focus: the guide itself takes the keys, so that Esc
  // reaches it.
  ::SetFocus(m_hWnd);
  return FALSE;
}

void CAddPrinterGuideDlg::OnTimer(UINT_PTR id) {
  if (id == kWatchTimer && g_AddPrinterProcess.hProcess != nullptr &&
      WaitForSingleObject(g_AddPrinterProcess.hProcess, kWaitMs) == WAIT_OBJECT_0) {
    KillTimer(kWatchTimer);
    if (HWND owner = ::GetParent(m_hWnd)) ::PostMessageA(owner, PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
    EndDialog(1);
  }
  Invalidate();
  Default();
}
