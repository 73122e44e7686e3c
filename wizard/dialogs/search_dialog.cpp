#include "wizard/dialogs/search_dialog.h"

#include "protocol/discovery.h"
#include "protocol/print_server_list.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

// Before the first look at the search's end: the dialog stays at least this long
// after its timer.
constexpr DWORD kFirstWait = 1000;
// Between looks while the messages are pumped.
constexpr DWORD kPollPause = 10;

void ShowWaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }

}  // namespace

IMPLEMENT_DYNAMIC(CSearchPSDlg, CDialog)

BEGIN_MESSAGE_MAP(CSearchPSDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CSearchPSDlg::CSearchPSDlg(CWnd* parent) : CDialog(IDD_SEARCH, parent) {}

CSearchPSDlg::~CSearchPSDlg() {
  if (m_Animation.m_hWnd) m_Animation.Close();
}

void CSearchPSDlg::DoDataExchange(CDataExchange* exchange) {
  CDialog::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_SEARCH_ANIMATION, m_Animation);
}

BOOL CSearchPSDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // Both buttons stay hidden and disabled: only the search's end closes the dialog.
  if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(FALSE);
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) cancel->EnableWindow(FALSE);
  m_Animation.Open(IDR_SEARCH_ANIMATION);

  // The previous search's records go; the chosen one among them with them.
  g_PrintServerList.DeleteAll();
  WizardSettings::m_pSelectedPS = nullptr;
  if (WizardSettings::m_Transports & PS_TRANSPORTS_UDP) StartSearchThread();
  m_TimerID = SetTimer(kWaitTimer, kWaitTimerPeriod);
  return TRUE;
}

void CSearchPSDlg::StartSearchThread() { BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread), this); }

void CSearchPSDlg::OnTimer(UINT_PTR id) {
  ShowWaitCursor();
  if (id != kWaitTimer) return;
  KillTimer(kWaitTimer);
  m_TimerID = 0;
  Sleep(kFirstWait);
  // The thread writes "Found <name>" into this dialog from its own thread, so the
  // messages keep flowing while the dialog waits for the search's end.
  for (;;) {
    const bool done = WizardSettings::m_SearchDone != 0;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ShowWaitCursor();
    Sleep(kPollPause);
    if (done) break;
  }
  EndDialog(IDOK);
}
