// The WEP key page of wireless servers without the combined security page: WEP on
// or off, the key size and format, and the key. Typing filters the key silently,
// a paste with characters of another format is refused with the format's
// message, and Next completes a short key with zeros; the key's bytes go
// straight into the chosen server's record.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLWEPSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLWEPSet)

 public:
  WizardStepWLWEPSet();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void FillWEPControls();
  void OnKeyLengthRadio();
  void OnEnableWEP();
  void OnKeyFormatRadio();
  void OnChangeKey64();
  void OnChangeKey128();
  // The filter of a key edit whose alphanumeric keys have limit characters.
  void FilterKey(int editId, CStringA& key, int limit);
  bool PastedOutsideFormat(const CStringW& before, const CStringW& after) const;
  // The key format message of the edit's key size.
  UINT FormatMessage(int editId) const;
  // The key of the size completed for the record: characters of another format
  // dropped, cut to the whole length, padded with "0".
  CStringA CompletedKey(const CStringA& key, int wepMode) const;

  DECLARE_MESSAGE_MAP()

  int m_PrevKeyFormat = 0;  // the format when the keys were last emptied or filled
  int m_KeyFormat = 0;      // 0 alphanumeric, 1 hexadecimal
  int m_64Active = 1;
  int m_128Active = 0;
  CStringA m_Key128Text;
  int m_Enable = 0;
  CStringA m_Key64Text;

 private:
  bool m_WritingControls = false;
  bool m_Refusing = false;  // a paste's refusal shows its message
};
