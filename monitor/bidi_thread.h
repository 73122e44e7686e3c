// On Windows 9x: a low-priority thread that every 25 s switches bidirectional
// support off on the printers of this monitor's ports, which carry data one way.
#pragma once

#include "framework/win_thread.h"

class CDisableBidirectionThread : public CWinThread {
  DECLARE_DYNCREATE(CDisableBidirectionThread)

 public:
  BOOL InitInstance() override;
  BOOL OnIdle(LONG count) override;
  int ExitInstance() override;

  // One pass over the machine's printers.
  static void Sweep();
};

// Starts the thread once, on Windows 9x only.
void StartBidiThread();
// Library stop: the thread ends on the shutdown event and is joined, waiting at
// most kBidiStopMs; FALSE when it did not end (its events must stay).
BOOL StopBidiThread();
BOOL BidiThreadRunning();

constexpr unsigned kBidiSweepMs = 25000;
constexpr unsigned kBidiStopMs = 10000;
