// A recursive mutex owned by a thread. A mutex whose owner ends while holding it is
// abandoned: the next wait takes it and reports WAIT_ABANDONED.
#pragma once

#include <memory>

#include "kernel/waitable.h"

namespace vek::kernel {

class MutexObject : public Waitable, public std::enable_shared_from_this<MutexObject> {
 public:
  bool IsSignaled(DWORD threadId) const override { return m_owner == 0 || m_owner == threadId; }
  bool Acquire(DWORD threadId) override;
  // With WaitLock held. False when the caller does not own the mutex.
  bool ReleaseLocked(DWORD threadId);
  // With WaitLock held: the owner ended.
  void AbandonLocked();

 private:
  DWORD m_owner = 0;
  DWORD m_count = 0;
  bool m_abandoned = false;
};

}  // namespace vek::kernel
