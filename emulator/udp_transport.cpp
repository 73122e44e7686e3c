#include "emulator/udp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "kernel/error_text.h"
#include "net/wsa_errors.h"

namespace vek::emu {
namespace {

// Large enough for any datagram, so a request is never refused as oversize.
constexpr std::size_t kReceiveBuffer = 65536;
// Serving threads wake this often to see a restart's end and the stop.
constexpr int kServeTickMs = 50;

// The host's socket layer reports failures by their WSA codes, and callers of
// the emulator check those (an address in use makes them pick another).
int WsaCode(int error) {
  switch (error) {
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    default: return WSAEINVAL;
  }
}

// Records errno as *error and says what failed.
void Fail(const std::string& what, std::string* message, int* error) {
  const int code = errno;
  *error = WsaCode(code);
  *message = what + " failed: " + vek::ErrorText(static_cast<DWORD>(*error));
}

sockaddr_in Address(std::uint32_t hostOrder, std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(hostOrder);
  return address;
}

// A datagram socket bound to hostOrder:port (port 0: one of the system's
// choosing). With reuse, others that ask for it too may hold the same address:
// every one of them gets each broadcast.
int OpenBound(std::uint32_t hostOrder, std::uint16_t port, bool reuse, std::string* message, int* error) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (fd < 0) {
    Fail("socket", message, error);
    return -1;
  }
  const int on = 1;
  if (reuse && ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0) {
    Fail("SO_REUSEADDR", message, error);
    ::close(fd);
    return -1;
  }
  const sockaddr_in local = Address(hostOrder, port);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0) {
    Fail("bind to " + FormatIpv4(hostOrder) + ":" + std::to_string(port), message, error);
    ::close(fd);
    return -1;
  }
  return fd;
}

void CloseFd(int* fd) {
  if (*fd >= 0) ::close(*fd);
  *fd = -1;
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
    endpoint->fd = OpenBound(address, port, reuse, message, error);
    if (endpoint->fd < 0) return nullptr;
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
    if (!UsesStrayAddress(config.faults)) continue;
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
    in_addr address{};
    if (::inet_aton(m_options.broadcast.c_str(), &address) == 0) {
      *error = WSAEINVAL;
      *message = "broadcast address '" + m_options.broadcast + "' is not a dotted address";
      Close();
      return false;
    }
    // Other emulators and listeners may share a real broadcast address.
    if (!add(ntohl(address.s_addr), m_options.port, true, kAllDevices, Via::Main, true)) {
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
  for (auto& endpoint : m_endpoints) CloseFd(&endpoint->fd);
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
  std::vector<std::uint8_t> buffer(kReceiveBuffer);
  while (!m_stopping) {
    if (endpoint->via == Via::Main && !endpoint->broadcast) Resume(endpoint->device);
    if (endpoint->via == Via::Alternate) Move(endpoint);
    // Only this thread closes or replaces the endpoint's socket (Resume and
    // Move above), so it stays open while this thread waits on it.
    int fd;
    {
      std::lock_guard guard(endpoint->lock);
      fd = endpoint->fd;
    }
    if (fd < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(kServeTickMs));  // between a restart and the new socket
      continue;
    }
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, kServeTickMs) <= 0) continue;  // the tick, or a signal
    sockaddr_in from{};
    socklen_t fromLength = sizeof(from);
    const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                                 &fromLength);
    // Nothing after all, or an error the socket reported (an earlier send's
    // unreachable port): the next datagram is what counts.
    if (n < 0) continue;
    Inbound in;
    in.from = UdpPeer(ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
    in.bytes = std::span(buffer.data(), static_cast<std::size_t>(n));
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
    CloseFd(&main->fd);
    main->fd = OpenBound(address, m_options.port, false, &message, &error);
    // An address someone else holds: the device tries again on the next tick.
    if (main->fd < 0) return;
    main->address = address;
  }
  // The other socket is in its own thread's wait: that thread moves it.
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
  CloseFd(&endpoint->fd);
  endpoint->fd = OpenBound(*endpoint->moveTo, 0, false, &message, &error);
  endpoint->address = *endpoint->moveTo;
  endpoint->moveTo.reset();
}

bool UdpTransport::Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) {
  Endpoint* endpoint = EndpointOf(device, via);
  if (!endpoint) endpoint = EndpointOf(device, Via::Main);
  if (!endpoint) return false;
  // As the host's layer does: port 0 and the "this host" block 0.0.0.0/8 are
  // no destinations (the system would take 0.0.0.0 for itself).
  if (to.port == 0 || (to.address >> 24) == 0) return false;
  const sockaddr_in address = Address(to.address, to.port);
  std::lock_guard guard(endpoint->lock);
  if (endpoint->fd < 0) return false;
  for (;;) {
    const ssize_t sent = ::sendto(endpoint->fd, bytes.data(), bytes.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    if (sent < 0 && errno == EINTR) continue;
    return sent == static_cast<ssize_t>(bytes.size());
  }
}

std::string UdpTransport::Describe(std::size_t device) const {
  Endpoint* main = EndpointOf(device, Via::Main);
  if (!main) return "";
  std::lock_guard guard(main->lock);
  return "at " + FormatIpv4(main->address) + ":" + std::to_string(m_options.port);
}

}  // namespace vek::emu
