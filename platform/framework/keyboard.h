// The keyboard as handlers see it: whether Shift is down during the key message
// being handled, and the beep a control gives for a key it refuses.
#pragma once

#include "framework/win_types.h"

constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;

// Negative (the high bit set) while the key is down. The front ends deliver
// Shift with the key (a WM_KEYDOWN with lParam 1 is Shift and the key), so Shift
// reads as down while that message is handled on this thread.
SHORT GetKeyState(int virtualKey);
// The simple beep is 0xFFFFFFFF; every kind is counted the same.
BOOL MessageBeep(UINT type);

namespace vek::framework {

// Holds the keyboard state a message carries while it is dispatched.
class KeyboardScope {
 public:
  explicit KeyboardScope(const MSG& msg);
  ~KeyboardScope();
  KeyboardScope(const KeyboardScope&) = delete;
  KeyboardScope& operator=(const KeyboardScope&) = delete;

 private:
  bool m_shiftBefore;
};
// The beeps of the process so far, for tests.
unsigned BeepCount();

}  // namespace vek::framework
