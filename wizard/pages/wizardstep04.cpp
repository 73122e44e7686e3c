#include "wizard/pages/wizardstep04.h"

#include <cstring>

#include "kernel/clock.h"
#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/thread.h"
#include "protocol/reachability.h"
#include "protocol/trace.h"
#include "registry/store_check.h"
#include "spooler/winspool.h"
#include "wizard/discovery_wait.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStep04, WizardPage)

BEGIN_MESSAGE_MAP(WizardStep04, WizardPage)
  ON_BN_CLICKED(IDC_ADD_NEW_PRINTER, OnAddNewPrinter)
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

std::vector<CStringA> g_PrinterNames;

namespace {

// The printers may change between the size query and the listing.
constexpr int kListingTries = 3;

}  // namespace

WizardStep04::WizardStep04()
    : WizardPage(IDD_WIZARD_PRINTER, IDB_SIDE_PRINTER, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061}) {}

WizardStep04::~WizardStep04() = default;

void WizardStep04::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_PRINTER_LIST, m_PrinterList);
}

BOOL WizardStep04::OnInitDialog() {
  CWaitCursor wait;
  WizardPage::OnInitDialog();
  m_PrinterRow = -1;
  CStringA caption;
  caption.LoadString(IDS_ADD_NEW_PRINTER);
  SetDlgItemText(IDC_ADD_NEW_PRINTER, caption.GetString());
  return TRUE;
}

BOOL WizardStep04::OnSetActive() {
  GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  FindMonitorName();
  if (m_PrinterRow < 0) {
    ResetPrinterList();
    if (FillPrinterList() == 0) GetSheet()->SetWizardButtons(PSWIZB_FINISH);
  }
  return CPropertyPage::OnSetActive();
}

LRESULT WizardStep04::OnWizardBack() { return IDD_WIZARD_SERVER_LIST; }

void WizardStep04::ResetPrinterList() {
  ResetTwoColumns(m_PrinterList, IDS_COL_PRINTER_NAME, IDS_COL_PORT, 7, 11);
  m_PrinterList.SetExtendedStyle(m_PrinterList.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  m_PrinterList.Invalidate();
}

int WizardStep04::SpoolerFailed(UINT message, BOOL addEnabled) {
  ShowError(message);
  CWnd* add = GetDlgItem(IDC_ADD_NEW_PRINTER);
  add->EnableWindow(addEnabled);
  m_PrinterList.EnableWindow(FALSE);
  if (addEnabled) add->SetFocus();  // what is left to do
  return addEnabled;
}

int WizardStep04::StoreFailed(DWORD error) {
  CStringA format, text;
  format.LoadString(IDS_ERR_PRINTERS_UNREADABLE);
  text.Format(format.GetString(), vek::registry::DescribeStoreError(static_cast<LONG>(error)).c_str());
  MessageBox(text.GetString(), "Error", MB_ICONSTOP);
  GetDlgItem(IDC_ADD_NEW_PRINTER)->EnableWindow(FALSE);
  m_PrinterList.EnableWindow(FALSE);
  return 1;
}

int WizardStep04::FillPrinterList() {
  m_PrinterRow = -1;
  g_PrinterNames.clear();
  std::vector<BYTE> block;
  DWORD returned = 0;
  // The error is the one of the call that failed: the size query, or the listing
  // when the printers changed in between and it failed otherwise. A registry
  // that cannot be read is no spooler that stopped, nor a machine without printers.
  auto failed = [&](DWORD error) {
    if (vek::registry::IsStoreError(static_cast<LONG>(error))) return StoreFailed(error);
    return SpoolerFailed(IDS_ERR_SPOOLER, FALSE);
  };
  for (int attempt = 0;; ++attempt) {
    DWORD needed = 0;
    BOOL sized = EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    DWORD error = sized ? ERROR_SUCCESS : GetLastError();
    if (sized || needed == 0) {
      if (error == ERROR_SUCCESS) {
        // Nothing installed: only Add New Printer helps.
        SpoolerFailed(IDS_ERR_NO_PRINTER_DRIVER, TRUE);
        return 1;
      }
      return failed(error);
    }
    if (error != ERROR_INSUFFICIENT_BUFFER) return failed(error);
    block.assign(needed, 0);
    if (EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block.data(), needed, &needed, &returned)) break;
    error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || attempt + 1 >= kListingTries) return failed(error);
  }
  m_PrinterList.EnableWindow(TRUE);
  GetDlgItem(IDC_ADD_NEW_PRINTER)->EnableWindow(TRUE);
  const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(block.data());
  for (DWORD i = 0; i < returned; ++i) {
    const char* name = printers[i].pPrinterName ? printers[i].pPrinterName : "";
    m_PrinterRow += 1;
    m_PrinterList.InsertItem(m_PrinterRow, name);
    m_PrinterList.SetItemText(m_PrinterRow, 1, printers[i].pPortName ? printers[i].pPortName : "");
    g_PrinterNames.emplace_back(name);
  }
  m_PrinterList.Invalidate();
  if (m_PrinterRow >= 0) {
    m_PrinterList.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_PrinterList.SetFocus();
  }
  return 1;
}

LRESULT WizardStep04::OnWizardNext() {
  using namespace WizardSettings;
  CWaitCursor wait;
  m_PrinterName.Empty();
  int row = m_PrinterList.GetNextItem(-1, LVNI_SELECTED);
  if (row < 0 || row >= static_cast<int>(g_PrinterNames.size())) {
    ShowError(IDS_ERR_SELECT_PRINTER);
    return IDD_WIZARD_PRINTER;
  }
  m_PrinterRow = row;
  m_PrinterName = g_PrinterNames[static_cast<std::size_t>(row)];

  // A port is made once for a server: again only when another server (or the
  // same one at another address or printer port) was chosen since.
  if (!m_PortCreated || !PortIsForChosenServer()) {
    BOOL found = LocateServer();
    KillLocateTimer();
    if (!found) {
      ShowError(IDS_ERR_NO_SERVER);
      return IDD_WIZARD_PRINTER;
    }
    if (!::PingPrintServer(m_ServerIPAddress)) {
      ShowError(IDS_ERR_PING);
      return IDD_WIZARD_PRINTER;
    }
    DWORD error = ERROR_SUCCESS;
    if (!CreateNetworkPort(&error)) {
      CStringA format, text;
      format.LoadString(IDS_ERR_PORT_NOT_CREATED);
      // What went wrong in words, in the language of the wizard's texts.
      text.Format(format.GetString(), vek::ErrorText(error, PRIMARYLANGID(GetUserDefaultLangID())).c_str());
      MessageBox(text.GetString(), "Error", MB_ICONSTOP);
      return IDD_WIZARD_PRINTER;
    }
    std::memcpy(m_PortNode, m_ServerNodeID, sizeof m_PortNode);
    std::memcpy(m_PortAddress, m_ServerIPAddress, sizeof m_PortAddress);
    m_PortServerPort = m_PortID;
  }
  return IDD_WIZARD_SUMMARY;
}

BOOL WizardStep04::PortIsForChosenServer() const {
  using namespace WizardSettings;
  return std::memcmp(m_PortNode, m_ServerNodeID, sizeof m_PortNode) == 0 &&
         std::memcmp(m_PortAddress, m_ServerIPAddress, sizeof m_PortAddress) == 0 && m_PortServerPort == m_PortID;
}

void WizardStep04::KillLocateTimer() {
  if (m_TimerID != 0) KillTimer(kDiscoveryWaitTimer);
  m_TimerID = 0;
}

void WizardStep04::OnTimer(UINT_PTR id) {
  if (id == kDiscoveryWaitTimer) KillLocateTimer();
}

void WizardStep04::OnDestroy() {
  KillLocateTimer();
  WaitForLocateEnd();
}
