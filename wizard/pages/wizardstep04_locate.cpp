// The printer page's locate of the chosen server before its port is made: the
// locate thread looks for the server's MAC and records the address it answers
// with. (Apart from the page's resources: the discovery header names the
// search dialog's status control as well.)
#include "kernel/clock.h"
#include "kernel/thread.h"
#include "protocol/discovery.h"
#include "wizard/pages/wizardstep04.h"
#include "wizard/wizard_settings.h"

namespace {

constexpr UINT kLocateTimerMs = 100;
constexpr DWORD kLocateWaitMs = 2000;
// A locate thread still running from an earlier Next ends within its budget.
constexpr DWORD kPreviousLocateMs = PS_LOCATE_BUDGET + 1000;
constexpr DWORD kPollMs = 10;

}  // namespace

void WizardStep04::StartLocateThread() {
  if (WizardSettings::m_Transports & PS_TRANSPORTS_UDP) BeginDiscoveryThread(RUNTIME_CLASS(CUDPSearchPSThread1), this);
}

BOOL WizardStep04::LocateServer() {
  using namespace WizardSettings;
  // Two locate threads would share the flags: the one of an earlier Next ends first.
  for (DWORD start = GetTickCount(); m_SearchDone == 0 && GetTickCount() - start < kPreviousLocateMs;) Sleep(kPollMs);
  StartLocateThread();
  m_TimerID = static_cast<int>(SetTimer(WizardStep04::kLocateTimer, kLocateTimerMs));
  for (DWORD start = GetTickCount(); !m_ServerFound && GetTickCount() - start < kLocateWaitMs;) Sleep(kPollMs);
  return m_ServerFound != 0;
}


void WizardStep04::WaitForLocateEnd() {
  for (DWORD start = GetTickCount(); CUDPDiscoveryThread::LiveCount() > 0 && GetTickCount() - start < kPreviousLocateMs;)
    Sleep(kPollMs);
}
