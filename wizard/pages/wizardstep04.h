// The printer page: the user picks the printer that is to print through the print
// server, or adds one with the platform's Add Printer wizard while the guide stands
// beside it. On Next the page finds the server again, checks that it answers at
// its address and hands a new port of the monitor over to the spooler.
#pragma once

#include <vector>

#include "framework/framework.h"
#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class WizardStep04 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep04)

 public:
  WizardStep04();
  ~WizardStep04() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;

  // The monitor's registry key, and the port handed over to it (port_handover.cpp).
  void FindMonitorName();
  // Makes the port for the chosen server; FALSE, with the reason in *error, when
  // the spooler's port list cannot be read or the port is not there afterwards.
  BOOL CreateNetworkPort(DWORD* error);
  // The "Spooler" service stopped and started again (spooler_restart.cpp).
  int StopSpooler();
  int StartSpooler();

  XUDPSocket m_Socket;  // never opened by this page
  int m_TimerID = 0;
  CListCtrl m_PrinterList;
  int m_PrinterRow = -1;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void OnAddNewPrinter();
  void OnTimer(UINT_PTR id);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void ResetPrinterList();
  int FillPrinterList();
  // What FillPrinterList found wrong with the spooler: its message, the controls.
  int SpoolerFailed(UINT message, BOOL addEnabled);
  // The registry behind the spooler cannot be read: the message names the
  // problem, nothing on the page can be used, and the page stays.
  int StoreFailed(DWORD error);
  void StartLocateThread();
  // Waits up to the locate time for the locate thread to find the server.
  BOOL LocateServer();
  // Whether the port made in this run is the chosen server's.
  BOOL PortIsForChosenServer() const;
  void KillLocateTimer();
  // A locate thread still searching when the page goes is waited for: it must
  // not outlive the program.
  void WaitForLocateEnd();

  // The server the port was made for: MAC, address and printer port.
  BYTE m_PortNode[6] = {};
  BYTE m_PortAddress[4] = {};
  int m_PortServerPort = -1;
};

// The printer name of each row of the printer list, by row.
extern std::vector<CStringA> g_PrinterNames;
