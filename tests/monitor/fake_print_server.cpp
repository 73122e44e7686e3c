#include "fake_print_server.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <chrono>
#include <cstring>

#include "kernel/sync.h"
#include "net/ipx_segment.h"

namespace vek::test {
namespace {

constexpr std::uint16_t kDevicePort = 0x5050;
constexpr char kGroupName[] = "QIMPrintServer";
// Datagrams are not queued: enough receives for the largest window and then some.
constexpr int kNetbiosReceives = 16;
constexpr WORD kNetbiosReceiveSize = 1500;
constexpr DWORD kPollMs = 2;

void PadName(UCHAR* field, const std::string& name) {
  std::memset(field, ' ', NCBNAMSZ);
  std::memcpy(field, name.data(), std::min<std::size_t>(name.size(), NCBNAMSZ));
}

NCB Block(UCHAR command, int lana) {
  NCB ncb{};
  ncb.ncb_command = command;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  return ncb;
}

// A name of this process on the LANA; the LANA is reset first when this process
// has not used it yet.
UCHAR AddName(UCHAR command, int lana, const std::string& name, UCHAR* number) {
  for (int attempt = 0; attempt < 2; attempt++) {
    NCB ncb = Block(command, lana);
    PadName(ncb.ncb_name, name);
    UCHAR code = Netbios(&ncb);
    if (code != NRC_ENVNOTDEF) {
      if (number) *number = ncb.ncb_num;
      return code;
    }
    NCB reset = Block(NCBRESET, lana);
    Netbios(&reset);
  }
  return NRC_ENVNOTDEF;
}

void DeleteName(int lana, const std::string& name) {
  NCB ncb = Block(NCBDELNAME, lana);
  PadName(ncb.ncb_name, name);
  Netbios(&ncb);
}

bool Pending(NCB& ncb) {
  return std::atomic_ref<UCHAR>(ncb.ncb_cmd_cplt).load(std::memory_order_acquire) == NRC_PENDING;
}

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

bool IsNet(int model) { return model == 1; }

}  // namespace

FakePrintServer::~FakePrintServer() { Stop(); }

bool FakePrintServer::Start(const FakeServerOptions& options, std::string* error) {
  m_options = options;
  if (getenv("XX_DROP")) m_options.dropRate = atof(getenv("XX_DROP"));
  if (getenv("XX_DUP")) m_options.duplicateRate = atof(getenv("XX_DUP"));
  m_random.seed(options.seed);
  {
    std::lock_guard guard(m_lock);
    m_jobs.clear();
  }
  m_connects = 0;
  m_statusQueries = 0;
  m_dataPackets = 0;
  m_largest = 0;
  m_jobActive = false;
  m_printAddress.clear();
  m_busyLeft = options.busyReplies;
  if (options.netbios) {
    if (!StartNetbios(error)) return false;
    m_stop = false;
    m_thread = std::thread([this] { Serve(); });
    return true;
  }
  WSADATA data{};
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
    *error = "no sockets";
    return false;
  }
  m_winsock = true;
  DWORD timeout = 2;
  auto fail = [&](const char* what) {
    *error = std::string(what) + " failed: " + std::to_string(WSAGetLastError());
    Stop();
    return false;
  };
  if (options.ipx) {
    auto station = [](const std::uint8_t* network, const std::uint8_t* node, std::uint16_t socketNumber,
                      SOCKET* out) {
      SOCKET s = socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX);
      if (s == INVALID_SOCKET) return false;
      *out = s;
      SOCKADDR_IPX self{};
      self.sa_family = AF_IPX;
      std::memcpy(self.sa_netnum, network, 4);
      std::memcpy(self.sa_nodenum, node, 6);
      if (setsockopt(s, NSPROTO_IPX, VEK_IPX_STATION, reinterpret_cast<const char*>(&self), sizeof self) != 0)
        return false;
      SOCKADDR_IPX local{};
      local.sa_family = AF_IPX;
      local.sa_socket = htons(socketNumber);
      return bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    };
    if (!station(options.network, options.node, kDevicePort, &m_socket)) return fail("device socket");
    if (options.strayAcks) {
      std::uint8_t strayNode[6];
      std::memcpy(strayNode, options.node, 6);
      strayNode[5] ^= 0x5A;
      if (!station(options.network, strayNode, 0, &m_stray)) return fail("stray socket");
    }
  } else {
    m_socket = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (m_socket == INVALID_SOCKET) return fail("device socket");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kDevicePort);
    local.sin_addr.s_addr = htonl(options.address);
    if (bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) return fail("device bind");
    if (options.strayAcks) {
      m_stray = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
      sockaddr_in strayLocal{};
      strayLocal.sin_family = AF_INET;
      strayLocal.sin_addr.s_addr = htonl(options.strayAddress);
      if (m_stray == INVALID_SOCKET ||
          bind(m_stray, reinterpret_cast<const sockaddr*>(&strayLocal), sizeof strayLocal) != 0)
        return fail("stray socket");
    }
  }
  if (setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout) != 0)
    return fail("time-out");
  m_stop = false;
  m_thread = std::thread([this] { Serve(); });
  return true;
}

bool FakePrintServer::StartNetbios(std::string* error) {
  UCHAR code = AddName(NCBADDNAME, m_options.lana, m_options.netbiosName, &m_nameNumber);
  if (code != NRC_GOODRET) {
    *error = "the device's name: NetBIOS code " + std::to_string(code);
    return false;
  }
  m_uniqueAdded = true;
  // Another device of this process may hold the group name already.
  code = AddName(NCBADDGRNAME, m_options.lana, kGroupName, nullptr);
  if (code != NRC_GOODRET && code != NRC_DUPNAME) {
    *error = "the group name: NetBIOS code " + std::to_string(code);
    StopNetbios();
    return false;
  }
  m_groupAdded = code == NRC_GOODRET;
  for (int i = 0; i < kNetbiosReceives; i++) {
    auto receive = std::make_unique<NetbiosReceive>();
    receive->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    receive->buffer.resize(kNetbiosReceiveSize);
    bool armed = ArmReceive(*receive);
    m_receives.push_back(std::move(receive));
    if (!armed) {
      *error = "a receive would not arm";
      StopNetbios();
      return false;
    }
  }
  m_nextReceive = 0;
  return true;
}

bool FakePrintServer::ArmReceive(NetbiosReceive& receive) {
  receive.ncb = Block(NCBDGRECV | ASYNCH, m_options.lana);
  receive.ncb.ncb_num = m_nameNumber;
  receive.ncb.ncb_buffer = receive.buffer.data();
  receive.ncb.ncb_length = kNetbiosReceiveSize;
  receive.ncb.ncb_event = receive.event;
  return Netbios(&receive.ncb) == NRC_GOODRET;
}

void FakePrintServer::StopNetbios() {
  for (auto& receive : m_receives) {
    while (Pending(receive->ncb)) {
      NCB cancel = Block(NCBCANCEL, m_options.lana);
      cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&receive->ncb);
      Netbios(&cancel);
      if (Pending(receive->ncb)) WaitForSingleObject(receive->event, 100);
    }
    CloseHandle(receive->event);
  }
  m_receives.clear();
  if (m_uniqueAdded) DeleteName(m_options.lana, m_options.netbiosName);
  if (m_groupAdded) DeleteName(m_options.lana, kGroupName);
  m_uniqueAdded = m_groupAdded = false;
}

int FakePrintServer::ReceiveOne(std::vector<std::uint8_t>& buffer, Address* from) {
  if (m_options.netbios) {
    // Receives complete in the order they were armed: the oldest first.
    NetbiosReceive& head = *m_receives[m_nextReceive];
    if (WaitForSingleObject(head.event, kPollMs) != WAIT_OBJECT_0) return 0;
    UCHAR code = head.ncb.ncb_retcode;
    int n = head.ncb.ncb_length;
    from->assign(head.ncb.ncb_callname, head.ncb.ncb_callname + NCBNAMSZ);
    std::memcpy(buffer.data(), head.buffer.data(), static_cast<std::size_t>(n));
    ArmReceive(head);
    m_nextReceive = (m_nextReceive + 1) % m_receives.size();
    return code == NRC_GOODRET ? n : 0;
  }
  std::uint8_t fromBytes[32] = {};
  int fromLength = sizeof fromBytes;
  int n = recvfrom(m_socket, reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size()), 0,
                   reinterpret_cast<sockaddr*>(fromBytes), &fromLength);
  if (n <= 0) return 0;
  from->assign(fromBytes, fromBytes + fromLength);
  return n;
}

void FakePrintServer::Stop() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
  StopNetbios();
  for (SOCKET* s : {&m_socket, &m_stray}) {
    if (*s != INVALID_SOCKET) closesocket(*s);
    *s = INVALID_SOCKET;
  }
  if (m_winsock) WSACleanup();
  m_winsock = false;
}

std::vector<std::string> FakePrintServer::Jobs() {
  std::lock_guard guard(m_lock);
  return m_jobs;
}

bool FakePrintServer::WaitForJobs(std::size_t count, int timeoutMs) {
  std::unique_lock guard(m_lock);
  return m_changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return m_jobs.size() >= count; });
}

bool FakePrintServer::Chance(double rate) {
  return rate > 0 && std::uniform_real_distribution<double>(0, 1)(m_random) < rate;
}

void FakePrintServer::Serve() {
  std::vector<std::uint8_t> buffer(2048);
  while (!m_stop) {
    Address from;
    int n = ReceiveOne(buffer, &from);
    std::uint64_t now = NowMs();
    if (n > 0) {
      m_lastReceive = now;
      Handle(buffer.data(), n, from);
    } else if (m_jobActive && !m_held.empty()) {
      // A held packet is not held for ever.
      std::vector<std::uint8_t> held;
      held.swap(m_held);
      HandleData(held.data(), static_cast<int>(held.size()));
    }
    if (m_jobActive && now - m_lastReceive >= static_cast<std::uint64_t>(m_options.idleResendMs) &&
        now - m_lastAck >= static_cast<std::uint64_t>(m_options.idleResendMs))
      SendAck();
  }
}

std::vector<std::uint8_t> FakePrintServer::Header(std::uint8_t code, bool dataKind) const {
  std::vector<std::uint8_t> out(30, 0);
  if (IsNet(m_options.model)) {
    out[0] = 'N';
    out[1] = 'E';
    out[2] = 'T';
    out[3] = dataKind ? 0x60 : 'P';
    out[4] = code;
    out[6] = static_cast<std::uint8_t>(m_options.portId);
  } else {
    out[0] = m_options.netbios ? (dataKind ? 0x60 : 0x50) : 'Q';
    out[1] = m_options.netbios ? (dataKind ? 0x60 : 0x50) : 'I';
    out[2] = code;
    out[4] = static_cast<std::uint8_t>(m_options.portId);
  }
  return out;
}

void FakePrintServer::Reply(const std::vector<std::uint8_t>& bytes, const Address& to) {
  if (m_options.netbios) {
    // From the device's unique name, to the name that asked.
    if (to.size() != NCBNAMSZ) return;
    NCB ncb = Block(NCBDGSEND, m_options.lana);
    ncb.ncb_num = m_nameNumber;
    std::vector<std::uint8_t> copy = bytes;
    ncb.ncb_buffer = copy.data();
    ncb.ncb_length = static_cast<WORD>(copy.size());
    std::memcpy(ncb.ncb_callname, to.data(), NCBNAMSZ);
    Netbios(&ncb);
    return;
  }
  sendto(m_socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
         reinterpret_cast<const sockaddr*>(to.data()), static_cast<int>(to.size()));
}

void FakePrintServer::SendAck() {
  m_lastAck = NowMs();
  if (m_printAddress.empty()) return;
  if (m_options.ackLimit >= 0 && m_acksSent >= m_options.ackLimit) return;
  m_acksSent++;
  std::vector<std::uint8_t> ack = Header(0x8B, true);
  int at = IsNet(m_options.model) ? 7 : 5;
  ack[at] = m_expected;
  ack[at + 2] = 1;
  m_windowBase = m_expected;
  if (m_options.truncatedAcks) {
    // Cut before its flag byte: a reader that trusts it reads past the datagram.
    std::vector<std::uint8_t> cut(ack.begin(), ack.begin() + at + 1);
    cut[at] = static_cast<std::uint8_t>(m_expected + 1);
    Reply(cut, m_printAddress);
  }
  if (m_stray != INVALID_SOCKET) {
    std::vector<std::uint8_t> stray = ack;
    stray[at] = static_cast<std::uint8_t>(m_expected + 2);
    sendto(m_stray, reinterpret_cast<const char*>(stray.data()), static_cast<int>(stray.size()), 0,
           reinterpret_cast<const sockaddr*>(m_printAddress.data()), static_cast<int>(m_printAddress.size()));
  }
  if (Chance(m_options.dropRate)) return;
  Reply(ack, m_printAddress);
}

void FakePrintServer::Handle(const std::uint8_t* data, int length, const Address& from) {
  const bool net = IsNet(m_options.model);
  if (length < (net ? 6 : 4)) return;
  if (net && (data[0] != 'N' || data[1] != 'E' || data[2] != 'T')) return;
  if (!net && m_options.netbios) {
    // The pair 50 50, or 60 60 for data.
    if (data[0] != data[1] || (data[0] != 0x50 && data[0] != 0x60)) return;
  } else if (!net && (data[0] != 'Q' || data[1] != 'I')) {
    return;
  }
  int command = net ? (data[4] | (data[5] << 8)) : (data[2] | (data[3] << 8));
  int f = net ? 6 : 4;
  switch (command) {
    case 0x0008: {
      m_statusQueries++;
      std::vector<std::uint8_t> reply = Header(0x88, false);
      reply[f] = m_options.statusByte;
      Reply(reply, from);
      return;
    }
    case 0x000A:
    case 0x080A: {
      if (getenv("XX_DEBUG")) fprintf(stderr, "CONNECT FROM %.16s active %d\n", (const char*)from.data(), (int)m_jobActive);
      if ((command == 0x080A) != net) return;
      m_connects++;
      if (m_options.silent) return;
      std::vector<std::uint8_t> reply = Header(0x8A, false);
      int statusAt = net ? 7 : 5;
      bool busy = m_busyLeft != 0;
      if (busy && m_busyLeft > 0) m_busyLeft--;
      reply[statusAt] = busy ? 0xF0 : (m_options.refuse && net ? 0x01 : 0x00);
      if (net) {
        reply[9] = static_cast<std::uint8_t>(m_options.offeredLength & 0xFF);
        reply[10] = static_cast<std::uint8_t>(m_options.offeredLength >> 8);
        reply[11] = static_cast<std::uint8_t>(m_options.offeredWindow);
      }
      Reply(reply, from);
      if (busy || (m_options.refuse && net)) return;
      // A connect repeated by a monitor that missed the reply is the same job.
      if (m_jobActive && from == m_printAddress) return;
      // What the monitor will work with once it has this reply.
      if (net) {
        m_window = std::min(std::max(m_options.offeredWindow, 1), 8);
        int ceiling = m_options.netbios ? 1000 : m_options.ipx ? 1400 : 1450;
        m_dataLength = std::min(std::max(m_options.offeredLength, 1024), ceiling);
      } else {
        m_window = 1;
        m_dataLength = m_options.netbios ? 1000 : 1024;
      }
      m_jobActive = true;
      m_acksSent = 0;
      m_expected = 0;
      m_windowBase = 0;
      m_current.clear();
      m_held.clear();
      m_printAddress = from;
      // The first acknowledgement grants the first window.
      SendAck();
      return;
    }
    case 0x000B: {
      if (!m_jobActive) return;
      if (getenv("XX_DEBUG") && from != m_printAddress) fprintf(stderr, "DATA FROM OTHER %.16s vs %.16s\n", (const char*)from.data(), (const char*)m_printAddress.data());
      m_printAddress = from;
      std::vector<std::uint8_t> packet(data, data + length);
      if (Chance(m_options.dropRate)) return;
      if (Chance(m_options.reorderRate) && m_held.empty()) {
        m_held = packet;
        return;
      }
      HandleData(packet.data(), length);
      if (Chance(m_options.duplicateRate)) HandleData(packet.data(), length);
      if (!m_held.empty()) {
        std::vector<std::uint8_t> held;
        held.swap(m_held);
        HandleData(held.data(), static_cast<int>(held.size()));
      }
      return;
    }
    case 0x000C: {
      Reply(Header(0x8C, false), from);
      if (!m_jobActive) return;
      m_jobActive = false;
      std::lock_guard guard(m_lock);
      m_jobs.push_back(m_current);
      m_changed.notify_all();
      return;
    }
    default: return;
  }
}

void FakePrintServer::HandleData(const std::uint8_t* data, int length) {
  const bool net = IsNet(m_options.model);
  int f = net ? 6 : 4;
  if (length < f + 5) return;
  std::uint8_t sequence = data[f + 1];
  int low = data[f + 3];
  int high = data[f + 4];
  int size = (high - (low != 0 ? 1 : 0)) * 256 + low;
  int offset = f + 5;
  if (size < 0 || offset + size > length || size > m_dataLength) return;
  m_dataPackets++;
  if (size > m_largest) m_largest = size;
  if (sequence == m_expected) {
    m_current.append(reinterpret_cast<const char*>(data + offset), static_cast<std::size_t>(size));
    m_expected++;
  }
  // The window's last slot closes it, whatever came before.
  if (static_cast<std::uint8_t>(sequence - m_windowBase) == m_window - 1 ||
      static_cast<std::uint8_t>(m_expected - m_windowBase) >= m_window)
    SendAck();
}

}  // namespace vek::test
