// The save page: a summary of the settings chosen on the earlier pages and the
// fingerprint of the server's public key; on Next the settings are written into
// the chosen server's record, the server is found again on the network, the
// record sends them to the address it answered from, and the page waits while
// the device restarts. Then the server is found once more: the save is done only
// when it reports the settings it was sent. Its progress bar moves the whole
// time it waits.
#pragma once

#include <functional>

#include "protocol/xudp_socket.h"
#include "wizard/discovery_wait.h"
#include "wizard/wizard_page.h"

class CPrintServer;

class WizardSP03 : public WizardPage {
  DECLARE_DYNCREATE(WizardSP03)

 public:
  // What SaveSettings made of it.
  enum SaveResult {
    kServerNotFound = 0,  // not found again: nothing was sent
    kSaved = 1,
    kNotTaken = 2,        // the device did not take the configuration
    kAbandoned = 3,       // the wizard is closing
    kNotInForce = 4,      // taken, but after its restarts the device still runs other settings
  };
  // The progress bar's range, and where each stage of the save moves it.
  static constexpr int kProgressEnd = 8000;
  static constexpr int kLocatedAt = 1000;
  static constexpr int kSentAt = 3000;
  static constexpr int kRestartedAt = 7000;
  // The device's restart, shown on the bar.
  static constexpr DWORD kRestartWait = 13000;
  // How often the device is asked to restart before settings still not in force
  // are reported: with the send, and once more.
  static constexpr int kRestartTries = 2;
  static constexpr DWORD kDoneWait = 1000;
  // kDiscoveryWaitTimer's period while the save runs.
  static constexpr UINT kTimerPeriod = 100;

  WizardSP03();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  LRESULT OnWizardNext() override;
  BOOL OnQueryCancel() override;

  void ShowCurrentSettings();
  void ShowKeyFingerprint();
  SaveResult SaveSettings();
  // The locate thread for m_ServerNodeID, when UDP is available; FALSE when none
  // started.
  BOOL StartLocateThread();

  XUDPSocket m_Socket;        // never opened by the page
  CStringA m_KeyFingerprint;  // 32 hexadecimal digits
  int m_TimerID;              // the running timer of the save, 0 for none
  CListCtrl m_SettingsList;
  CProgressCtrl m_Progress;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

 private:
  enum Stage { kLocating, kSending, kRestarting, kChecking };

  void ResetSettingsList();
  void AddRow(UINT label, const CStringA& value);
  void AddWirelessRows();
  void BeginSaving();
  void EndSaving(BOOL failed);
  BOOL Locate();
  // The address the server answered the last re-location from, into the record.
  static void TakeLocatedAddress(CPrintServer& ps);
  SaveResult Send(CPrintServer& ps);
  SaveResult ConfirmInForce(CPrintServer& ps);
  void EnterStage(Stage stage, DWORD budget);
  void MoveProgress();
  // Keeps the page's messages going and the windows shown until done() holds
  // (TRUE) or timeoutMs passed or the wizard is closing (FALSE).
  BOOL WaitPumping(const std::function<BOOL()>& done, DWORD timeoutMs);
  // Whether a wait ended as asked; a quit is kept for the end of the save.
  BOOL Waited(WaitEnd end);

  BOOL m_Saving;
  BOOL m_Quit;  // a quit message came while the save waited
  int m_QuitCode;
  Stage m_Stage;
  DWORD m_StageStart;
  DWORD m_StageBudget;
  int m_StageFrom;
};
