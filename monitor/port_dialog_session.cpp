#include "port_dialog_session.h"

#include <atomic>
#include <mutex>

#include "debug_log.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/thread.h"
#include "port_dlg.h"
#include "port_workers.h"
#include "xip_address_ctrl.h"

namespace {

std::mutex g_dialogLock;
std::atomic<DWORD> g_dialogThread{0};

}  // namespace

INT_PTR RunPortDialog(HWND owner, CPrintPort* port) {
  // The thread that shows a dialog cannot wait for it to close.
  if (g_dialogThread == GetCurrentThreadId()) {
    SetLastError(ERROR_BUSY);
    return -1;
  }
  std::lock_guard guard(g_dialogLock);
  g_dialogThread = GetCurrentThreadId();
  // The tabs show what the registry enables and the probes found working now.
  DWORD needed = 0, returned = 0;
  XYZEnumPorts(nullptr, 0, nullptr, 0, &needed, &returned);
  XIPAddressCtrl::RegisterWndClass();
  INT_PTR result;
  {
    CPortDLG dialog(CWnd::FromHandle(owner));
    dialog.m_bConfigure = port != nullptr ? 1 : 0;
    dialog.m_pPort = port;
    result = dialog.DoModal();
  }
  XIPAddressCtrl::UnregisterWndClass();
  g_dialogThread = 0;
  theDebugLog.Trace("RunPortDialog() = %d", static_cast<int>(result));
  return result;
}
