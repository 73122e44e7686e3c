#include "wizard/pages/wizardstep02.h"

#include <cstring>
#include <vector>

#include "protocol/print_server.h"
#include "protocol/print_server_list.h"
#include "wizard/dialogs/search_dialog.h"
#include "wizard/load_settings.h"
#include "wizard/page_text.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

// Before the search starts on the page's showing.
constexpr DWORD kShowPause = 400;

// The columns: header string and width as a fraction of the list's client width.
struct Column {
  UINT header;
  int numerator;
  int denominator;
};
constexpr Column kColumns[] = {
    {IDS_COL_DEVICE_NAME, 6, 22}, {IDS_COL_IP_ADDRESS, 5, 22}, {IDS_COL_MAC_ADDRESS, 6, 22},
    {IDS_COL_PORT, 2, 22},        {IDS_COL_STATUS, 4, 22},     {IDS_COL_VERSION, 2, 11},
};

// A port's status word, by its two status bits.
constexpr UINT kStatusWords[4] = {IDS_STATUS_OK, IDS_STATUS_PAPER_OUT, IDS_STATUS_OFFLINE, IDS_STATUS_BUSY};

// The status round's ticks: each sends the next requests and takes in the answers.
constexpr UINT kStatusTimerPeriod = 50;

// The list shows the first three 5-character slots of the port-type text.
constexpr int kPortTypeChars = PS_MAX_PORTS * PS_PORT_TYPE_SLOT;

}  // namespace

IMPLEMENT_DYNCREATE(WizardStep02, WizardPage)

BEGIN_MESSAGE_MAP(WizardStep02, WizardPage)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_REFRESH, OnRefresh)
END_MESSAGE_MAP()

WizardStep02::WizardStep02()
    : WizardPage(IDD_WIZARD_SERVER_LIST, IDB_SIDE_SERVER_LIST, PSWIZB_BACK | PSWIZB_NEXT,
                 {1058, 1059, 1060, 1061, 1062}) {}

void WizardStep02::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_SERVER_LIST, m_ServerList);
}

BOOL WizardStep02::OnInitDialog() {
  WizardPage::OnInitDialog();
  SetDlgItemText(IDC_REFRESH, LoadText(IDS_REFRESH).GetString());
  CRect client;
  m_ServerList.GetClientRect(&client);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); i++) {
    const Column& c = kColumns[i];
    m_ServerList.InsertColumn(i, LoadText(c.header).GetString(), LVCFMT_LEFT,
                              client.Width() * c.numerator / c.denominator, i);
  }
  m_ServerList.SetExtendedStyle(m_ServerList.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  Invalidate();
  return TRUE;
}

BOOL WizardStep02::OnSetActive() {
  GetSheet()->SetWizardButtons(static_cast<DWORD>(buttons()));
  // No server chosen yet, or the last one saved: search once the page shows.
  if (WizardSettings::m_SelectedRow < 0) {
    SetTimer(kSearchTimer, kSearchTimerDelay);
    Sleep(kShowPause);
  }
  FocusServerList();
  return CPropertyPage::OnSetActive();
}

LRESULT WizardStep02::OnWizardNext() { return LoadSettings(m_ServerList, *this); }

// The wait cursor shows through the search and goes with it; the statuses are
// asked for while the page takes input again.
void WizardStep02::OnTimer(UINT_PTR id) {
  if (id == kStatusTimer) {
    StepStatusRound();
    return;
  }
  CWaitCursor wait;
  if (id == kSearchTimer) {
    KillTimer(kSearchTimer);
    if (WizardSettings::m_SelectedRow >= 0 || Search()) FillServerList();
    FocusServerList();
  }
  Default();
}

void WizardStep02::OnRefresh() {
  CWaitCursor wait;
  WizardSettings::m_SelectedRow = -1;
  m_ServerList.DeleteAllItems();
  m_ServerList.Invalidate();
  if (Search()) FillServerList();
  m_ServerList.Invalidate();
  FocusServerList();
}

void WizardStep02::FocusServerList() {
  if (m_ServerList.GetItemCount() > 0) m_ServerList.SetFocus();
}

BOOL WizardStep02::Search() {
  // The search deletes the records the round asks for.
  m_RowServers.clear();
  EndStatusRound();
  CSearchPSDlg dialog(this);
  return dialog.DoModal() == IDOK;
}

BOOL WizardStep02::ClearServerList() {
  m_ServerList.DeleteAllItems();
  m_ServerList.Invalidate();
  return TRUE;
}

// Every row shows at once, its status asked for; the answers come in while the
// page goes on taking input.
void WizardStep02::FillServerList() {
  m_RowServers.clear();
  EndStatusRound();
  ClearServerList();
  std::vector<CPrintServer*> asked;
  int row = 0;
  for (POSITION pos = g_PrintServerList.GetHeadPosition(); pos != NULL;) {
    auto* ps = static_cast<CPrintServer*>(g_PrintServerList.GetNext(pos));
    if (ps == NULL) continue;
    const int ports = ps->GetPortCount();
    char types[kPortTypeChars + 1] = {};
    if (ps->m_pReply != NULL) std::strncpy(types, ps->GetPortTypes(), kPortTypeChars);
    const bool numbered = types[0] == 0 || types[0] == ' ';

    const CStringA name = ps->GetName();
    const BYTE* ip = ps->GetIPAddress();
    const CStringA address = ip != NULL ? DottedAddress(ip) : CStringA("0.0.0.0");
    const CStringA mac = ps->GetNodeIDText();
    const CStringA version = ps->GetVersionText();
    for (int p = 0; p < ports && p < PS_MAX_PORTS; p++, row++) {
      CStringA port;
      if (numbered) port.Format("%d", p + 1);
      else port.Format("%c%c", types[PS_PORT_TYPE_SLOT * p], types[PS_PORT_TYPE_SLOT * p + 1]);

      const int item = m_ServerList.InsertItem(row, name.GetString());
      m_ServerList.SetItemText(item, SERVER_COLUMN_IP, address.GetString());
      m_ServerList.SetItemText(item, SERVER_COLUMN_MAC, mac.GetString());
      m_ServerList.SetItemText(item, SERVER_COLUMN_PORT, port.GetString());
      m_ServerList.SetItemText(item, SERVER_COLUMN_STATUS, LoadText(IDS_STATUS_ASKING).GetString());
      m_ServerList.SetItemText(item, SERVER_COLUMN_VERSION, version.GetString());
      // The port's place, for a row whose column names no port digit.
      m_ServerList.SetItemData(item, static_cast<DWORD_PTR>(p + 1));
      m_RowServers.push_back(ps);
    }
    if (ports > 0) asked.push_back(ps);
  }
  if (row > 0) {
    m_ServerList.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_ServerList.Invalidate();
  }
  m_StatusRound.Begin(asked);
  m_StatusTimer = SetTimer(kStatusTimer, kStatusTimerPeriod) != 0;
  StepStatusRound();
}

void WizardStep02::StepStatusRound() {
  for (CPrintServer* ps : m_StatusRound.Step()) ShowStatus(ps);
  if (m_StatusRound.Over()) EndStatusRound();
}

void WizardStep02::EndStatusRound() {
  if (m_StatusTimer) KillTimer(kStatusTimer);
  m_StatusTimer = FALSE;
  m_StatusRound.End();
  // A status that did not come is not known.
  for (std::size_t row = 0; row < m_RowServers.size(); row++)
    if (!m_StatusRound.Answered(m_RowServers[row])) ShowStatus(static_cast<int>(row), IDS_STATUS_UNKNOWN);
}

void WizardStep02::ShowStatus(CPrintServer* ps) {
  for (std::size_t row = 0; row < m_RowServers.size(); row++) {
    if (m_RowServers[row] != ps) continue;
    const int port = static_cast<int>(m_ServerList.GetItemData(static_cast<int>(row))) - 1;
    ShowStatus(static_cast<int>(row), kStatusWords[(ps->m_PortStatus >> (2 * port)) & 0x3]);
  }
}

void WizardStep02::ShowStatus(int row, UINT word) {
  m_ServerList.SetItemText(row, SERVER_COLUMN_STATUS, LoadText(word).GetString());
}

void WizardStep02::OnDestroy() {
  m_RowServers.clear();
  EndStatusRound();
}
