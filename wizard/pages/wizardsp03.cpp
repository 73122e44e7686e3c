#include "wizard/pages/wizardsp03.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "framework/front_end.h"
#include "protocol/discovery.h"
#include "protocol/print_server.h"
#include "protocol/secure_config.h"
#include "protocol/trace.h"
#include "wizard/discovery_wait.h"
#include "wizard/page_text.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/settings_in_force.h"
#include "wizard/settings_write_back.h"
#include "wizard/wizard_settings.h"

namespace {

constexpr int kFingerprintDigits = 32;

// The string of value in ids (value 0 the first), empty for a value outside them.
CStringA Choice(int value, std::initializer_list<UINT> ids) {
  if (value < 0 || value >= static_cast<int>(ids.size())) return CStringA();
  return LoadText(ids.begin()[value]);
}

CStringA RateText(int index) {
  if (index >= 0 && index <= 3) return Choice(index, {IDS_RATE_1_2, IDS_RATE_5_5, IDS_RATE_11, IDS_RATE_AUTO});
  if (index >= 4 && index <= 11) return LoadText(static_cast<UINT>(IDS_RATE_6 + index - 4));
  return CStringA();
}

// Authentication types of the combined security page.
constexpr int kAuthWPAPSK = 3;
constexpr int kAuthWPA2PSK = 4;

CStringA EncryptionText() {
  using namespace WizardSettings;
  if (m_AuthType < kAuthWPAPSK) return Choice(m_WEPMode, {IDS_NONE, IDS_ENC_WEP64, IDS_ENC_WEP128});
  if (m_AuthType == kAuthWPAPSK) return Choice(m_Encryption, {IDS_WPAPSK_TKIP, IDS_WPAPSK_CCMP});
  if (m_AuthType == kAuthWPA2PSK) return Choice(m_Encryption, {IDS_WPA2PSK_TKIP, IDS_WPA2PSK_CCMP});
  return CStringA();
}

DWORD SendConfigThread(LPVOID record) { return static_cast<CPrintServer*>(record)->SendConfig() ? 1 : 0; }

}  // namespace

IMPLEMENT_DYNCREATE(WizardSP03, WizardPage)

BEGIN_MESSAGE_MAP(WizardSP03, WizardPage)
  ON_WM_TIMER()
END_MESSAGE_MAP()

WizardSP03::WizardSP03()
    : WizardPage(IDD_WIZARD_SAVE, IDB_SIDE_SAVE, PSWIZB_BACK | PSWIZB_NEXT, {1058, 1002, 1093, 1029}),
      m_TimerID(0),
      m_Saving(FALSE),
      m_Quit(FALSE),
      m_QuitCode(0),
      m_Stage(kLocating),
      m_StageStart(0),
      m_StageBudget(1),
      m_StageFrom(0) {}

void WizardSP03::DoDataExchange(CDataExchange* exchange) {
  WizardPage::DoDataExchange(exchange);
  DDX_Control(exchange, IDC_SETTINGS_LIST, m_SettingsList);
  DDX_Control(exchange, IDC_SAVE_PROGRESS, m_Progress);
}

BOOL WizardSP03::OnInitDialog() {
  WizardPage::OnInitDialog();
  GetDlgItem(IDC_SAVE_STATUS)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_SAVE_PROGRESS)->ShowWindow(SW_HIDE);
  return TRUE;
}

BOOL WizardSP03::OnSetActive() {
  ShowCurrentSettings();
  GetDlgItem(IDC_SAVE_STATUS)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_SAVE_PROGRESS)->ShowWindow(SW_HIDE);
  return WizardPage::OnSetActive();  // Back and Next
}

LRESULT WizardSP03::OnWizardBack() { return m_Saving ? IDD_WIZARD_SAVE : IDD_WIZARD_TCPIP; }

LRESULT WizardSP03::OnWizardNext() {
  if (m_Saving) return IDD_WIZARD_SAVE;
  m_Saving = TRUE;
  const SaveResult result = SaveSettings();
  if (result == kSaved && !m_Quit) {
    SetDlgItemText(IDC_SAVE_STATUS, LoadText(IDS_SAVE_DONE).GetString());
    WaitPumping([] { return FALSE; }, kDoneWait);
  }
  m_Saving = FALSE;
  if (m_Quit) {
    // The wizard is closing: its loop ends too.
    m_Quit = FALSE;
    PostQuitMessage(m_QuitCode);
    return IDD_WIZARD_SAVE;
  }
  switch (result) {
    case kSaved:
      return IDD_WIZARD_PRINTER;
    case kServerNotFound:
      ShowError(IDS_SAVE_SERVER_NOT_FOUND);
      return IDD_WIZARD_SAVE;
    case kNotTaken:
      ShowError(IDS_SAVE_SEND_FAILED);
      return IDD_WIZARD_SAVE;
    case kNotInForce:
      ShowError(IDS_SAVE_NOT_IN_FORCE);
      return IDD_WIZARD_SAVE;
    default:
      return IDD_WIZARD_SAVE;
  }
}

// The device may be restarting: the wizard is not left halfway through.
BOOL WizardSP03::OnQueryCancel() { return m_Saving ? FALSE : WizardPage::OnQueryCancel(); }

// The summary -----------------------------------------------------------------

void WizardSP03::ResetSettingsList() {
  ResetTwoColumns(m_SettingsList, IDS_COL_DEVICE_NAME, IDS_COL_IP_ADDRESS, 3, 8);
  m_SettingsList.EnableWindow(FALSE);
  m_SettingsList.Invalidate();
  m_SettingsList.UpdateWindow();
}

void WizardSP03::AddRow(UINT label, const CStringA& value) {
  const int row = m_SettingsList.GetItemCount();
  m_SettingsList.InsertItem(row, LoadText(label).GetString());
  m_SettingsList.SetItemText(row, 1, value.GetString());
}

void WizardSP03::ShowCurrentSettings() {
  using namespace WizardSettings;
  ResetSettingsList();
  // Apart from the name and the MAC, what the user chose, not what the server
  // holds. Keys and 802.1X names are never shown.
  CPrintServer* ps = m_pSelectedPS;
  AddRow(IDS_SUM_CURRENT_SETTINGS, CStringA());
  AddRow(IDS_SUM_SERVER_NAME, ps ? CStringA(ps->GetName()) : CStringA());
  AddRow(IDS_SUM_MAC_ADDRESS, ps ? CStringA(ps->GetNodeIDText()) : CStringA());
  AddRow(0, CStringA());
  AddRow(IDS_SUM_DHCP, LoadText(m_DHCP ? IDS_SUM_ENABLED : IDS_SUM_DISABLED));
  const BYTE none[4] = {};
  AddRow(IDS_SUM_IP_ADDRESS, DottedAddress(m_DHCP ? none : m_NewIPAddress));
  AddRow(IDS_SUM_SUBNET_MASK, DottedAddress(m_DHCP ? none : m_SubnetMask));
  AddRow(IDS_SUM_GATEWAY, DottedAddress(m_DHCP ? none : m_Gateway));
  if (m_Wireless) AddWirelessRows();

  CStringA line;
  if (m_SecureConfig) {
    ShowKeyFingerprint();
    line = LoadText(IDS_PUBLIC_KEY);
    line += m_KeyFingerprint;
  }
  SetDlgItemText(IDC_PUBLIC_KEY_LINE, line.GetString());
}

void WizardSP03::AddWirelessRows() {
  using namespace WizardSettings;
  AddRow(0, CStringA());
  AddRow(IDS_SUM_MODE, Choice(m_CommType, {IDS_MODE_INFRASTRUCTURE, IDS_MODE_ADHOC, IDS_MODE_80211B_ADHOC}));
  AddRow(IDS_SUM_ESSID, m_SSID);
  AddRow(IDS_SUM_RATES, RateText(m_RateIndex));
  if (m_HasSecurityPage) {
    AddRow(IDS_SUM_AUTH_TYPE,
           Choice(m_AuthType, {IDS_AUTH_OPEN, IDS_AUTH_SHARED, IDS_AUTH_BOTH, IDS_AUTH_WPAPSK, IDS_AUTH_WPA2PSK}));
    AddRow(IDS_SUM_ENCRYPTION, EncryptionText());
  } else {
    AddRow(IDS_SUM_WEP, Choice(m_WEPMode, {IDS_DISABLE, IDS_WEP_ENABLE_64, IDS_WEP_ENABLE_128}));
    if (m_HasWPAPSK) AddRow(IDS_SUM_WPAPSK, LoadText(m_WPAPSK.GetLength() >= kShortestPSK ? IDS_ENABLE : IDS_DISABLE));
  }
  if (m_Has8021X) AddRow(IDS_SUM_8021X, Choice(m_8021XMethod, {IDS_NONE, IDS_8021X_MD5, IDS_8021X_CHAPV2}));
}

void WizardSP03::ShowKeyFingerprint() {
  using namespace WizardSettings;
  m_KeyFingerprint.Empty();
  // The modulus as long as the record's key section says, from the settings'
  // copy of it.
  int length = 0;
  if (m_pSelectedPS == NULL || m_pSelectedPS->GetRSAModulus(&length) == NULL) return;
  if (length > static_cast<int>(sizeof(m_DeviceKey))) length = sizeof(m_DeviceKey);
  char text[kFingerprintDigits + 1];
  if (SecureConfigKeyFingerprint(m_ServerNodeID, m_DeviceKey, length, text)) m_KeyFingerprint = text;
}

// The save -------------------------------------------------------------------

WizardSP03::SaveResult WizardSP03::SaveSettings() {
  using namespace WizardSettings;
  CPrintServer* ps = m_pSelectedPS;
  if (ps == NULL || ps->m_pReply == NULL) return kServerNotFound;
  CWaitCursor wait;
  BeginSaving();
  // Until the device has taken the new settings, the record keeps what the
  // device holds.
  const std::vector<BYTE> held(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength);
  WriteBackSettings(*ps);
  SaveResult result = kAbandoned;
  EnterStage(kLocating, PS_LOCATE_BUDGET);
  if (Locate()) {
    // Sent to the device's own address: a configuration opened by broadcast
    // would be answered by other devices as well.
    TakeLocatedAddress(*ps);
    result = Send(*ps);
  } else if (!m_Quit) {
    result = kServerNotFound;
  }
  if (result != kSaved && ps->m_pReply != NULL && static_cast<std::size_t>(ps->m_ReplyLength) == held.size())
    std::memcpy(ps->m_pReply, held.data(), held.size());
  DebugTrace("WizardSP03::SaveSettings() = %d\r\n", result);
  EndSaving(result != kSaved);
  return result;
}

BOOL WizardSP03::StartLocateThread() {
  return BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread1), this) != NULL;
}

BOOL WizardSP03::Locate() {
  using namespace WizardSettings;
  if (m_Transports & PS_TRANSPORTS_UDP) {
    // Never two at once: a discovery thread still running ends first. Found or
    // not, the locate is over once its own thread has ended.
    if (!Waited(WaitForDiscoveryEnd(kDiscoveryEndWait, WhileWaiting::kInput, &m_QuitCode))) return FALSE;
    if (StartLocateThread() &&
        !Waited(WaitForDiscoveryEnd(PS_LOCATE_BUDGET + kDiscoveryEndWait, WhileWaiting::kInput, &m_QuitCode)))
      return FALSE;
  }
  return m_ServerFound != 0;
}

void WizardSP03::TakeLocatedAddress(CPrintServer& ps) {
  using namespace WizardSettings;
  if (!m_LocatedReply.empty()) std::memcpy(ps.m_IPAddress, m_LocatedAddress, sizeof(ps.m_IPAddress));
}

WizardSP03::SaveResult WizardSP03::Send(CPrintServer& ps) {
  using namespace WizardSettings;
  EnterStage(kSending, ps.SendConfigTimeLimit());
  // The send blocks for as long as the device takes; it runs beside the page so
  // that the page goes on showing its progress. Nothing else uses the record or
  // the secured exchange meanwhile: the page waits for it.
  BOOL taken = FALSE;
  HANDLE thread = CreateThread(NULL, 0, SendConfigThread, &ps, 0, NULL);
  if (thread == NULL) {
    taken = ps.SendConfig();
  } else {
    if (!WaitPumping([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, INFINITE))
      WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    taken = GetExitCodeThread(thread, &code) && code == 1;
    CloseHandle(thread);
  }
  // The server list searches again when it is shown next.
  m_SelectedRow = -1;
  if (!taken) return kNotTaken;
  return ConfirmInForce(ps);
}

// The device restarts into what it took and comes back where its new settings
// say (the re-location records that address). A device still running its old
// settings did not hear the restart requests: they are sent once more.
WizardSP03::SaveResult WizardSP03::ConfirmInForce(CPrintServer& ps) {
  using namespace WizardSettings;
  for (int tries = 1;; tries++) {
    EnterStage(kRestarting, kRestartWait);
    WaitPumping([] { return FALSE; }, kRestartWait);
    if (m_Quit) return kAbandoned;
    EnterStage(kChecking, PS_LOCATE_BUDGET);
    const BOOL found = Locate();
    if (m_Quit) return kAbandoned;
    if (found &&
        SettingsInForce(ps, m_LocatedReply.data(), static_cast<int>(m_LocatedReply.size()), m_Wireless)) {
      m_Progress.SetPos(kProgressEnd);
      return kSaved;
    }
    DebugTrace("WizardSP03::ConfirmInForce() found %d, not in force\r\n", found);
    if (tries == kRestartTries) return found ? kNotInForce : kServerNotFound;
    TakeLocatedAddress(ps);
    ps.Restart();
    // The restart's wait begins again.
    m_Progress.SetPos(kSentAt);
  }
}

void WizardSP03::BeginSaving() {
  m_Quit = FALSE;
  GetSheet()->SetWizardButtons(0);
  if (CWnd* cancel = GetSheet()->GetDlgItem(IDCANCEL)) cancel->EnableWindow(FALSE);
  SetDlgItemText(IDC_SAVE_STATUS, LoadText(IDS_SAVE_SAVING).GetString());
  m_Progress.SetRange(0, kProgressEnd);
  m_Progress.SetPos(0);
  GetDlgItem(IDC_SAVE_STATUS)->ShowWindow(SW_SHOW);
  GetDlgItem(IDC_SAVE_PROGRESS)->ShowWindow(SW_SHOW);
  Invalidate();
  UpdateWindow();
  m_TimerID = static_cast<int>(SetTimer(kDiscoveryWaitTimer, kTimerPeriod));
}

void WizardSP03::EndSaving(BOOL failed) {
  if (m_TimerID != 0) KillTimer(kDiscoveryWaitTimer);
  m_TimerID = 0;
  if (CWnd* cancel = GetSheet()->GetDlgItem(IDCANCEL)) cancel->EnableWindow(TRUE);
  if (failed) {
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    GetDlgItem(IDC_SAVE_STATUS)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_SAVE_PROGRESS)->ShowWindow(SW_HIDE);
  }
  SetCursor(LoadCursorA(NULL, IDC_ARROW));
}

void WizardSP03::EnterStage(Stage stage, DWORD budget) {
  static const int kStageFrom[] = {0, kLocatedAt, kSentAt, kRestartedAt};
  const int position = m_Progress.GetPos();
  m_Stage = stage;
  m_StageStart = GetTickCount();
  m_StageBudget = budget > 0 ? budget : 1;
  m_StageFrom = position > kStageFrom[stage] ? position : kStageFrom[stage];
  m_Progress.SetPos(m_StageFrom);
}

// Each stage moves the bar on with its time, towards where the next one begins:
// the locate over its time budget, the send over the longest it can take, the
// restart over the time the device is given, and the check after it over the
// locate's budget.
void WizardSP03::MoveProgress() {
  static const int kStageTo[] = {kLocatedAt, kSentAt, kRestartedAt, kProgressEnd};
  DWORD elapsed = GetTickCount() - m_StageStart;
  if (elapsed > m_StageBudget) elapsed = m_StageBudget;
  const int to = kStageTo[m_Stage];
  const int position = m_StageFrom + static_cast<int>(static_cast<long long>(to - m_StageFrom) * elapsed / m_StageBudget);
  if (position > m_Progress.GetPos()) m_Progress.SetPos(position);
}

void WizardSP03::OnTimer(UINT_PTR id) {
  SetCursor(LoadCursorA(NULL, IDC_WAIT));
  if (id != kDiscoveryWaitTimer) return;
  MoveProgress();
}

BOOL WizardSP03::WaitPumping(const std::function<BOOL()>& done, DWORD timeoutMs) {
  return Waited(PumpMessagesUntil([&done] { return done() != FALSE; }, timeoutMs, WhileWaiting::kInput, &m_QuitCode));
}

BOOL WizardSP03::Waited(WaitEnd end) {
  if (end == WaitEnd::kQuit) m_Quit = TRUE;
  return end == WaitEnd::kDone;
}
