// A user-interface thread for dialog tests: the test thread drives it through the
// headless driver while the dialog runs its modal loop there.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "framework/framework.h"
#include "ui/headless_driver.h"

namespace vek::test {

class UiThread {
 public:
  // Runs `body` (typically a DoModal) on a thread of its own.
  explicit UiThread(std::function<INT_PTR()> body);
  ~UiThread();
  // Waits until a window of the thread is on top.
  bool WaitForWindow(DWORD timeoutMs = 5000) const;
  // Waits for the body to return and gives its result (-999 on a time-out).
  INT_PTR Join(DWORD timeoutMs = 5000);
  bool Finished() const { return m_finished; }

 private:
  std::atomic<bool> m_finished{false};
  std::atomic<INT_PTR> m_result{0};
  std::thread m_thread;  // last: the thread writes the members above
};

// The test templates: dialogs 900 (form), 910-913 (wizard pages), 920 (timer box).
void RegisterTestTemplates();

}  // namespace vek::test
