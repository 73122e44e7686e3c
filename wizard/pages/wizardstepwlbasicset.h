// The wireless basic settings: communication type, SSID, channel, data rate and,
// on servers that offer it, the transmit mode. Reads and writes only the
// wizard's settings; the save page copies them into the record.
#pragma once

#include "wizard/wizard_page.h"

class WizardStepWLBasicSet : public WizardPage {
  DECLARE_DYNCREATE(WizardStepWLBasicSet)

 public:
  WizardStepWLBasicSet();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void FillWirelessControls();
  // The 802.11b rates, and the eight 802.11g rates after them.
  void FillRates(bool withGRates);
  void OnSelChangeCommType();
  void OnSelChangeTxMode();
  void OnControlChanged();

  DECLARE_MESSAGE_MAP()

  int m_FirstChannel = 1;  // channel number of the first item of the channel list
  int m_CommTypeIndex = -1;
  CStringA m_SSIDText;
  int m_RateListIndex = -1;
  int m_ChannelIndex = -1;
  int m_TxModeIndex = -1;

 private:
  bool m_WritingControls = false;  // the page's own writes notify too; they are not the user's
};
