// The emulator: serves its devices on loopback until stopped, over UDP (each
// device on its own address, one more socket on the broadcast address), the
// simulated IPX segment (each device a station) and NetBIOS (each device a
// name), as each device's configuration says; optionally plays an IPX router.
// Answers a fault delays, acknowledgements after an idle gap or a device's
// latency, and the devices' other timers are run by a scheduler thread.
// Received jobs are written to the spool folder.
//
// In-process use (tests):
//
//   vek::emu::Emulator emulator;
//   vek::emu::EmulatorOptions options;
//   options.devices = {...};                 // each with its own 127.A.B.N
//   options.broadcast = "127.A.B.255";       // where the net layer maps 255.255.255.255
//   options.spoolDir = dir;                  // or none: a folder that goes with the emulator
//   ASSERT_TRUE(emulator.Start(options, &message));
//   ... talk to the devices, print to them ...
//   emulator.Log().WaitFor(...);             // every request received, per device
//   auto job = emulator.Jobs().WaitForJob(0, 10s);   // the first job to finish
//   ReadJobBytes(*job, &bytes);              // or compare job->sha256
//   emulator.Stop();                         // also done by the destructor
//
// IPX and NetBIOS devices use the process's segments (net/ipx_segment.h,
// net/netbios_segment.h): a test sets its own segments before Start.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device.h"
#include "emulator/device_config.h"
#include "emulator/info_reply.h"
#include "emulator/request_log.h"
#include "emulator/router.h"
#include "emulator/spool.h"
#include "emulator/transport.h"

namespace vek::emu {

struct EmulatorOptions {
  std::vector<DeviceConfig> devices;
  // Dotted address the broadcasts arrive at: 127.255.255.255 (shared with other
  // listeners) or a unicast 127.A.B.255 per test. Empty: no broadcast socket.
  std::string broadcast;
  std::uint16_t port = kDevicePort;
  // Addresses (host order) for devices that restart with DHCP on; empty: such a
  // device comes back at its static address.
  std::vector<std::uint32_t> dhcpPool;
  // Where received jobs are written. Empty: a fresh temporary folder, removed
  // with the Emulator object (not by Stop, so jobs can be read after it).
  std::string spoolDir;
  // The IPX router, played when router.enabled.
  RouterConfig router;
  // The LANAs of the NetBIOS devices; empty: every LANA of the NetBIOS layer.
  std::vector<int> netbiosLanas;
  // Requests the log keeps (0: all).
  std::size_t logLimit = 0;
};

class Emulator {
 public:
  using Observer = std::function<void(const LoggedRequest&)>;

  Emulator();
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Opens every socket and name and starts serving. On failure nothing is left
  // open, *message says what failed and *wsaError holds the socket error
  // (WSAEADDRINUSE when an address is taken, so a caller can pick another) or
  // the NetBIOS return code.
  bool Start(const EmulatorOptions& options, std::string* message = nullptr, int* wsaError = nullptr);
  // Stops serving; jobs still open are cut off (their records say so).
  void Stop();
  bool Running() const { return m_running; }

  std::size_t DeviceCount() const { return m_devices.size(); }
  Device& DeviceAt(std::size_t index) { return *m_devices.at(index); }
  RequestLog& Log() { return m_log; }
  JobSpool& Jobs() { return m_spool; }
  const std::string& SpoolFolder() const { return m_spool.Folder(); }
  // The IPX network a device is on (after Start).
  std::array<std::uint8_t, 4> IpxNetworkOf(std::size_t device) const;
  // The router, while it serves; null without one.
  const IpxRouter* Router() const { return m_router.get(); }
  // The networks the router announces.
  const std::vector<RipRoute>& RouterRoutes() const { return m_routes; }
  // Where a device serves: "at 127.0.0.2:20560, ipx 00000001:02-4E-57-00-00-01:5050, ...".
  std::string Describe(std::size_t device) const;
  // Called on the serving threads for every request logged; set before Start.
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  struct Pending {
    std::size_t device;
    Via via;
    Peer to;
    std::vector<std::uint8_t> bytes;
  };
  void Deliver(std::size_t device, const Inbound& datagram);
  void Dispatch(std::size_t device, std::vector<Outgoing> out, const Peer& requester);
  void SendNow(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes);
  DeviceTransport* TransportFor(TransportKind kind) const;
  void Schedule();
  void CloseAll();
  void Wake();

  std::vector<std::unique_ptr<Device>> m_devices;
  std::vector<std::unique_ptr<DeviceTransport>> m_transports;
  std::unique_ptr<IpxRouter> m_router;
  std::vector<RipRoute> m_routes;
  std::array<std::uint8_t, 4> m_ownNetwork{};
  std::thread m_scheduler;
  std::mutex m_pendingLock;
  std::condition_variable m_pendingChanged;
  std::multimap<SteadyClock::time_point, Pending> m_pending;
  bool m_wake = false;
  RequestLog m_log;
  JobSpool m_spool;
  std::string m_temporarySpool;
  Observer m_observer;
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_stopping{false};
  bool m_winsock = false;
};

}  // namespace vek::emu
