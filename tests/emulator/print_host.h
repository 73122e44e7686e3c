// The host's side of the print protocol, written for these tests from the
// message tables (not from the emulator's code): the requests a host sends, the
// fields it reads from the device's answers, and a sender that carries a job
// with the sliding window the way a host does: a window after every valid
// acknowledgement, unacknowledged packets again at their old sequences, nothing
// again on a time-out alone. Links carry its datagrams over UDP, the IPX
// segment and NetBIOS.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "emulator/transport.h"
#include "kernel/sync.h"
#include "net/ipx_segment.h"
#include "net/netbios.h"
#include "net/winsock.h"

namespace printlab {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
using vek::emu::TransportKind;

struct Form {
  int generation = 1;
  TransportKind transport = TransportKind::Udp;
  bool Netbios0() const { return generation == 0 && transport == TransportKind::Netbios; }
  std::size_t F() const { return generation == 1 ? 6 : 4; }
  std::size_t CodeAt() const { return generation == 1 ? 4 : 2; }
};

inline std::uint16_t LengthWord(int length) {
  const int low = length % 256;
  const int high = length / 256 + (low != 0 ? 1 : 0);
  return static_cast<std::uint16_t>(high << 8 | low);
}

// A request: header, zeros to `length`. pair: the NetBEUI bytes of generation 0.
inline Bytes Header(const Form& f, std::uint8_t type, std::uint8_t pair, std::uint16_t command,
                    std::size_t length = 30) {
  Bytes b(length, 0);
  if (f.generation == 1) {
    std::memcpy(b.data(), "NET", 3);
    b[3] = type;
  } else if (f.transport == TransportKind::Netbios) {
    b[0] = b[1] = pair;
  } else {
    b[0] = 'Q';
    b[1] = 'I';
  }
  b[f.CodeAt()] = static_cast<std::uint8_t>(command);
  b[f.CodeAt() + 1] = static_cast<std::uint8_t>(command >> 8);
  return b;
}

inline Bytes Status(const Form& f) { return Header(f, 'P', 0x50, 0x0008); }

inline Bytes Connect(const Form& f, int port) {
  Bytes b = Header(f, 'P', 0x50, f.generation == 1 ? 0x080A : 0x000A);
  b[f.F()] = static_cast<std::uint8_t>(port);
  return b;
}

inline Bytes Data(const Form& f, int port, std::uint8_t sequence, std::span<const std::uint8_t> data) {
  Bytes b = Header(f, 0x60, 0x60, 0x000B, data.size() + 12);
  const std::size_t at = f.F();
  b[at] = static_cast<std::uint8_t>(port);
  b[at + 1] = sequence;
  b[at + 2] = 0;
  const std::uint16_t word = LengthWord(static_cast<int>(data.size()));
  b[at + 3] = static_cast<std::uint8_t>(word);
  b[at + 4] = static_cast<std::uint8_t>(word >> 8);
  std::copy(data.begin(), data.end(), b.begin() + static_cast<std::ptrdiff_t>(at + 5));
  return b;
}

inline Bytes EndOfJob(const Form& f, int port) {
  Bytes b = Header(f, 'P', 0x50, 0x000C);
  b[f.F()] = static_cast<std::uint8_t>(port);
  const char text[] = "End Of Printer Job";
  std::memcpy(&b[f.F() + 1], text, sizeof(text));
  return b;
}

// The searches of the host's port dialog, by transport.
inline Bytes NetSearch(std::uint16_t command = 0x0004) {
  Bytes b(30, 0);
  std::memcpy(b.data(), "NET", 3);
  b[3] = 0x70;
  b[4] = static_cast<std::uint8_t>(command);
  b[5] = static_cast<std::uint8_t>(command >> 8);
  return b;
}
inline Bytes OlderSearch(TransportKind t, std::uint16_t udpCommand = 0x0100) {
  Bytes b(30, 0);
  if (t == TransportKind::Netbios) {
    b[0] = b[1] = 0x70;
  } else {
    b[0] = 'Q';
    b[1] = 'I';
  }
  const std::uint16_t command = t == TransportKind::Udp ? udpCommand : 0x0004;
  b[2] = static_cast<std::uint8_t>(command);
  b[3] = static_cast<std::uint8_t>(command >> 8);
  return b;
}

// An answer of the device: its magic and its reply code.
inline bool IsAnswer(const Form& f, const Bytes& b, std::uint8_t code) {
  if (b.size() <= f.CodeAt()) return false;
  bool magic;
  if (f.generation == 1) magic = std::memcmp(b.data(), "NET", 3) == 0;
  else if (f.transport == TransportKind::Netbios) magic = b[0] == b[1] && (b[0] == 0x50 || b[0] == 0x60);
  else magic = b[0] == 'Q' && b[1] == 'I';
  return magic && b[f.CodeAt()] == code;
}

struct ConnectAnswer {
  std::uint8_t status = 0;
  int dataLength = 0;
  int window = 0;
};
inline ConnectAnswer ReadConnectAnswer(const Form& f, const Bytes& b) {
  ConnectAnswer a;
  if (f.generation == 0) {
    a.status = b.size() > 5 ? b[5] : 0;
    return a;
  }
  if (b.size() > 11) {
    a.status = b[7];
    a.dataLength = b[9] | b[10] << 8;
    a.window = b[11];
  }
  return a;
}

// The host's rules for what it takes from a connect answer.
inline int HostDataLength(const Form& f, int offered) {
  const int ceiling = f.transport == TransportKind::Ipx ? 1400 : f.transport == TransportKind::Udp ? 1450 : 1000;
  if (f.generation == 0) return f.transport == TransportKind::Netbios ? 1000 : 1024;
  return std::min(std::max(offered, 1024), ceiling);
}
inline int HostWindow(const Form& f, int offered) {
  if (f.generation == 0) return 1;
  return std::clamp(offered, 1, 8);
}

// An acknowledgement's sequence, when the datagram is a valid one.
inline std::optional<std::uint8_t> AckSequence(const Form& f, const Bytes& b) {
  if (!IsAnswer(f, b, 0x8B)) return std::nullopt;
  const std::size_t sequenceAt = f.generation == 1 ? 7 : 5;
  const std::size_t flagAt = f.generation == 1 ? 9 : 7;
  if (b.size() <= flagAt || b[flagAt] == 0) return std::nullopt;
  return b[sequenceAt];
}

inline Bytes Pattern(std::size_t n, std::uint32_t seed = 7) {
  std::mt19937 generator(seed);
  Bytes b(n);
  for (auto& x : b) x = static_cast<std::uint8_t>(generator());
  return b;
}

// One datagram socket of the host.
class Link {
 public:
  virtual ~Link() = default;
  virtual bool Send(const Bytes& bytes) = 0;
  // The next datagram within timeoutMs. UDP and IPX: its sender becomes the
  // destination, as the host's sockets do.
  virtual std::optional<Bytes> Receive(DWORD timeoutMs) = 0;
  virtual bool Waiting() = 0;
  // The destination's port or socket back to the device's.
  virtual void RestoreDevicePort() = 0;
};

class UdpLink final : public Link {
 public:
  UdpLink(std::uint32_t device, std::uint16_t port = 20560) : m_devicePort(port) {
    m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    m_to.sin_family = AF_INET;
    m_to.sin_port = htons(port);
    m_to.sin_addr.s_addr = htonl(device);
  }
  ~UdpLink() override { closesocket(m_socket); }
  bool Send(const Bytes& b) override {
    return sendto(m_socket, reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()), 0,
                  reinterpret_cast<sockaddr*>(&m_to), sizeof(m_to)) == static_cast<int>(b.size());
  }
  std::optional<Bytes> Receive(DWORD timeoutMs) override {
    setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs));
    char buffer[2048];
    sockaddr_in from{};
    int length = sizeof(from);
    const int n = recvfrom(m_socket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return std::nullopt;
    m_to = from;
    m_lastFrom = from;
    return Bytes(buffer, buffer + n);
  }
  bool Waiting() override {
    u_long n = 0;
    return ioctlsocket(m_socket, FIONREAD, &n) == 0 && n > 0;
  }
  void RestoreDevicePort() override { m_to.sin_port = htons(m_devicePort); }
  std::uint32_t LastFromAddress() const { return ntohl(m_lastFrom.sin_addr.s_addr); }
  std::uint16_t LastFromPort() const { return ntohs(m_lastFrom.sin_port); }
  std::uint16_t OwnPort() const {
    sockaddr_in bound{};
    int length = sizeof(bound);
    getsockname(m_socket, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.sin_port);
  }

 private:
  SOCKET m_socket;
  std::uint16_t m_devicePort;
  sockaddr_in m_to{};
  sockaddr_in m_lastFrom{};
};

class IpxLink final : public Link {
 public:
  IpxLink(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
          std::uint16_t socketNumber = 0x5050, int packetType = 90)
      : m_deviceSocket(socketNumber) {
    m_socket = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
    SOCKADDR_IPX local{};
    local.sa_family = AF_IPX;
    bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    const DWORD type = static_cast<DWORD>(packetType);
    setsockopt(m_socket, NSPROTO_IPX, IPX_PTYPE, reinterpret_cast<const char*>(&type), sizeof(type));
    const BOOL on = TRUE;
    setsockopt(m_socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on));
    m_to.sa_family = AF_IPX;
    std::memcpy(m_to.sa_netnum, network.data(), 4);
    std::memcpy(m_to.sa_nodenum, node.data(), 6);
    m_to.sa_socket = htons(socketNumber);
  }
  ~IpxLink() override { closesocket(m_socket); }
  bool Send(const Bytes& b) override {
    return sendto(m_socket, reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()), 0,
                  reinterpret_cast<sockaddr*>(&m_to), sizeof(m_to)) == static_cast<int>(b.size());
  }
  std::optional<Bytes> Receive(DWORD timeoutMs) override {
    setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof(timeoutMs));
    char buffer[2048];
    SOCKADDR_IPX from{};
    int length = sizeof(from);
    const int n = recvfrom(m_socket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return std::nullopt;
    m_to = from;
    m_lastFrom = from;
    return Bytes(buffer, buffer + n);
  }
  bool Waiting() override {
    u_long n = 0;
    return ioctlsocket(m_socket, FIONREAD, &n) == 0 && n > 0;
  }
  void RestoreDevicePort() override { m_to.sa_socket = htons(m_deviceSocket); }
  void SetDestination(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
                      std::uint16_t socketNumber) {
    std::memcpy(m_to.sa_netnum, network.data(), 4);
    std::memcpy(m_to.sa_nodenum, node.data(), 6);
    m_to.sa_socket = htons(socketNumber);
  }
  const SOCKADDR_IPX& LastFrom() const { return m_lastFrom; }

 private:
  SOCKET m_socket;
  std::uint16_t m_deviceSocket;
  SOCKADDR_IPX m_to{};
  SOCKADDR_IPX m_lastFrom{};
};

inline std::array<UCHAR, 16> Padded(const std::string& name) {
  std::array<UCHAR, 16> padded;
  padded.fill(' ');
  std::copy_n(name.begin(), std::min<std::size_t>(16, name.size()), padded.begin());
  return padded;
}

// A name of the host on LANA 0 with receives pending on it; datagrams go to one
// remote name.
class NetbiosLink final : public Link {
 public:
  static constexpr int kReceives = 5;

  NetbiosLink(const std::string& ownName, const std::string& remote) : m_remote(Padded(remote)) {
    NCB add{};
    add.ncb_command = NCBADDNAME;
    add.ncb_lana_num = 0;
    m_own = Padded(ownName);
    std::memcpy(add.ncb_name, m_own.data(), 16);
    m_added = Netbios(&add);
    m_number = add.ncb_num;
    for (int i = 0; i < kReceives; i++) {
      m_events[i] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
      Arm(i);
    }
  }
  ~NetbiosLink() override {
    for (int i = 0; i < kReceives; i++) {
      if (std::atomic_ref<UCHAR>(m_ncbs[i].ncb_cmd_cplt).load() == NRC_PENDING) {
        NCB cancel{};
        cancel.ncb_command = NCBCANCEL;
        cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&m_ncbs[i]);
        Netbios(&cancel);
      }
      CloseHandle(m_events[i]);
    }
    // The next link of this process may take the same name.
    if (m_added == NRC_GOODRET) {
      NCB remove{};
      remove.ncb_command = NCBDELNAME;
      std::memcpy(remove.ncb_name, m_own.data(), 16);
      Netbios(&remove);
    }
  }
  UCHAR Added() const { return m_added; }
  void SetRemote(const std::string& name) { m_remote = Padded(name); }
  bool Send(const Bytes& b) override {
    NCB ncb{};
    ncb.ncb_command = NCBDGSEND;
    ncb.ncb_num = m_number;
    Bytes copy = b;
    ncb.ncb_buffer = copy.data();
    ncb.ncb_length = static_cast<WORD>(copy.size());
    std::memcpy(ncb.ncb_callname, m_remote.data(), 16);
    return Netbios(&ncb) == NRC_GOODRET;
  }
  std::optional<Bytes> Receive(DWORD timeoutMs) override {
    const DWORD index = WaitForMultipleObjects(kReceives, m_events, FALSE, timeoutMs);
    if (index >= static_cast<DWORD>(kReceives)) return std::nullopt;
    NCB& ncb = m_ncbs[index];
    Bytes bytes(m_buffers[index], m_buffers[index] + ncb.ncb_length);
    m_lastSender.assign(reinterpret_cast<const char*>(ncb.ncb_callname), 16);
    Arm(static_cast<int>(index));
    return bytes;
  }
  bool Waiting() override { return WaitForMultipleObjects(kReceives, m_events, FALSE, 0) < kReceives; }
  void RestoreDevicePort() override {}
  const std::string& LastSender() const { return m_lastSender; }

 private:
  void Arm(int i) {
    NCB& ncb = m_ncbs[i];
    ncb = NCB{};
    ncb.ncb_command = NCBDGRECV | ASYNCH;
    ncb.ncb_num = m_number;
    ncb.ncb_buffer = m_buffers[i];
    ncb.ncb_length = sizeof(m_buffers[i]);
    ncb.ncb_event = m_events[i];
    Netbios(&ncb);
  }

  std::array<UCHAR, 16> m_remote;
  std::array<UCHAR, 16> m_own{};
  UCHAR m_added = 0;
  UCHAR m_number = 0;
  NCB m_ncbs[kReceives]{};
  HANDLE m_events[kReceives]{};
  UCHAR m_buffers[kReceives][1500]{};
  std::string m_lastSender;
};

// The first datagram within the time that passes the test; others are skipped.
template <typename Match>
std::optional<Bytes> Expect(Link& link, Match match, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    auto b = link.Receive(50);
    if (b && match(*b)) return b;
  }
  return std::nullopt;
}

struct HostReport {
  bool connected = false;
  bool ended = false;
  std::uint8_t connectStatus = 0;
  int window = 0;
  int dataLength = 0;
  int windowsSent = 0;
  int packetsSent = 0;
  int acksTaken = 0;
};

// Carries a job to the device as a host does.
class Host {
 public:
  Host(Link& link, const Form& form, int port = 1, DWORD receiveMs = 300)
      : m_link(link), m_form(form), m_port(port), m_receiveMs(receiveMs) {}

  bool Connect(HostReport* report) {
    for (int attempt = 0; attempt < 10; attempt++) {
      m_link.RestoreDevicePort();
      m_link.Send(printlab::Connect(m_form, m_port));
      std::optional<Bytes> b;
      while ((b = m_link.Receive(m_receiveMs)) && !IsAnswer(m_form, *b, 0x8A)) {
      }
      if (!b) continue;
      const ConnectAnswer a = ReadConnectAnswer(m_form, *b);
      report->connectStatus = a.status;
      if (a.status & 0xF0) return false;                            // busy
      if (m_form.generation == 1 && (a.status & 0x0F)) return false;  // refused
      m_window = HostWindow(m_form, a.window);
      m_length = HostDataLength(m_form, a.dataLength);
      report->window = m_window;
      report->dataLength = m_length;
      report->connected = true;
      return true;
    }
    return false;
  }

  // The job's bytes, all of them at once (its end is known from the start).
  bool Send(std::span<const std::uint8_t> job, HostReport* report, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::uint8_t base = 0;
    std::vector<int> slots(static_cast<std::size_t>(m_window), 0);
    std::vector<bool> pending(static_cast<std::size_t>(m_window), false);
    std::size_t acked = 0;
    while (Clock::now() < deadline) {
      // Wait for an acknowledgement: the last valid one of what is waiting.
      auto first = m_link.Receive(m_receiveMs);
      if (!first) continue;
      std::optional<int> count;
      std::uint8_t newBase = 0;
      for (std::optional<Bytes> b = first; b; b = m_link.Waiting() ? m_link.Receive(0) : std::nullopt) {
        auto sequence = AckSequence(m_form, *b);
        if (!sequence) continue;
        const int c = static_cast<std::uint8_t>(*sequence - base);
        if (c > m_window) continue;
        count = c;
        newBase = *sequence;
      }
      if (!count) continue;
      report->acksTaken++;
      for (int i = 0; i < *count; i++) {
        acked += static_cast<std::size_t>(slots[static_cast<std::size_t>(i)]);
        slots[static_cast<std::size_t>(i)] = 0;
        pending[static_cast<std::size_t>(i)] = false;
      }
      std::rotate(slots.begin(), slots.begin() + *count, slots.end());
      std::rotate(pending.begin(), pending.begin() + *count, pending.end());
      base = newBase;
      if (acked == job.size()) return true;
      // The window: pending slots again, then new bytes.
      std::size_t offset = acked;
      report->windowsSent++;
      for (int i = 0; i < m_window; i++) {
        const auto slot = static_cast<std::size_t>(i);
        int length = pending[slot] ? slots[slot] : static_cast<int>(std::min<std::size_t>(job.size() - offset, m_length));
        if (!pending[slot] && length == 0 && m_form.generation == 0) break;
        m_link.Send(printlab::Data(m_form, m_port, static_cast<std::uint8_t>(base + i), job.subspan(offset, static_cast<std::size_t>(length))));
        report->packetsSent++;
        slots[slot] = length;
        pending[slot] = true;
        offset += static_cast<std::size_t>(length);
      }
    }
    return false;
  }

  bool End(HostReport* report) {
    for (int attempt = 0; attempt < 10; attempt++) {
      m_link.RestoreDevicePort();
      m_link.Send(printlab::EndOfJob(m_form, m_port));
      for (auto b = m_link.Receive(m_receiveMs); b; b = m_link.Receive(m_receiveMs)) {
        if (IsAnswer(m_form, *b, 0x8C)) {
          report->ended = true;
          return true;
        }
      }
    }
    return false;
  }

  bool Print(std::span<const std::uint8_t> job, HostReport* report,
             std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    return Connect(report) && Send(job, report, limit) && End(report);
  }

 private:
  Link& m_link;
  const Form m_form;
  const int m_port;
  const DWORD m_receiveMs;
  int m_window = 1;
  int m_length = 1024;
};

}  // namespace printlab
