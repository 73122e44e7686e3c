// vek-spool: sets up a machine root and drives its spooler: printers, ports, printing.
#include "spooler/vek_spool.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "registry/store_check.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"

namespace vek::spool_tool {

namespace {

constexpr const char* kUsageText = R"(Usage: vek-spool COMMAND [ARGUMENTS]

Commands:
  init [--monitor PATH] [--add-printer PATH]
                               create the machine root, register the monitors and
                               place the Add Printer program (the VEK monitor's
                               library: PATH, else $VEK_MONITOR_LIBRARY, else the one
                               built with vek-spool; the Add Printer program: PATH,
                               else the one built with vek-spool)
  printers                     list the printers (* marks the default printer)
  add-printer NAME PORT [--driver DRIVER]
                               add a printer on a port
  ports                        list the ports of every monitor
  add-port [SERVER-IP] [--transport udp|ipx|netbeui] [--mac MAC]
           [--network HEX8] [--netbios-name NETBIOSNAME] [--model 0|1]
           [--port-id N] [--name NAME]
                               add a VEK network port for a print server, the way
                               the setup wizard hands one over: over UDP (the
                               default) to SERVER-IP; over IPX to the node --mac on
                               network --network (default 00000000, this network);
                               over NetBEUI to --netbios-name. --model 0 for an
                               older device, 1 (the default) otherwise; port id 1
                               to 3; NAME: the port's name. Without arguments:
                               the monitor's Add Port dialog, in the terminal,
                               lists the print servers it finds to choose from
  configure-port PORT          the monitor's Configure Port dialog for a VEK port,
                               in the terminal
  print PRINTER FILE [--document NAME] [--retries N] [--retry-interval MS]
                               print a file and wait for the job to end
  jobs                         list the jobs
  cancel JOB                   cancel a job (of any process)

The machine root is $VEK_ROOT (default ~/.local/share/vek).

Exit codes: 0 done; 1 failed; 2 no machine root; 3 bad arguments; 4 unknown
printer, port, job or monitor; 5 spooler stopped; 6 monitor library not loaded;
7 already exists; 10 job failed with a device error; 11 job failed out of paper;
12 job cancelled; 13 job failed otherwise.
)";

struct Command {
  int (*run)(const Arguments&);
  std::size_t minArgs;
  std::size_t maxArgs;
  std::vector<std::string> options;  // those taking a value
  bool needsRoot;
};

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands = {
      {"init", {Init, 0, 0, {"--monitor", "--add-printer"}, false}},
      {"printers", {Printers, 0, 0, {}, true}},
      {"add-printer", {AddPrinter, 2, 2, {"--driver"}, true}},
      {"ports", {Ports, 0, 0, {}, true}},
      {"add-port",
       {AddPort, 0, 1,
        {"--transport", "--mac", "--network", "--netbios-name", "--model", "--port-id", "--name"}, true}},
      {"configure-port", {ConfigurePort, 1, 1, {}, true}},
      {"print", {Print, 2, 2, {"--document", "--retries", "--retry-interval"}, true}},
      {"jobs", {Jobs, 0, 0, {}, true}},
      {"cancel", {Cancel, 1, 1, {}, true}},
  };
  return commands;
}

// What an error means, with its code after it: the registry database's own
// failures name the file.
std::string Words(DWORD error) {
  if (registry::IsStoreError(static_cast<LONG>(error)))
    return registry::DescribeStoreError(static_cast<LONG>(error)) + " (error " + std::to_string(error) + ")";
  return ErrorText(error);
}

int UsageError(const std::string& text) {
  std::fprintf(stderr, "vek-spool: %s\nTry 'vek-spool --help'.\n", text.c_str());
  return kUsage;
}

}  // namespace

std::string Arguments::Option(const std::string& name, const std::string& fallback) const {
  for (const auto& [option, value] : options)
    if (option == name) return value;
  return fallback;
}

bool Arguments::Has(const std::string& name) const {
  for (const auto& option : options)
    if (option.first == name) return true;
  return false;
}

std::string Printable(const std::string& text) {
  std::string shown;
  char escape[8];
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    // The length of a well-formed UTF-8 sequence starting here, 0 for none.
    std::size_t length = byte < 0x80             ? 1
                         : (byte & 0xE0) == 0xC0 ? 2
                         : (byte & 0xF0) == 0xE0 ? 3
                         : (byte & 0xF8) == 0xF0 ? 4
                                                 : 0;
    if (length > 1 && (i + length > text.size() || byte == 0xC0 || byte == 0xC1)) length = 0;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) length = 0;
    if (length == 0 || byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
      ++i;
    } else if (byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
      // U+0080 to U+009F: terminals take some of them for controls too.
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(text[i + 1]));
      shown += escape;
      i += 2;
    } else {
      shown.append(text, i, length);
      i += length;
    }
  }
  return shown;
}

int Fail(int code, const std::string& text) {
  std::fprintf(stderr, "vek-spool: %s\n", text.c_str());
  return code;
}

int FailWith(DWORD error, const std::string& what) {
  switch (error) {
    case RPC_S_SERVER_UNAVAILABLE:
      return Fail(kStopped, what + ": the spooler is stopped (start the Spooler service)");
    case ERROR_PATH_NOT_FOUND:
      return Fail(kNoRoot, "no machine root at " + MachineRoot() + " (run 'vek-spool init')");
    case ERROR_INVALID_PRINTER_NAME:
      return Fail(kNotFound, what + ": unknown printer");
    case ERROR_UNKNOWN_PORT:
      return Fail(kNotFound, what + ": unknown port");
    case ERROR_UNKNOWN_PRINT_MONITOR:
      return Fail(kNotFound, what + ": the monitor is not registered (run 'vek-spool init')");
    case ERROR_MOD_NOT_FOUND:
      return Fail(kNoMonitor, what + ": the monitor library does not load");
    case ERROR_PRINTER_ALREADY_EXISTS:
      return Fail(kExists, what + ": the printer exists already");
    case ERROR_CANTWRITE:
      return Fail(kFailed, what + ": " + Words(error) + "; nothing was changed");
    case ERROR_BADDB:
    case ERROR_REGISTRY_CORRUPT:
      return Fail(kFailed, what + ": " + Words(error) +
                               "; it is left as it is: move it away and run 'vek-spool init' to make a new one");
    default:
      return Fail(kFailed, what + ": " + Words(error));
  }
}

}  // namespace vek::spool_tool

int main(int argc, char** argv) {
  using namespace vek::spool_tool;
  if (argc < 2) return UsageError("no command given");
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    std::fputs(kUsageText, stdout);
    return kOk;
  }
  auto found = Commands().find(name);
  if (found == Commands().end()) return UsageError("unknown command '" + name + "'");
  const Command& command = found->second;

  Arguments args;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsageText, stdout);
      return kOk;
    }
    if (arg.rfind("--", 0) == 0) {
      std::string value;
      bool inlineValue = false;
      if (std::size_t equals = arg.find('='); equals != std::string::npos) {
        value = arg.substr(equals + 1);
        arg = arg.substr(0, equals);
        inlineValue = true;
      }
      bool known = false;
      for (const std::string& option : command.options) known = known || option == arg;
      if (!known) return UsageError("unknown option '" + arg + "' for " + name);
      if (!inlineValue) {
        if (i + 1 >= argc) return UsageError("option " + arg + " needs a value");
        value = argv[++i];
      }
      args.options.emplace_back(arg, value);
    } else {
      args.positional.push_back(arg);
    }
  }
  if (args.positional.size() < command.minArgs) return UsageError("too few arguments for " + name);
  if (args.positional.size() > command.maxArgs) return UsageError("too many arguments for " + name);
  if (command.needsRoot && !vek::spooler::MachineRootReady())
    return Fail(kNoRoot, "no machine root at " + vek::MachineRoot() + " (run 'vek-spool init')");
  // A registry that cannot be read is said so, never shown as an empty machine.
  if (command.needsRoot)
    if (LONG error = vek::registry::CheckStore(); vek::registry::IsStoreError(error))
      return FailWith(static_cast<DWORD>(error), "cannot read the registry");
  int code = command.run(args);
  vek::spooler::Shutdown();
  std::fflush(stdout);
  return code;
}
