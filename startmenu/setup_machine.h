// What the install decision does to the computer it runs on: file tests, reading
// the version file, starting programs, the time and letting the windows run. The
// start menu uses the real computer (XLocalMachine); the tests put a computer of
// their own in its place.
#pragma once

#include <string>

#include "kernel/types.h"

class XSetupMachine {
 public:
  virtual ~XSetupMachine() = default;

  // A normal file (not a folder, not hidden, not a system file) is at the path.
  virtual bool FileExists(const std::string& path) = 0;
  // The whole text of a file; false when it cannot be read.
  virtual bool ReadTextFile(const std::string& path, std::string* text) = 0;
  // Starts a command line in a normal window with the focus, without waiting for
  // it: the program's process handle, or null with the system's error code.
  virtual HANDLE StartProgram(const std::string& commandLine, DWORD* error) = 0;
  virtual bool HasEnded(HANDLE process) = 0;
  virtual void CloseProgram(HANDLE process) = 0;
  virtual DWORD TickCount() = 0;
  // Lets the windows handle what is waiting for them, waiting up to `milliseconds`
  // for something to come.
  virtual void DoEvents(DWORD milliseconds) = 0;
  // A message to the user, answered with OK.
  virtual void ShowMessage(const std::string& text) = 0;
};
