// Waiting on handles: wait-any takes the lowest signalled index, wait-all takes
// every object at once, and the time-out is measured on the installed clock.
#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <span>
#include <vector>

#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "kernel/waitable.h"

namespace vek::kernel {
namespace {

std::vector<Waiter*>& ActiveWaiters() {
  static std::vector<Waiter*>* waiters = new std::vector<Waiter*>;
  return *waiters;
}

// Tries to satisfy the wait with WaitLock held; WAIT_TIMEOUT when it cannot yet.
DWORD TrySatisfy(std::span<Waitable* const> objects, bool waitAll, DWORD self) {
  if (waitAll) {
    for (Waitable* object : objects)
      if (!object->IsSignaled(self)) return WAIT_TIMEOUT;
    bool abandoned = false;
    for (Waitable* object : objects) abandoned |= object->Acquire(self);
    return abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0;
  }
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->IsSignaled(self)) {
      bool abandoned = objects[i]->Acquire(self);
      return static_cast<DWORD>(i) + (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0);
    }
  }
  return WAIT_TIMEOUT;
}

}  // namespace

DWORD WaitForObjects(std::span<Waitable* const> objects, bool waitAll, DWORD milliseconds) {
  const DWORD self = GetCurrentThreadId();
  Clock& clock = CurrentClock();
  const std::uint64_t start = clock.NowMs();
  std::unique_lock lock(WaitLock());
  Waiter waiter;
  for (;;) {
    DWORD result = TrySatisfy(objects, waitAll, self);
    if (result != WAIT_TIMEOUT) return result;
    std::uint64_t elapsed = clock.NowMs() - start;
    if (milliseconds != INFINITE && elapsed >= milliseconds) return WAIT_TIMEOUT;

    for (Waitable* object : objects) object->AddWaiter(&waiter);
    ActiveWaiters().push_back(&waiter);
    if (milliseconds == INFINITE || clock.IsVirtual()) {
      waiter.cv.wait(lock);
    } else {
      waiter.cv.wait_for(lock, std::chrono::milliseconds(milliseconds - elapsed));
    }
    for (Waitable* object : objects) object->RemoveWaiter(&waiter);
    auto& active = ActiveWaiters();
    active.erase(std::find(active.begin(), active.end(), &waiter));
  }
}

}  // namespace vek::kernel

std::size_t vek::BlockedWaiters() {
  std::lock_guard lock(kernel::WaitLock());
  return kernel::ActiveWaiters().size();
}

namespace vek::kernel {

void WakeAllWaiters() {
  std::lock_guard lock(WaitLock());
  for (Waiter* waiter : ActiveWaiters()) waiter->cv.notify_all();
}

}  // namespace vek::kernel

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  // The shared pointers keep every object alive while we wait, even if closed
  // meanwhile. Kept on the stack: a wait that only looks allocates nothing.
  std::array<std::shared_ptr<vek::kernel::Waitable>, MAXIMUM_WAIT_OBJECTS> held;
  std::array<vek::kernel::Waitable*, MAXIMUM_WAIT_OBJECTS> objects{};
  for (DWORD i = 0; i < count; ++i) {
    held[i] = vek::kernel::LookupHandle(handles[i]);
    if (!held[i]) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects[i] = held[i].get();
  }
  std::span<vek::kernel::Waitable* const> given(objects.data(), count);
  if (waitAll) {
    // The same object twice cannot be waited for together.
    std::array<vek::kernel::Waitable*, MAXIMUM_WAIT_OBJECTS> sorted = objects;
    std::sort(sorted.begin(), sorted.begin() + count);
    if (std::adjacent_find(sorted.begin(), sorted.begin() + count) != sorted.begin() + count) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return WAIT_FAILED;
    }
  }
  return vek::kernel::WaitForObjects(given, waitAll != FALSE, milliseconds);
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle) {
  if (vek::kernel::CloseRegisteredHandle(handle)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}
