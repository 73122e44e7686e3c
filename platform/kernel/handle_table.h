// The process's table of kernel handles. Handle values are never reused, so a
// closed handle is recognised instead of reaching another object.
#pragma once

#include <memory>

#include "kernel/types.h"
#include "kernel/waitable.h"

namespace vek::kernel {

HANDLE RegisterHandle(std::shared_ptr<Waitable> object);
// The object behind a handle (GetCurrentThread's pseudo handle included), or null.
std::shared_ptr<Waitable> LookupHandle(HANDLE handle);
bool CloseRegisteredHandle(HANDLE handle);

template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace vek::kernel
