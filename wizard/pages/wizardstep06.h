// The summary page: the printer, its new port and the server's address; on Next
// the printer is bound to the port and, when asked, made the default printer.
#pragma once

#include "framework/framework.h"
#include "kernel/version.h"
#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class WizardStep06 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep06)

 public:
  WizardStep06();
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

  XUDPSocket m_Socket;  // never opened by this page
  OSVERSIONINFOA m_OSVersion{};
  CListCtrl m_SummaryList;
  BOOL m_SetDefault = 0;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  DECLARE_MESSAGE_MAP()

 private:
  void ResetSummaryList();
  void AddRow(int row, UINT label, const char* value);
  // The list says the port could not be set up, and only Finish is left.
  void ShowFailure();
};
