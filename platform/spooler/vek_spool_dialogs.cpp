// vek-spool's commands that hand a person to the port monitor's own dialogs: Add
// Port without a print server given, and Configure Port. The monitor opens its
// dialog on this thread; the terminal front end shows it and brings in the keys.
#include <cstdio>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "spooler/names.h"
#include "spooler/spooler.h"
#include "spooler/vek_spool.h"
#include "spooler/winspool.h"
#include "ui/front_end_choice.h"

namespace vek::spool_tool {

namespace {

const PortLine* FindPort(const std::vector<PortLine>& ports, const std::string& name) {
  for (const auto& port : ports)
    if (spooler::SameName(port.name, name)) return &port;
  return nullptr;
}

bool SameValues(const std::vector<registry::ValueRow>& a, const std::vector<registry::ValueRow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!spooler::SameName(a[i].name, b[i].name) || a[i].type != b[i].type || a[i].data != b[i].data) return false;
  return true;
}

std::string Settings(const VekPort& port) {
  return port.server + ", printer port " + std::to_string(port.portId) + ", retry time-out " +
         std::to_string(port.retryTimeout) + " s";
}

// The terminal for the dialog, or why there is none.
bool StartTerminal(vek::ui::FrontEndSession* session, const char* what) {
  *session = vek::ui::StartFrontEnd();
  if (session->IsTerminal()) return true;
  std::fprintf(stderr, "vek-spool: %s opens the monitor's dialog, which needs a terminal\n", what);
  return false;
}

}  // namespace

int AddPortByDialog(const Arguments&) {
  std::vector<PortLine> before;
  DWORD error = 0;
  if (!ListPorts(&before, &error)) return FailWith(error, "cannot list the ports");
  vek::ui::FrontEndSession session;
  if (!StartTerminal(&session, "add-port without a print server")) {
    std::fprintf(stderr, "vek-spool: give the print server to add its port without it (see 'vek-spool --help')\n");
    return kUsage;
  }
  std::u16string monitorName = ToWide(spooler::kVekMonitorName);
  SetLastError(ERROR_SUCCESS);
  BOOL added = AddPortW(nullptr, nullptr, monitorName.c_str());
  error = GetLastError();
  session.End();
  if (!added) {
    if (error == ERROR_SUCCESS) return Fail(kFailed, "no port was added (the dialog was cancelled)");
    return FailWith(error, "the monitor did not add a port");
  }
  std::vector<PortLine> after;
  if (!ListPorts(&after, &error)) return FailWith(error, "cannot list the ports");
  for (const auto& port : after) {
    if (FindPort(before, port.name)) continue;
    std::printf("Added port %s (%s).\n", port.name.c_str(), port.description.c_str());
    return kOk;
  }
  return Fail(kFailed, "the monitor reported success but has no new port");
}

int ConfigurePort(const Arguments& args) {
  const std::string& name = args.positional[0];
  std::vector<PortLine> ports;
  DWORD error = 0;
  if (!ListPorts(&ports, &error)) return FailWith(error, "cannot list the ports");
  const PortLine* port = FindPort(ports, name);
  if (port == nullptr || port->monitor != spooler::kVekMonitorName)
    return Fail(kNotFound, "no VEK port '" + name + "' (see 'vek-spool ports')");
  const std::string spelling = port->name;
  const std::string was = port->description;
  // The dialog's Cancel and an OK that changed nothing both return success: the
  // record tells them from a change.
  VekPort before, after;
  ReadVekPort(spelling, &before);
  vek::ui::FrontEndSession session;
  if (!StartTerminal(&session, "configure-port")) return kUsage;
  std::u16string widePort = ToWide(spelling);
  SetLastError(ERROR_SUCCESS);
  BOOL done = ConfigurePortW(nullptr, nullptr, widePort.c_str());
  error = GetLastError();
  session.End();
  if (!done) return FailWith(error, "cannot configure port " + spelling);
  ports.clear();
  if (!ListPorts(&ports, &error)) return FailWith(error, "cannot list the ports");
  port = FindPort(ports, spelling);
  if (port == nullptr) return Fail(kFailed, "port " + spelling + " is gone");
  ReadVekPort(spelling, &after);
  if (SameValues(before.values, after.values) && port->description == was)
    std::printf("Port %s: nothing was changed (%s).\n", spelling.c_str(), was.c_str());
  else if (!after.server.empty())
    std::printf("Port %s: %s (was %s).\n", spelling.c_str(), Settings(after).c_str(), Settings(before).c_str());
  else std::printf("Port %s: %s (was %s).\n", spelling.c_str(), port->description.c_str(), was.c_str());
  return kOk;
}

}  // namespace vek::spool_tool
