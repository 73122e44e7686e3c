#include "wizard/pages/wizardstep022.h"

#include <cstring>

#include "protocol/password_login.h"
#include "protocol/print_server.h"
#include "wizard/page_text.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

constexpr int kModifyYes = 0;
constexpr int kModifyNo = 1;

bool ZeroAddress(const BYTE* address) {
  static const BYTE kZero[4] = {};
  return std::memcmp(address, kZero, sizeof(kZero)) == 0;
}

}  // namespace

IMPLEMENT_DYNCREATE(WizardStep022, WizardPage)

BEGIN_MESSAGE_MAP(WizardStep022, WizardPage)
  ON_BN_CLICKED(IDC_MODIFY_NO, OnRadio)
  ON_BN_CLICKED(IDC_MODIFY_YES, OnRadio)
END_MESSAGE_MAP()

WizardStep022::WizardStep022()
    : WizardPage(IDD_WIZARD_LOGIN, IDB_SIDE_LOGIN, WizardPage::kNoButtons,
                 {1058, 1059, 1060, 1061, 1030, 1036, 1027, 1026}) {}

void WizardStep022::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Radio(exchange, IDC_MODIFY_YES, m_Modify);
  DDX_Text(exchange, IDC_PASSWORD, m_Password);
  DDV_MaxChars(exchange, m_Password, kPasswordLength);
}

BOOL WizardStep022::OnInitDialog() {
  WizardPage::OnInitDialog();
  SetDlgItemText(IDC_MODIFY_YES, LoadText(IDS_MODIFY_YES).GetString());
  SetDlgItemText(IDC_PASSWORD_LABEL, LoadText(IDS_PASSWORD_LABEL).GetString());
  SetDlgItemText(IDC_MODIFY_NO, LoadText(IDS_MODIFY_NO).GetString());
  return TRUE;
}

BOOL WizardStep022::OnSetActive() {
  using namespace WizardSettings;
  // A server at 0.0.0.0 needs an address: its settings are to change.
  if (ZeroAddress(m_ServerIPAddress)) {
    m_Modify = kModifyYes;
    SetDlgItemText(IDC_ZERO_IP_WARNING, LoadText(IDS_WARN_ZERO_IP).GetString());
    SetDlgItemText(IDC_STATIC_IP_ADVICE, LoadText(IDS_WARN_STATIC_IP).GetString());
  } else {
    m_Modify = m_NoModify;
    SetDlgItemText(IDC_ZERO_IP_WARNING, "");
    SetDlgItemText(IDC_STATIC_IP_ADVICE, "");
  }
  UpdateData(FALSE);
  OnRadio();
  // The page keeps the buttons of the server list; the base refills the controls.
  return CPropertyPage::OnSetActive();
}

void WizardStep022::OnRadio() {
  if (CWnd* password = GetDlgItem(IDC_PASSWORD))
    password->EnableWindow(IsDlgButtonChecked(IDC_MODIFY_NO) != BST_CHECKED);
  SetModified();
}

int WizardStep022::LogIn() {
  using namespace WizardSettings;
  // The key as long as the device's key section gives it, and no longer than the
  // settings hold.
  int length = 0;
  if (m_pSelectedPS != NULL) m_pSelectedPS->GetRSAModulus(&length);
  if (length > static_cast<int>(sizeof(m_DeviceKey))) length = sizeof(m_DeviceKey);
  if (!SetupRSAKey(m_DeviceKey, length)) return LOGIN_NO_KEY;
  // Up to three sends of 3.5 s each.
  CWaitCursor wait;
  return LoginWithPassword(m_Socket, m_Password.GetString(), m_NoPassword != 0, m_ServerIPAddress);
}

LRESULT WizardStep022::OnWizardNext() {
  using namespace WizardSettings;
  if (!UpdateData(TRUE)) return IDD_WIZARD_LOGIN;
  m_NoModify = m_Modify;
  if (m_NoModify == kModifyNo) return IDD_WIZARD_PRINTER;

  if (m_SecureConfig) {
    switch (LogIn()) {
      case LOGIN_ACCEPTED:
        break;
      case LOGIN_REFUSED:
        ShowError(IDS_ERR_WRONG_PASSWORD);
        return IDD_WIZARD_LOGIN;
      case LOGIN_NO_KEY:
        ShowError(IDS_ERR_DEVICE_KEY);
        return IDD_WIZARD_LOGIN;
      default:
        ShowError(IDS_ERR_NO_SERVER);
        return IDD_WIZARD_LOGIN;
    }
  } else if (m_pSelectedPS != NULL && m_pSelectedPS->IsExtended() && (!m_Wireless || !m_NoPassword)) {
    // An older server: the password of its information reply, exactly.
    if (m_Password != m_pSelectedPS->GetPassword()) {
      ShowError(IDS_ERR_WRONG_PASSWORD);
      return IDD_WIZARD_LOGIN;
    }
  }
  return m_Wireless ? IDD_WIZARD_WL_BASIC : IDD_WIZARD_TCPIP;
}
