// A small dialog run modally with the terminal front end, for the end-to-end tests:
// an edit, a check box, a combo box, a list view with two rows, a progress bar and
// OK/Cancel. OK with an empty name warns in a message box; OK with the name "slow"
// works for 1.5 s under the wait cursor first; OK with the name "busy" opens a
// modal dialog that plays an animation and waits, pumping messages under the wait
// cursor as the wizard's search does, until the file <result file>.go exists, and
// the demo goes on. When
// the dialog ends, the result goes to the file named on the command line.
//   terminal_demo <result file> [--exit-on-cancel | --sheet]
// With --exit-on-cancel, Cancel calls exit() while the screen is still in use.
// With --sheet, a two-page wizard runs instead; its first page paints a picture.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "framework/framework.h"
#include "ui/front_end_choice.h"

namespace {

using namespace vek::framework;

constexpr UINT kDemoDialog = 7100;
constexpr int kName = 1001, kLogging = 1002, kMode = 1003, kServers = 1004, kProgress = 1005;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

const DialogItemTemplate kItems[] = {
    {WC_STATIC, "&Name:", -1, 8, 8, 40, 10, kChild | SS_LEFT},
    {WC_EDIT, "", kName, 52, 6, 120, 13, kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
    {WC_BUTTON, "Enable &logging", kLogging, 52, 24, 120, 10, kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
    {WC_STATIC, "Mode:", -1, 8, 40, 40, 10, kChild | SS_LEFT},
    {WC_COMBOBOX, "", kMode, 52, 38, 120, 60, kChild | WS_TABSTOP | CBS_DROPDOWNLIST},
    {WC_LISTVIEW, "", kServers, 8, 56, 204, 48, kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL},
    {PROGRESS_CLASS, "", kProgress, 8, 110, 204, 10, kChild},
    {WC_STATIC, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe3\x83\xa9\xe3\x83\x99\xe3\x83\xab|", -1, 8, 126,
     120, 10, kChild | SS_LEFT},  // 日本語のラベル, and a bar where it ends
    {WC_BUTTON, "OK", IDOK, 106, 142, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {WC_BUTTON, "Cancel", IDCANCEL, 162, 142, 50, 14, kChild | WS_TABSTOP},
};

constexpr UINT kBusyDialog = 7101;
constexpr int kBusyText = 1201, kBusyAnimation = 1202;
constexpr UINT_PTR kBusyTimer = 1;
constexpr LPARAM kBusyClip = 1;

const DialogItemTemplate kBusyItems[] = {
    {WC_STATIC, "Starting", kBusyText, 8, 8, 84, 10, kChild | SS_CENTER},
    {ANIMATE_CLASS, "", kBusyAnimation, 44, 22, 12, 10, kChild | ACS_AUTOPLAY},
};

constexpr UINT kWelcomePage = 7110, kDetailsPage = 7111, kSidePicture = 7120;
constexpr int kGreeting = 1101, kDetail = 1102;
constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_SETFONT;

const DialogItemTemplate kWelcomeItems[] = {
    {WC_STATIC, "Welcome to the terminal wizard. To continue, click Next.", kGreeting, 124, 46, 260, 24, kChild},
};

const DialogItemTemplate kDetailsItems[] = {
    {WC_STATIC, "&Printer name:", -1, 124, 46, 60, 10, kChild},
    {WC_EDIT, "", kDetail, 190, 44, 120, 13, kChild | WS_TABSTOP | WS_BORDER},
};

const DialogTemplate kTemplates[] = {
    {kDemoDialog, 0x09, 0, 0, 220, 162, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, "Terminal Demo", "MS Sans Serif", 8,
     kItems, std::size(kItems)},
    {kBusyDialog, 0x09, 0, 0, 100, 40, WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, "Busy", "MS Sans Serif", 8,
     kBusyItems, std::size(kBusyItems)},
    {kWelcomePage, 0x09, 0, 0, 400, 300, kPage, 0, "Demo Wizard", "System", 10, kWelcomeItems, std::size(kWelcomeItems)},
    {kDetailsPage, 0x09, 0, 0, 400, 300, kPage, 0, "Demo Wizard", "System", 10, kDetailsItems, std::size(kDetailsItems)},
};

void DrawSide(std::uint32_t* pixels, int width, int height) {
  for (int i = 0; i < width * height; ++i) pixels[i] = 0x336699;
}

const BitmapResource kBitmaps[] = {{kSidePicture, 138, 429, 24, "Side picture", DrawSide}};

void AddColumn(HWND list, int index, const char* heading, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<char*>(heading);
  column.cx = width;
  ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

void AddRow(HWND list, int index, const char* name, const char* address) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(name);
  ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(address);
  ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// Waits for a file in a loop of its own from a timer, the messages pumped and the
// wait cursor shown, as the wizard's search dialog waits for its search.
class CBusyDialog : public CDialog {
 public:
  explicit CBusyDialog(std::string go) : CDialog(kBusyDialog), m_go(std::move(go)) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    ::SendMessageA(::GetDlgItem(m_hWnd, kBusyAnimation), ACM_OPENA, 0, kBusyClip);
    SetTimer(kBusyTimer, 100);
    return TRUE;
  }
  void OnTimer(UINT_PTR) {
    KillTimer(kBusyTimer);
    ::SetDlgItemTextA(m_hWnd, kBusyText, "Working...");
    CWaitCursor wait;  // shows the text and the wait on the screen
    while (!std::ifstream(m_go)) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      ::Sleep(10);
    }
    EndDialog(IDOK);
  }
  DECLARE_MESSAGE_MAP()

 private:
  std::string m_go;
};

BEGIN_MESSAGE_MAP(CBusyDialog, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CDemoDialog : public CDialog {
 public:
  CDemoDialog(bool exitOnCancel, std::string resultPath)
      : CDialog(kDemoDialog), m_exitOnCancel(exitOnCancel), m_resultPath(std::move(resultPath)) {}

  BOOL OnInitDialog() override {
    HWND mode = ::GetDlgItem(m_hWnd, kMode);
    for (const char* item : {"Raw", "LPR", "IPP"}) ::SendMessageA(mode, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageA(mode, CB_SETCURSEL, 0, 0);
    HWND servers = ::GetDlgItem(m_hWnd, kServers);
    AddColumn(servers, 0, "Server", 120);
    AddColumn(servers, 1, "Address", 160);
    AddRow(servers, 0, "Alpha", "192.168.0.10");
    AddRow(servers, 1, "Beta", "192.168.0.11");
    ::SendMessageA(::GetDlgItem(m_hWnd, kProgress), PBM_SETPOS, 40, 0);
    return CDialog::OnInitDialog();
  }

  void OnOK() override {
    char name[128] = {};
    ::GetDlgItemTextA(m_hWnd, kName, name, sizeof name);
    if (name[0] == '\0') {
      AfxMessageBox("Please enter a name.", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    if (std::strcmp(name, "busy") == 0) {
      CBusyDialog busy(m_resultPath + ".go");
      busy.DoModal();
      return;
    }
    if (std::strcmp(name, "slow") == 0) {
      CWaitCursor wait;  // a long piece of work, as the wizard's waits are
      ::Sleep(1500);
    }
    HWND mode = ::GetDlgItem(m_hWnd, kMode);
    char modeText[32] = {};
    ::SendMessageA(mode, CB_GETLBTEXT, static_cast<WPARAM>(::SendMessageA(mode, CB_GETCURSEL, 0, 0)),
                   reinterpret_cast<LPARAM>(modeText));
    HWND servers = ::GetDlgItem(m_hWnd, kServers);
    auto server = ::SendMessageA(servers, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    char serverName[64] = "none";
    if (server >= 0) {
      LVITEMA item{};
      item.pszText = serverName;
      item.cchTextMax = sizeof serverName;
      ::SendMessageA(servers, LVM_GETITEMTEXTA, static_cast<WPARAM>(server), reinterpret_cast<LPARAM>(&item));
    }
    m_result = std::string("result=OK name=") + name + " check=" + std::to_string(IsDlgButtonChecked(kLogging)) +
               " mode=" + modeText + " server=" + serverName;
    EndDialog(IDOK);
  }

  void OnCancel() override {
    if (m_exitOnCancel) std::exit(7);  // the screen is still in use
    m_result = "result=Cancel";
    EndDialog(IDCANCEL);
  }

  const std::string& Result() const { return m_result; }

 private:
  bool m_exitOnCancel;
  std::string m_resultPath;
  std::string m_result;
};

// The first page paints its side picture, as the wizard's pages do.
class CWelcomePage : public CPropertyPage {
 public:
  CWelcomePage() : CPropertyPage(kWelcomePage) {}
  BOOL OnSetActive() override {
    GetSheet()->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
  }
  void OnPaint() {
    CPaintDC dc(this);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap side;
    side.LoadBitmap(kSidePicture);
    memory.SelectObject(&side);
    dc.StretchBlt(10, 11, 138, 429, &memory, 0, 0, 138, 429, SRCCOPY);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWelcomePage, CPropertyPage)
  ON_WM_PAINT()
END_MESSAGE_MAP()

class CDetailsPage : public CPropertyPage {
 public:
  CDetailsPage() : CPropertyPage(kDetailsPage) {}
  BOOL OnSetActive() override {
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
  }
  BOOL OnWizardFinish() override {
    char text[64] = {};
    ::GetDlgItemTextA(m_hWnd, kDetail, text, sizeof text);
    m_value = text;
    return TRUE;
  }
  std::string m_value;
};

std::string RunSheet() {
  CWelcomePage welcome;
  CDetailsPage details;
  CPropertySheet sheet("Demo Wizard");
  sheet.AddPage(&welcome);
  sheet.AddPage(&details);
  sheet.SetWizardMode();
  INT_PTR ended = sheet.DoModal();
  return ended == ID_WIZFINISH ? "result=Finish printer=" + details.m_value : "result=Cancel";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <result file> [--exit-on-cancel]\n", argv[0]);
    return 2;
  }
  bool exitOnCancel = argc > 2 && std::strcmp(argv[2], "--exit-on-cancel") == 0;
  bool sheet = argc > 2 && std::strcmp(argv[2], "--sheet") == 0;
  RegisterDialogTemplates(kTemplates, std::size(kTemplates));
  RegisterBitmaps(kBitmaps, std::size(kBitmaps));
  vek::ui::FrontEndSession session = vek::ui::StartFrontEnd();
  if (sheet) {
    std::string result = RunSheet();
    session.End();
    std::ofstream(argv[1]) << result << "\n";
    return result == "result=Cancel" ? 1 : 0;
  }
  CDemoDialog dialog(exitOnCancel, argv[1]);
  INT_PTR ended = dialog.DoModal();
  session.End();
  std::ofstream(argv[1]) << dialog.Result() << "\n";
  std::printf("%s\n", dialog.Result().c_str());
  return ended == IDOK ? 0 : ended == IDCANCEL ? 1 : 3;
}
