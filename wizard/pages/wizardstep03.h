// The TCP/IP settings page: DHCP, or a static address with subnet mask and
// gateway. It shows the chosen server's values each time it is shown and keeps
// what the user typed in WizardSettings; the record changes only when the save
// page sends the settings.
#pragma once

#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class WizardStep03 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep03)

 public:
  WizardStep03();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

  // The subnet-mask rule: the first byte 255, then 255s up to one byte of a
  // contiguous mask (0, 128, 192, ... 254), and only zeros after it.
  static BOOL IsValidSubnetMask(const BYTE mask[4]);

  XUDPSocket m_Socket;  // never opened by the page
  int m_AddressMode;    // radio group from 1009: 0 DHCP, 1 static, -1 none

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void OnAddressMode();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableAddresses();
  void ShowAddress(int id, const BYTE* address);
  void ReadAddress(int id, BYTE* address);
};
