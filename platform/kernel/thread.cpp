#include "kernel/thread.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <unistd.h>

#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/mutex_object.h"
#include "kernel/thread_object.h"

namespace vek::kernel {
namespace {

// What a thread knows about itself. Its destructor runs when the thread ends,
// also for threads the layer did not create.
struct ThreadSelf {
  DWORD id = 0;
  std::shared_ptr<ThreadObject> object;
  std::vector<std::shared_ptr<MutexObject>> ownedMutexes;
  ~ThreadSelf() { AbandonOwnedMutexes(); }
};

thread_local ThreadSelf t_self;

}  // namespace

HANDLE GetCurrentThreadPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2)); }

DWORD NewThreadId() {
  static std::atomic<DWORD> next{0x104};
  return next.fetch_add(4);
}

std::shared_ptr<ThreadObject> CurrentThreadObject() {
  if (!t_self.object) {
    if (t_self.id == 0) t_self.id = NewThreadId();
    t_self.object = std::make_shared<ThreadObject>(t_self.id);
  }
  return t_self.object;
}

void AdoptThreadObject(std::shared_ptr<ThreadObject> object) {
  t_self.id = object->threadId();
  t_self.object = std::move(object);
}

void NoteMutexOwned(const std::shared_ptr<MutexObject>& mutex) { t_self.ownedMutexes.push_back(mutex); }

void NoteMutexReleased(const MutexObject* mutex) {
  auto& owned = t_self.ownedMutexes;
  auto it = std::find_if(owned.begin(), owned.end(), [&](const auto& m) { return m.get() == mutex; });
  if (it != owned.end()) owned.erase(it);
}

void AbandonOwnedMutexes() {
  std::vector<std::shared_ptr<MutexObject>> owned;
  owned.swap(t_self.ownedMutexes);
  if (owned.empty()) return;
  std::lock_guard lock(WaitLock());
  for (auto& mutex : owned) mutex->AbandonLocked();
}

}  // namespace vek::kernel

using vek::kernel::ThreadObject;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId) {
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto object = std::make_shared<ThreadObject>(vek::kernel::NewThreadId());
  object->m_suspendCount = (creationFlags & CREATE_SUSPENDED) ? 1 : 0;
  HANDLE handle = vek::kernel::RegisterHandle(object);
  if (threadId) *threadId = object->threadId();
  try {
    std::thread([object, start, parameter] {
      vek::kernel::AdoptThreadObject(object);
      {
        std::unique_lock lock(vek::kernel::WaitLock());
        object->m_resumed.cv.wait(lock, [&] { return object->m_suspendCount == 0; });
      }
      DWORD code = start(parameter);
      vek::kernel::AbandonOwnedMutexes();
      std::lock_guard lock(vek::kernel::WaitLock());
      object->m_exitCode = code;
      object->m_finished = true;
      object->NotifyLocked();
    }).detach();
  } catch (const std::system_error&) {
    vek::kernel::CloseRegisteredHandle(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return handle;
}

DWORD ResumeThread(HANDLE thread) {
  auto object = vek::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0xFFFFFFFFu;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  DWORD previous = object->m_suspendCount;
  if (previous > 0 && --object->m_suspendCount == 0) object->m_resumed.cv.notify_all();
  return previous;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
  auto object = vek::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  bool valid = (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST) ||
               priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL;
  if (!valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Advisory: remembered and reported, not applied to the scheduler.
  std::lock_guard lock(vek::kernel::WaitLock());
  object->m_priority = priority;
  return TRUE;
}

int GetThreadPriority(HANDLE thread) {
  auto object = vek::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return THREAD_PRIORITY_ERROR_RETURN;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  return object->m_priority;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  auto object = vek::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object || exitCode == nullptr) {
    SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  *exitCode = object->m_exitCode;
  return TRUE;
}

DWORD GetThreadId(HANDLE thread) {
  auto object = vek::kernel::LookupHandleAs<ThreadObject>(thread);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return object->threadId();
}

HANDLE GetCurrentThread() { return vek::kernel::GetCurrentThreadPseudoHandle(); }

DWORD GetCurrentThreadId() { return vek::kernel::CurrentThreadObject()->threadId(); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
