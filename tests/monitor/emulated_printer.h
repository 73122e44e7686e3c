// A print server of the monitor's tests, played by the emulator in this process:
// one device with one printer port, over UDP (at an address the test gives),
// the IPX segment or the NetBIOS segment (LANA 0), with the faults its
// configuration names. What it received is read back from the emulator's
// request log and its job records.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/print_wire.h"
#include "support/emulator_lab.h"

namespace vek::test {

// A device of generation 0 or 1 reached over via, answering its last
// acknowledgement again after 10 ms of quiet; faults as a configuration gives
// them (e.g. "connect:busy*2, data:drop:10%").
inline emu::DeviceConfig MonitorPrinter(int generation, PortTransport via, const std::string& faults = "",
                                        std::uint64_t seed = 1) {
  emu::DeviceConfig device = PrintDevice("PS-MON-", 0x12, 1, generation, via, faults);
  device.reackMs = 10;
  device.seed = seed;
  return device;
}

class EmulatedPrinter {
 public:
  EmulatedPrinter() = default;
  EmulatedPrinter(const EmulatedPrinter&) = delete;
  EmulatedPrinter& operator=(const EmulatedPrinter&) = delete;

  // A monitor of this process resets the LANA when it probes its transports:
  // start a NetBIOS device after that.
  bool Start(const emu::DeviceConfig& device, std::string* message) {
    m_generation = device.generation;
    emu::EmulatorOptions options;
    options.devices = {device};
    options.netbiosLanas = {0};
    // Each start is a device of its own: what an earlier one received is gone.
    m_emulator.Jobs().Clear();
    m_emulator.Log().Clear();
    return m_emulator.Start(options, message);
  }
  void Stop() { m_emulator.Stop(); }
  emu::Emulator& Emulator() { return m_emulator; }

  int Connects() { return m_emulator.Running() ? m_emulator.DeviceAt(0).PrintCounts().connects : 0; }
  int StatusQueries() { return Count("status"); }
  // The longest data packet the host sent, as the device reads it.
  int LargestPacket() {
    int largest = 0;
    for (const emu::LoggedRequest& request : m_emulator.Log().Snapshot()) {
      if (request.kind != "data") continue;
      // The log keeps a data datagram's header and fields; its length is the
      // datagram's own.
      std::vector<std::uint8_t> datagram = request.data;
      datagram.resize(request.size);
      emu::PrintRequest data;
      std::string problem;
      if (emu::ReadPrintRequest(datagram, emu::Dialect{m_generation, request.transport}, &data, &problem))
        largest = std::max(largest, static_cast<int>(data.data.size()));
    }
    return largest;
  }

  // The jobs the host ended with its end of job, in order, and their bytes.
  std::vector<emu::JobRecord> Jobs() {
    std::vector<emu::JobRecord> ended = m_emulator.Jobs().Jobs();
    std::erase_if(ended, [](const emu::JobRecord& job) { return !job.ended; });
    return ended;
  }
  std::vector<std::string> JobBytes() {
    std::vector<std::string> jobs;
    for (const emu::JobRecord& job : Jobs()) {
      std::vector<std::uint8_t> bytes;
      EXPECT_TRUE(emu::ReadJobBytes(job, &bytes)) << job.path;
      jobs.emplace_back(bytes.begin(), bytes.end());
    }
    return jobs;
  }
  bool WaitForJobs(std::size_t count, int timeoutMs) {
    return m_emulator.Jobs().WaitFor(
        [&](const std::vector<emu::JobRecord>& jobs) {
          return static_cast<std::size_t>(std::count_if(jobs.begin(), jobs.end(),
                                                        [](const emu::JobRecord& job) { return job.ended; })) >= count;
        },
        std::chrono::milliseconds(timeoutMs));
  }
  // The requests the device could not read as its generation's (a header,
  // length or field that breaks the protocol), one line each; empty when none.
  std::string Unreadable() {
    std::string lines;
    for (const emu::LoggedRequest& request : m_emulator.Log().Snapshot())
      if (request.note.rfind("dropped:", 0) == 0 || request.command == 0)
        lines += request.kind + " from " + request.peer + ": " + request.note + "\n";
    return lines;
  }
  // What the device was sent, one line a request, for a failed comparison.
  std::string Requests() { return DescribeRequests(m_emulator, 0); }

 private:
  int Count(const std::string& kind) {
    int n = 0;
    for (const emu::LoggedRequest& request : m_emulator.Log().Snapshot())
      n += request.kind == kind;
    return n;
  }

  emu::Emulator m_emulator;
  int m_generation = 1;
};

}  // namespace vek::test
