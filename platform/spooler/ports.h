// Port status as monitors report it with SetPort level 3: kept for this process and
// recorded in the store under HKLM "...\Control\Print\Ports\<port>" ("Status",
// "Severity", "StatusText") for every process to read.
#pragma once

#include <string>

#include "kernel/types.h"

namespace vek::spooler {

struct PortStatus {
  DWORD status = 0;    // PORT_STATUS_*, 0 when clear
  DWORD severity = 0;  // PORT_STATUS_TYPE_*
  std::string text;
};

// The port's last status (clear when none was set).
PortStatus ReadPortStatus(const std::string& port);
// PRINTER_STATUS_* bits for a port's status.
DWORD PrinterStatusOfPort(const PortStatus& status);
// The error a job waiting on the port shows for its status: out of paper; busy for
// a warning (the port cannot take the job yet); a device error for any other
// error. 0 when the status is clear or only information.
DWORD JobErrorOfPortStatus(const PortStatus& status);
// The status as a user reads it: its own text, else the name of its code; empty
// when clear.
std::string DescribePortStatus(const PortStatus& status);

}  // namespace vek::spooler
