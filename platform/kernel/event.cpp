#include <memory>

#include "kernel/errors.h"
#include "kernel/event_object.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/named_objects.h"
#include "kernel/strings.h"
#include "kernel/sync.h"

using vek::kernel::EventObject;

namespace {

HANDLE CreateEventNamed(BOOL manualReset, BOOL initialState, const std::string* name) {
  auto make = [&] { return std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE); };
  return vek::kernel::CreateOrOpenNamed<EventObject>(name, make);
}

template <typename Action>
BOOL WithEvent(HANDLE handle, Action action) {
  auto event = vek::kernel::LookupHandleAs<EventObject>(handle);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  action(*event);
  return TRUE;
}

}  // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  std::string text = name ? name : "";
  return CreateEventNamed(manualReset, initialState, name ? &text : nullptr);
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  std::string text = name ? vek::ToNarrow(name) : "";
  return CreateEventNamed(manualReset, initialState, name ? &text : nullptr);
}

BOOL SetEvent(HANDLE event) {
  return WithEvent(event, [](EventObject& e) { e.SetLocked(); });
}

BOOL ResetEvent(HANDLE event) {
  return WithEvent(event, [](EventObject& e) { e.ResetLocked(); });
}
