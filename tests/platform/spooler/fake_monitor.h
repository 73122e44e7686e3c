// A port monitor for the spooler's tests: it records every call, keeps its ports
// under its registry key like a real monitor, takes a TempPort record on AddPort
// (its values copied to the port's own key, for the tests to read),
// and writes what it is told to. Tests reach its state through FakeMonitorControl
// (the test process keeps the library loaded); a monitor in another process (a
// vek-spool run) takes its settings from values of its registry key instead:
//   "Log"           REG_SZ: a file that gets "init", "shutdown" and "unload" lines
//   "WriteDelayMs"  REG_DWORD: a pause in every WritePort
//   "MaxWrite"      REG_DWORD: bytes taken per WritePort at most
//   "FailWrites"    REG_DWORD: that many WritePort calls fail, with "FailError"
//   "StartDocError" REG_DWORD: every StartDocPort fails with this error
//   "AddPortError"  REG_DWORD: every AddPort fails with this error
//   "TableSize"     REG_DWORD: the dwMonitorSize it reports
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/types.h"

namespace fake {

// What the next WritePort does: result and error, and the bytes it takes (at
// most the length it was given).
struct WriteStep {
  BOOL result = TRUE;
  DWORD error = 0;
  DWORD take = 0xFFFFFFFFu;
};

struct Control {
  std::mutex lock;
  std::condition_variable changed;

  // How it behaves.
  std::deque<WriteStep> steps;      // consumed one per WritePort; then full writes
  DWORD maxWrite = 0xFFFFFFFFu;     // bytes per successful write at most
  DWORD writeDelayMs = 0;
  DWORD failWrites = 0;             // these many more writes fail with failError
  DWORD failError = 0;
  bool malformedEnum = false;       // EnumPorts answers a pointer outside the buffer
  bool cancelAtEndDoc = true;       // removes the job at EndDocPort, as the VEK monitor does
  bool callBackInWrite = false;     // calls the spooler from WritePort (its own thread and another)
  DWORD blockAtBytes = 0;           // WritePort waits for release once this many bytes arrived
  bool released = false;
  bool failStartDoc = false;
  DWORD startDocError = 1117;
  DWORD addPortError = 0;

  // What it saw.
  std::vector<std::string> calls;
  std::string received;
  int inits = 0;
  int shutdowns = 0;
  int writes = 0;
  bool blocked = false;             // a WritePort waits for release right now
  int callbacks = 0;                // callbacks into the spooler that returned
  int callbackFailures = 0;         // those that failed or did not return in time
  DWORD lastJobStatus = 0;          // as GetJobW told it, in WritePort
  DWORD endDocJobStatus = 0;        // as GetJobW told it, when EndDocPort began
  std::string registryPath;
  std::vector<std::string> ports;

  // Everything back to the start.
  void Reset();
};

inline void Control::Reset() {
  steps.clear();
  maxWrite = 0xFFFFFFFFu;
  writeDelayMs = 0;
  failWrites = 0;
  failError = 0;
  malformedEnum = false;
  cancelAtEndDoc = true;
  callBackInWrite = false;
  blockAtBytes = 0;
  released = false;
  failStartDoc = false;
  startDocError = 1117;
  calls.clear();
  received.clear();
  inits = 0;
  shutdowns = 0;
  writes = 0;
  blocked = false;
  callbacks = 0;
  callbackFailures = 0;
  lastJobStatus = 0;
  endDocJobStatus = 0;
  registryPath.clear();
  ports.clear();
}

}  // namespace fake

extern "C" fake::Control* FakeMonitorControl();
