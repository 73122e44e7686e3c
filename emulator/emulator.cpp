#include "emulator/emulator.h"

#include <stdlib.h>
#include <sys/prctl.h>

#include <algorithm>
#include <filesystem>

#include "emulator/ipx_transport.h"
#include "emulator/netbios_transport.h"
#include "emulator/udp_transport.h"
#include "kernel/error_text.h"
#include "net/netbios_segment.h"
#include "net/winsock.h"

namespace vek::emu {
namespace {

std::string SocketError(const std::string& what, int error) {
  return what + " failed: " + vek::ErrorText(static_cast<DWORD>(error));
}

bool MakeTemporaryFolder(std::string* folder) {
  std::error_code error;
  std::string pattern = (std::filesystem::temp_directory_path(error) / "vek-emulator-XXXXXX").string();
  if (error) pattern = "/tmp/vek-emulator-XXXXXX";
  if (!mkdtemp(pattern.data())) return false;
  *folder = pattern;
  return true;
}

}  // namespace

Emulator::Emulator() = default;

Emulator::~Emulator() {
  Stop();
  if (!m_temporarySpool.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_temporarySpool, ignored);
  }
}

bool Emulator::Start(const EmulatorOptions& options, std::string* message, int* wsaError) {
  std::string ignoredMessage;
  int ignoredError = 0;
  if (!message) message = &ignoredMessage;
  if (!wsaError) wsaError = &ignoredError;
  *wsaError = 0;
  Stop();
  if (options.devices.empty()) {
    *message = "no devices to serve";
    return false;
  }
  std::string folder = options.spoolDir;
  if (folder.empty()) {
    if (m_temporarySpool.empty() && !MakeTemporaryFolder(&m_temporarySpool)) {
      *message = "no temporary spool folder could be made";
      return false;
    }
    folder = m_temporarySpool;
  }
  if (!m_spool.Open(folder, message)) return false;
  // For the IPX and NetBIOS segments, which are the net layer's (they are the
  // wire); the UDP devices use sockets of their own.
  WSADATA data;
  if (int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
    *wsaError = error;
    *message = SocketError("WSAStartup", error);
    return false;
  }
  m_winsock = true;
  m_stopping = false;
  m_log.SetLimit(options.logLimit);

  bool udp = false, ipx = options.router.enabled, netbios = false;
  for (std::size_t i = 0; i < options.devices.size(); i++) {
    m_devices.push_back(std::make_unique<Device>(options.devices[i], &m_spool, i));
    if (!m_devices.back()->KeyReady()) {
      *message = "device " + FormatMac(options.devices[i].mac) + ": its RSA key could not be made";
      CloseAll();
      return false;
    }
    udp |= options.devices[i].transports.udp;
    ipx |= options.devices[i].transports.ipx;
    netbios |= options.devices[i].transports.netbios;
  }
  if (ipx) {
    std::array<std::uint8_t, 6> node;
    if (!OwnIpxStation(&m_ownNetwork, &node)) {
      *wsaError = WSAGetLastError();
      *message = SocketError("joining the IPX segment", *wsaError);
      CloseAll();
      return false;
    }
  }
  if (udp) {
    UdpTransport::Options udpOptions;
    udpOptions.broadcast = options.broadcast;
    udpOptions.port = options.port;
    udpOptions.dhcpPool = options.dhcpPool;
    m_transports.push_back(std::make_unique<UdpTransport>(m_devices, udpOptions));
  }
  if (ipx) m_transports.push_back(std::make_unique<IpxTransport>(m_devices, m_ownNetwork));
  if (netbios) {
    std::vector<int> lanas = options.netbiosLanas.empty() ? vek::net::ConfiguredNetbiosLanas() : options.netbiosLanas;
    m_transports.push_back(std::make_unique<NetbiosTransport>(m_devices, lanas));
  }
  for (auto& transport : m_transports) {
    if (!transport->Open(message, wsaError)) {
      CloseAll();
      return false;
    }
  }
  if (options.router.enabled) {
    const RouterConfig& r = options.router;
    const bool own = std::all_of(r.network.begin(), r.network.end(), [](std::uint8_t b) { return b == 0; });
    m_routes = r.routes;
    if (!r.routesGiven) {
      m_routes.clear();
      for (const auto& device : m_devices) {
        const DeviceConfig config = device->Config();
        if (!config.transports.ipx) continue;
        const auto network = DeviceNetwork(config, m_ownNetwork);
        if (std::none_of(m_routes.begin(), m_routes.end(), [&](const RipRoute& x) { return x.network == network; }))
          m_routes.push_back(RipRoute{network, 1, 2});
      }
    }
    m_router = std::make_unique<IpxRouter>(own ? m_ownNetwork : r.network, r.node, m_routes);
    if (!m_router->Open(message, wsaError)) {
      CloseAll();
      return false;
    }
  }
  for (auto& transport : m_transports)
    transport->Run([this](std::size_t device, const Inbound& datagram) { Deliver(device, datagram); });
  if (m_router) m_router->Run();
  m_scheduler = std::thread([this] { Schedule(); });
  m_running = true;
  return true;
}

void Emulator::Stop() {
  m_running = false;
  CloseAll();
}

void Emulator::CloseAll() {
  {
    std::lock_guard guard(m_pendingLock);
    m_stopping = true;
  }
  m_pendingChanged.notify_all();
  if (m_scheduler.joinable()) m_scheduler.join();
  // Each transport's threads end before its sockets and names go.
  for (auto& transport : m_transports) transport->Close();
  m_transports.clear();
  if (m_router) m_router->Close();
  m_router.reset();
  const SteadyClock::time_point now = SteadyClock::now();
  for (auto& device : m_devices) device->Shutdown(now);
  m_devices.clear();
  m_pending.clear();
  m_routes.clear();
  if (m_winsock) WSACleanup();
  m_winsock = false;
}

DeviceTransport* Emulator::TransportFor(TransportKind kind) const {
  for (const auto& transport : m_transports)
    if (transport->Kind() == kind) return transport.get();
  return nullptr;
}

std::array<std::uint8_t, 4> Emulator::IpxNetworkOf(std::size_t device) const {
  return DeviceNetwork(m_devices.at(device)->Config(), m_ownNetwork);
}

std::string Emulator::Describe(std::size_t device) const {
  std::string text;
  for (const auto& transport : m_transports) {
    const std::string part = transport->Describe(device);
    if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
  }
  return text;
}

void Emulator::Wake() {
  {
    std::lock_guard guard(m_pendingLock);
    m_wake = true;
  }
  m_pendingChanged.notify_all();
}

void Emulator::Deliver(std::size_t device, const Inbound& datagram) {
  LoggedRequest entry;
  entry.broadcast = datagram.broadcast;
  entry.transport = datagram.from.kind;
  entry.via = datagram.via;
  entry.fromAddress = datagram.from.address;
  entry.fromPort = datagram.from.port;
  entry.peer = datagram.from.Text();
  entry.ipxPacketType = datagram.ipxPacketType;
  entry.size = datagram.bytes.size();
  if (datagram.via == Via::Stray) {
    entry.data.assign(datagram.bytes.begin(), datagram.bytes.end());
    // Nobody's address: what the host sends there is lost, as on a real net.
    entry.device = device == kAllDevices ? 0 : device;
    entry.when = SteadyClock::now();
    entry.note = "at a stray address: not taken";
    if (m_observer) m_observer(entry);
    m_log.Add(std::move(entry));
    return;
  }
  // A broadcast reaches every device on the transport; each answers for itself.
  for (std::size_t i = 0; i < m_devices.size(); i++) {
    if (device != kAllDevices && device != i) continue;
    const DeviceConfig::Transports& t = m_devices[i]->Transports();
    const bool serves = datagram.from.kind == TransportKind::Udp ? t.udp
                        : datagram.from.kind == TransportKind::Ipx ? t.ipx
                                                                  : t.netbios;
    if (!serves) continue;
    LoggedRequest logged = entry;
    logged.device = i;
    logged.when = SteadyClock::now();
    Handling handling = m_devices[i]->Receive(datagram, logged.when);
    logged.command = handling.command;
    logged.kind = handling.kind;
    const bool data = logged.kind == "data";
    logged.data.assign(datagram.bytes.begin(),
                       datagram.bytes.begin() + static_cast<std::ptrdiff_t>(
                                                    data ? std::min(kDataHeadKept, datagram.bytes.size())
                                                         : datagram.bytes.size()));
    logged.note = std::move(handling.note);
    // Logged before it is answered: whoever gets the answer finds the request in
    // the log.
    logged.answered = !handling.out.empty();
    if (m_observer) m_observer(logged);
    m_log.Add(std::move(logged));
    Dispatch(i, std::move(handling.out), datagram.from);
  }
  // The device's timers may have moved closer.
  Wake();
}

void Emulator::SendNow(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) {
  if (DeviceTransport* transport = TransportFor(to.kind)) transport->Send(device, via, to, bytes);
}

void Emulator::Dispatch(std::size_t device, std::vector<Outgoing> out, const Peer& requester) {
  const SteadyClock::time_point now = SteadyClock::now();
  bool later = false;
  for (Outgoing& o : out) {
    const Peer to = o.to ? *o.to : requester;
    if (o.delayMs <= 0) {
      SendNow(device, o.via, to, o.bytes);
      continue;
    }
    std::lock_guard guard(m_pendingLock);
    m_pending.emplace(now + std::chrono::milliseconds(o.delayMs), Pending{device, o.via, to, std::move(o.bytes)});
    later = true;
  }
  if (later) Wake();
}

void Emulator::Schedule() {
  // Acknowledgements due in a millisecond or less go when due, not up to the
  // default 50 microseconds of timer slack later.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::unique_lock lock(m_pendingLock);
  while (!m_stopping) {
    m_wake = false;
    SteadyClock::time_point now = SteadyClock::now();
    while (!m_pending.empty() && m_pending.begin()->first <= now) {
      Pending pending = std::move(m_pending.begin()->second);
      m_pending.erase(m_pending.begin());
      lock.unlock();
      SendNow(pending.device, pending.via, pending.to, pending.bytes);
      lock.lock();
    }
    lock.unlock();
    std::optional<SteadyClock::time_point> next;
    for (std::size_t i = 0; i < m_devices.size(); i++) {
      std::optional<SteadyClock::time_point> wake = m_devices[i]->NextWake();
      if (wake && *wake <= now) {
        Dispatch(i, m_devices[i]->Tick(now), Peer{});
        wake = m_devices[i]->NextWake();
      }
      if (wake && (!next || *wake < *next)) next = *wake;
    }
    lock.lock();
    if (!m_pending.empty() && (!next || m_pending.begin()->first < *next)) next = m_pending.begin()->first;
    // A datagram that came meanwhile may have set a nearer timer.
    if (m_stopping || m_wake) continue;
    if (next) m_pendingChanged.wait_until(lock, *next);
    else m_pendingChanged.wait(lock);
  }
}

}  // namespace vek::emu
