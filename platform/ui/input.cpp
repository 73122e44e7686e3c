#include "ui/input.h"

#include "framework/control_defs.h"
#include "framework/message_api.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "kernel/clock.h"
#include "kernel/strings.h"
#include "kernel/sync.h"

namespace vek::ui {

using namespace vek::framework;

void Focus(HWND control) { PostMessageA(control, VEK_UM_FOCUS, 0, 0); }

void Click(HWND control) {
  Focus(control);
  PostMessageA(control, VEK_UM_CLICK, 0, 0);
}

void TypeText(HWND control, const std::string& text) {
  Focus(control);
  for (char16_t c : vek::ToWide(text)) PostMessageA(control, WM_CHAR, c, 1);
}

void PressKey(HWND target, WPARAM virtualKey, bool shift) {
  PostMessageA(target, WM_KEYDOWN, virtualKey, shift ? 1 : 0);
}

void Paste(HWND control, const std::string& text) {
  Focus(control);
  Settle(control);
  // Sent, so the text outlives the call; the owner serves it from its loop.
  SendMessageA(control, VEK_UM_PASTE, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Select(HWND control, int index) {
  Focus(control);
  PostMessageA(control, VEK_UM_SELECT, static_cast<WPARAM>(index), 0);
}

void Spin(HWND control, int delta) { PostMessageA(control, VEK_UM_SPIN, static_cast<WPARAM>(delta), 0); }

void SetCaret(HWND control, int position) {
  Focus(control);
  PostMessageA(control, VEK_UM_CARET, static_cast<WPARAM>(position), 0);
}

bool Settle(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    auto* marker = new SyncMarker{CreateEventA(nullptr, TRUE, FALSE, nullptr), 2, FALSE};
    // A thread message: the marker must not depend on the window outliving it.
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == 0 || !PostThreadMessageA(thread, VEK_UM_SYNC, 0, reinterpret_cast<LPARAM>(marker))) {
      marker->references = 1;
      ReleaseSyncMarker(marker);
      return true;  // the window or its thread is gone: nothing waits any more
    }
    // Once the window is gone (a dialog that ended), nothing of it waits any more.
    bool handled = false;
    while (!handled && IsWindow(window) && GetTickCount() - start < timeoutMs)
      handled = WaitForSingleObject(marker->handled, 20) == WAIT_OBJECT_0;
    if (!handled && !IsWindow(window)) {
      ReleaseSyncMarker(marker);
      return true;
    }
    bool more = handled && marker->moreQueued;
    ReleaseSyncMarker(marker);
    if (!handled) return false;
    if (!more) return true;
  }
}

}  // namespace vek::ui
