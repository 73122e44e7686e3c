// vek-emulator: plays the print servers of a configuration file on loopback until
// SIGINT or SIGTERM.
//
//   vek-emulator [--verbose] CONFIG          serve; one line per device on stdout
//   vek-emulator --dump-replies DIR CONFIG   write each device's information reply
//                                            to DIR/<mac>.bin (seeds for the fuzzers)
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "emulator/device_config.h"
#include "emulator/emulator.h"
#include "emulator/info_reply.h"
#include "net/broadcast.h"
#include "net/winsock.h"

namespace {

using namespace vek::emu;

int Usage() {
  std::fprintf(stderr,
               "usage: vek-emulator [--verbose] CONFIG\n"
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

void PrintRequest(const LoggedRequest& request) {
  std::printf("device %zu: %s request 0x%04X (%zu bytes) from %s:%u%s\n", request.device,
              request.broadcast ? "broadcast" : "unicast", request.command, request.data.size(),
              FormatIpv4(request.fromAddress).c_str(), request.fromPort, request.answered ? ", answered" : "");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  bool verbose = false;
  std::string dumpFolder, path;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (arg == "--verbose") {
      verbose = true;
    } else if (arg == "--dump-replies" && i + 1 < argc) {
      dumpFolder = argv[++i];
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

  // Block the stop signals in every thread; the main thread takes them with sigwait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  Emulator emulator;
  if (verbose) emulator.SetObserver(PrintRequest);
  EmulatorOptions options;
  options.devices = config.devices;
  options.broadcast = BroadcastAddress(config);
  options.dhcpPool = config.dhcpPool;
  if (!emulator.Start(options, &error)) {
    std::fprintf(stderr, "vek-emulator: %s\n", error.c_str());
    return 1;
  }
  for (const DeviceConfig& device : config.devices) {
    std::printf("%s \"%s\" at %s:%u, firmware %d.%02x, %d port%s\n", FormatMac(device.mac).c_str(),
                device.name.c_str(), FormatIpv4(device.address).c_str(), options.port, device.firmwareMajor,
                device.firmwareMinor, device.ports, device.ports == 1 ? "" : "s");
  }
  std::fprintf(stderr, "vek-emulator: broadcasts arrive at %s:%u; stop with Ctrl-C\n", options.broadcast.c_str(),
               options.port);
  std::fflush(stdout);

  int signal = 0;
  sigwait(&stopSignals, &signal);
  emulator.Stop();
  return 0;
}
