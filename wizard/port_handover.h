// How the wizard reaches the port monitor: through the registry, where it finds
// the monitor's key and leaves a new port's record under TempPort, and through the
// spooler, whose AddPort hands that record to the monitor.
#pragma once

#include <string>
#include <vector>

#include "framework/cstring.h"
#include "kernel/types.h"

inline constexpr const char* kMonitorsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr const char* kPrintPortsKey = "System\\CurrentControlSet\\Control\\Print\\Ports";
inline constexpr const char* kVekMonitorKeyName = "TARVEX VEK Network Printer Port";
inline constexpr const char* kTempPortKey = "TempPort";

// The monitor's key name the printer page found (FindMonitorName); the fixed
// name until then.
extern CStringA g_MonitorKeyName;

// The monitor's "Version" value: one byte, 2.
inline constexpr BYTE kVekMonitorVersion = 2;
// The model code of the servers whose ports are named "VEKG...".
inline constexpr BYTE kModelCodeG = 32;

// The values of a port's record, as the monitor reads them (its Ports\<name>
// records use the same names, types and widths).
struct PortRecord {
  DWORD model = 1;       // device packets with the "NET" header
  DWORD packetType = 1;  // in memory: 0 IPX, 1 UDP, 2 NetBEUI
  BYTE psName[18] = {};
  BYTE network[4] = {};
  BYTE node[6] = {};
  BYTE ipAddress[4] = {};
  BYTE portId = 0;
  DWORD retryTimeout = 90;
};

// The first monitor key named exactly kVekMonitorKeyName whose "Version" is one byte
// equal to 2; FALSE when there is none (a value of another size is not read).
BOOL FindMonitorKeyName(CStringA* name);

// The names of the spooler's ports; FALSE with the spooler's error when they
// cannot be read.
BOOL ReadPortNames(std::vector<std::string>* names, DWORD* error);

// The port's name for a server: "VEK" ("VEKG" for model 32), the MAC's last three
// bytes in hex and the first number from 1 that no port has (in any case). FALSE
// when no such name fits in size - 1 characters.
BOOL MakePortName(const BYTE* node, BYTE modelCode, const std::vector<std::string>& taken, char* name,
                  std::size_t size);

// Writes the record under the monitor's TempPort key, as TempPort\<name>; FALSE
// with the registry's error when it cannot.
BOOL WriteHandedOverPort(const CStringA& monitorKey, const char* name, const PortRecord& record, DWORD* error);
// Deletes TempPort\<name> and TempPort.
void RemoveHandedOverPort(const CStringA& monitorKey, const char* name);
