// CSearchPSDlg: the small window the server list shows while the wizard looks for
// print servers. It empties the found-server list, starts the discovery thread,
// plays the search animation, shows each server's name as the thread finds it,
// and closes itself once the thread has ended (IDOK; IDCANCEL when the wizard is
// closing meanwhile). The user cannot close it.
#pragma once

#include "framework/framework.h"

class CSearchPSDlg : public CDialog {
  DECLARE_DYNAMIC(CSearchPSDlg)

 public:
  explicit CSearchPSDlg(CWnd* parent = nullptr);
  ~CSearchPSDlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* exchange) override;
  // Starts the discovery thread for this dialog when UDP is available.
  void StartSearchThread();

  // The wait begins this long after the dialog opens (kDiscoveryWaitTimer).
  static constexpr UINT kWaitTimerPeriod = 2000;

 protected:
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  // Empties the found-server list and starts the search.
  void BeginSearch();

  CAnimateCtrl m_Animation;
  UINT_PTR m_TimerID = 0;
  BOOL m_Begun = FALSE;
};
