#include "emulator/emulator.h"

#include "net/winsock.h"

namespace vek::emu {

struct Emulator::Endpoint {
  SOCKET socket = INVALID_SOCKET;
  std::size_t device = 0;  // its device, for a device socket
  bool broadcast = false;
};

namespace {

// Large enough for any datagram, so a request is never refused as oversize.
constexpr int kReceiveBuffer = 65536;

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

  for (std::size_t i = 0; i < options.devices.size(); i++) {
    m_devices.push_back(std::make_unique<Device>(options.devices[i]));
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
  m_running = true;
  return true;
}

void Emulator::Stop() {
  m_running = false;
  CloseAll();
}

void Emulator::CloseAll() {
  m_stopping = true;
  // Closing wakes every thread blocked in its receive.
  for (auto& endpoint : m_endpoints)
    if (endpoint->socket != INVALID_SOCKET) closesocket(endpoint->socket);
  for (std::thread& thread : m_threads) thread.join();
  m_threads.clear();
  m_endpoints.clear();
  m_devices.clear();
  if (m_winsock) WSACleanup();
  m_winsock = false;
}

void Emulator::Serve(Endpoint* endpoint) {
  std::vector<char> buffer(kReceiveBuffer);
  while (!m_stopping) {
    sockaddr_in from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(endpoint->socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n == SOCKET_ERROR) {
      const int error = WSAGetLastError();
      if (m_stopping || error == WSAENOTSOCK || error == WSAEINTR || error == WSANOTINITIALISED) return;
      continue;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
    Handle(endpoint, std::vector<std::uint8_t>(bytes, bytes + n), ntohl(from.sin_addr.s_addr), ntohs(from.sin_port));
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
    entry.when = std::chrono::steady_clock::now();
    if (auto reply = m_devices[i]->Answer(data)) {
      sockaddr_in to{};
      to.sin_family = AF_INET;
      to.sin_port = htons(fromPort);
      to.sin_addr.s_addr = htonl(fromAddress);
      const int sent = sendto(m_endpoints[i]->socket, reinterpret_cast<const char*>(reply->data()),
                              static_cast<int>(reply->size()), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
      entry.answered = sent == static_cast<int>(reply->size());
    }
    if (m_observer) m_observer(entry);
    m_log.Add(std::move(entry));
  }
}

}  // namespace vek::emu
