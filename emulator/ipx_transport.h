// The devices on the simulated IPX segment: each is a station of its own (its
// network number, its MAC as node) with a socket on 0x5050 that hears what is
// sent to it and to the broadcast node of its network, and a second socket of a
// dynamic number (acknowledgements "from another socket" leave from it). A
// device with stray faults has one more station, on its stray node. Each socket
// reads the frames' IPX headers, so the log shows the packet type as sent.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device.h"
#include "emulator/transport.h"
#include "net/winsock.h"

namespace vek::emu {

constexpr std::uint16_t kDeviceSocket = 0x5050;
// The packet type of the device protocol on IPX.
constexpr int kDevicePacketType = 90;

// The network and node of this process's own IPX station; false when the
// segment cannot be joined.
bool OwnIpxStation(std::array<std::uint8_t, 4>* network, std::array<std::uint8_t, 6>* node);

// The network a device is on: its own, or the emulator's.
std::array<std::uint8_t, 4> DeviceNetwork(const DeviceConfig& device, const std::array<std::uint8_t, 4>& own);

// A socket of the station (network, node), bound to number (0: a dynamic one),
// reading headers, with the serving tick as its receive time-out. INVALID_SOCKET
// with *error set on failure.
SOCKET OpenIpxStation(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
                      std::uint16_t number, int packetType, int* error);

class IpxTransport final : public DeviceTransport {
 public:
  // own: the network of devices that name none.
  IpxTransport(std::vector<std::unique_ptr<Device>>& devices, const std::array<std::uint8_t, 4>& own);
  ~IpxTransport() override;

  TransportKind Kind() const override { return TransportKind::Ipx; }
  bool Open(std::string* message, int* error) override;
  void Run(Sink sink) override;
  void Close() override;
  bool Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) override;
  std::string Describe(std::size_t device) const override;

 private:
  struct Endpoint {
    SOCKET socket = INVALID_SOCKET;
    std::size_t device = 0;
    Via via = Via::Main;
    std::array<std::uint8_t, 4> network{};
    std::array<std::uint8_t, 6> node{};
  };

  void Serve(Endpoint* endpoint);
  Endpoint* EndpointOf(std::size_t device, Via via) const;

  std::vector<std::unique_ptr<Device>>& m_devices;
  const std::array<std::uint8_t, 4> m_own;
  std::vector<std::unique_ptr<Endpoint>> m_endpoints;
  std::map<std::pair<std::size_t, Via>, Endpoint*> m_byDevice;
  std::vector<std::thread> m_threads;
  Sink m_sink;
  std::atomic<bool> m_stopping{false};
};

}  // namespace vek::emu
