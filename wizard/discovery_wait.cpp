#include "wizard/discovery_wait.h"

#include "framework/front_end.h"
#include "framework/message_api.h"
#include "kernel/clock.h"

namespace {

// Between two looks at the condition when no front end paces the wait.
constexpr DWORD kPause = 10;

}  // namespace

WaitEnd PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, WhileWaiting messages, int* quitCode) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (messages != WhileWaiting::kSentOnly) {
      MSG msg;
      while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          if (quitCode != nullptr) *quitCode = static_cast<int>(msg.wParam);
          PostQuitMessage(static_cast<int>(msg.wParam));
          return WaitEnd::kQuit;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    if (done()) return WaitEnd::kDone;
    if (timeoutMs != INFINITE && GetTickCount() - start >= timeoutMs) return WaitEnd::kTimedOut;
    vek::framework::FrontEnd* frontEnd = vek::framework::CurrentFrontEnd();
    if (messages == WhileWaiting::kSentOnly) {
      // Messages sent from other threads are served while this waits.
      MsgWaitForMultipleObjects(0, NULL, FALSE, kPause, QS_SENDMESSAGE);
    } else if (messages == WhileWaiting::kInput && frontEnd != NULL) {
      // The front end shows the windows as they are now and waits a moment for
      // the user or the next message.
      frontEnd->WaitForInput();
    } else {
      MsgWaitForMultipleObjects(0, NULL, FALSE, kPause, QS_ALLINPUT);
    }
  }
}

WaitEnd WaitForDiscoveryEnd(DWORD timeoutMs, WhileWaiting messages, int* quitCode) {
  return PumpMessagesUntil([] { return CUDPDiscoveryThread::LiveCount() == 0; }, timeoutMs, messages, quitCode);
}
