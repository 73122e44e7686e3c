// The printer ports of one device: who holds each port, the print session of
// every (port, host) pair, the status the ports report, and the faults the
// configuration asks for on the print messages, applied on the way in (data) and
// on the way out (answers, acknowledgements).
//
// A port takes one job at a time. A connect while another host's job holds the
// port is answered busy; a connect from the host whose job holds it starts over
// (the same answer again while no data came, else a new job: the old one is cut
// off). A finished job answers repeated ends of job for a while. A job whose host
// has been silent for the session time-out is cut off.
//
// Not thread-safe: the device calls it under its own lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/faults.h"
#include "emulator/print_session.h"
#include "emulator/print_wire.h"
#include "emulator/spool.h"
#include "emulator/transport.h"

namespace vek::emu {

using SteadyClock = std::chrono::steady_clock;

// A datagram the device sends: now or delayMs later, to its requester unless
// `to` is given, through one of its endpoints.
struct Outgoing {
  Outgoing() = default;
  Outgoing(std::vector<std::uint8_t> b, int delay = 0, Via v = Via::Main, std::optional<Peer> t = std::nullopt)
      : bytes(std::move(b)), delayMs(delay), via(v), to(std::move(t)) {}

  std::vector<std::uint8_t> bytes;
  int delayMs = 0;
  Via via = Via::Main;
  std::optional<Peer> to;
};

// What the print side of a device did, for tests and benchmarks.
struct PrintCounters {
  std::uint64_t datagrams = 0;      // print datagrams heard: connects, data, ends of job
  std::uint64_t dataDatagrams = 0;  // data datagrams carrying at least one byte
  std::uint64_t acksSent = 0;       // acknowledgements sent (after the faults)
  std::uint64_t reacksSent = 0;     // of them, repeats after an idle gap
  int connects = 0;        // connect requests heard
  int jobsStarted = 0;
  int busyAnswers = 0;
  int refusals = 0;
  int endsOfJob = 0;       // end-of-job requests answered
  int cutOff = 0;          // jobs cut off
  int lostByFault = 0;     // print messages a fault dropped on the way in or out
  int strays = 0;          // stray datagrams sent
};

class PrintService {
 public:
  // config and faults are the device's, alive and locked as long as this is.
  PrintService(std::size_t device, const DeviceConfig& config, FaultSet& faults, JobSpool* spool);

  // A connect, data or end-of-job request of the device's dialect; *note says
  // what became of it.
  void Handle(const PrintRequest& request, const Dialect& dialect, const Peer& from, SteadyClock::time_point now,
              std::vector<Outgoing>* out, std::string* note);
  void Tick(SteadyClock::time_point now, std::vector<Outgoing>* out);
  std::optional<SteadyClock::time_point> NextWake() const;

  // The status byte, 2 bits per port: the configured status with what status
  // faults make of it. With use, a status answer is being made: the faults
  // each use up a time.
  std::uint8_t StatusByte(bool use);
  // Port 1 to 3 can print (not paper out, not offline).
  bool PortPrints(int port) const;
  // Faults that go with any answer of the kind: duplicate, delay, reorder,
  // empty, stray. Appends the answer (or its copies) to out.
  void Emit(Outgoing outgoing, MessageKind kind, const Dialect& dialect, int port, const Peer& to,
            SteadyClock::time_point now, std::vector<Outgoing>* out);

  // Cuts off every job still open (the emulator stops).
  void CutOffAll(SteadyClock::time_point now);
  PrintCounters Counters() const { return m_counters; }

 private:
  struct Job {
    std::unique_ptr<PrintSession> session;
    int number = 0;
    // Acknowledgements withheld from the first data on: for withholdMs (0: for
    // the whole job); the time they resume once data came.
    bool withhold = false;
    int withholdMs = 0;
    std::optional<SteadyClock::time_point> withholdUntil;
    SteadyClock::time_point endedAt;
  };
  struct DataPacket {
    Peer from;
    Dialect dialect;
    int port = 0;
    std::uint8_t sequence = 0;
    std::vector<std::uint8_t> data;
  };
  struct Deferred {
    SteadyClock::time_point at;
    DataPacket packet;
  };
  struct HeldOut {
    SteadyClock::time_point at;
    Outgoing outgoing;
  };

  void Connect(const PrintRequest& request, const Dialect& dialect, const Peer& from, SteadyClock::time_point now,
               std::vector<Outgoing>* out, std::string* note);
  void Data(const PrintRequest& request, const Dialect& dialect, const Peer& from, SteadyClock::time_point now,
            std::vector<Outgoing>* out, std::string* note);
  void EndOfJob(const PrintRequest& request, const Dialect& dialect, const Peer& from, SteadyClock::time_point now,
                std::vector<Outgoing>* out, std::string* note);
  void Deliver(const DataPacket& packet, SteadyClock::time_point now, std::vector<Outgoing>* out, std::string* note);
  void EmitAcks(Job& job, const std::vector<AckOut>& acks, SteadyClock::time_point now, std::vector<Outgoing>* out);
  void Finish(Job& job, bool byHost, SteadyClock::time_point now);
  Job* Find(int port, const Peer& host, bool openOnly);
  Job* Holder(int port);
  SessionSettings Settings(const Dialect& dialect, int port) const;
  std::uint8_t Overlaid() const;

  const std::size_t m_device;
  const DeviceConfig& m_config;
  FaultSet& m_faults;
  JobSpool* m_spool;
  std::vector<std::unique_ptr<Job>> m_jobs;
  std::vector<Deferred> m_deferred;          // data a fault delays
  std::map<Peer, Deferred> m_heldIn;         // data a fault lets the next packet overtake
  std::map<Peer, HeldOut> m_heldOut;         // answers a fault lets the next one overtake
  PrintCounters m_counters;
};

}  // namespace vek::emu
