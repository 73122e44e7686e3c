#include "wizard/pages/wizardstep03.h"

#include "protocol/print_server.h"
#include "wizard/page_text.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

namespace {

constexpr int kDHCP = 0;
constexpr int kStaticAddress = 1;
// No page has this id: Next answers it to keep the page.
constexpr LRESULT kStay = 1;

const int kAddressControls[] = {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY};

}  // namespace

IMPLEMENT_DYNCREATE(WizardStep03, WizardPage)

BEGIN_MESSAGE_MAP(WizardStep03, WizardPage)
  ON_BN_CLICKED(IDC_DHCP1, OnAddressMode)
  ON_BN_CLICKED(IDC_DHCP2, OnAddressMode)
END_MESSAGE_MAP()

WizardStep03::WizardStep03()
    : WizardPage(IDD_WIZARD_TCPIP, IDB_SIDE_TCPIP, PSWIZB_BACK | PSWIZB_NEXT,
                 {1058, 1059, 1060, 1061, 1062, 1064, 1009, 1010}),
      m_AddressMode(-1) {}

void WizardStep03::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Radio(exchange, IDC_DHCP1, m_AddressMode);
}

BOOL WizardStep03::OnInitDialog() {
  WizardPage::OnInitDialog();
  CStringA text;
  text.LoadString(IDS_DHCP_AUTO);
  SetDlgItemText(IDC_DHCP1, text.GetString());
  text.LoadString(IDS_DHCP_STATIC);
  SetDlgItemText(IDC_DHCP2, text.GetString());
  return TRUE;
}

BOOL WizardStep03::OnSetActive() {
  // The record's values every time: what was typed before is dropped.
  CPrintServer* ps = WizardSettings::m_pSelectedPS;
  const BOOL hasSwitch = ps != NULL && ps->HasDHCPSwitch();
  GetDlgItem(IDC_DHCP1)->EnableWindow(hasSwitch);
  GetDlgItem(IDC_DHCP2)->EnableWindow(hasSwitch);
  m_AddressMode = ps != NULL && ps->GetDHCP() ? kDHCP : kStaticAddress;
  UpdateData(FALSE);
  EnableAddresses();
  ShowAddress(IDC_IP_ADDRESS, ps ? ps->GetIPAddress() : NULL);
  ShowAddress(IDC_SUBNET_MASK, ps ? ps->GetSubnetMask() : NULL);
  ShowAddress(IDC_GATEWAY, ps ? ps->GetGateway() : NULL);
  UpdateData(TRUE);
  return WizardPage::OnSetActive();  // Back and Next
}

LRESULT WizardStep03::OnWizardBack() {
  using namespace WizardSettings;
  if (!m_Wireless) return IDD_WIZARD_LOGIN;
  if (m_HasWPAPSK && !m_HasSecurityPage) return IDD_WIZARD_WL_WPAPSK;
  if (m_Has8021X) return IDD_WIZARD_WL_8021X;
  if (m_HasSecurityPage) return IDD_WIZARD_WL_SECURITY;
  return IDD_WIZARD_WL_WEP;
}

LRESULT WizardStep03::OnWizardNext() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  m_DHCP = m_AddressMode == kDHCP ? 1 : 0;
  // Read with DHCP too; the address is kept apart from the one the server
  // answers at now.
  ReadAddress(IDC_IP_ADDRESS, m_NewIPAddress);
  ReadAddress(IDC_SUBNET_MASK, m_SubnetMask);
  ReadAddress(IDC_GATEWAY, m_Gateway);
  if (m_AddressMode == kDHCP) return IDD_WIZARD_SAVE;
  if (m_AddressMode != kStaticAddress) return kStay;
  if (IsValidSubnetMask(m_SubnetMask)) return IDD_WIZARD_SAVE;
  ShowError(IDS_ERR_SUBNET_MASK);
  return kStay;
}

void WizardStep03::OnAddressMode() {
  UpdateData(TRUE);
  EnableAddresses();
}

BOOL WizardStep03::IsValidSubnetMask(const BYTE mask[4]) {
  if (mask[0] != 255) return FALSE;
  int i = 1;
  while (i < 4 && mask[i] == 255) i++;
  if (i == 4) return TRUE;
  switch (mask[i]) {
    case 0: case 128: case 192: case 224: case 240: case 248: case 252: case 254: break;
    default: return FALSE;
  }
  for (i++; i < 4; i++)
    if (mask[i] != 0) return FALSE;
  return TRUE;
}

void WizardStep03::EnableAddresses() {
  const BOOL on = IsDlgButtonChecked(IDC_DHCP2) == BST_CHECKED;
  for (int id : kAddressControls) GetDlgItem(id)->EnableWindow(on);
}

void WizardStep03::ShowAddress(int id, const BYTE* address) {
  CWnd* control = GetDlgItem(id);
  if (address == NULL) {
    // A server without IP settings: the fields stay blank and read as 0.
    control->SendMessage(IPM_CLEARADDRESS, 0, 0);
    return;
  }
  control->SetWindowText(DottedAddress(address).GetString());
}

void WizardStep03::ReadAddress(int id, BYTE* address) {
  DWORD value = 0;
  GetDlgItem(id)->SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&value));
  address[0] = FIRST_IPADDRESS(value);
  address[1] = SECOND_IPADDRESS(value);
  address[2] = THIRD_IPADDRESS(value);
  address[3] = FOURTH_IPADDRESS(value);
}
