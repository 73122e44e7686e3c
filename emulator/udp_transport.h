// The devices on UDP: each has a socket on its own address and port 20560 and
// answers from it, and a second socket on its address and a port of the
// system's choosing (acknowledgements "from another port" leave from it, and it
// takes what the host then sends there). One more socket on the broadcast
// address takes the "broadcasts" for all of them. A device with stray faults
// gets a socket on its stray address, whose datagrams nobody answers. A device
// that restarts goes silent, then opens its sockets again at its new address.
//
// The sockets are the C library's own, not the net layer's: the host side talks
// through that layer, and a fault in it must not be matched by the same fault on
// the device's side.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device.h"
#include "emulator/transport.h"

namespace vek::emu {

class UdpTransport final : public DeviceTransport {
 public:
  struct Options {
    std::string broadcast;  // empty: no broadcast socket
    std::uint16_t port = 20560;
    std::vector<std::uint32_t> dhcpPool;  // host order
  };

  // devices outlive the transport; those without UDP are left alone.
  UdpTransport(std::vector<std::unique_ptr<Device>>& devices, Options options);
  ~UdpTransport() override;

  TransportKind Kind() const override { return TransportKind::Udp; }
  // *error gets the socket error as the host's socket layer names it
  // (WSAEADDRINUSE for an address someone holds).
  bool Open(std::string* message, int* error) override;
  void Run(Sink sink) override;
  void Close() override;
  bool Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) override;
  std::string Describe(std::size_t device) const override;

 private:
  struct Endpoint {
    std::mutex lock;  // guards fd against a restart's swap while others send
    int fd = -1;
    std::size_t device = kAllDevices;
    Via via = Via::Main;
    bool broadcast = false;
    std::uint32_t address = 0;
    std::optional<std::uint32_t> moveTo;  // the device restarted at this address
  };

  void Serve(Endpoint* endpoint);
  void Resume(std::size_t device);
  void Move(Endpoint* endpoint);
  std::uint32_t Lease(std::size_t device, std::uint32_t fallback);
  Endpoint* EndpointOf(std::size_t device, Via via) const;

  std::vector<std::unique_ptr<Device>>& m_devices;
  const Options m_options;
  std::vector<std::unique_ptr<Endpoint>> m_endpoints;
  std::map<std::size_t, Endpoint*> m_main, m_alternate, m_stray;
  std::vector<std::thread> m_threads;
  Sink m_sink;
  std::mutex m_leaseLock;
  std::size_t m_nextLease = 0;
  std::atomic<bool> m_stopping{false};
};

}  // namespace vek::emu
