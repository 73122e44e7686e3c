// The power status thread and its hidden window, which refuses every suspend
// request while a job is sent.
#pragma once

#include "framework/frame_wnd.h"
#include "framework/win_thread.h"

class CPowerStatusWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CPowerStatusWnd)

 public:
  LRESULT OnPowerMessage(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};

class CPowerStatusThread : public CWinThread {
  DECLARE_DYNCREATE(CPowerStatusThread)

 public:
  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;
};

// Starts the thread at the lowest priority; the caller joins and deletes it.
CPowerStatusThread* StartPowerStatusThread();
