// The waitable kernel objects and the one lock that guards their state.
// Used inside the platform library: the framework's message queues wait here too.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "kernel/types.h"

namespace vek::kernel {

// Guards the signal state of every waitable object and every waiter list. One lock
// keeps wait-any and wait-all simple and free of lock-order problems.
std::mutex& WaitLock();

struct Waiter {
  std::condition_variable cv;
};

class Waitable {
 public:
  virtual ~Waitable() = default;
  // Both are called with WaitLock held, by the thread that waits.
  virtual bool IsSignaled(DWORD threadId) const = 0;
  // Takes the object for a satisfied wait; true when it was an abandoned mutex.
  virtual bool Acquire(DWORD threadId) { (void)threadId; return false; }

  // With WaitLock held: wakes every thread waiting on this object.
  void NotifyLocked();
  void AddWaiter(Waiter* waiter) { m_waiters.push_back(waiter); }
  void RemoveWaiter(Waiter* waiter);

 private:
  std::vector<Waiter*> m_waiters;
};

// Waits for any (lowest index first) or all of the objects. Returns WAIT_OBJECT_0 + i,
// WAIT_ABANDONED_0 + i or WAIT_TIMEOUT. The time is read through the installed clock.
DWORD WaitForObjects(std::span<Waitable* const> objects, bool waitAll, DWORD milliseconds);

// Wakes every thread blocked in a wait, so it rereads the clock (virtual clock moves).
void WakeAllWaiters();

}  // namespace vek::kernel
