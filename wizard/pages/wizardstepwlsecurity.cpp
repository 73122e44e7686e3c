#include "wizard/pages/wizardstepwlsecurity.h"

#include <algorithm>

#include "protocol/shared_settings.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wep_key.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLSecurity, WizardPage)

BEGIN_MESSAGE_MAP(WizardStepWLSecurity, WizardPage)
  ON_CBN_SELCHANGE(IDC_AUTH_TYPE, OnSelChangeAuthType)
  ON_CBN_SELCHANGE(IDC_CIPHER, OnSelChangeEncryption)
  ON_CBN_SELCHANGE(IDC_WEP_MODE, OnSelChangeWEPMode)
  ON_CBN_SELCHANGE(IDC_KEY_FORMAT, OnSelChangeKeyFormat)
  ON_EN_CHANGE(IDC_WEP_KEY64, OnChangeWEPKey64)
  ON_EN_CHANGE(IDC_WEP_KEY128, OnChangeWEPKey128)
  ON_EN_CHANGE(IDC_PSK, OnChangePSK)
END_MESSAGE_MAP()

namespace {

// Each edit takes one character more than its longest key, so that a character
// too many is seen and answered.
constexpr int kPSKEditLimit = WizardSettings::kLongestPSK + 1;
constexpr int kKey128EditLimit = 27;
constexpr int kKey64EditLimit = 11;

// The controls that come and go with the authentication kind and the WEP mode.
constexpr int kSwitchedControls[] = {IDC_ENCRYPTION_LABEL, IDC_CIPHER,         IDC_WEP_MODE,   IDC_PSK_LABEL,
                                     IDC_PSK,              IDC_PSK_HINT,       IDC_WPA_HELP,   IDC_KEY_FORMAT_LABEL,
                                     IDC_KEY_FORMAT,       IDC_WEP_KEY_LABEL,  IDC_WEP_KEY64,  IDC_WEP_KEY128,
                                     IDC_WEP_HELP64,       IDC_WEP_HELP128,    IDC_WEP_HELP_CHARS};

}  // namespace

WizardStepWLSecurity::WizardStepWLSecurity()
    : WizardPage(IDD_WIZARD_WL_SECURITY, IDB_SIDE_WIRELESS, WizardPage::kNoButtons,
                 {1058, 1059, 1060, 1061, 1084, 1082, 1085, 1087, 1088, 1089, 1032, 1043, 1083, 1086, 1091, -1, 1062,
                  1064, 1076, 1077, 1078}) {}

void WizardStepWLSecurity::DoDataExchange(CDataExchange* exchange) {
  m_WritingControls = !exchange->m_bSaveAndValidate;
  WizardPage::DoDataExchange(exchange);
  DDX_CBIndex(exchange, IDC_AUTH_TYPE, m_AuthIndex);
  DDX_CBIndex(exchange, IDC_CIPHER, m_CipherIndex);
  DDX_Text(exchange, IDC_PSK, m_PSKText);
  DDX_Text(exchange, IDC_WEP_KEY128, m_Key128Text);
  DDX_Text(exchange, IDC_WEP_KEY64, m_Key64Text);
  // The key format list is emptied while it is hidden: read then, it has no
  // selection, and the format it shows again must still be the one held.
  int keyFormat = m_KeyFormatIndex;
  DDX_CBIndex(exchange, IDC_KEY_FORMAT, keyFormat);
  if (!exchange->m_bSaveAndValidate || keyFormat >= 0) m_KeyFormatIndex = keyFormat;
  DDX_CBIndex(exchange, IDC_WEP_MODE, m_WEPIndex);
  m_WritingControls = false;
}

BOOL WizardStepWLSecurity::OnInitDialog() {
  WizardPage::OnInitDialog();
  static_cast<CEdit*>(GetDlgItem(IDC_PSK))->LimitText(kPSKEditLimit);
  static_cast<CEdit*>(GetDlgItem(IDC_WEP_KEY128))->LimitText(kKey128EditLimit);
  static_cast<CEdit*>(GetDlgItem(IDC_WEP_KEY64))->LimitText(kKey64EditLimit);
  FillSecurityControls();
  UpdateData(FALSE);
  UpdateWindow();
  return TRUE;
}

BOOL WizardStepWLSecurity::OnSetActive() {
  FillSecurityControls();
  UpdateData(FALSE);
  UpdateWindow();
  return WizardPage::OnSetActive();
}

void WizardStepWLSecurity::FillSecurityControls() {
  using namespace WizardSettings;
  // 0 Open System, 1 Shared Key, 2 both (shown as Shared Key), 3 WPA-PSK, 4 WPA2-PSK.
  m_AuthIndex = m_AuthType <= 1 ? m_AuthType : m_AuthType <= 4 ? m_AuthType - 1 : kNoAuthentication;
  const bool sharedList = m_AuthType == 1 || m_AuthType == 2;
  m_WEPIndex = sharedList ? m_WEPMode - 1 : m_WEPMode;
  m_CipherIndex = m_Encryption;
  m_KeyFormatIndex = m_WEPKeyFormat;
  m_Key64Text = m_WEPKey64;
  m_Key128Text = m_WEPKey128;
  m_PSKText = m_WPAPSK;

  FillCombo(IDC_AUTH_TYPE, {IDS_AUTH_OPEN, IDS_AUTH_SHARED, IDS_AUTH_WPAPSK, IDS_AUTH_WPA2PSK});
  FillSecondList(m_AuthIndex);
  // A server that reports Shared Key without WEP has no item selected in the
  // Shared Key list; it is shown as it stands, without a key.
  ApplyControlStates(m_AuthIndex, std::clamp(m_WEPMode, WEP_MODE_OFF, WEP_MODE_128));
}

void WizardStepWLSecurity::FillSecondList(int authentication) {
  switch (authentication) {
    case kOpenSystem: FillCombo(IDC_WEP_MODE, {IDS_NONE, IDS_ENC_WEP64, IDS_ENC_WEP128}); break;
    case kSharedKey: FillCombo(IDC_WEP_MODE, {IDS_ENC_WEP64, IDS_ENC_WEP128}); break;
    case kWPAPSK: FillCombo(IDC_CIPHER, {IDS_WPAPSK_TKIP, IDS_WPAPSK_CCMP}); break;
    case kWPA2PSK: FillCombo(IDC_CIPHER, {IDS_WPA2PSK_TKIP, IDS_WPA2PSK_CCMP}); break;
    default: break;
  }
}

void WizardStepWLSecurity::ApplyControlStates(int authentication, int wepMode) {
  std::vector<int> shown;
  if (authentication == kWPAPSK || authentication == kWPA2PSK) {
    shown = {IDC_ENCRYPTION_LABEL, IDC_CIPHER, IDC_PSK_LABEL, IDC_PSK, IDC_PSK_HINT, IDC_WPA_HELP};
  } else if (authentication == kOpenSystem || authentication == kSharedKey) {
    shown = {IDC_ENCRYPTION_LABEL, IDC_WEP_MODE, IDC_WEP_HELP64, IDC_WEP_HELP128, IDC_WEP_HELP_CHARS};
    if (wepMode != WEP_MODE_OFF) {
      shown.insert(shown.end(), {IDC_KEY_FORMAT_LABEL, IDC_KEY_FORMAT, IDC_WEP_KEY_LABEL});
      shown.push_back(wepMode == WEP_MODE_128 ? IDC_WEP_KEY128 : IDC_WEP_KEY64);
    }
  }
  for (int id : {IDC_TEXT2, IDC_AUTH_TYPE}) {
    ShowItem(id, true);
    EnableItem(id, true);
  }
  for (int id : kSwitchedControls) {
    const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
    ShowItem(id, show);
    if (show) EnableItem(id, true);
  }
  if (std::find(shown.begin(), shown.end(), IDC_KEY_FORMAT) != shown.end()) {
    FillCombo(IDC_KEY_FORMAT, {IDS_KEY_ALPHANUMERIC, IDS_KEY_HEXADECIMAL});
    if (m_KeyFormatIndex != WEP_FORMAT_ALPHANUMERIC && m_KeyFormatIndex != WEP_FORMAT_HEXADECIMAL)
      m_KeyFormatIndex = WEP_FORMAT_ALPHANUMERIC;
  }
}

int WizardStepWLSecurity::WEPModeOf(int authentication, int wepIndex) const {
  if (authentication == kSharedKey) return wepIndex == 1 ? WEP_MODE_128 : WEP_MODE_64;
  return wepIndex == 1 ? WEP_MODE_64 : wepIndex == 2 ? WEP_MODE_128 : WEP_MODE_OFF;
}

void WizardStepWLSecurity::OnSelChangeAuthType() {
  UpdateData(TRUE);
  switch (m_AuthIndex) {
    case kOpenSystem:
    case kSharedKey:
      m_WEPIndex = 0;  // "None", or "WEP-64bit" of the Shared Key list
      break;
    case kWPAPSK:
    case kWPA2PSK:
      if (m_CipherIndex != 0 && m_CipherIndex != 1) m_CipherIndex = m_AuthIndex == kWPAPSK ? 0 : 1;
      break;
    default:
      break;
  }
  FillSecondList(m_AuthIndex);
  ApplyControlStates(m_AuthIndex, WEPModeOf(m_AuthIndex, m_WEPIndex));
  UpdateData(FALSE);
  UpdateWindow();
}

// A pre-shared key belongs to its cipher: a change of cipher empties it.
void WizardStepWLSecurity::OnSelChangeEncryption() {
  UpdateData(TRUE);
  m_PSKText.Empty();
  UpdateData(FALSE);
  UpdateWindow();
}

void WizardStepWLSecurity::OnSelChangeWEPMode() {
  UpdateData(TRUE);
  if (m_AuthIndex == kOpenSystem || m_AuthIndex == kSharedKey) {
    ApplyControlStates(m_AuthIndex, WEPModeOf(m_AuthIndex, m_WEPIndex));
    m_Key64Text.Empty();
    m_Key128Text.Empty();
  }
  UpdateData(FALSE);
}

void WizardStepWLSecurity::OnSelChangeKeyFormat() {
  UpdateData(TRUE);
  if (m_KeyFormatIndex == WEP_FORMAT_ALPHANUMERIC || m_KeyFormatIndex == WEP_FORMAT_HEXADECIMAL) {
    m_Key64Text.Empty();
    m_Key128Text.Empty();
  }
  UpdateData(FALSE);
}

void WizardStepWLSecurity::OnChangeWEPKey64() { CheckTypedKey(KeyEditOf(IDC_WEP_KEY64)); }
void WizardStepWLSecurity::OnChangeWEPKey128() { CheckTypedKey(KeyEditOf(IDC_WEP_KEY128)); }
void WizardStepWLSecurity::OnChangePSK() { CheckTypedKey(KeyEditOf(IDC_PSK)); }

WizardStepWLSecurity::KeyEdit WizardStepWLSecurity::KeyEditOf(int editId) {
  const bool hex = m_KeyFormatIndex == WEP_FORMAT_HEXADECIMAL;
  switch (editId) {
    case IDC_WEP_KEY64:
      return {editId, &m_Key64Text, hex ? 10 : 5, !hex, !hex,
              static_cast<UINT>(hex ? IDS_ERR_KEY_LENGTH_10 : IDS_ERR_KEY_LENGTH_5),
              static_cast<UINT>(hex ? IDS_ERR_KEY_FORMAT_10 : IDS_ERR_KEY_FORMAT_5)};
    case IDC_WEP_KEY128:
      return {editId, &m_Key128Text, hex ? 26 : 13, !hex, !hex,
              static_cast<UINT>(hex ? IDS_ERR_KEY_LENGTH_26 : IDS_ERR_KEY_LENGTH_13),
              static_cast<UINT>(hex ? IDS_ERR_KEY_FORMAT_26 : IDS_ERR_KEY_FORMAT_13)};
    default:  // the pre-shared key takes letters and digits
      return {editId, &m_PSKText, WizardSettings::kLongestPSK, true, false, IDS_ERR_KEY_LENGTH_PSK, IDS_ERR_KEY_FORMAT_PSK};
  }
}

// Typed at the end of the key, a character too many or of the wrong class
// empties the key with a message; typed inside it, the character is taken out
// again without one. The key is emptied before its message shows, and what was
// typed ahead and comes in while the message shows is refused with it.
void WizardStepWLSecurity::CheckTypedKey(const KeyEdit& edit) {
  if (m_WritingControls) return;
  if (m_Refusing) {
    UpdateData(FALSE);
    PutCaret(edit.editId, edit.text->GetLength());
    return;
  }
  UpdateData(TRUE);
  CStringW text;
  GetDlgItemText(edit.editId, text);
  int start = 0, caret = 0;
  static_cast<CEdit*>(GetDlgItem(edit.editId))->GetSel(start, caret);
  caret = std::min(caret, text.GetLength());
  const int format = edit.alphanumeric ? WEP_FORMAT_ALPHANUMERIC : WEP_FORMAT_HEXADECIMAL;
  auto writeBack = [&](int newCaret) {
    *edit.text = CStringA(text);
    UpdateData(FALSE);
    PutCaret(edit.editId, newCaret);
  };
  auto refuse = [&](UINT message) {
    text.Empty();
    writeBack(0);
    m_Refusing = true;
    ShowError(message);
    m_Refusing = false;
  };

  if (text.GetLength() > edit.limit) {
    if (edit.cutsAtCaret && start <= edit.limit && caret > 0) {
      text.Delete(caret - 1);
      writeBack(caret - 1);
    } else {
      refuse(edit.lengthMessage);
    }
    return;
  }
  if (start <= 0) return;
  for (int i = 0; i < text.GetLength();) {
    if (IsKeyChar(text[i], format)) {
      i++;
      continue;
    }
    if (caret >= text.GetLength()) {
      refuse(edit.formatMessage);
      return;
    }
    // The stray character itself goes, wherever a paste left it.
    text.Delete(i);
    if (i < caret) caret--;
    writeBack(caret);
  }
}

BOOL WizardStepWLSecurity::StoreSettings(bool withMessages) {
  using namespace WizardSettings;
  UpdateData(TRUE);
  if (m_AuthIndex == kWPAPSK || m_AuthIndex == kWPA2PSK) {
    m_AuthType = static_cast<BYTE>(m_AuthIndex + 1);
    if (m_CipherIndex >= 0) m_Encryption = static_cast<BYTE>(m_CipherIndex);
    const int length = m_PSKText.GetLength();
    const bool tooShort = length < kShortestPSK;
    if (length > kLongestPSK || (withMessages && tooShort)) {
      if (withMessages) ShowError(IDS_ERR_KEY_LENGTH_PSK);
      m_PSKText.Empty();
      m_WPAPSK.Empty();
      UpdateData(FALSE);
      if (withMessages) return FALSE;
    } else {
      m_WPAPSK = m_PSKText;
    }
    return TRUE;
  }
  if (m_AuthIndex != kOpenSystem && m_AuthIndex != kSharedKey) return TRUE;  // nothing chosen, nothing stored

  m_AuthType = static_cast<BYTE>(m_AuthIndex);
  // A list without a selection keeps the setting it had.
  if (m_WEPIndex >= 0) m_WEPMode = m_AuthIndex == kSharedKey ? m_WEPIndex + 1 : m_WEPIndex;
  if (m_KeyFormatIndex >= 0) m_WEPKeyFormat = m_KeyFormatIndex;
  if (m_WEPMode == WEP_MODE_64 || m_WEPMode == WEP_MODE_128) {
    const bool is64 = m_WEPMode == WEP_MODE_64;
    CStringA& key = is64 ? m_Key64Text : m_Key128Text;
    const bool hex = m_WEPKeyFormat == WEP_FORMAT_HEXADECIMAL;
    if (!IsWholeWEPKey(key, m_WEPMode, m_WEPKeyFormat)) {
      if (withMessages) {
        const bool rightLength = key.GetLength() == WEPKeyLength(m_WEPMode, m_WEPKeyFormat);
        UINT message = 0;
        if (is64) message = rightLength ? (hex ? IDS_ERR_KEY_FORMAT_10 : IDS_ERR_KEY_FORMAT_5)
                                        : (hex ? IDS_ERR_KEY_LENGTH_10 : IDS_ERR_KEY_LENGTH_5);
        else message = rightLength ? (hex ? IDS_ERR_KEY_FORMAT_26 : IDS_ERR_KEY_FORMAT_13)
                                   : (hex ? IDS_ERR_KEY_LENGTH_26 : IDS_ERR_KEY_LENGTH_13);
        ShowError(message);
      }
      key.Empty();
      (is64 ? m_WEPKey64 : m_WEPKey128).Empty();
      UpdateData(FALSE);
      if (withMessages) return FALSE;
    } else {
      StoreWEPKey(m_ServerNodeID, m_WEPMode, m_WEPKeyFormat, key);
    }
  }
  m_WEPKey64 = m_Key64Text;
  m_WEPKey128 = m_Key128Text;
  return TRUE;
}

LRESULT WizardStepWLSecurity::OnWizardBack() {
  StoreSettings(false);
  return IDD_WIZARD_WL_BASIC;
}

LRESULT WizardStepWLSecurity::OnWizardNext() {
  if (!StoreSettings(true)) return IDD_WIZARD_WL_SECURITY;
  return WizardSettings::m_Has8021X ? IDD_WIZARD_WL_8021X : IDD_WIZARD_TCPIP;
}
