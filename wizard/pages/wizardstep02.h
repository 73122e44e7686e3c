// The list of the print servers found: one row for every printer port of every
// server, searched for the first time the page is shown and again on Refresh.
#pragma once

#include <vector>

#include "protocol/status_round.h"
#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class CPrintServer;

class WizardStep02 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep02)

 public:
  WizardStep02();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  // LoadSettings: the chosen row's server into the settings.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* exchange) override;

  // Rebuilds the list from g_PrintServerList and asks every server for its
  // status at once: each row's status shows as it comes, "Unknown" for one that
  // does not come in time.
  void FillServerList();
  // Deletes every row and repaints the list; 1.
  virtual BOOL ClearServerList();

  // Started on the page's first showing, so the search begins once the page is on
  // the screen.
  static constexpr UINT_PTR kSearchTimer = 1280;
  static constexpr UINT kSearchTimerDelay = 500;
  // Runs while the servers are asked for their status.
  static constexpr UINT_PTR kStatusTimer = 1281;

  CListCtrl m_ServerList;

 protected:
  void OnTimer(UINT_PTR id);
  void OnRefresh();
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  // The search dialog, run modally: FALSE when the wizard closes before the
  // search's end.
  BOOL Search();
  // Once the list holds servers, it takes the arrow keys.
  void FocusServerList();

  void StepStatusRound();
  // The round ends: the rows still waiting show the status as unknown.
  void EndStatusRound();
  // The status words of the server's rows; a word of the string table for one row.
  void ShowStatus(CPrintServer* ps);
  void ShowStatus(int row, UINT word);

  // Never opened: the page reaches the servers through their records.
  XUDPSocket m_Socket;
  XStatusRound m_StatusRound;
  BOOL m_StatusTimer = FALSE;
  // The record of each row.
  std::vector<CPrintServer*> m_RowServers;
};
