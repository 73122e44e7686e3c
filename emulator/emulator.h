// The emulator: serves its devices over UDP on loopback until stopped. Each device
// has a socket on its own address and port 20560 and answers from it; one more
// socket on the broadcast address takes the "broadcasts" for all of them. A
// device that restarts goes silent, then opens its socket again at its new
// address; answers a fault delays are sent later by a sender thread.
//
// In-process use (tests):
//
//   vek::emu::Emulator emulator;
//   vek::emu::EmulatorOptions options;
//   options.devices = {...};                 // each with its own 127.A.B.N
//   options.broadcast = "127.A.B.255";       // where the net layer maps 255.255.255.255
//   ASSERT_TRUE(emulator.Start(options, &message));
//   ... talk to the devices ...
//   emulator.Log().WaitFor(...);            // every request received, per device
//   emulator.Stop();                         // also done by the destructor
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
};

class Emulator {
 public:
  using Observer = std::function<void(const LoggedRequest&)>;

  Emulator();
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Opens every socket and starts serving. On failure nothing is left open,
  // *message says what failed and *wsaError holds the socket error
  // (WSAEADDRINUSE when an address is taken, so a caller can pick another).
  bool Start(const EmulatorOptions& options, std::string* message = nullptr, int* wsaError = nullptr);
  void Stop();
  bool Running() const { return m_running; }

  std::size_t DeviceCount() const { return m_devices.size(); }
  Device& DeviceAt(std::size_t index) { return *m_devices.at(index); }
  RequestLog& Log() { return m_log; }
  // Called on the serving threads for every request logged; set before Start.
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  struct Endpoint;
  struct Pending {
    std::size_t device;
    std::vector<std::uint8_t> bytes;
    std::uint32_t toAddress;
    std::uint16_t toPort;
  };
  void Serve(Endpoint* endpoint);
  void Resume(Endpoint* endpoint);
  std::uint32_t Lease(std::size_t device, std::uint32_t fallback);
  void Handle(Endpoint* endpoint, const std::vector<std::uint8_t>& data, std::uint32_t fromAddress,
              std::uint16_t fromPort);
  bool SendFrom(std::size_t device, const std::vector<std::uint8_t>& bytes, std::uint32_t toAddress,
                std::uint16_t toPort);
  void SendLater();
  void CloseAll();

  std::vector<std::unique_ptr<Device>> m_devices;
  std::vector<std::unique_ptr<Endpoint>> m_endpoints;  // one per device, then the broadcast one
  std::vector<std::thread> m_threads;
  std::thread m_sender;
  std::mutex m_pendingLock;
  std::condition_variable m_pendingChanged;
  std::multimap<SteadyClock::time_point, Pending> m_pending;
  std::mutex m_leaseLock;
  std::vector<std::uint32_t> m_pool;
  std::size_t m_nextLease = 0;
  std::uint16_t m_port = kDevicePort;
  RequestLog m_log;
  Observer m_observer;
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_stopping{false};
  bool m_winsock = false;
};

}  // namespace vek::emu
