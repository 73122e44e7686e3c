// The two worker threads of a connected port: the service thread sends the queued
// bytes and takes the acknowledgements; the status thread watches the device's
// status and the spooler's job and queue. The port owns both objects and joins
// them when it stops its job.
#pragma once

#include <atomic>

#include "framework/win_thread.h"

class CPrintPort;

class CPrintServiceThread : public CWinThread {
  DECLARE_DYNCREATE(CPrintServiceThread)

 public:
  CPrintServiceThread();
  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;

  CPrintPort* m_pPort;
  std::atomic<BOOL> m_bSending;
};

class CQueryStatusThread : public CWinThread {
  DECLARE_DYNCREATE(CQueryStatusThread)

 public:
  CQueryStatusThread();
  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;

  CPrintPort* m_pPort;
};

// The time the status thread waits after a status that is not clear.
constexpr DWORD kStatusRetryMs = 1500;
constexpr DWORD kThreadWaitMs = 30000;
