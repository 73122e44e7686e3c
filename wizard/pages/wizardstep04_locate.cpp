// The printer page's locate of the chosen server before its port is made: the
// locate thread looks for the server's MAC and records the address it answers
// with. (Apart from the page's resources: the discovery header names the
// search dialog's status control as well.)
#include "protocol/discovery.h"
#include "wizard/discovery_wait.h"
#include "wizard/pages/wizardstep04.h"
#include "wizard/wizard_settings.h"

namespace {

constexpr UINT kLocateTimerMs = 100;
constexpr DWORD kLocateWaitMs = 2000;

}  // namespace

void WizardStep04::StartLocateThread() {
  if (WizardSettings::m_Transports & PS_TRANSPORTS_UDP) BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread1), this);
}

BOOL WizardStep04::LocateServer() {
  using namespace WizardSettings;
  // Two discovery threads would share the flags: the one of an earlier Next ends
  // first. The page is in the middle of its Next, so it takes no input meanwhile.
  if (WaitForDiscoveryEnd(kDiscoveryEndWait, WhileWaiting::kSentOnly) != WaitEnd::kDone) return FALSE;
  StartLocateThread();
  m_TimerID = static_cast<int>(SetTimer(kDiscoveryWaitTimer, kLocateTimerMs));
  // Done as soon as the server answers; the thread runs on to its end.
  PumpMessagesUntil([] { return m_ServerFound != 0; }, kLocateWaitMs, WhileWaiting::kSentOnly);
  return m_ServerFound != 0;
}

void WizardStep04::WaitForLocateEnd() { WaitForDiscoveryEnd(kDiscoveryEndWait, WhileWaiting::kSentOnly); }
