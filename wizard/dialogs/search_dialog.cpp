#include "wizard/dialogs/search_dialog.h"

#include "protocol/discovery.h"
#include "protocol/print_server_list.h"
#include "wizard/discovery_wait.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

// Before the first look at the search's end: the dialog stays at least this long
// after its timer.
constexpr DWORD kFirstWait = 1000;

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
  // A discovery thread of a page before may still run (the printer page's locate
  // goes on after the server answered): the search begins once it has ended.
  if (CUDPDiscoveryThread::LiveCount() == 0) BeginSearch();
  m_TimerID = SetTimer(kDiscoveryWaitTimer, kWaitTimerPeriod);
  return TRUE;
}

void CSearchPSDlg::BeginSearch() {
  // The previous search's records go; the chosen one among them with them.
  g_PrintServerList.DeleteAll();
  WizardSettings::m_pSelectedPS = nullptr;
  if (WizardSettings::m_Transports & PS_TRANSPORTS_UDP) StartSearchThread();
  m_Begun = TRUE;
}

void CSearchPSDlg::StartSearchThread() { BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread), this); }

void CSearchPSDlg::OnTimer(UINT_PTR id) {
  ShowWaitCursor();
  if (id != kDiscoveryWaitTimer) return;
  KillTimer(kDiscoveryWaitTimer);
  m_TimerID = 0;
  Sleep(kFirstWait);
  // The dialog's messages keep flowing while it waits: the thread writes "Found
  // <name>" into it. What the user types waits for the search's end.
  WaitEnd end = WaitEnd::kDone;
  if (!m_Begun) {
    end = WaitForDiscoveryEnd(INFINITE, WhileWaiting::kQueued);
    if (end == WaitEnd::kDone) BeginSearch();
  }
  if (end == WaitEnd::kDone) end = WaitForDiscoveryEnd(INFINITE, WhileWaiting::kQueued);
  // The wizard closing cuts the wait short: the list is not the search's whole.
  EndDialog(end == WaitEnd::kDone ? IDOK : IDCANCEL);
}
