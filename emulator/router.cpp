#include "emulator/router.h"

#include <algorithm>
#include <cstring>

#include "emulator/ipx_transport.h"
#include "kernel/error_text.h"

namespace vek::emu {
namespace {

constexpr std::size_t kEntry = 8;
constexpr std::size_t kHeader = 30;
constexpr std::array<std::uint8_t, 4> kAllNetworks = {0xFF, 0xFF, 0xFF, 0xFF};

void BigEndian16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

std::vector<std::vector<std::uint8_t>> AnswerRip(std::span<const std::uint8_t> request, int packetType,
                                                 const std::vector<RipRoute>& routes, std::string* note) {
  note->clear();
  if (packetType != kRipPacketType) {
    *note = "packet type " + std::to_string(packetType) + ", not 1";
    return {};
  }
  if (request.size() < 2 + kEntry) {
    *note = "a request of " + std::to_string(request.size()) + " bytes holds no entry";
    return {};
  }
  const std::uint16_t operation = static_cast<std::uint16_t>((request[0] << 8) | request[1]);
  if (operation != kRipRequest) {
    *note = "operation " + std::to_string(operation) + ", not a request";
    return {};
  }
  std::vector<RipRoute> listed;
  const std::size_t entries = (request.size() - 2) / kEntry;
  for (std::size_t i = 0; i < entries; i++) {
    std::array<std::uint8_t, 4> network;
    std::copy_n(request.begin() + static_cast<std::ptrdiff_t>(2 + i * kEntry), 4, network.begin());
    for (const RipRoute& route : routes) {
      const bool asked = network == kAllNetworks || network == route.network;
      const bool already = std::any_of(listed.begin(), listed.end(),
                                       [&](const RipRoute& r) { return r.network == route.network; });
      if (asked && !already) listed.push_back(route);
    }
  }
  std::vector<std::vector<std::uint8_t>> answers;
  for (std::size_t first = 0; first < listed.size(); first += kRipEntriesPerAnswer) {
    std::vector<std::uint8_t> answer;
    BigEndian16(answer, kRipResponse);
    for (std::size_t i = first; i < std::min(listed.size(), first + kRipEntriesPerAnswer); i++) {
      answer.insert(answer.end(), listed[i].network.begin(), listed[i].network.end());
      BigEndian16(answer, listed[i].hops);
      BigEndian16(answer, listed[i].ticks);
    }
    answers.push_back(std::move(answer));
  }
  if (answers.empty()) *note = "no network asked for is known";
  return answers;
}

IpxRouter::IpxRouter(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
                     std::vector<RipRoute> routes)
    : m_network(network), m_node(node), m_routes(std::move(routes)) {}

IpxRouter::~IpxRouter() { Close(); }

bool IpxRouter::Open(std::string* message, int* error) {
  m_stopping = false;
  m_socket = OpenIpxStation(m_network, m_node, kRipSocket, kRipPacketType, error);
  if (m_socket == INVALID_SOCKET) {
    *message = "router " + Describe() + " failed: " + vek::ErrorText(static_cast<DWORD>(*error));
    return false;
  }
  return true;
}

void IpxRouter::Run() { m_thread = std::thread([this] { Serve(); }); }

void IpxRouter::Close() {
  m_stopping = true;
  if (m_thread.joinable()) m_thread.join();
  if (m_socket != INVALID_SOCKET) closesocket(m_socket);
  m_socket = INVALID_SOCKET;
}

RouterCounters IpxRouter::Counters() const {
  std::lock_guard guard(m_lock);
  return m_counters;
}

std::string IpxRouter::Describe() const {
  std::string node = FormatMac(m_node);
  for (char& c : node)
    if (c == ':') c = '-';
  return FormatNetwork(m_network) + ":" + node + ":0453";
}

void IpxRouter::Serve() {
  std::vector<char> buffer(2048);
  while (!m_stopping) {
    SOCKADDR_IPX from{};
    int fromLength = sizeof(from);
    const int n = recvfrom(m_socket, buffer.data(), static_cast<int>(buffer.size()), 0,
                           reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n == SOCKET_ERROR || n < static_cast<int>(kHeader)) continue;
    const auto* frame = reinterpret_cast<const std::uint8_t*>(buffer.data());
    std::string note;
    const auto answers = AnswerRip(std::span(frame + kHeader, static_cast<std::size_t>(n) - kHeader), frame[5],
                                   m_routes, &note);
    {
      std::lock_guard guard(m_lock);
      m_counters.requests++;
      (answers.empty() ? m_counters.ignored : m_counters.answered)++;
      if (answers.empty()) m_counters.lastIgnored = note;
    }
    // To the requesting socket, as the header names it.
    SOCKADDR_IPX to{};
    to.sa_family = AF_IPX;
    std::memcpy(to.sa_netnum, frame + 18, 4);
    std::memcpy(to.sa_nodenum, frame + 22, 6);
    std::memcpy(&to.sa_socket, frame + 28, 2);
    for (const auto& answer : answers)
      sendto(m_socket, reinterpret_cast<const char*>(answer.data()), static_cast<int>(answer.size()), 0,
             reinterpret_cast<const sockaddr*>(&to), sizeof(to));
  }
}

}  // namespace vek::emu
