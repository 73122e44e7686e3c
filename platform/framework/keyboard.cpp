#include "framework/keyboard.h"

#include <atomic>

#include "framework/messages.h"

namespace vek::framework {
namespace {

thread_local bool t_shiftDown = false;
std::atomic<unsigned> g_beeps{0};

}  // namespace

KeyboardScope::KeyboardScope(const MSG& msg) : m_shiftBefore(t_shiftDown) {
  t_shiftDown = msg.message == WM_KEYDOWN && msg.lParam == 1;
}

KeyboardScope::~KeyboardScope() { t_shiftDown = m_shiftBefore; }

unsigned BeepCount() { return g_beeps.load(); }

}  // namespace vek::framework

SHORT GetKeyState(int virtualKey) {
  if (virtualKey == VK_SHIFT && vek::framework::t_shiftDown) return static_cast<SHORT>(0x8000);
  return 0;
}

BOOL MessageBeep(UINT) {
  ++vek::framework::g_beeps;
  return TRUE;
}
