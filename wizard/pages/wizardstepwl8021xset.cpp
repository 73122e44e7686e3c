#include "wizard/pages/wizardstepwl8021xset.h"

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWL8021XSet, WizardPage)

BEGIN_MESSAGE_MAP(WizardStepWL8021XSet, WizardPage)
  ON_CBN_SELCHANGE(IDC_8021X_METHOD, OnSelChange8021XMethod)
END_MESSAGE_MAP()

namespace {
constexpr int kTextLimit = 20;
}  // namespace

WizardStepWL8021XSet::WizardStepWL8021XSet()
    : WizardPage(IDD_WIZARD_WL_8021X, IDB_SIDE_WIRELESS, WizardPage::kNoButtons, {}) {}

void WizardStepWL8021XSet::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_CBIndex(exchange, IDC_8021X_METHOD, m_MethodIndex);
  DDX_Text(exchange, IDC_8021X_LOGIN, m_LoginText);
  DDX_Text(exchange, IDC_8021X_PASSWORD, m_PasswordText);
}

BOOL WizardStepWL8021XSet::OnInitDialog() {
  WizardPage::OnInitDialog();
  static_cast<CEdit*>(GetDlgItem(IDC_8021X_LOGIN))->LimitText(kTextLimit);
  static_cast<CEdit*>(GetDlgItem(IDC_8021X_PASSWORD))->LimitText(kTextLimit);
  Fill8021XControls();
  UpdateData(FALSE);
  return TRUE;
}

BOOL WizardStepWL8021XSet::OnSetActive() {
  UpdateData(TRUE);
  Fill8021XControls();
  UpdateWindow();
  return WizardPage::OnSetActive();
}

// A method the list does not have (the device's CHAPV2) shows no selection and
// leaves the login and password open.
void WizardStepWL8021XSet::Fill8021XControls() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  FillCombo(IDC_8021X_METHOD, {IDS_NONE, IDS_8021X_MD5});
  m_MethodIndex = m_8021XMethod;
  m_LoginText = m_8021XLogin;
  m_PasswordText = m_8021XPassword;
  EnableItem(IDC_8021X_LOGIN, m_MethodIndex != 0);
  EnableItem(IDC_8021X_PASSWORD, m_MethodIndex != 0);
  UpdateData(FALSE);
  UpdateData(TRUE);
}

void WizardStepWL8021XSet::OnSelChange8021XMethod() {
  const bool method = static_cast<CComboBox*>(GetDlgItem(IDC_8021X_METHOD))->GetCurSel() != 0;
  EnableItem(IDC_8021X_LOGIN, method);
  EnableItem(IDC_8021X_PASSWORD, method);
}

LRESULT WizardStepWL8021XSet::OnWizardBack() {
  return WizardSettings::m_HasSecurityPage ? IDD_WIZARD_WL_SECURITY : IDD_WIZARD_WL_WEP;
}

// No selection keeps the device's method. The separate pre-shared key page
// follows only on servers without the combined security page, which asks for
// the key itself.
LRESULT WizardStepWL8021XSet::OnWizardNext() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  if (m_MethodIndex >= 0) m_8021XMethod = m_MethodIndex;
  m_8021XLogin = m_LoginText;
  m_8021XPassword = m_PasswordText;
  return m_HasWPAPSK && !m_HasSecurityPage ? IDD_WIZARD_WL_WPAPSK : IDD_WIZARD_TCPIP;
}
