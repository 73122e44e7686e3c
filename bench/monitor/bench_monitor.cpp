// bench_monitor: prints files of 1, 16 and 64 MiB through the spooler and the
// loaded monitor to emulated devices of both generations on loopback, and sends the same
// bytes over one plain TCP connection, for comparison. The devices run in a
// child process so that the CPU time measured is the spooler's alone.
//
//   bench_monitor [SIZE_MIB...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/strings.h"
#include "registry/registry.h"
#include "spooler/spooler.h"
#include "spooler/winspool.h"
#include "support/job_data.h"
#include "tcp_sink.h"

namespace {

const std::string kMonitorKey =
    "System\\CurrentControlSet\\Control\\Print\\Monitors\\TARVEX VEK Network Printer Port";

// 127.X.77.0/24, X from the process id: runs side by side keep apart.
std::uint32_t g_Subnet = 0;

std::uint32_t DeviceAddress(int model) { return g_Subnet | static_cast<std::uint32_t>(model + 1); }

// The child: the emulator with a device of each generation, reporting each
// finished job on the pipe.
[[noreturn]] void RunDevices(int reportFd, const std::string& spoolDir) {
  vek::emu::EmulatorOptions options;
  options.spoolDir = spoolDir;
  for (int model = 0; model < 2; model++) {
    vek::emu::DeviceConfig device;
    device.mac = {0x02, 0x4E, 0x57, 0x12, 0xAB, static_cast<std::uint8_t>(model)};
    device.name = "Bench " + std::to_string(model);
    device.generation = model;
    device.address = DeviceAddress(model);
    options.devices.push_back(device);
  }
  std::string message;
  vek::emu::Emulator emulator;
  if (!emulator.Start(options, &message)) {
    std::fprintf(stderr, "bench_monitor: emulator: %s\n", message.c_str());
    _exit(1);
  }
  for (std::size_t index = 0;; index++) {
    std::optional<vek::emu::JobRecord> job;
    while (!(job = emulator.Jobs().WaitForJob(index, std::chrono::milliseconds(1000)))) {
    }
    // The bytes are on disk; the bench needs only their digest.
    std::remove(job->path.c_str());
    std::string line = std::to_string(job->device) + " " + std::to_string(job->size) + " " + job->sha256 + "\n";
    if (write(reportFd, line.data(), line.size()) < 0) _exit(0);
  }
}

std::string ReadLine(FILE* reports) {
  char line[256];
  return std::fgets(line, sizeof line, reports) ? std::string(line) : std::string();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool HandOverPort(const std::string& name, int model) {
  HKEY key = nullptr;
  std::string path = kMonitorKey + "\\TempPort\\" + name;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != 0)
    return false;
  std::uint32_t host = DeviceAddress(model);
  const BYTE network[4] = {}, node[6] = {0x02, 0x4E, 0x57, 0x12, 0xAB, static_cast<BYTE>(model)};
  const BYTE ip[4] = {static_cast<BYTE>(host >> 24), static_cast<BYTE>(host >> 16), static_cast<BYTE>(host >> 8),
                      static_cast<BYTE>(host)};
  const BYTE psName[18] = {};
  const DWORD retry = 90, portId = 1, udp = 2, generation = static_cast<DWORD>(model);
  RegSetValueExA(key, "Network", 0, REG_BINARY, network, 4);
  RegSetValueExA(key, "Node", 0, REG_BINARY, node, 6);
  RegSetValueExA(key, "IPAddress", 0, REG_BINARY, ip, 4);
  RegSetValueExA(key, "RetryTimeout", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&retry), 4);
  RegSetValueExA(key, "PortID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&portId), 4);
  RegSetValueExA(key, "PacketType", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&udp), 4);
  RegSetValueExA(key, "PSName", 0, REG_BINARY, psName, 18);
  RegSetValueExA(key, "Model", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&generation), 4);
  RegCloseKey(key);
  std::u16string monitor = u"TARVEX VEK Network Printer Port";
  BOOL added = AddPortW(nullptr, nullptr, monitor.c_str());
  HKEY monitorKey = nullptr;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMonitorKey.c_str(), 0, KEY_ALL_ACCESS, &monitorKey);
  RegDeleteKeyA(monitorKey, ("TempPort\\" + name).c_str());
  RegDeleteKeyA(monitorKey, "TempPort");
  RegCloseKey(monitorKey);
  if (!added) return false;
  std::u16string printer = vek::ToWide("Bench" + name), port = vek::ToWide(name);
  PRINTER_INFO_2W info{};
  info.pPrinterName = printer.data();
  info.pPortName = port.data();
  HANDLE handle = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (handle) ClosePrinter(handle);
  return handle != nullptr;
}

struct Run {
  double seconds = -1;
  double cpu = 0;
  bool intact = false;
};

Run PrintOnce(const std::string& printerName, const std::string& data, int model, FILE* reports) {
  Run run;
  double cpuStart = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  HANDLE printer = nullptr;
  std::u16string name = vek::ToWide(printerName), document = u"bench";
  if (!OpenPrinterW(name.c_str(), &printer, nullptr)) return run;
  DOC_INFO_1W info{document.data(), nullptr, nullptr};
  DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&info));
  for (std::size_t offset = 0; offset < data.size();) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(1 << 20, data.size() - offset));
    DWORD written = 0;
    if (!WritePrinter(printer, const_cast<char*>(data.data() + offset), chunk, &written)) break;
    offset += written;
  }
  EndDocPrinter(printer);
  ClosePrinter(printer);
  vek::spooler::JobRecord end;
  vek::spooler::WaitForJob(job, 600000, [&](const vek::spooler::JobRecord& record) { end = record; });
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = CpuSeconds() - cpuStart;
  if (end.state != vek::spooler::JobState::Printed) {
    std::fprintf(stderr, "bench_monitor: the job on %s ended %s (%u)\n", printerName.c_str(),
                 vek::spooler::DescribeJob(end).c_str(), end.error);
    return run;
  }
  std::string report = ReadLine(reports);
  run.intact = end.state == vek::spooler::JobState::Printed &&
               report == std::to_string(model) + " " + std::to_string(data.size()) + " " + vek::test::Sha256(data) + "\n";
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; i++) sizes.push_back(static_cast<std::size_t>(std::atol(argv[i])));
  if (sizes.empty()) sizes = {1, 16, 64};

  g_Subnet = 0x7F000000u | ((50u + static_cast<std::uint32_t>(getpid()) % 200u) << 16) | (77u << 8);
  char spoolTemplate[] = "/tmp/vek-bench-jobs-XXXXXX";
  const std::string spoolDir = mkdtemp(spoolTemplate);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return 1;
  pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    RunDevices(pipeFds[1], spoolDir);
  }
  close(pipeFds[1]);
  FILE* reports = fdopen(pipeFds[0], "r");

  char rootTemplate[] = "/tmp/vek-bench-XXXXXX";
  std::string root = mkdtemp(rootTemplate);
  vek::SetMachineRoot(root);
  std::string error;
  int status = 1;
  if (vek::spooler::SetUpMachine({DRIVER_PATH}, &error) != ERROR_SUCCESS) {
    std::fprintf(stderr, "bench_monitor: %s\n", error.c_str());
  } else if (!HandOverPort("GEN0", 0) || !HandOverPort("GEN1", 1)) {
    std::fprintf(stderr, "bench_monitor: cannot add the ports (%u)\n", GetLastError());
  } else {
    status = 0;
    std::printf("%-28s %10s %10s %12s %8s\n", "run", "MiB", "MB/s", "CPU s/MB", "intact");
    for (int model : {0, 1}) {
      std::string printer = model ? "BenchGEN1" : "BenchGEN0";
      double fixed = 0;
      const int oneByteJobs = 5;
      bool intact = true;
      for (int i = 0; i < oneByteJobs; i++) {
        Run run = PrintOnce(printer, "x", model, reports);
        fixed += run.seconds;
        intact &= run.intact;
      }
      std::printf("%-28s %10s %10s %12s %8s   fixed cost of a 1-byte job: %.0f ms\n",
                  ("generation " + std::to_string(model) + ", 1 byte").c_str(), "-", "-", "-", intact ? "yes" : "NO",
                  1000 * fixed / oneByteJobs);
      for (std::size_t mib : sizes) {
        std::string data(mib << 20, '\0');
        for (std::size_t i = 0; i < data.size(); i++) data[i] = static_cast<char>((i * 131 + i / 4093) & 0xFF);
        Run run = PrintOnce(printer, data, model, reports);
        double mb = static_cast<double>(data.size()) / 1e6;
        std::printf("%-28s %10zu %10.2f %12.4f %8s\n", ("monitor, generation " + std::to_string(model)).c_str(), mib,
                    mb / run.seconds, run.cpu / mb, run.intact ? "yes" : "NO");
        if (!run.intact) status = 1;
      }
    }
    for (std::size_t mib : sizes) {
      std::string data(mib << 20, 'x');
      double cpuStart = CpuSeconds();
      double seconds = vek::bench::SendOverTcp(data);
      double mb = static_cast<double>(data.size()) / 1e6;
      std::printf("%-28s %10zu %10.2f %12.4f %8s\n", "one TCP connection", mib, mb / seconds,
                  (CpuSeconds() - cpuStart) / mb, seconds > 0 ? "yes" : "NO");
    }
  }
  vek::spooler::Shutdown();
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  std::string remove = "rm -rf '" + root + "' '" + spoolDir + "'";
  if (std::system(remove.c_str()) != 0) status = 1;
  return status;
}
