// The port monitors of this process: registered in the store, loaded with dlopen,
// initialised with InitializePrintMonitor, shut down before they are unloaded.
// No lock of the spooler is held while a monitor runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kernel/types.h"
#include "spooler/winspool.h"

namespace vek::spooler {

struct PortEntry {
  std::string name;
  std::string monitor;
  std::string description;
  DWORD type = 0;
};

struct LoadedMonitor {
  std::string name;     // the key name under Monitors
  std::string library;  // the "Driver" value
  bool builtin = false;
  void* library_handle = nullptr;
  MONITOR ops{};
  PFN_VEKSHUTDOWNMONITOR shutdown = nullptr;
};
using MonitorPtr = std::shared_ptr<LoadedMonitor>;

// Loads every registered monitor that is not loaded yet and returns the loaded ones
// in the store's order. A failure is remembered (LoadError) and not tried again
// until the monitor's "Driver" changes, the spooler service is started again or
// this process's monitors are unloaded. Monitors loaded for another machine root, or before the spooler
// service was last started, are unloaded first when no job of this process runs.
std::vector<MonitorPtr> LoadMonitors();
// The loaded monitor of that name (case-insensitive); null with the last error
// ERROR_UNKNOWN_PRINT_MONITOR when none is registered, ERROR_MOD_NOT_FOUND when it
// does not load.
MonitorPtr FindMonitor(const std::string& name);

// The monitor's ports, asked afresh; remembered for PortKnown and MonitorOfPort.
// ERROR_SUCCESS or the monitor's error; a malformed answer is ERROR_INVALID_DATA.
DWORD MonitorPorts(const MonitorPtr& monitor, std::vector<PortEntry>* ports);
// Every port of every monitor, asked afresh.
std::vector<PortEntry> AllPorts();
// Answers from the ports last seen, without asking a monitor.
bool PortKnown(const std::string& port);
// The monitor that has the port, asking the monitors afresh, and the monitor's own
// spelling of the port's name; null when none has it.
MonitorPtr MonitorOfPort(const std::string& port, std::string* spelling = nullptr);

// Why a registered monitor did not load ("" when it did or was never tried).
std::string LoadError(const std::string& monitor);
// Every remembered load failure: (monitor, reason).
std::vector<std::pair<std::string, std::string>> LoadErrors();

// Shuts down and unloads every monitor of this process, once every call into it
// has returned. Callers end their jobs first.
void UnloadMonitors();

}  // namespace vek::spooler
