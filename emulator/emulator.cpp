#include "emulator/emulator.h"

#include "kernel/clock.h"
#include "net/winsock.h"

namespace vek::emu {

struct Emulator::Endpoint {
  std::mutex lock;  // guards socket against a restart's swap while others send
  SOCKET socket = INVALID_SOCKET;
  std::size_t device = 0;  // its device, for a device socket
  bool broadcast = false;
};

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

}  // namespace

Emulator::Emulator() = default;
Emulator::~Emulator() { Stop(); }

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
  WSADATA data;
  if (int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
    *wsaError = error;
    *message = SocketError("WSAStartup", error);
    return false;
  }
  m_winsock = true;
  m_stopping = false;
  m_port = options.port;
  m_pool = options.dhcpPool;
  m_nextLease = 0;

  for (std::size_t i = 0; i < options.devices.size(); i++) {
    m_devices.push_back(std::make_unique<Device>(options.devices[i]));
    if (!m_devices.back()->KeyReady()) {
      *message = "device " + FormatMac(options.devices[i].mac) + ": its RSA key could not be made";
      CloseAll();
      return false;
    }
    auto endpoint = std::make_unique<Endpoint>();
    endpoint->device = i;
    endpoint->socket = OpenBound(options.devices[i].address, options.port, false, message, wsaError);
    if (endpoint->socket == INVALID_SOCKET) {
      *message = "device " + FormatMac(options.devices[i].mac) + ": " + *message;
      CloseAll();
      return false;
    }
    m_endpoints.push_back(std::move(endpoint));
  }
  if (!options.broadcast.empty()) {
    const u_long address = inet_addr(options.broadcast.c_str());
    if (address == INADDR_NONE && options.broadcast != "255.255.255.255") {
      *message = "broadcast address '" + options.broadcast + "' is not a dotted address";
      CloseAll();
      return false;
    }
    auto endpoint = std::make_unique<Endpoint>();
    endpoint->broadcast = true;
    // Other emulators and listeners may share a real broadcast address.
    endpoint->socket = OpenBound(ntohl(address), options.port, true, message, wsaError);
    if (endpoint->socket == INVALID_SOCKET) {
      CloseAll();
      return false;
    }
    m_endpoints.push_back(std::move(endpoint));
  }
  for (auto& endpoint : m_endpoints) m_threads.emplace_back([this, e = endpoint.get()] { Serve(e); });
  m_sender = std::thread([this] { SendLater(); });
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
  // The serving threads wake within a tick and see the stop; the sockets close
  // after them, so none is swapped or used while it closes.
  for (std::thread& thread : m_threads) thread.join();
  if (m_sender.joinable()) m_sender.join();
  m_threads.clear();
  for (auto& endpoint : m_endpoints)
    if (endpoint->socket != INVALID_SOCKET) closesocket(endpoint->socket);
  m_endpoints.clear();
  m_devices.clear();
  m_pending.clear();
  if (m_winsock) WSACleanup();
  m_winsock = false;
}

void Emulator::Serve(Endpoint* endpoint) {
  std::vector<char> buffer(kReceiveBuffer);
  while (!m_stopping) {
    if (!endpoint->broadcast) Resume(endpoint);
    if (endpoint->socket == INVALID_SOCKET) {
      ::Sleep(kServeTick);  // between a restart and the new socket
      continue;
    }
    sockaddr_in from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(endpoint->socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n == SOCKET_ERROR) continue;  // the tick, or a datagram we cannot take
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
    Handle(endpoint, std::vector<std::uint8_t>(bytes, bytes + n), ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
  }
}

std::uint32_t Emulator::Lease(std::size_t device, std::uint32_t fallback) {
  std::lock_guard guard(m_leaseLock);
  for (std::size_t tried = 0; tried < m_pool.size(); tried++) {
    const std::uint32_t candidate = m_pool[m_nextLease++ % m_pool.size()];
    bool taken = false;
    for (std::size_t i = 0; i < m_devices.size(); i++)
      if (i != device && m_devices[i]->ListenAddress() == candidate) taken = true;
    if (!taken) return candidate;
  }
  return fallback;
}

void Emulator::Resume(Endpoint* endpoint) {
  Device& device = *m_devices[endpoint->device];
  bool dhcp = false;
  std::uint32_t address = 0;
  if (!device.RestartDue(SteadyClock::now(), &dhcp, &address)) return;
  if (dhcp) address = Lease(endpoint->device, address);
  std::string message;
  int error = 0;
  std::lock_guard guard(endpoint->lock);
  if (endpoint->socket != INVALID_SOCKET) closesocket(endpoint->socket);
  endpoint->socket = OpenBound(address, m_port, false, &message, &error);
  // An address someone else holds: the device tries again on the next tick.
  if (endpoint->socket != INVALID_SOCKET) device.Resumed(address);
}

bool Emulator::SendFrom(std::size_t device, const std::vector<std::uint8_t>& bytes, std::uint32_t toAddress,
                        std::uint16_t toPort) {
  Endpoint& endpoint = *m_endpoints[device];
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(toPort);
  to.sin_addr.s_addr = htonl(toAddress);
  std::lock_guard guard(endpoint.lock);
  if (endpoint.socket == INVALID_SOCKET) return false;
  const int sent = sendto(endpoint.socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
                          0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
  return sent == static_cast<int>(bytes.size());
}

void Emulator::SendLater() {
  std::unique_lock lock(m_pendingLock);
  while (!m_stopping) {
    if (m_pending.empty()) {
      m_pendingChanged.wait(lock);
      continue;
    }
    auto first = m_pending.begin();
    if (SteadyClock::now() < first->first) {
      m_pendingChanged.wait_until(lock, first->first);
      continue;
    }
    Pending pending = std::move(first->second);
    m_pending.erase(first);
    lock.unlock();
    SendFrom(pending.device, pending.bytes, pending.toAddress, pending.toPort);
    lock.lock();
  }
}

void Emulator::Handle(Endpoint* endpoint, const std::vector<std::uint8_t>& data, std::uint32_t fromAddress,
                      std::uint16_t fromPort) {
  const bool net = data.size() >= 6 && data[0] == 'N' && data[1] == 'E' && data[2] == 'T';
  const std::uint16_t command = net ? static_cast<std::uint16_t>(data[4] | (data[5] << 8)) : 0;
  // A broadcast reaches every device; each answers from its own socket.
  const std::size_t first = endpoint->broadcast ? 0 : endpoint->device;
  const std::size_t last = endpoint->broadcast ? m_devices.size() : endpoint->device + 1;
  for (std::size_t i = first; i < last; i++) {
    LoggedRequest entry;
    entry.device = i;
    entry.broadcast = endpoint->broadcast;
    entry.fromAddress = fromAddress;
    entry.fromPort = fromPort;
    entry.command = command;
    entry.data = data;
    entry.when = SteadyClock::now();
    std::vector<Outgoing> answers = m_devices[i]->Answer(data, entry.when);
    // Logged before it is answered: whoever gets the answer finds the request in
    // the log.
    entry.answered = !answers.empty();
    if (m_observer) m_observer(entry);
    const SteadyClock::time_point when = entry.when;
    m_log.Add(std::move(entry));
    for (Outgoing& answer : answers) {
      if (answer.delayMs <= 0) {
        SendFrom(i, answer.bytes, fromAddress, fromPort);
        continue;
      }
      {
        std::lock_guard guard(m_pendingLock);
        m_pending.emplace(when + std::chrono::milliseconds(answer.delayMs),
                          Pending{i, std::move(answer.bytes), fromAddress, fromPort});
      }
      m_pendingChanged.notify_all();
    }
  }
}

}  // namespace vek::emu
