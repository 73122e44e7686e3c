// Manual-reset and auto-reset events.
#pragma once

#include "kernel/waitable.h"

namespace vek::kernel {

class EventObject : public Waitable {
 public:
  EventObject(bool manualReset, bool signaled) : m_manualReset(manualReset), m_signaled(signaled) {}
  bool IsSignaled(DWORD) const override { return m_signaled; }
  bool Acquire(DWORD) override {
    if (!m_manualReset) m_signaled = false;
    return false;
  }
  // With WaitLock held.
  void SetLocked() {
    m_signaled = true;
    NotifyLocked();
  }
  void ResetLocked() { m_signaled = false; }

 private:
  bool m_manualReset;
  bool m_signaled;
};

}  // namespace vek::kernel
