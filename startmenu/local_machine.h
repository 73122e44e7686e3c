// The computer the start menu runs on, through the platform's calls.
#pragma once

#include "startmenu/setup_machine.h"

class XLocalMachine : public XSetupMachine {
 public:
  bool FileExists(const std::string& path) override;
  bool ReadTextFile(const std::string& path, std::string* text) override;
  HANDLE StartProgram(const std::string& commandLine, DWORD* error) override;
  bool HasEnded(HANDLE process) override;
  void CloseProgram(HANDLE process) override;
  DWORD TickCount() override;
  void DoEvents(DWORD milliseconds) override;
  void ShowMessage(const std::string& text) override;
};

// One pass of the windows' events: every message waiting is handled, and when
// none was there the call waits up to `milliseconds` for one (through the front
// end, so a terminal keeps showing the windows).
void DoEventsOnce(DWORD milliseconds);
