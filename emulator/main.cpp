// vek-emulator: plays the print servers of a configuration file on loopback until
// SIGINT or SIGTERM.
//
//   vek-emulator [--verbose] [--spool-dir DIR] CONFIG
//                              serve; one line per device on stdout, then one
//                              line per finished job
//   vek-emulator --dump-replies DIR CONFIG
//                              write each device's information reply to
//                              DIR/<mac>.bin (seeds for the fuzzers)
//
// A device line:  02:4E:57:10:00:01 "Office" at 127.0.0.2:20560, firmware 1.0b, 1 port
//                 (more transports and "generation 0" are added before the firmware)
// A job line:     job 02:4E:57:10:00:01 port 1 number 3 ended 1450 bytes sha256 <hex> file <path>
//                 ("cut-off" instead of "ended" when the host never ended it; the
//                 path is the rest of the line)
// Received jobs go to --spool-dir, else the configuration's spool_dir, else a new
// folder under the temporary folder; stderr names it.
#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include "emulator/device_config.h"
#include "emulator/emulator.h"
#include "emulator/info_reply.h"
#include "net/broadcast.h"
#include "net/winsock.h"

namespace {

using namespace vek::emu;

// A program that runs for days keeps the last requests only.
constexpr std::size_t kLogLimit = 10000;

std::mutex g_output;

int Usage() {
  std::fprintf(stderr,
               "usage: vek-emulator [--verbose] [--spool-dir DIR] CONFIG\n"
               "       vek-emulator --dump-replies DIR CONFIG\n");
  return 2;
}

std::string BroadcastAddress(const EmulatorConfig& config) {
  if (!config.broadcast.empty()) return config.broadcast;
  in_addr mapped;
  mapped.s_addr = vek::net::MappedBroadcastAddress();
  // Loopback has no 255.255.255.255: take its own broadcast address then.
  if (mapped.s_addr == 0xFFFFFFFFu) return "127.255.255.255";
  return inet_ntoa(mapped);
}

int DumpReplies(const std::string& folder, const EmulatorConfig& config) {
  for (const DeviceConfig& device : config.devices) {
    std::string name = FormatMac(device.mac);
    for (char& c : name)
      if (c == ':') c = '-';
    const std::string path = folder + "/" + name + ".bin";
    const std::vector<std::uint8_t> reply = BuildInformationReply(device);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(reply.data()), static_cast<std::streamsize>(reply.size()));
    if (!out) {
      std::fprintf(stderr, "vek-emulator: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s (%zu bytes)\n", path.c_str(), reply.size());
  }
  return 0;
}

void PrintLogged(const LoggedRequest& request) {
  std::lock_guard guard(g_output);
  std::printf("device %zu: %s %s %s 0x%04X (%zu bytes) from %s%s%s%s\n", request.device, TransportName(request.transport),
              request.broadcast ? "broadcast" : "unicast", request.kind.c_str(), request.command, request.size,
              request.peer.c_str(), request.answered ? ", answered" : "", request.note.empty() ? "" : ": ",
              request.note.c_str());
  std::fflush(stdout);
}

void PrintJob(const JobRecord& job) {
  std::lock_guard guard(g_output);
  std::printf("job %s port %d number %d %s %llu bytes sha256 %s file %s\n", FormatMac(job.mac).c_str(), job.port,
              job.number, job.ended ? "ended" : "cut-off", static_cast<unsigned long long>(job.size),
              job.sha256.c_str(), job.path.c_str());
  std::fflush(stdout);
}

std::string RouteText(const RipRoute& route) {
  const auto count = [](int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
  return FormatNetwork(route.network) + " (" + count(route.hops, "hop") + ", " + count(route.ticks, "tick") + ")";
}

}  // namespace

int main(int argc, char** argv) {
  bool verbose = false;
  std::string dumpFolder, spoolFolder, path;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--dump-replies" && i + 1 < argc) {
      dumpFolder = argv[++i];
    } else if (arg == "--spool-dir" && i + 1 < argc) {
      spoolFolder = argv[++i];
    } else if (arg.starts_with("-") || !path.empty()) {
      return Usage();
    } else {
      path = arg;
    }
  }
  if (path.empty()) return Usage();

  EmulatorConfig config;
  std::string error;
  if (!LoadEmulatorConfig(path, &config, &error)) {
    std::fprintf(stderr, "vek-emulator: %s\n", error.c_str());
    return 1;
  }
  if (!dumpFolder.empty()) return DumpReplies(dumpFolder, config);

  if (spoolFolder.empty()) spoolFolder = config.spoolDir;
  if (spoolFolder.empty()) {
    std::error_code ignored;
    std::string pattern = (std::filesystem::temp_directory_path(ignored) / "vek-emulator-spool-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fprintf(stderr, "vek-emulator: no spool folder could be made in the temporary folder\n");
      return 1;
    }
    spoolFolder = pattern;
  }

  // Block the stop signals in every thread; the main thread takes them with sigwait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  Emulator emulator;
  if (verbose) emulator.SetObserver(PrintLogged);
  emulator.Jobs().SetObserver(PrintJob);
  EmulatorOptions options;
  options.devices = config.devices;
  options.broadcast = BroadcastAddress(config);
  options.dhcpPool = config.dhcpPool;
  options.spoolDir = spoolFolder;
  options.router = config.router;
  options.netbiosLanas = config.netbiosLanas;
  options.logLimit = kLogLimit;
  if (!emulator.Start(options, &error)) {
    std::fprintf(stderr, "vek-emulator: %s\n", error.c_str());
    return 1;
  }
  {
    std::lock_guard guard(g_output);
    for (std::size_t i = 0; i < config.devices.size(); i++) {
      const DeviceConfig& device = config.devices[i];
      std::printf("%s \"%s\" %s%s, firmware %d.%02x, %d port%s\n", FormatMac(device.mac).c_str(), device.name.c_str(),
                  emulator.Describe(i).c_str(), device.generation == 0 ? ", generation 0" : "", device.firmwareMajor,
                  device.firmwareMinor, device.ports, device.ports == 1 ? "" : "s");
    }
    if (const IpxRouter* router = emulator.Router()) {
      std::string routes;
      for (const RipRoute& route : emulator.RouterRoutes()) routes += (routes.empty() ? "" : ", ") + RouteText(route);
      std::fprintf(stderr, "vek-emulator: router %s announces %s\n", router->Describe().c_str(),
                   routes.empty() ? "no network" : routes.c_str());
    }
    std::fprintf(stderr, "vek-emulator: jobs are written to %s\n", emulator.SpoolFolder().c_str());
    std::fprintf(stderr, "vek-emulator: broadcasts arrive at %s:%u; stop with Ctrl-C\n", options.broadcast.c_str(),
                 options.port);
    std::fflush(stdout);
  }

  int signal = 0;
  sigwait(&stopSignals, &signal);
  emulator.Stop();
  return 0;
}
