// The kernel object behind a thread handle, and the per-thread bookkeeping
// (our own thread id, the mutexes a thread owns).
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "kernel/types.h"
#include "kernel/waitable.h"

namespace vek::kernel {

class MutexObject;

class ThreadObject : public Waitable {
 public:
  explicit ThreadObject(DWORD threadId) : m_threadId(threadId) {}
  bool IsSignaled(DWORD) const override { return m_finished; }

  DWORD threadId() const { return m_threadId; }
  // State below is guarded by WaitLock.
  bool m_finished = false;
  DWORD m_exitCode = 259;  // STILL_ACTIVE
  DWORD m_suspendCount = 0;
  int m_priority = 0;
  Waiter m_resumed;

 private:
  DWORD m_threadId;
};

HANDLE GetCurrentThreadPseudoHandle();
DWORD NewThreadId();
// The calling thread's object, made on first use for threads we did not create.
std::shared_ptr<ThreadObject> CurrentThreadObject();
// Binds a new thread to the object made for it by CreateThread.
void AdoptThreadObject(std::shared_ptr<ThreadObject> object);

// Mutexes owned by the calling thread; released as abandoned when it ends.
void NoteMutexOwned(const std::shared_ptr<MutexObject>& mutex);
void NoteMutexReleased(const MutexObject* mutex);
void AbandonOwnedMutexes();

}  // namespace vek::kernel
