// The monitor library's application object. The spooler's initialisers start it
// and the spooler's explicit shutdown (VekShutdownMonitor) stops it: never static
// constructors or destructors, which run where no thread may be joined.
#pragma once

#include "framework/win_app.h"

class CDriverApp : public CWinApp {
 public:
  CDriverApp();
  BOOL InitInstance() override;
  int ExitInstance() override;
};

extern CDriverApp theApp;
