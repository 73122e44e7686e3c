// How datagrams reach the devices and leave them. A transport (UDP, the IPX
// segment, NetBIOS) turns what its sockets or names receive into Inbound
// datagrams for the device logic, and sends what the devices answer to a Peer;
// the device logic is written once, for all three.
#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace vek::emu {

enum class TransportKind { Udp, Ipx, Netbios };
const char* TransportName(TransportKind kind);

// Where a datagram came from, and so where its answer goes.
struct Peer {
  TransportKind kind = TransportKind::Udp;
  std::uint32_t address = 0;  // UDP: host order
  std::uint16_t port = 0;     // UDP port, or IPX socket number (host order)
  std::array<std::uint8_t, 4> network{};  // IPX
  std::array<std::uint8_t, 6> node{};     // IPX
  int lana = 0;                           // NetBIOS
  std::array<std::uint8_t, 16> name{};    // NetBIOS, padded as on the wire

  auto operator<=>(const Peer&) const = default;
  std::string Text() const;
};

Peer UdpPeer(std::uint32_t address, std::uint16_t port);
Peer IpxPeer(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node, std::uint16_t socket);
Peer NetbiosPeer(int lana, std::span<const std::uint8_t> name);

// Which of a device's endpoints a datagram goes through (or came in on).
enum class Via {
  Main,       // its UDP port 20560, IPX socket 0x5050 or NetBIOS name
  Alternate,  // another UDP port or IPX socket of the device
  Stray,      // another address, station or name: nobody the host talks to
};

struct Inbound {
  Peer from;
  std::span<const std::uint8_t> bytes;
  bool broadcast = false;  // UDP broadcast socket, IPX broadcast node, NetBIOS group name
  Via via = Via::Main;
  int ipxPacketType = -1;  // IPX only
};

// Every device of the emulator, for a datagram that all of them hear.
constexpr std::size_t kAllDevices = std::numeric_limits<std::size_t>::max();

// One transport of the emulator, serving the devices that use it.
class DeviceTransport {
 public:
  using Sink = std::function<void(std::size_t device, const Inbound& datagram)>;

  virtual ~DeviceTransport() = default;
  virtual TransportKind Kind() const = 0;
  // Opens its sockets or names. On failure leaves nothing open and says why;
  // *error gets the socket or NetBIOS error.
  virtual bool Open(std::string* message, int* error) = 0;
  // Starts delivering what arrives.
  virtual void Run(Sink sink) = 0;
  // Stops delivering (no Sink call runs after it returns) and closes.
  virtual void Close() = 0;
  virtual bool Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) = 0;
  // What devices see of it, for the program's listing: "at 127.0.0.2:20560".
  virtual std::string Describe(std::size_t device) const = 0;
};

}  // namespace vek::emu
