#include "bench_devices.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sstream>

#include "emulator/emulator.h"

namespace vek::bench {
namespace {

// Requests the device child's log keeps: a long run must not grow it.
constexpr std::size_t kLogLimit = 2000;

long OwnMaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::int64_t Nanoseconds(std::chrono::steady_clock::time_point at) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

[[noreturn]] void ServeDevices(const DevicePlan& plan, int reportFd) {
  vek::emu::EmulatorOptions options;
  options.spoolDir = plan.spoolDir;
  options.logLimit = kLogLimit;
  options.broadcast = vek::emu::FormatIpv4(plan.subnet | 255u);
  for (int i = 0; i < kBenchDevices; i++) {
    vek::emu::DeviceConfig device;
    device.mac = MacOf(i);
    device.name = "Bench " + std::to_string(i);
    device.netbiosName = NetbiosNameOf(plan, i);
    device.generation = GenerationOf(i);
    device.address = AddressOf(plan, i);
    device.ports = 2;  // 1 for the monitor, 2 for the round-trip probe
    device.transports.udp = TransportOf(i) == vek::emu::TransportKind::Udp;
    device.transports.ipx = TransportOf(i) == vek::emu::TransportKind::Ipx;
    device.transports.netbios = TransportOf(i) == vek::emu::TransportKind::Netbios;
    if (plan.ackLatencyUs >= 0) device.ackLatencyUs = plan.ackLatencyUs;
    options.devices.push_back(device);
  }
  std::string message;
  vek::emu::Emulator emulator;
  if (!emulator.Start(options, &message)) {
    std::fprintf(stderr, "bench_monitor: emulator: %s\n", message.c_str());
    _exit(1);
  }
  const std::string ready = "ready\n";
  if (write(reportFd, ready.data(), ready.size()) < 0) _exit(0);
  for (std::size_t index = 0;; index++) {
    std::optional<vek::emu::JobRecord> job;
    while (!(job = emulator.Jobs().WaitForJob(index, std::chrono::milliseconds(1000)))) {
    }
    // The bytes are on disk; the bench needs only their digest.
    std::remove(job->path.c_str());
    const vek::emu::PrintCounters counts = emulator.DeviceAt(job->device).PrintCounts();
    std::ostringstream line;
    line << "job " << job->device << ' ' << job->port << ' ' << job->size << ' ' << (job->ended ? 1 : 0) << ' '
         << (job->sha256.empty() ? "-" : job->sha256) << ' ' << Nanoseconds(job->started) << ' '
         << Nanoseconds(job->finished) << ' ' << counts.datagrams << ' ' << counts.dataDatagrams << ' '
         << counts.acksSent << ' ' << counts.reacksSent << ' ' << OwnMaxRssKb() << '\n';
    const std::string text = line.str();
    if (write(reportFd, text.data(), text.size()) < 0) _exit(0);
  }
}

}  // namespace

const char* TransportLabel(int device) {
  switch (TransportOf(device)) {
    case vek::emu::TransportKind::Udp: return "udp";
    case vek::emu::TransportKind::Ipx: return "ipx";
    default: return "netbios";
  }
}

std::array<std::uint8_t, 6> MacOf(int device) {
  return {0x02, 0x4E, 0x57, 0x21, 0xBE, static_cast<std::uint8_t>(device)};
}

std::uint32_t AddressOf(const DevicePlan& plan, int device) {
  return plan.subnet | static_cast<std::uint32_t>(device + 1);
}

std::string NetbiosNameOf(const DevicePlan& plan, int device) {
  return "VB" + plan.nameSuffix + "-" + std::to_string(device);
}

DeviceChild::~DeviceChild() { Stop(); }

bool DeviceChild::Start(const DevicePlan& plan, std::string* message) {
  Stop();
  m_buffer.clear();
  int fds[2];
  if (pipe(fds) != 0) {
    *message = "no pipe";
    return false;
  }
  m_pid = fork();
  if (m_pid == 0) {
    close(fds[0]);
    ServeDevices(plan, fds[1]);
  }
  close(fds[1]);
  m_fd = fds[0];
  std::string line;
  if (m_pid < 0 || !ReadLine(&line, std::chrono::seconds(20)) || line != "ready") {
    *message = "the emulated devices did not start";
    Stop();
    return false;
  }
  return true;
}

void DeviceChild::Stop() {
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  m_pid = -1;
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool DeviceChild::ReadLine(std::string* line, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const std::size_t end = m_buffer.find('\n');
    if (end != std::string::npos) {
      *line = m_buffer.substr(0, end);
      m_buffer.erase(0, end + 1);
      return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || m_fd < 0) return false;
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[1024];
    const ssize_t n = read(m_fd, chunk, sizeof chunk);
    if (n <= 0) return false;  // the child is gone
    m_buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

bool DeviceChild::Next(int device, int port, JobReport* report, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::string line;
  while (ReadLine(&line, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()))) {
    std::istringstream in(line);
    std::string word;
    JobReport r;
    int ended = 0;
    std::int64_t started = 0, finished = 0;
    in >> word >> r.device >> r.port >> r.size >> ended >> r.sha256 >> started >> finished >> r.datagrams >>
        r.dataDatagrams >> r.acks >> r.reacks >> r.maxRssKb;
    if (!in || word != "job") continue;
    r.ended = ended != 0;
    r.started = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(started));
    r.finished = std::chrono::steady_clock::time_point(std::chrono::nanoseconds(finished));
    m_maxRssKb = r.maxRssKb;
    if (r.device == device && r.port == port && r.ended) {
      *report = r;
      return true;
    }
  }
  return false;
}

}  // namespace vek::bench
