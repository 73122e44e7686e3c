// The built-in "Local Port" monitor (registered with the library name
// "localspl.dll"): the port LPT1:, whose jobs are appended to the file
// <machine root>/spool/local/LPT1.prn.
#pragma once

#include <string>
#include <vector>

#include "spooler/monitors.h"
#include "spooler/winspool.h"

namespace vek::spooler {

inline constexpr const char* kLocalPortMonitor = "Local Port";
inline constexpr const char* kLocalPortLibrary = "localspl.dll";

bool IsLocalPortLibrary(const std::string& library);
MONITOR LocalPortMonitor();
std::vector<PortEntry> LocalPorts(const std::string& monitorName);
// Where the port's jobs go.
std::string LocalPortFile(const std::string& port);

}  // namespace vek::spooler
