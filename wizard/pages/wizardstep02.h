// The list of the print servers found: one row for every printer port of every
// server, searched for the first time the page is shown and again on Refresh.
#pragma once

#include "protocol/xudp_socket.h"
#include "wizard/wizard_page.h"

class WizardStep02 : public WizardPage {
  DECLARE_DYNCREATE(WizardStep02)

 public:
  WizardStep02();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  // LoadSettings: the chosen row's server into the settings.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* exchange) override;

  // Rebuilds the list from g_PrintServerList, asking each server for its status.
  void FillServerList();
  // Deletes every row and repaints the list; 1.
  virtual BOOL ClearServerList();

  // Started on the page's first showing, so the search begins once the page is on
  // the screen.
  static constexpr UINT_PTR kSearchTimer = 1280;
  static constexpr UINT kSearchTimerDelay = 500;

  CListCtrl m_ServerList;

 protected:
  void OnTimer(UINT_PTR id);
  void OnRefresh();
  DECLARE_MESSAGE_MAP()

 private:
  // The search dialog, run modally: FALSE when the wizard closes before the
  // search's end.
  BOOL Search();

  // Never opened: the page reaches the servers through their records.
  XUDPSocket m_Socket;
};
