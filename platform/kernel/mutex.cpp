#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/mutex_object.h"
#include "kernel/named_objects.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "kernel/thread_object.h"

namespace vek::kernel {

bool MutexObject::Acquire(DWORD threadId) {
  if (m_owner == threadId) {
    ++m_count;
    return false;
  }
  m_owner = threadId;
  m_count = 1;
  NoteMutexOwned(shared_from_this());
  bool abandoned = m_abandoned;
  m_abandoned = false;
  return abandoned;
}

bool MutexObject::ReleaseLocked(DWORD threadId) {
  if (m_owner != threadId || m_count == 0) return false;
  if (--m_count == 0) {
    m_owner = 0;
    NoteMutexReleased(this);
    NotifyLocked();
  }
  return true;
}

void MutexObject::AbandonLocked() {
  m_owner = 0;
  m_count = 0;
  m_abandoned = true;
  NotifyLocked();
}

}  // namespace vek::kernel

using vek::kernel::MutexObject;

namespace {

HANDLE CreateMutexNamed(BOOL initialOwner, const std::string* name) {
  auto make = [] { return std::make_shared<MutexObject>(); };
  HANDLE handle = vek::kernel::CreateOrOpenNamed<MutexObject>(name, make);
  DWORD created = GetLastError();
  if (handle != nullptr && initialOwner) {
    auto mutex = vek::kernel::LookupHandleAs<MutexObject>(handle);
    vek::kernel::Waitable* object = mutex.get();
    // An existing named mutex is only taken when it is free, as a wait would.
    vek::kernel::WaitForObjects({&object, 1}, false, created == ERROR_ALREADY_EXISTS ? 0 : INFINITE);
  }
  SetLastError(created);
  return handle;
}

}  // namespace

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  std::string text = name ? name : "";
  return CreateMutexNamed(initialOwner, name ? &text : nullptr);
}

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name) {
  std::string text = name ? vek::ToNarrow(name) : "";
  return CreateMutexNamed(initialOwner, name ? &text : nullptr);
}

BOOL ReleaseMutex(HANDLE handle) {
  auto mutex = vek::kernel::LookupHandleAs<MutexObject>(handle);
  if (!mutex) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  if (!mutex->ReleaseLocked(GetCurrentThreadId())) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  return TRUE;
}
