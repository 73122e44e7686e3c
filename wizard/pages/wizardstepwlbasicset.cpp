#include "wizard/pages/wizardstepwlbasicset.h"

#include <cstdlib>

#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLBasicSet, WizardPage)

BEGIN_MESSAGE_MAP(WizardStepWLBasicSet, WizardPage)
  ON_CBN_SELCHANGE(IDC_COMM_TYPE, OnSelChangeCommType)
  ON_CBN_SELCHANGE(IDC_RATE, OnSelChangeCommType)
  ON_CBN_SELCHANGE(IDC_CHANNEL, OnControlChanged)
  ON_EN_CHANGE(IDC_SSID, OnControlChanged)
  ON_CBN_SELCHANGE(IDC_TX_MODE, OnSelChangeTxMode)
END_MESSAGE_MAP()

namespace {

constexpr int kSSIDLength = 32;

// Channel lists by the device's channel-domain code.
struct ChannelRange {
  int first;
  int last;
};

ChannelRange ChannelsOf(int domain) {
  switch (domain) {
    case 162: return {1, 13};
    case 163: return {10, 13};
    case 164: return {1, 14};
    case 165: return {10, 11};
    default: return {1, 11};  // 161, and any code the wizard does not know
  }
}

// The leading decimal number of a text, 0 when it has none.
int LeadingNumber(const CStringA& text) {
  int value = 0;
  for (int i = 0; i < text.GetLength() && text[i] >= '0' && text[i] <= '9' && value < 1000; i++)
    value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

WizardStepWLBasicSet::WizardStepWLBasicSet()
    : WizardPage(IDD_WIZARD_WL_BASIC, IDB_SIDE_WIRELESS, WizardPage::kNoButtons,
                 {1058, 1059, 1060, 1061, 1062, 1064, 1076, 1077, 1078, 1024, 1040, 1039, 1025, 1092}) {}

void WizardStepWLBasicSet::DoDataExchange(CDataExchange* exchange) {
  m_WritingControls = !exchange->m_bSaveAndValidate;
  WizardPage::DoDataExchange(exchange);
  DDX_CBIndex(exchange, IDC_COMM_TYPE, m_CommTypeIndex);
  DDX_Text(exchange, IDC_SSID, m_SSIDText);
  DDX_CBIndex(exchange, IDC_RATE, m_RateListIndex);
  DDX_CBIndex(exchange, IDC_CHANNEL, m_ChannelIndex);
  DDX_CBIndex(exchange, IDC_TX_MODE, m_TxModeIndex);
  m_WritingControls = false;
}

BOOL WizardStepWLBasicSet::OnInitDialog() {
  WizardPage::OnInitDialog();
  static_cast<CEdit*>(GetDlgItem(IDC_SSID))->LimitText(kSSIDLength);
  FillWirelessControls();
  UpdateData(FALSE);
  return TRUE;
}

BOOL WizardStepWLBasicSet::OnSetActive() {
  UpdateData(TRUE);
  FillWirelessControls();
  UpdateWindow();
  return WizardPage::OnSetActive();
}

void WizardStepWLBasicSet::FillWirelessControls() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  EnableItem(IDC_COMM_TYPE, m_WirelessOption != 1);

  m_CommTypeIndex = m_CommType;
  if (m_ModelCode < 21) {
    FillCombo(IDC_COMM_TYPE, {IDS_MODE_INFRASTRUCTURE, IDS_MODE_ADHOC, IDS_MODE_80211B_ADHOC});
  } else if (m_ModelCode == 32) {
    FillCombo(IDC_COMM_TYPE, {IDS_MODE_INFRASTRUCTURE, IDS_MODE_ADHOC});
  } else {
    FillCombo(IDC_COMM_TYPE, {IDS_MODE_INFRASTRUCTURE, IDS_MODE_80211B_ADHOC});
  }
  ShowItem(IDC_ADHOC_HELP, m_ModelCode != 32);
  ShowItem(IDC_ADHOC_HELP_ALT, m_ModelCode == 32);

  m_SSIDText = m_SSID;

  const ChannelRange channels = ChannelsOf(m_RegDomain);
  if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_CHANNEL))) combo->ResetContent();
  for (int channel = channels.first; channel <= channels.last; channel++) AddComboString(IDC_CHANNEL, IdsChannel(channel));
  m_FirstChannel = channels.first;
  m_ChannelIndex = LeadingNumber(m_Channel) - m_FirstChannel;

  m_RateListIndex = m_RateIndex;
  if (m_HasTxMode) {
    m_TxModeIndex = m_TxMode;
    FillCombo(IDC_TX_MODE, {IDS_TXMODE_B_ONLY, IDS_TXMODE_G_ONLY, IDS_TXMODE_AUTO});
    ShowItem(IDC_TX_MODE_LABEL, true);
    ShowItem(IDC_TX_MODE, true);
    FillRates(m_HasGRates && m_TxMode != 0);
  } else {
    ShowItem(IDC_TX_MODE_LABEL, false);
    ShowItem(IDC_TX_MODE, false);
    FillRates(m_HasGRates != 0);
  }

  UpdateData(FALSE);
  EnableItem(IDC_CHANNEL, static_cast<CComboBox*>(GetDlgItem(IDC_COMM_TYPE))->GetCurSel() != 0);
}

void WizardStepWLBasicSet::FillRates(bool withGRates) {
  FillCombo(IDC_RATE, {IDS_RATE_1_2, IDS_RATE_5_5, IDS_RATE_11, IDS_RATE_AUTO});
  if (withGRates)
    AddComboStrings(IDC_RATE,
                    {IDS_RATE_6, IDS_RATE_9, IDS_RATE_12, IDS_RATE_18, IDS_RATE_24, IDS_RATE_36, IDS_RATE_48, IDS_RATE_54});
}

// Infrastructure needs no channel: the access point has it. Also run when the
// rate changes; either way it is the communication type that decides.
void WizardStepWLBasicSet::OnSelChangeCommType() {
  EnableItem(IDC_CHANNEL, static_cast<CComboBox*>(GetDlgItem(IDC_COMM_TYPE))->GetCurSel() != 0);
}

void WizardStepWLBasicSet::OnControlChanged() {
  if (!m_WritingControls) UpdateData(TRUE);
}

// "G only" and "Auto" offer the 802.11g rates, where the server has them. The
// rate chosen stays chosen while the new list still holds it.
void WizardStepWLBasicSet::OnSelChangeTxMode() {
  UpdateData(TRUE);
  FillRates(m_TxModeIndex > 0 && WizardSettings::m_HasGRates);
  UpdateData(FALSE);
}

LRESULT WizardStepWLBasicSet::OnWizardBack() { return IDD_WIZARD_LOGIN; }

// A list left without a selection keeps the setting it had: the device is never
// sent an index of no item, nor a channel outside its domain's list.
LRESULT WizardStepWLBasicSet::OnWizardNext() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  if (m_CommTypeIndex >= 0) m_CommType = m_CommTypeIndex;
  m_SSID = m_SSIDText;
  if (m_ChannelIndex >= 0) m_Channel.Format("%d", m_ChannelIndex + m_FirstChannel);
  if (m_RateListIndex >= 0) m_RateIndex = m_RateListIndex;
  if (m_TxModeIndex >= 0) m_TxMode = static_cast<BYTE>(m_TxModeIndex);
  return m_HasSecurityPage ? IDD_WIZARD_WL_SECURITY : IDD_WIZARD_WL_WEP;
}
