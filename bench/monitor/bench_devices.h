// The print servers of a benchmark run: one emulated device for each device
// generation on each transport, served by a child process of their own so that
// the CPU time the run measures is the spooler's and the monitor's alone. The
// child reports every finished job, with the device's print counters, on a pipe.
#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "emulator/transport.h"

namespace vek::bench {

// A bench device, by its place in the list: generation (index / 3), transport
// (UDP, IPX, NetBIOS by index % 3).
constexpr int kBenchDevices = 6;
inline int GenerationOf(int device) { return device / 3; }
inline vek::emu::TransportKind TransportOf(int device) {
  constexpr vek::emu::TransportKind kinds[] = {vek::emu::TransportKind::Udp, vek::emu::TransportKind::Ipx,
                                               vek::emu::TransportKind::Netbios};
  return kinds[device % 3];
}
const char* TransportLabel(int device);  // "udp", "ipx", "netbios"

struct DevicePlan {
  std::uint32_t subnet = 0;  // 127.X.Y.0, host order: device i at host i + 1
  std::string spoolDir;
  std::string nameSuffix;    // makes the NetBIOS names this run's own
  int ackLatencyUs = 0;      // -1: the device's default
};

std::array<std::uint8_t, 6> MacOf(int device);
std::uint32_t AddressOf(const DevicePlan& plan, int device);
std::string NetbiosNameOf(const DevicePlan& plan, int device);

// What the device child reported of a finished job: the job, and the device's
// print counters and the child's peak memory when it ended.
struct JobReport {
  int device = -1;
  int port = 0;
  std::uint64_t size = 0;
  bool ended = false;
  std::string sha256;
  std::chrono::steady_clock::time_point started, finished;  // connect and end of job
  std::uint64_t datagrams = 0, dataDatagrams = 0, acks = 0, reacks = 0;
  long maxRssKb = 0;
};

class DeviceChild {
 public:
  ~DeviceChild();
  // Forks the child and waits until its devices serve.
  bool Start(const DevicePlan& plan, std::string* message);
  void Stop();
  // The next report of a job ended by its host on the device and port; others
  // are skipped. False when none came within the time.
  bool Next(int device, int port, JobReport* report, std::chrono::milliseconds timeout);
  // The child's peak memory as its last report gave it.
  long MaxRssKb() const { return m_maxRssKb; }

 private:
  bool ReadLine(std::string* line, std::chrono::milliseconds timeout);

  pid_t m_pid = -1;
  int m_fd = -1;
  std::string m_buffer;
  long m_maxRssKb = 0;
};

}  // namespace vek::bench
