// Helpers of the framework tests: waiting for a condition with a deadline while the
// calling thread keeps its messages flowing.
#pragma once

#include <chrono>
#include <functional>

#include "framework/framework.h"

namespace vek::test {

// Pumps the calling thread's messages until the condition holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  MSG msg;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::Sleep(2);
  }
  return true;
}

}  // namespace vek::test
