#include "emulator/ipx_transport.h"

#include <algorithm>
#include <cstring>

#include "kernel/error_text.h"
#include "net/ipx_segment.h"

namespace vek::emu {
namespace {

constexpr DWORD kServeTick = 50;
constexpr std::size_t kHeader = 30;
constexpr int kReceiveBuffer = 2048;

SOCKADDR_IPX Address(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
                     std::uint16_t number) {
  SOCKADDR_IPX a{};
  a.sa_family = AF_IPX;
  std::memcpy(a.sa_netnum, network.data(), 4);
  std::memcpy(a.sa_nodenum, node.data(), 6);
  a.sa_socket = htons(number);
  return a;
}

std::uint16_t BigEndian(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

}  // namespace

bool OwnIpxStation(std::array<std::uint8_t, 4>* network, std::array<std::uint8_t, 6>* node) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  if (s == INVALID_SOCKET) return false;
  SOCKADDR_IPX local = Address({}, {}, 0);
  SOCKADDR_IPX bound{};
  int length = sizeof(bound);
  const bool ok = bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == 0 &&
                  getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length) == 0;
  closesocket(s);
  if (!ok) return false;
  std::memcpy(network->data(), bound.sa_netnum, 4);
  std::memcpy(node->data(), bound.sa_nodenum, 6);
  return true;
}

std::array<std::uint8_t, 4> DeviceNetwork(const DeviceConfig& device, const std::array<std::uint8_t, 4>& own) {
  const bool given = std::any_of(device.ipxNetwork.begin(), device.ipxNetwork.end(), [](std::uint8_t b) { return b; });
  return given ? device.ipxNetwork : own;
}

SOCKET OpenIpxStation(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
                      std::uint16_t number, int packetType, int* error) {
  SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
  if (s == INVALID_SOCKET) {
    *error = WSAGetLastError();
    return INVALID_SOCKET;
  }
  const SOCKADDR_IPX station = Address(network, node, 0);
  const SOCKADDR_IPX local = Address({}, {}, number);
  const BOOL on = TRUE;
  const DWORD tick = kServeTick;
  const DWORD type = static_cast<DWORD>(packetType);
  if (setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<const char*>(&station), sizeof(station)) != 0 ||
      setsockopt(s, NSPROTO_IPX, VEK_IPX_RECEIVE_HEADER, reinterpret_cast<const char*>(&on), sizeof(on)) != 0 ||
      setsockopt(s, NSPROTO_IPX, IPX_PTYPE, reinterpret_cast<const char*>(&type), sizeof(type)) != 0 ||
      setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&tick), sizeof(tick)) != 0 ||
      setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on)) != 0 ||
      bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
    *error = WSAGetLastError();
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

IpxTransport::IpxTransport(std::vector<std::unique_ptr<Device>>& devices, const std::array<std::uint8_t, 4>& own)
    : m_devices(devices), m_own(own) {}

IpxTransport::~IpxTransport() { Close(); }

bool IpxTransport::Open(std::string* message, int* error) {
  m_stopping = false;
  for (std::size_t i = 0; i < m_devices.size(); i++) {
    const DeviceConfig config = m_devices[i]->Config();
    if (!config.transports.ipx) continue;
    const std::array<std::uint8_t, 4> network = DeviceNetwork(config, m_own);
    std::array<std::uint8_t, 6> strayNode = config.strayNode;
    if (std::all_of(strayNode.begin(), strayNode.end(), [](std::uint8_t b) { return b == 0; })) {
      strayNode = config.mac;
      strayNode[5] = static_cast<std::uint8_t>(~strayNode[5]);
    }
    struct Wanted {
      Via via;
      std::array<std::uint8_t, 6> node;
      std::uint16_t number;
    };
    std::vector<Wanted> wanted = {{Via::Main, config.mac, kDeviceSocket}, {Via::Alternate, config.mac, 0}};
    if (UsesStrayAddress(config.faults)) wanted.push_back({Via::Stray, strayNode, 0});
    for (const Wanted& w : wanted) {
      auto endpoint = std::make_unique<Endpoint>();
      endpoint->device = i;
      endpoint->via = w.via;
      endpoint->network = network;
      endpoint->node = w.node;
      endpoint->socket = OpenIpxStation(network, w.node, w.number, kDevicePacketType, error);
      if (endpoint->socket == INVALID_SOCKET) {
        *message = "device " + FormatMac(config.mac) + ": IPX station " + FormatNetwork(network) + ":" +
                   FormatMac(w.node) + " socket " + std::to_string(w.number) + " failed: " +
                   vek::ErrorText(static_cast<DWORD>(*error));
        Close();
        return false;
      }
      m_byDevice[{i, w.via}] = endpoint.get();
      m_endpoints.push_back(std::move(endpoint));
    }
  }
  return true;
}

void IpxTransport::Run(Sink sink) {
  m_sink = std::move(sink);
  for (auto& endpoint : m_endpoints) m_threads.emplace_back([this, e = endpoint.get()] { Serve(e); });
}

void IpxTransport::Close() {
  m_stopping = true;
  for (std::thread& thread : m_threads) thread.join();
  m_threads.clear();
  for (auto& endpoint : m_endpoints) closesocket(endpoint->socket);
  m_endpoints.clear();
  m_byDevice.clear();
}

IpxTransport::Endpoint* IpxTransport::EndpointOf(std::size_t device, Via via) const {
  auto it = m_byDevice.find({device, via});
  return it == m_byDevice.end() ? nullptr : it->second;
}

void IpxTransport::Serve(Endpoint* endpoint) {
  std::vector<char> buffer(kReceiveBuffer);
  while (!m_stopping) {
    SOCKADDR_IPX from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(endpoint->socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n == SOCKET_ERROR || n < static_cast<int>(kHeader)) continue;
    const auto* frame = reinterpret_cast<const std::uint8_t*>(buffer.data());
    Inbound in;
    std::array<std::uint8_t, 4> network;
    std::array<std::uint8_t, 6> node;
    std::copy_n(frame + 18, 4, network.begin());
    std::copy_n(frame + 22, 6, node.begin());
    in.from = IpxPeer(network, node, BigEndian(frame + 28));
    in.broadcast = std::all_of(frame + 10, frame + 16, [](std::uint8_t b) { return b == 0xFF; });
    in.ipxPacketType = frame[5];
    in.via = endpoint->via;
    in.bytes = std::span(frame + kHeader, static_cast<std::size_t>(n) - kHeader);
    m_sink(endpoint->device, in);
  }
}

bool IpxTransport::Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) {
  Endpoint* endpoint = EndpointOf(device, via);
  if (!endpoint) endpoint = EndpointOf(device, Via::Main);
  if (!endpoint) return false;
  const SOCKADDR_IPX address = Address(to.network, to.node, to.port);
  const int sent = sendto(endpoint->socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          0, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  return sent == static_cast<int>(bytes.size());
}

std::string IpxTransport::Describe(std::size_t device) const {
  Endpoint* main = EndpointOf(device, Via::Main);
  if (!main) return "";
  std::string node = FormatMac(main->node);
  for (char& c : node)
    if (c == ':') c = '-';
  return "ipx " + FormatNetwork(main->network) + ":" + node + ":5050";
}

}  // namespace vek::emu
