// The combined wireless security page: the authentication type, then for Open
// System and Shared Key a WEP mode, key format and key, for WPA-PSK and WPA2-PSK a
// cipher and a pre-shared key. Keys are checked while they are typed and again on
// Next and Back; the WEP key's bytes go straight into the chosen server's record.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLSecurity : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLSecurity)

 public:
  WizardStepWLSecurity();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

 protected:
  // The kinds of the authentication list, by index.
  enum Authentication { kNoAuthentication = -1, kOpenSystem, kSharedKey, kWPAPSK, kWPA2PSK };

  void DoDataExchange(CDataExchange* exchange) override;
  void FillSecurityControls();
  // Fills the WEP mode or cipher list of the authentication kind.
  void FillSecondList(int authentication);
  // Shows the controls of the kind and WEP mode (0 none, 1 64-bit, 2 128-bit).
  void ApplyControlStates(int authentication, int wepMode);
  // The WEP mode the WEP list's index stands for under the kind.
  int WEPModeOf(int authentication, int wepIndex) const;
  void OnSelChangeAuthType();
  void OnSelChangeEncryption();
  void OnSelChangeWEPMode();
  void OnSelChangeKeyFormat();
  void OnChangeWEPKey64();
  void OnChangeWEPKey128();
  void OnChangePSK();
  // The typing check of a key edit.
  struct KeyEdit {
    int editId;
    CStringA* text;
    int limit;            // longest whole key
    bool alphanumeric;    // else hexadecimal
    bool cutsAtCaret;     // a character too many typed before the end is only taken out again
    UINT lengthMessage;
    UINT formatMessage;
  };
  KeyEdit KeyEditOf(int editId);
  void CheckTypedKey(const KeyEdit& edit);
  // Next and Back store alike; Back shows nothing and never stays. FALSE: stay.
  BOOL StoreSettings(bool withMessages);

  DECLARE_MESSAGE_MAP()

  int m_AuthIndex = -1;
  int m_CipherIndex = -1;
  CStringA m_PSKText;
  CStringA m_Key128Text;
  CStringA m_Key64Text;
  int m_KeyFormatIndex = -1;
  int m_WEPIndex = -1;

 private:
  bool m_WritingControls = false;
  bool m_Refusing = false;  // a key's refusal shows its message
};
