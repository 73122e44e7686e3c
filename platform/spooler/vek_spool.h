// vek-spool: the spooler's command line. Shared by its main and its commands.
#pragma once

#include <string>
#include <vector>

#include "kernel/types.h"
#include "registry/key_store.h"

namespace vek::spool_tool {

// Exit codes, for scripts.
enum Exit : int {
  kOk = 0,
  kFailed = 1,          // an operation failed (the message says why)
  kNoRoot = 2,          // no machine root: run 'vek-spool init'
  kUsage = 3,           // bad arguments
  kNotFound = 4,        // unknown printer, port, job or monitor
  kStopped = 5,         // the Spooler service is stopped
  kNoMonitor = 6,       // a monitor library does not load
  kExists = 7,          // the printer or port exists already
  kJobDeviceError = 10,  // the job failed: device error (1117)
  kJobPaperOut = 11,    // the job failed: out of paper (28)
  kJobCancelled = 12,
  kJobFailed = 13,      // the job failed otherwise
};

struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // "--name", value

  // The option's value, or fallback.
  std::string Option(const std::string& name, const std::string& fallback = "") const;
  bool Has(const std::string& name) const;
};

// Prints "vek-spool: text" on standard error and returns code.
int Fail(int code, const std::string& text);
// Fail with the exit code and text a spooler error calls for.
int FailWith(DWORD error, const std::string& what);

// A name or text from the store as a listing shows it: control characters (and
// bytes that are no UTF-8) written as escapes, so no name can move the cursor,
// recolour the terminal or fake a row.
std::string Printable(const std::string& text);

// A port as the spooler lists it.
struct PortLine {
  std::string name;
  std::string monitor;
  std::string description;
  DWORD type = 0;
};
bool ListPorts(std::vector<PortLine>* ports, DWORD* error);

// The transports as a VEK port's record codes them ("PacketType").
inline constexpr DWORD kPacketTypeIpx = 0;
inline constexpr DWORD kPacketTypeNetBeui = 1;
inline constexpr DWORD kPacketTypeUdp = 2;

// A print server as a person names it: "192.168.0.10", "IPX network 00000000
// node 02:4E:57:12:AB:0C", "NetBIOS name VEKPS12AB0C".
std::string DescribeServer(DWORD packetType, const BYTE address[4], const BYTE network[4], const BYTE mac[6],
                           const std::string& netbiosName);

// The VEK monitor's record of one of its ports.
struct VekPort {
  std::vector<registry::ValueRow> values;  // as stored, to compare
  std::string server;                      // DescribeServer's; empty when the record does not say
  DWORD portId = 0;
  DWORD retryTimeout = 0;                  // seconds
};
// False when the VEK monitor keeps no record of that port.
bool ReadVekPort(const std::string& port, VekPort* record);

int Init(const Arguments& args);
int Printers(const Arguments& args);
int AddPrinter(const Arguments& args);
int Ports(const Arguments& args);
int AddPort(const Arguments& args);
// The monitor's Add Port and Configure Port dialogs, shown in the terminal.
int AddPortByDialog(const Arguments& args);
int ConfigurePort(const Arguments& args);
int Print(const Arguments& args);
int Jobs(const Arguments& args);
int Cancel(const Arguments& args);

}  // namespace vek::spool_tool
