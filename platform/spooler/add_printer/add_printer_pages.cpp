#include "spooler/add_printer/add_printer_pages.h"

#include <vector>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/version.h"
#include "spooler/add_printer/add_printer_ids.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"

namespace vek::spooler {
namespace {

constexpr DWORD kTestPageWaitMs = 60000;

bool Japanese() { return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE; }

const char* NoNameText() { return Japanese() ? "プリンタ名を入力してください。" : "Type a name for the printer."; }
const char* BadNameText() {
  return Japanese() ? "プリンタ名に \",\" と \"\\\" は使用できません。" : "A printer name cannot contain \",\" or \"\\\".";
}
const char* TakenNameText() {
  return Japanese() ? "この名前のプリンタは既にインストールされています。" : "A printer of that name is installed already.";
}
const char* NoPortText() { return Japanese() ? "使用できるポートがありません。" : "This computer has no port to use."; }
std::string PortsUnreadableText() {
  return Japanese() ? "ポートの一覧を読み込めません: " : "The ports cannot be listed: ";
}
const char* Caption() { return Japanese() ? "プリンタの追加ウィザード" : "Add Printer Wizard"; }

// The spooler's ports, local ones (LPT1:) first as the platform lists them; *error
// says why there are none when they cannot be listed.
std::vector<std::string> Ports(DWORD* error) {
  std::vector<std::string> names;
  DWORD needed = 0, returned = 0;
  EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 64);
  if (!EnumPortsA(nullptr, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &returned)) {
    *error = GetLastError();
    return names;
  }
  const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.emplace_back(ports[i].pName ? ports[i].pName : "");
  return names;
}

bool PrinterExists(const std::string& name) {
  HANDLE printer = nullptr;
  if (!OpenPrinterA(name.c_str(), &printer, nullptr)) return false;
  ClosePrinter(printer);
  return true;
}

std::string ComboText(HWND combo) {
  auto index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  auto length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (index < 0 || length < 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void AddItems(HWND combo, const std::vector<std::string>& items, const std::string& selected) {
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  int chosen = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i].c_str()));
    if (items[i] == selected) chosen = static_cast<int>(i);
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

// A short page of text that shows the printer works.
std::string TestPage(const NewPrinter& printer) {
  return "Test page\r\n\r\nPrinter: " + printer.name + "\r\nDriver: " + printer.driver + "\r\nPort: " + printer.port +
         "\r\n\r\nIf you can read this, the printer is installed properly.\r\n\f";
}

}  // namespace

BOOL CAddPrinterPage::OnSetActive() {
  GetSheet()->SetWizardButtons(m_buttons);
  return CPropertyPage::OnSetActive();
}

CLocalPrinterPage::CLocalPrinterPage(NewPrinter& printer)
    : CAddPrinterPage(IDD_ADD_PRINTER_LOCAL, printer, PSWIZB_BACK | PSWIZB_NEXT) {}

BOOL CLocalPrinterPage::OnInitDialog() {
  CAddPrinterPage::OnInitDialog();
  CheckRadioButton(IDC_AP_LOCAL, IDC_AP_NETWORK, IDC_AP_LOCAL);
  GetDlgItem(IDC_AP_NETWORK)->EnableWindow(FALSE);
  return TRUE;
}

CPrinterPortPage::CPrinterPortPage(NewPrinter& printer)
    : CAddPrinterPage(IDD_ADD_PRINTER_PORT, printer, PSWIZB_BACK | PSWIZB_NEXT) {}

BOOL CPrinterPortPage::OnInitDialog() {
  CAddPrinterPage::OnInitDialog();
  m_listError = 0;
  AddItems(::GetDlgItem(m_hWnd, IDC_AP_PORT), Ports(&m_listError), m_printer.port);
  return TRUE;
}

LRESULT CPrinterPortPage::OnWizardNext() {
  m_printer.port = ComboText(::GetDlgItem(m_hWnd, IDC_AP_PORT));
  if (m_printer.port.empty()) {
    std::string text = m_listError != 0 ? PortsUnreadableText() + DescribeError(m_listError) + "." : NoPortText();
    MessageBox(text.c_str(), Caption(), MB_ICONSTOP);
    return IDD_ADD_PRINTER_PORT;
  }
  return 0;
}

BEGIN_MESSAGE_MAP(CPrinterModelPage, CAddPrinterPage)
  ON_CBN_SELCHANGE(IDC_AP_MODEL, OnModelChange)
END_MESSAGE_MAP()

CPrinterModelPage::CPrinterModelPage(NewPrinter& printer)
    : CAddPrinterPage(IDD_ADD_PRINTER_MODEL, printer, PSWIZB_BACK | PSWIZB_NEXT) {}

BOOL CPrinterModelPage::OnInitDialog() {
  CAddPrinterPage::OnInitDialog();
  AddItems(::GetDlgItem(m_hWnd, IDC_AP_MAKER), {"Generic"}, "Generic");
  AddItems(::GetDlgItem(m_hWnd, IDC_AP_MODEL), std::vector<std::string>(std::begin(kGenericDrivers), std::end(kGenericDrivers)),
           kGenericDrivers[0]);
  OnModelChange();
  return TRUE;
}

// The name follows the model until the user gives one of his own.
void CPrinterModelPage::OnModelChange() {
  CStringA typed;
  GetDlgItemText(IDC_AP_NAME, typed);
  std::string model = ComboText(::GetDlgItem(m_hWnd, IDC_AP_MODEL));
  if (typed.IsEmpty() || m_suggested == typed.GetString()) {
    m_suggested = model;
    SetDlgItemText(IDC_AP_NAME, model.c_str());
  }
}

LRESULT CPrinterModelPage::OnWizardNext() {
  CStringA name;
  GetDlgItemText(IDC_AP_NAME, name);
  name.Trim();
  m_printer.driver = ComboText(::GetDlgItem(m_hWnd, IDC_AP_MODEL));
  m_printer.name = name.GetString();
  const char* problem = m_printer.name.empty()                                       ? NoNameText()
                        : m_printer.name.find_first_of(",\\") != std::string::npos ? BadNameText()
                        : PrinterExists(m_printer.name)                            ? TakenNameText()
                                                                                   : nullptr;
  if (problem) {
    MessageBox(problem, Caption(), MB_ICONSTOP);
    GetDlgItem(IDC_AP_NAME)->SetFocus();
    return IDD_ADD_PRINTER_MODEL;
  }
  return 0;
}

CTestPagePage::CTestPagePage(NewPrinter& printer)
    : CAddPrinterPage(IDD_ADD_PRINTER_TEST, printer, PSWIZB_BACK | PSWIZB_FINISH) {}

BOOL CTestPagePage::OnInitDialog() {
  CAddPrinterPage::OnInitDialog();
  CheckRadioButton(IDC_AP_TEST_YES, IDC_AP_TEST_NO, IDC_AP_TEST_NO);
  return TRUE;
}

BOOL CTestPagePage::OnWizardFinish() {
  m_printer.testPage = IsDlgButtonChecked(IDC_AP_TEST_YES) == BST_CHECKED;
  std::string problem;
  if (!AddNewPrinter(m_printer, &problem)) {
    MessageBox(problem.c_str(), Caption(), MB_ICONSTOP);
    return FALSE;
  }
  m_printer.added = true;
  return TRUE;
}

BOOL AddNewPrinter(const NewPrinter& printer, std::string* problem) {
  std::string name = printer.name, port = printer.port, driver = printer.driver, datatype = "RAW";
  PRINTER_INFO_2A info{};
  info.pPrinterName = name.data();
  info.pPortName = port.data();
  info.pDriverName = driver.data();
  info.pDatatype = datatype.data();
  info.Attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED;
  HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (handle == nullptr) {
    *problem = (Japanese() ? "プリンタを追加できませんでした: " : "The printer could not be added: ") +
               ErrorText(GetLastError(), Japanese() ? LANG_JAPANESE : LANG_ENGLISH) + (Japanese() ? "。" : ".");
    return FALSE;
  }
  if (printer.testPage) {
    std::string document = "Test Page", page = TestPage(printer);
    DOC_INFO_1A doc{document.data(), nullptr, datatype.data()};
    DWORD written = 0;
    DWORD job = StartDocPrinterA(handle, 1, reinterpret_cast<LPBYTE>(&doc));
    if (job != 0) {
      WritePrinter(handle, page.data(), static_cast<DWORD>(page.size()), &written);
      EndDocPrinter(handle);
      WaitForJob(job, kTestPageWaitMs, [](const JobRecord&) {});  // the job runs in this process
    }
  }
  ClosePrinter(handle);
  return TRUE;
}

}  // namespace vek::spooler
