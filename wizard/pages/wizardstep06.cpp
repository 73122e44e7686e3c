#include "wizard/pages/wizardstep06.h"

#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "protocol/trace.h"
#include "spooler/profile.h"
#include "spooler/winspool.h"
#include "wizard/page_text.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStep06, WizardPage)

BEGIN_MESSAGE_MAP(WizardStep06, WizardPage)
END_MESSAGE_MAP()

namespace {

constexpr DWORD kProfileRoom = 250;

// An open printer, closed when it goes.
class Printer {
 public:
  explicit Printer(const CStringA& name) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(name.GetString(), &m_handle, &defaults)) m_handle = nullptr;
  }
  ~Printer() {
    if (m_handle) ClosePrinter(m_handle);
  }
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  bool Opened() const { return m_handle != nullptr; }
  HANDLE Handle() const { return m_handle; }
  // Its PRINTER_INFO_2: the size first, then a zeroed block of that size; null
  // when it cannot be read.
  PRINTER_INFO_2A* Read() {
    if (!m_handle) return nullptr;
    DWORD needed = 0;
    GetPrinterA(m_handle, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2A)) return nullptr;
    m_info.assign(needed, 0);
    if (!GetPrinterA(m_handle, 2, m_info.data(), needed, &needed)) return nullptr;
    return reinterpret_cast<PRINTER_INFO_2A*>(m_info.data());
  }

 private:
  HANDLE m_handle = nullptr;
  std::vector<BYTE> m_info;
};

}  // namespace

WizardStep06::WizardStep06()
    : WizardPage(IDD_WIZARD_SUMMARY, IDB_SIDE_SUMMARY, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1059, 1060, 1061, 1015}) {}

void WizardStep06::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_SUMMARY_LIST, m_SummaryList);
  DDX_Check(exchange, IDC_SET_DEFAULT_PRINTER, m_SetDefault);
}

BOOL WizardStep06::OnInitDialog() {
  WizardPage::OnInitDialog();
  SetDlgItemText(IDC_SET_DEFAULT_PRINTER, LoadText(IDS_SET_DEFAULT_PRINTER).GetString());
  return TRUE;
}

LRESULT WizardStep06::OnWizardBack() { return IDD_WIZARD_PRINTER; }

void WizardStep06::ResetSummaryList() {
  ResetTwoColumns(m_SummaryList, IDS_COL_DEVICE_NAME, IDS_COL_PORT, 2, 5);
  m_SummaryList.EnableWindow(FALSE);
  Invalidate();
}

void WizardStep06::AddRow(int row, UINT label, const char* value) {
  m_SummaryList.InsertItem(row, LoadText(label).GetString());
  m_SummaryList.SetItemText(row, 1, value);
}

void WizardStep06::ShowFailure() {
  ResetSummaryList();
  AddRow(0, IDS_FAILURE, LoadText(IDS_SET_PORT_MANUALLY).GetString());
  GetDlgItem(IDC_SET_DEFAULT_PRINTER)->EnableWindow(FALSE);
  GetSheet()->SetWizardButtons(PSWIZB_FINISH);
}

BOOL WizardStep06::OnSetActive() {
  using namespace WizardSettings;
  GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
  m_OSVersion.dwOSVersionInfoSize = sizeof m_OSVersion;
  GetVersionExA(&m_OSVersion);

  Printer printer(m_PrinterName);
  PRINTER_INFO_2A* info = printer.Read();
  if (info == nullptr) {
    // Without the printer's record there is nothing to bind: the user is told so.
    ShowFailure();
  } else {
    ResetSummaryList();
    AddRow(0, IDS_SUM_PRINTER_NAME, info->pPrinterName ? info->pPrinterName : m_PrinterName.GetString());
    AddRow(1, IDS_SUM_PORT_NAME, m_PortName);
    AddRow(2, IDS_SUM_PRINTER_IP, DottedAddress(m_ServerIPAddress).GetString());
    m_SetDefault = 1;
    BOOL isDefault = FALSE;
    if (m_OSVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
      isDefault = (info->Attributes & PRINTER_ATTRIBUTE_DEFAULT) != 0;
    } else {
      char device[kProfileRoom] = {};
      GetProfileStringA("windows", "device", ",,,", device, kProfileRoom);
      CStringA current(device);
      int comma = current.Find(',');
      if (comma >= 0) current = current.Left(comma);
      isDefault = !current.IsEmpty() && vek::CompareNoCase(current.GetString(), info->pPrinterName) == 0;
    }
    GetDlgItem(IDC_SET_DEFAULT_PRINTER)->EnableWindow(!isDefault);
  }
  UpdateData(FALSE);
  // The buttons are set above; the base only refills the controls.
  return CPropertyPage::OnSetActive();
}

LRESULT WizardStep06::OnWizardNext() {
  using namespace WizardSettings;
  CWaitCursor wait;
  m_OSVersion.dwOSVersionInfoSize = sizeof m_OSVersion;
  GetVersionExA(&m_OSVersion);
  UpdateData(TRUE);
  bool nineX = m_OSVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;

  Printer printer(m_PrinterName);
  PRINTER_INFO_2A* info = printer.Read();
  BOOL bound = FALSE;
  DWORD error = ERROR_SUCCESS;
  if (info != nullptr) {
    if (nineX && m_SetDefault) info->Attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    info->pPortName = m_PortName;
    bound = SetPrinterA(printer.Handle(), 2, reinterpret_cast<LPBYTE>(info), 0);
    if (!bound) error = GetLastError();
  } else {
    error = GetLastError();
  }
  if (!bound) {
    // The printer is not on the new port: the finish page would say otherwise.
    DebugTrace("WizardStep06::OnWizardNext() SetPrinter = %lu\r\n", static_cast<unsigned long>(error));
    ShowError(IDS_SET_PORT_MANUALLY);
    ShowFailure();
    return IDD_WIZARD_SUMMARY;
  }
  if (!nineX && m_SetDefault) {
    CStringA device;
    device.Format("%s,%s,%s", info->pPrinterName, info->pDriverName ? info->pDriverName : "", m_PortName);
    WriteProfileStringA("windows", "device", device.GetString());
  }
  return IDD_WIZARD_FINISH;
}
