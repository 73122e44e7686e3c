// The login page: whether to change the print server's settings and, to change
// them, the server's administrator password. A server that offers the secured
// exchange checks the password itself (the password login); for the others the
// page compares it with the password in the server's information reply.
#pragma once

#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class WizardStep022 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep022)

 public:
  WizardStep022();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* exchange) override;

  // The radio group from 1027: 0 change the settings, 1 keep them; -1 for none.
  int m_Modify = -1;
  CStringA m_Password;
  static constexpr int kPasswordLength = 8;

 protected:
  // The password can be typed exactly when the settings are to change.
  void OnRadio();
  DECLARE_MESSAGE_MAP()

 private:
  // The password login with the chosen server: a LOGIN_ result.
  int LogIn();

  // Used only by the password login.
  XUDPSocket m_Socket;
};
