#include "kernel/waitable.h"

#include <algorithm>

namespace vek::kernel {

std::mutex& WaitLock() {
  static std::mutex* lock = new std::mutex;  // used by thread exits late in the process
  return *lock;
}

void Waitable::NotifyLocked() {
  for (Waiter* waiter : m_waiters) waiter->cv.notify_all();
}

void Waitable::RemoveWaiter(Waiter* waiter) {
  auto it = std::find(m_waiters.begin(), m_waiters.end(), waiter);
  if (it != m_waiters.end()) m_waiters.erase(it);
}

}  // namespace vek::kernel
