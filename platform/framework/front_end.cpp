#include "framework/front_end.h"

#include <atomic>

#include "framework/message_api.h"

namespace vek::framework {
namespace {
std::atomic<FrontEnd*> g_frontEnd{nullptr};
}

void SetFrontEnd(FrontEnd* frontEnd) {
  g_frontEnd = frontEnd;
  if (frontEnd) {
    SetMessageBoxHandler([](const MessageBoxRecord& box) {
      FrontEnd* current = g_frontEnd.load();
      return current ? current->ShowMessageBox(box) : DefaultMessageBoxAnswer(box.type);
    });
  } else {
    SetMessageBoxHandler(nullptr);
  }
}

FrontEnd* CurrentFrontEnd() { return g_frontEnd.load(); }

void WaitForModalInput() {
  if (FrontEnd* frontEnd = g_frontEnd.load()) {
    frontEnd->WaitForInput();
    return;
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
}

void RefreshFrontEnd() {
  if (FrontEnd* frontEnd = g_frontEnd.load()) frontEnd->Refresh();
}

}  // namespace vek::framework
