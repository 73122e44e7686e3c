#include "wizard/pages/wizardstepwlwepset.h"

#include "protocol/shared_settings.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wep_key.h"
#include "wizard/wizard_settings.h"

IMPLEMENT_DYNCREATE(WizardStepWLWEPSet, WizardPage)

BEGIN_MESSAGE_MAP(WizardStepWLWEPSet, WizardPage)
  ON_BN_CLICKED(IDC_KEY_64BIT, OnKeyLengthRadio)
  ON_BN_CLICKED(IDC_KEY_128BIT, OnKeyLengthRadio)
  ON_BN_CLICKED(IDC_ENABLE_WEP, OnEnableWEP)
  ON_BN_CLICKED(IDC_KEY_ALPHANUMERIC, OnKeyFormatRadio)
  ON_BN_CLICKED(IDC_KEY_HEXADECIMAL, OnKeyFormatRadio)
  ON_EN_CHANGE(IDC_WEP_KEY64, OnChangeKey64)
  ON_EN_CHANGE(IDC_WEP_KEY128, OnChangeKey128)
END_MESSAGE_MAP()

namespace {

// The edits take a hexadecimal key whole; an alphanumeric key is bounded by the filter.
constexpr int kKey64Limit = 10;
constexpr int kKey128Limit = 26;
constexpr int kAlphanumeric64 = 5;
constexpr int kAlphanumeric128 = 13;

constexpr int kWEPControls[] = {IDC_KEY_64BIT, IDC_KEY_128BIT, IDC_KEY_ALPHANUMERIC, IDC_KEY_HEXADECIMAL,
                                IDC_WEP_KEY64, IDC_WEP_KEY128};

}  // namespace

WizardStepWLWEPSet::WizardStepWLWEPSet()
    : WizardPage(IDD_WIZARD_WL_WEP, IDB_SIDE_WIRELESS, WizardPage::kNoButtons,
                 {1058, 1059, 1060, 1061, 1062, 1064, 1076, 1077, 1053, 1052, 1069, 1051, 1070, 1066}) {}

void WizardStepWLWEPSet::DoDataExchange(CDataExchange* exchange) {
  m_WritingControls = !exchange->m_bSaveAndValidate;
  WizardPage::DoDataExchange(exchange);
  DDX_Text(exchange, IDC_WEP_KEY128, m_Key128Text);
  DDX_Check(exchange, IDC_ENABLE_WEP, m_Enable);
  DDX_Text(exchange, IDC_WEP_KEY64, m_Key64Text);
  m_WritingControls = false;
}

BOOL WizardStepWLWEPSet::OnInitDialog() {
  WizardPage::OnInitDialog();
  static_cast<CEdit*>(GetDlgItem(IDC_WEP_KEY64))->LimitText(kKey64Limit);
  static_cast<CEdit*>(GetDlgItem(IDC_WEP_KEY128))->LimitText(kKey128Limit);
  const std::pair<int, UINT> captions[] = {{IDC_ENABLE_WEP, IDS_ENABLE_WEP},
                                           {IDC_KEY_64BIT, IDS_WEP_64BIT},
                                           {IDC_KEY_128BIT, IDS_WEP_128BIT},
                                           {IDC_KEY_ALPHANUMERIC, IDS_KEY_ALPHANUMERIC},
                                           {IDC_KEY_HEXADECIMAL, IDS_KEY_HEXADECIMAL}};
  for (const auto& [id, stringId] : captions) {
    CStringA caption;
    caption.LoadString(stringId);
    SetDlgItemText(id, caption.GetString());
  }
  FillWEPControls();
  UpdateData(FALSE);
  return TRUE;
}

BOOL WizardStepWLWEPSet::OnSetActive() {
  UpdateData(TRUE);
  FillWEPControls();
  UpdateWindow();
  return WizardPage::OnSetActive();
}

void WizardStepWLWEPSet::FillWEPControls() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  m_KeyFormat = m_PrevKeyFormat = m_WEPKeyFormat != 0 ? WEP_FORMAT_HEXADECIMAL : WEP_FORMAT_ALPHANUMERIC;
  CheckRadioButton(IDC_KEY_ALPHANUMERIC, IDC_KEY_HEXADECIMAL,
                   m_KeyFormat == WEP_FORMAT_HEXADECIMAL ? IDC_KEY_HEXADECIMAL : IDC_KEY_ALPHANUMERIC);

  const bool on = m_WEPMode == WEP_MODE_64 || m_WEPMode == WEP_MODE_128;
  const bool is128 = m_WEPMode == WEP_MODE_128;
  m_Enable = on ? 1 : 0;
  CheckRadioButton(IDC_KEY_64BIT, IDC_KEY_128BIT, is128 ? IDC_KEY_128BIT : IDC_KEY_64BIT);
  for (int id : kWEPControls) EnableItem(id, false);
  if (on) {
    for (int id : {IDC_KEY_64BIT, IDC_KEY_128BIT, IDC_KEY_ALPHANUMERIC, IDC_KEY_HEXADECIMAL}) EnableItem(id, true);
    EnableItem(is128 ? IDC_WEP_KEY128 : IDC_WEP_KEY64, true);
  }
  ShowItem(IDC_WEP_KEY64, !is128);
  ShowItem(IDC_WEP_KEY128, is128);
  m_64Active = is128 ? 0 : 1;
  m_128Active = is128 ? 1 : 0;

  m_Key64Text = m_WEPKey64;
  m_Key128Text = m_WEPKey128;
  UpdateData(FALSE);
}

void WizardStepWLWEPSet::OnKeyLengthRadio() {
  const bool is128 = IsDlgButtonChecked(IDC_KEY_128BIT) == BST_CHECKED;
  EnableItem(is128 ? IDC_WEP_KEY128 : IDC_WEP_KEY64, true);
  ShowItem(IDC_WEP_KEY128, is128);
  ShowItem(IDC_WEP_KEY64, !is128);
  m_64Active = is128 ? 0 : 1;
  m_128Active = is128 ? 1 : 0;
}

void WizardStepWLWEPSet::OnEnableWEP() {
  const bool on = IsDlgButtonChecked(IDC_ENABLE_WEP) == BST_CHECKED;
  for (int id : kWEPControls) EnableItem(id, on);
}

// Keys typed for one format mean nothing in the other: a change of format empties both.
void WizardStepWLWEPSet::OnKeyFormatRadio() {
  m_KeyFormat = IsDlgButtonChecked(IDC_KEY_HEXADECIMAL) == BST_CHECKED ? WEP_FORMAT_HEXADECIMAL : WEP_FORMAT_ALPHANUMERIC;
  if (m_KeyFormat == m_PrevKeyFormat) return;
  UpdateData(TRUE);
  m_PrevKeyFormat = m_KeyFormat;
  m_Key64Text.Empty();
  m_Key128Text.Empty();
  UpdateData(FALSE);
}

void WizardStepWLWEPSet::OnChangeKey64() { FilterKey(IDC_WEP_KEY64, m_Key64Text, kAlphanumeric64); }

void WizardStepWLWEPSet::OnChangeKey128() { FilterKey(IDC_WEP_KEY128, m_Key128Text, kAlphanumeric128); }

// A character of the other class just typed is taken out again, and so is one
// typed past the end of an alphanumeric key; nothing is said. Pasted text with
// a character of the other class is refused whole, with the format's message.
void WizardStepWLWEPSet::FilterKey(int editId, CStringA& key, int limit) {
  if (m_WritingControls) return;
  const CStringA before = key;
  if (m_Refusing) {
    // Typed ahead and come in while the refusal shows: refused with it.
    UpdateData(FALSE);
    PutCaret(editId, key.GetLength());
    return;
  }
  UpdateData(TRUE);
  CStringW text;
  GetDlgItemText(editId, text);
  if (PastedOutsideFormat(CStringW(before), text)) {
    key = before;
    UpdateData(FALSE);
    PutCaret(editId, key.GetLength());
    m_Refusing = true;
    ShowError(FormatMessage(editId));
    m_Refusing = false;
    return;
  }
  int start = 0, caret = 0;
  static_cast<CEdit*>(GetDlgItem(editId))->GetSel(start, caret);
  const bool hex = m_KeyFormat == WEP_FORMAT_HEXADECIMAL;
  int removeAt = -1;
  if (hex || text.GetLength() <= limit) {
    if (start == 0 || caret == 0 || caret > text.GetLength() || IsKeyChar(text[caret - 1], m_KeyFormat)) return;
    removeAt = caret - 1;
  } else {
    // Past the end of the key the last character goes, else the one before the caret.
    removeAt = start > limit || caret == 0 || caret > text.GetLength() ? text.GetLength() - 1 : caret - 1;
  }
  text.Delete(removeAt);
  key = CStringA(text);
  UpdateData(FALSE);
  PutCaret(editId, caret - 1);
}

// What came in between the common start and end of the two texts: more than
// one character (a paste), one of them outside the key format.
bool WizardStepWLWEPSet::PastedOutsideFormat(const CStringW& before, const CStringW& after) const {
  int head = 0;
  while (head < before.GetLength() && head < after.GetLength() && before[head] == after[head]) head++;
  int tail = 0;
  while (tail < before.GetLength() - head && tail < after.GetLength() - head &&
         before[before.GetLength() - 1 - tail] == after[after.GetLength() - 1 - tail])
    tail++;
  const int added = after.GetLength() - head - tail;
  if (added <= 1) return false;
  for (int i = head; i < head + added; i++)
    if (!IsKeyChar(after[i], m_KeyFormat)) return true;
  return false;
}

UINT WizardStepWLWEPSet::FormatMessage(int editId) const {
  const bool hex = m_KeyFormat == WEP_FORMAT_HEXADECIMAL;
  if (editId == IDC_WEP_KEY128) return hex ? IDS_ERR_KEY_FORMAT_26 : IDS_ERR_KEY_FORMAT_13;
  return hex ? IDS_ERR_KEY_FORMAT_10 : IDS_ERR_KEY_FORMAT_5;
}

CStringA WizardStepWLWEPSet::CompletedKey(const CStringA& key, int wepMode) const {
  const int length = WEPKeyLength(wepMode, m_KeyFormat);
  CStringA completed;
  for (int i = 0; i < key.GetLength() && completed.GetLength() < length; i++)
    if (IsKeyChar(static_cast<unsigned char>(key[i]), m_KeyFormat)) completed += key[i];
  while (completed.GetLength() < length) completed += '0';
  return completed;
}

LRESULT WizardStepWLWEPSet::OnWizardBack() { return IDD_WIZARD_WL_BASIC; }

LRESULT WizardStepWLWEPSet::OnWizardNext() {
  using namespace WizardSettings;
  UpdateData(TRUE);
  if (m_Enable && m_64Active) {
    m_WEPMode = WEP_MODE_64;
    m_Key64Text = CompletedKey(m_Key64Text, WEP_MODE_64);
    StoreWEPKey(m_ServerNodeID, WEP_MODE_64, m_KeyFormat, m_Key64Text);
  } else if (m_Enable && m_128Active) {
    m_WEPMode = WEP_MODE_128;
    m_Key128Text = CompletedKey(m_Key128Text, WEP_MODE_128);
    StoreWEPKey(m_ServerNodeID, WEP_MODE_128, m_KeyFormat, m_Key128Text);
  } else if (!m_Enable) {
    m_WEPMode = WEP_MODE_OFF;
  }
  m_WEPKeyFormat = m_KeyFormat;
  m_WEPKey64 = m_Key64Text;
  m_WEPKey128 = m_Key128Text;
  m_WEPEnabled = m_Enable;
  if (m_Has8021X) return IDD_WIZARD_WL_8021X;
  return m_HasWPAPSK ? IDD_WIZARD_WL_WPAPSK : IDD_WIZARD_TCPIP;
}
