#include "emulator/udp_transport.h"

#include <algorithm>

#include "kernel/clock.h"

namespace vek::emu {
namespace {

// Large enough for any datagram, so a request is never refused as oversize.
constexpr int kReceiveBuffer = 65536;
// Serving threads wake this often to see a restart's end and the stop.
constexpr DWORD kServeTick = 50;

std::string SocketError(const std::string& what, int error) {
  return what + " failed (socket error " + std::to_string(error) + ")";
}

SOCKET OpenBound(std::uint32_t hostOrder, std::uint16_t port, bool reuse, std::string* message, int* error) {
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (s == INVALID_SOCKET) {
    *error = WSAGetLastError();
    *message = SocketError("socket", *error);
    return INVALID_SOCKET;
  }
  const BOOL on = TRUE;
  if (reuse && setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on)) != 0) {
    *error = WSAGetLastError();
    *message = SocketError("SO_REUSEADDR", *error);
    closesocket(s);
    return INVALID_SOCKET;
  }
  const DWORD tick = kServeTick;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&tick), sizeof(tick));
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(hostOrder);
  if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
    *error = WSAGetLastError();
    *message = SocketError("bind to " + FormatIpv4(hostOrder) + ":" + std::to_string(port), *error);
    closesocket(s);
    return INVALID_SOCKET;
  }
  return s;
}

bool HasStrays(const DeviceConfig& d) {
  return std::any_of(d.faults.begin(), d.faults.end(), [](const Fault& f) { return f.fault == FaultKind::Stray; });
}

}  // namespace

UdpTransport::UdpTransport(std::vector<std::unique_ptr<Device>>& devices, Options options)
    : m_devices(devices), m_options(std::move(options)) {}

UdpTransport::~UdpTransport() { Close(); }

bool UdpTransport::Open(std::string* message, int* error) {
  m_stopping = false;
  const auto add = [&](std::uint32_t address, std::uint16_t port, bool reuse, std::size_t device, Via via,
                       bool broadcast) -> Endpoint* {
    auto endpoint = std::make_unique<Endpoint>();
    endpoint->device = device;
    endpoint->via = via;
    endpoint->broadcast = broadcast;
    endpoint->address = address;
    endpoint->socket = OpenBound(address, port, reuse, message, error);
    if (endpoint->socket == INVALID_SOCKET) return nullptr;
    m_endpoints.push_back(std::move(endpoint));
    return m_endpoints.back().get();
  };
  std::map<std::uint32_t, Endpoint*> strays;
  for (std::size_t i = 0; i < m_devices.size(); i++) {
    const DeviceConfig config = m_devices[i]->Config();
    if (!config.transports.udp) continue;
    Endpoint* main = add(config.address, m_options.port, false, i, Via::Main, false);
    Endpoint* alternate = main ? add(config.address, 0, false, i, Via::Alternate, false) : nullptr;
    if (!alternate) {
      *message = "device " + FormatMac(config.mac) + ": " + *message;
      Close();
      return false;
    }
    m_main[i] = main;
    m_alternate[i] = alternate;
    if (!HasStrays(config)) continue;
    const std::uint32_t strayAddress = config.strayAddress ? config.strayAddress : (config.address & 0xFFFFFF00u) | 254;
    if (!strays.count(strayAddress)) {
      Endpoint* stray = add(strayAddress, 0, false, kAllDevices, Via::Stray, false);
      if (!stray) {
        *message = "device " + FormatMac(config.mac) + ", stray address: " + *message;
        Close();
        return false;
      }
      strays[strayAddress] = stray;
    }
    m_stray[i] = strays[strayAddress];
  }
  if (!m_options.broadcast.empty()) {
    const u_long address = inet_addr(m_options.broadcast.c_str());
    if (address == INADDR_NONE && m_options.broadcast != "255.255.255.255") {
      *message = "broadcast address '" + m_options.broadcast + "' is not a dotted address";
      Close();
      return false;
    }
    // Other emulators and listeners may share a real broadcast address.
    if (!add(ntohl(address), m_options.port, true, kAllDevices, Via::Main, true)) {
      Close();
      return false;
    }
  }
  return true;
}

void UdpTransport::Run(Sink sink) {
  m_sink = std::move(sink);
  for (auto& endpoint : m_endpoints) m_threads.emplace_back([this, e = endpoint.get()] { Serve(e); });
}

void UdpTransport::Close() {
  m_stopping = true;
  // The serving threads wake within a tick and see the stop; the sockets close
  // after them, so none is swapped or used while it closes.
  for (std::thread& thread : m_threads) thread.join();
  m_threads.clear();
  for (auto& endpoint : m_endpoints)
    if (endpoint->socket != INVALID_SOCKET) closesocket(endpoint->socket);
  m_endpoints.clear();
  m_main.clear();
  m_alternate.clear();
  m_stray.clear();
}

UdpTransport::Endpoint* UdpTransport::EndpointOf(std::size_t device, Via via) const {
  const auto& table = via == Via::Main ? m_main : via == Via::Alternate ? m_alternate : m_stray;
  auto it = table.find(device);
  return it == table.end() ? nullptr : it->second;
}

void UdpTransport::Serve(Endpoint* endpoint) {
  std::vector<char> buffer(kReceiveBuffer);
  while (!m_stopping) {
    if (endpoint->via == Via::Main && !endpoint->broadcast) Resume(endpoint->device);
    if (endpoint->via == Via::Alternate) Move(endpoint);
    SOCKET s;
    {
      std::lock_guard guard(endpoint->lock);
      s = endpoint->socket;
    }
    if (s == INVALID_SOCKET) {
      ::Sleep(kServeTick);  // between a restart and the new socket
      continue;
    }
    sockaddr_in from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(s, buffer.data(), static_cast<int>(buffer.size()), 0, reinterpret_cast<sockaddr*>(&from),
                           &fromLength);
    if (n == SOCKET_ERROR) continue;  // the tick, or a datagram we cannot take
    Inbound in;
    in.from = UdpPeer(ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
    in.bytes = std::span(reinterpret_cast<const std::uint8_t*>(buffer.data()), static_cast<std::size_t>(n));
    in.broadcast = endpoint->broadcast;
    in.via = endpoint->via;
    m_sink(endpoint->device, in);
  }
}

std::uint32_t UdpTransport::Lease(std::size_t device, std::uint32_t fallback) {
  std::lock_guard guard(m_leaseLock);
  const std::vector<std::uint32_t>& pool = m_options.dhcpPool;
  for (std::size_t tried = 0; tried < pool.size(); tried++) {
    const std::uint32_t candidate = pool[m_nextLease++ % pool.size()];
    bool taken = false;
    for (std::size_t i = 0; i < m_devices.size(); i++)
      if (i != device && m_devices[i]->ListenAddress() == candidate) taken = true;
    if (!taken) return candidate;
  }
  return fallback;
}

void UdpTransport::Resume(std::size_t device) {
  Device& d = *m_devices[device];
  bool dhcp = false;
  std::uint32_t address = 0;
  if (!d.RestartDue(SteadyClock::now(), &dhcp, &address)) return;
  if (dhcp) address = Lease(device, address);
  std::string message;
  int error = 0;
  Endpoint* main = m_main.at(device);
  {
    std::lock_guard guard(main->lock);
    if (main->socket != INVALID_SOCKET) closesocket(main->socket);
    main->socket = OpenBound(address, m_options.port, false, &message, &error);
    // An address someone else holds: the device tries again on the next tick.
    if (main->socket == INVALID_SOCKET) return;
    main->address = address;
  }
  // The other socket is in its own thread's receive: that thread moves it.
  Endpoint* alternate = m_alternate.at(device);
  {
    std::lock_guard guard(alternate->lock);
    alternate->moveTo = address;
  }
  d.Resumed(address);
}

void UdpTransport::Move(Endpoint* endpoint) {
  std::lock_guard guard(endpoint->lock);
  if (!endpoint->moveTo) return;
  std::string message;
  int error = 0;
  if (endpoint->socket != INVALID_SOCKET) closesocket(endpoint->socket);
  endpoint->socket = OpenBound(*endpoint->moveTo, 0, false, &message, &error);
  endpoint->address = *endpoint->moveTo;
  endpoint->moveTo.reset();
}

bool UdpTransport::Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) {
  Endpoint* endpoint = EndpointOf(device, via);
  if (!endpoint) endpoint = EndpointOf(device, Via::Main);
  if (!endpoint) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(to.port);
  address.sin_addr.s_addr = htonl(to.address);
  std::lock_guard guard(endpoint->lock);
  if (endpoint->socket == INVALID_SOCKET) return false;
  const int sent = sendto(endpoint->socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  return sent == static_cast<int>(bytes.size());
}

std::string UdpTransport::Describe(std::size_t device) const {
  Endpoint* main = EndpointOf(device, Via::Main);
  if (!main) return "";
  std::lock_guard guard(main->lock);
  return "at " + FormatIpv4(main->address) + ":" + std::to_string(m_options.port);
}

}  // namespace vek::emu
