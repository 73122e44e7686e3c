#include "emulator/device.h"

#include <algorithm>
#include <cstring>

#include "emulator/config_apply.h"
#include "emulator/info_reply.h"
#include "emulator/legacy_reply.h"
#include "emulator/print_wire.h"
#include "emulator/wire_writer.h"

namespace vek::emu {
namespace {

// The body of the secured exchange, from the device's side.
constexpr std::size_t kBodyHeader = 28;
constexpr std::size_t kPayloadMax = 992;
constexpr std::size_t kSecureDatagram = 1030;
constexpr std::uint16_t kLogin = 1, kLoginVerdict = 2, kOpen = 3, kUseInfoKey = 4, kGiveKey = 6, kKey = 7,
                        kNonce = 8, kConfig = 9;
constexpr std::size_t kKeyBlock = 32;
constexpr std::size_t kMacLength = 20;
constexpr std::size_t kMacData = 256;
constexpr auto kUploadCopies = std::chrono::seconds(3);

std::uint16_t Word(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Body {
  std::uint16_t type = 0;
  std::uint8_t status = 0;
  std::uint8_t more = 0;
  std::uint16_t index = 0;
  std::span<const std::uint8_t> iv;
  std::uint16_t plainTotal = 0;
  std::uint16_t paddedTotal = 0;
  std::span<const std::uint8_t> payload;
};

// A body whose payload lies inside what arrived; false for anything else.
bool ReadBody(std::span<const std::uint8_t> in, Body* body) {
  if (in.size() < kBodyHeader) return false;
  body->type = Word(in, 0);
  body->status = in[2];
  body->more = in[3];
  body->index = Word(in, 4);
  body->iv = in.subspan(6, 16);
  body->plainTotal = Word(in, 22);
  body->paddedTotal = Word(in, 24);
  const std::size_t length = Word(in, 26);
  if (length > kPayloadMax || kBodyHeader + length > in.size()) return false;
  body->payload = in.subspan(kBodyHeader, length);
  return true;
}

bool SameMac(std::span<const std::uint8_t> bytes, std::size_t at, const std::array<std::uint8_t, 6>& mac) {
  return bytes.size() >= at + 6 && std::equal(mac.begin(), mac.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

std::vector<Outgoing> One(std::vector<std::uint8_t> bytes) {
  std::vector<Outgoing> out;
  out.push_back({std::move(bytes), 0});
  return out;
}

}  // namespace

Device::Device(DeviceConfig config, JobSpool* spool, std::size_t index)
    : m_config(std::move(config)),
      m_transports(m_config.transports),
      m_generation(m_config.generation),
      m_faults(m_config.faults, m_config.seed),
      m_print(index, m_config, m_faults, spool) {
  m_listenAddress = m_config.address;
  if ((m_config.capabilities & cap::kSecureConfig) && m_config.rsaModulus.empty()) {
    m_key = DeviceKey::Generate(m_config.rsaBits);
    if (m_key) m_config.rsaModulus = m_key->Modulus();
  }
  if (m_config.keyAnswer == 0) m_config.keyAnswer = m_config.rsaModulus.size() == 128 ? kUseInfoKey : kGiveKey;
}

DeviceConfig Device::Config() const {
  std::lock_guard guard(m_lock);
  return m_config;
}

DeviceConfig Device::InForce() const {
  std::lock_guard guard(m_lock);
  return Running();
}

DeviceCounters Device::Counters() const {
  std::lock_guard guard(m_lock);
  return m_counters;
}

void Device::SetPortStatus(std::uint8_t status, std::uint8_t status2) {
  std::lock_guard guard(m_lock);
  m_config.portStatus = status;
  m_config.portStatus2 = status2;
}

bool Device::KeyReady() const {
  std::lock_guard guard(m_lock);
  return !(m_config.capabilities & cap::kSecureConfig) || m_key != nullptr;
}

std::uint32_t Device::ListenAddress() const {
  std::lock_guard guard(m_lock);
  return m_listenAddress;
}

bool Device::Silent(SteadyClock::time_point) const {
  std::lock_guard guard(m_lock);
  return m_restarting;
}

bool Device::RestartDue(SteadyClock::time_point now, bool* dhcp, std::uint32_t* address) const {
  std::lock_guard guard(m_lock);
  if (!m_restarting || now < m_resumeAt) return false;
  *dhcp = m_config.dhcp;
  *address = m_config.address;
  return true;
}

void Device::Resumed(std::uint32_t address) {
  std::lock_guard guard(m_lock);
  m_listenAddress = address;
  // With DHCP the device reports the address it was given.
  if (m_config.dhcp) m_config.address = address;
  m_restarting = false;
  m_secure = SecureSession{};
  m_blockCount = m_nextBlock = 0;
  m_lastUpload.clear();
}

namespace {

// The wizard's operations of generation 1, by the low byte of the command word.
bool NetKind(std::uint8_t op, std::span<const std::uint8_t> request, MessageKind* kind) {
  switch (op) {
    case kOpSearch: *kind = MessageKind::Search; return true;
    case kOpSearchMulti: *kind = MessageKind::SearchMulti; return true;
    case kOpStatus: *kind = MessageKind::Status; return true;
    case kOpPortInfo: *kind = MessageKind::PortInfo; return true;
    case kOpUpload: *kind = MessageKind::Upload; return true;
    case kOpBlock: *kind = MessageKind::Block; return true;
    case kOpRestart: *kind = MessageKind::Restart; return true;
    case kOpSecure:
      *kind = request.size() >= kHeaderLength + 2 && Word(request, kHeaderLength) == kLogin ? MessageKind::Login
                                                                                           : MessageKind::Secure;
      return true;
    default:
      return false;  // replies of other devices, and what a device does not serve
  }
}

const char* OpName(PrintOp op) {
  switch (op) {
    case PrintOp::Search: return "search";
    case PrintOp::Status: return "status";
    case PrintOp::Connect: return "connect";
    case PrintOp::Data: return "data";
    case PrintOp::EndOfJob: return "eoj";
    default: return "other";
  }
}

}  // namespace

Handling Device::Receive(const Inbound& datagram, SteadyClock::time_point now) {
  Handling h;
  const Dialect dialect{m_generation, datagram.from.kind};
  PrintRequest request;
  std::string problem;
  const bool read = ReadPrintRequest(datagram.bytes, dialect, &request, &problem);
  if (request.op == PrintOp::None) {
    h.note = "not of this device's generation";
    return h;
  }
  h.command = request.command;
  h.kind = OpName(request.op);
  if (!read) {
    h.note = "dropped: " + problem;
    return h;
  }
  std::lock_guard guard(m_lock);
  // A restarting device hears nothing.
  if (m_restarting) {
    h.note = "restarting";
    return h;
  }
  switch (request.op) {
    case PrintOp::Search:
      AnswerSearch(request, datagram, dialect, now, &h);
      return h;
    case PrintOp::Status:
      AnswerStatus(dialect, datagram.from, now, &h);
      return h;
    case PrintOp::Connect:
    case PrintOp::Data:
    case PrintOp::EndOfJob:
      if (datagram.broadcast) {
        h.note = "a print message by broadcast: not taken";
        return h;
      }
      m_print.Handle(request, dialect, datagram.from, now, &h.out, &h.note);
      return h;
    default:
      break;
  }
  MessageKind kind;
  if (m_generation != 1 || datagram.from.kind != TransportKind::Udp ||
      !NetKind(datagram.bytes[4], datagram.bytes, &kind)) {
    h.note = "not served";
    return h;
  }
  h.kind = MessageKindName(kind);
  h.out = AnswerNet(datagram.bytes, kind, now, &h.note);
  return h;
}

void Device::AnswerSearch(const PrintRequest& request, const Inbound& datagram, const Dialect& dialect,
                          SteadyClock::time_point now, Handling* h) {
  if (datagram.from.kind == TransportKind::Udp && m_config.searchFlag != DeviceConfig::SearchFlag::Any) {
    const bool flagged = (request.command >> 8) & 0x01;
    if (flagged != (m_config.searchFlag == DeviceConfig::SearchFlag::Flagged)) {
      h->note = flagged ? "a flagged search: not answered" : "an unflagged search: not answered";
      return;
    }
  }
  if (dialect.generation == 1) {
    h->out = AnswerNet(datagram.bytes, MessageKind::Search, now, &h->note);
    return;
  }
  if (m_faults.Take(MessageKind::Search, FaultKind::Drop)) return;
  m_print.Emit(Outgoing{BuildLegacySearchAnswer(m_config, dialect.transport)}, MessageKind::Search, dialect, 0,
               datagram.from, now, &h->out);
}

void Device::AnswerStatus(const Dialect& dialect, const Peer& to, SteadyClock::time_point now, Handling* h) {
  if (m_faults.Take(MessageKind::Status, FaultKind::Drop)) {
    h->note = "lost (fault)";
    return;
  }
  const std::uint8_t status = m_print.StatusByte(true);
  m_print.Emit(Outgoing{BuildStatusAnswer(dialect, status, m_config.portStatus2)}, MessageKind::Status, dialect, 0, to,
               now, &h->out);
  h->note = "status " + std::to_string(status);
}

std::vector<Outgoing> Device::Tick(SteadyClock::time_point now) {
  std::lock_guard guard(m_lock);
  std::vector<Outgoing> out;
  m_print.Tick(now, &out);
  return out;
}

std::optional<SteadyClock::time_point> Device::NextWake() const {
  std::lock_guard guard(m_lock);
  return m_print.NextWake();
}

void Device::Shutdown(SteadyClock::time_point now) {
  std::lock_guard guard(m_lock);
  m_print.CutOffAll(now);
}

PrintCounters Device::PrintCounts() const {
  std::lock_guard guard(m_lock);
  return m_print.Counters();
}

std::vector<Outgoing> Device::AnswerNet(std::span<const std::uint8_t> request, MessageKind kind,
                                        SteadyClock::time_point now, std::string* note) {
  if (m_faults.Take(kind, FaultKind::Drop)) return {};
  std::vector<Outgoing> out = AnswerLocked(request, kind, now, note);
  if (out.empty()) return out;
  // Ahead of the device's own verdict, one that refuses, from another address.
  if (kind == MessageKind::Login && m_faults.Take(kind, FaultKind::Stray))
    out.insert(out.begin(), Outgoing{SecureAnswer(kLoginVerdict, 1), 0, Via::Stray});
  if (m_faults.Take(kind, FaultKind::Empty)) out.insert(out.begin(), Outgoing{});
  if (m_faults.Take(kind, FaultKind::Duplicate)) {
    std::vector<Outgoing> twice;
    for (const Outgoing& o : out) {
      twice.push_back(o);
      twice.push_back(o);
    }
    out = std::move(twice);
  }
  int delay = 0;
  if (m_faults.Take(kind, FaultKind::Delay, &delay))
    for (Outgoing& o : out) o.delayMs = delay;
  return out;
}

std::vector<Outgoing> Device::AnswerLocked(std::span<const std::uint8_t> request, MessageKind kind,
                                           SteadyClock::time_point now, std::string* note) {
  using Replies = DeviceConfig::SearchReplies;
  const bool security = (m_config.capabilities & cap::kSecurity) != 0;
  switch (kind) {
    case MessageKind::Search: {
      const bool single = m_config.searchReplies != Replies::Multi;
      return single ? Search(false) : std::vector<Outgoing>{};
    }
    case MessageKind::SearchMulti: {
      const bool multi = m_config.searchReplies == Replies::Multi || m_config.searchReplies == Replies::Both ||
                         (m_config.searchReplies == Replies::Auto && security);
      return multi ? Search(true) : std::vector<Outgoing>{};
    }
    case MessageKind::Status:  // AnswerStatus, which knows the live status
    case MessageKind::Connect:
    case MessageKind::Data:
    case MessageKind::Ack:
    case MessageKind::EndOfJob:  // the print service's
      return {};
    case MessageKind::Upload:
      return WholeUpload(request, now);
    case MessageKind::Block:
      return Block(request);
    case MessageKind::PortInfo:
      return PortInfo(request);
    case MessageKind::Secure:
      return Secure(request.subspan(kHeaderLength));
    case MessageKind::Login:
      return Login(request.subspan(kHeaderLength));
    case MessageKind::Restart:
      Restart(request, now, note);
      return {};
  }
  return {};
}

void Device::Restart(std::span<const std::uint8_t> request, SteadyClock::time_point now, std::string* note) {
  if (!SameMac(request, 6, m_config.mac)) {
    *note = "another device's MAC: not taken";
    return;
  }
  if (m_faults.Take(MessageKind::Restart, FaultKind::Ignore)) {
    *note = m_inForce ? "ignored (fault): the configuration taken stays pending" : "ignored (fault)";
    return;
  }
  // What it took comes into force: it reports it once it answers again.
  m_inForce.reset();
  m_restarting = true;
  m_resumeAt = now + std::chrono::milliseconds(m_config.restartSilenceMs);
  m_counters.restarts++;
}

void Device::ForeignMac(std::vector<std::uint8_t>& datagram, bool part) const {
  // A first byte outside the maker's prefix.
  if (datagram.size() > 6) datagram[6] = 0x00;
  if (part && datagram.size() > 10) datagram[10] = 0x00;
}

std::vector<Outgoing> Device::Search(bool multi) {
  const MessageKind kind = multi ? MessageKind::SearchMulti : MessageKind::Search;
  const bool foreign = m_faults.Take(kind, FaultKind::ForeignMac);
  std::vector<Outgoing> out;
  if (!multi) {
    out = One(BuildInformationReply(Running()));
    if (foreign) ForeignMac(out[0].bytes, false);
    return out;
  }
  std::vector<std::vector<std::uint8_t>> parts = BuildMultipartReply(Running(), m_config.partSize);
  int strangers = 0;
  if (m_faults.Take(kind, FaultKind::Flood, &strangers)) {
    for (int i = 0; i < strangers; i++) {
      // Others of the maker's prefix, new ones each time.
      const std::uint32_t n = m_strangers++;
      const std::array<std::uint8_t, 6> mac = {m_config.mac[0], m_config.mac[1], m_config.mac[2],
                                               static_cast<std::uint8_t>(0xF0 | ((n >> 16) & 0x0F)),
                                               static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)};
      out.push_back({BuildOpeningPart(mac, m_config.partBase), 0, Via::Stray});
    }
  }
  int lost = 0;
  if (!m_faults.Take(kind, FaultKind::LosePart, &lost)) lost = 0;
  for (std::size_t i = 0; i < parts.size(); i++) {
    if (static_cast<int>(i + 1) == lost) continue;
    if (foreign) {
      // The MAC of the data as well: the joined reply is all of the device's.
      ForeignMac(parts[i], true);
      if (i == 0 && parts[i].size() > kPartHeaderLength) parts[i][kPartHeaderLength] = 0x00;
    }
    out.push_back({std::move(parts[i]), 0});
  }
  return out;
}

bool Device::Apply(std::span<const std::uint8_t> reply, UploadPath path) {
  std::string why;
  const DeviceConfig running = m_config;
  if (!ApplyConfiguration(reply, &m_config, &why)) return false;
  // Until its restart the device runs what it ran before.
  if (!m_inForce) m_inForce = running;
  m_counters.configurations++;
  m_counters.lastPath = path;
  return true;
}

std::vector<Outgoing> Device::WholeUpload(std::span<const std::uint8_t> request, SteadyClock::time_point now) {
  if (!SameMac(request, 6, m_config.mac)) return {};
  // The host sends three copies: the first is taken and answered.
  if (!m_lastUpload.empty() && now - m_lastUploadAt < kUploadCopies &&
      std::equal(request.begin(), request.end(), m_lastUpload.begin(), m_lastUpload.end()))
    return {};
  m_lastUpload.assign(request.begin(), request.end());
  m_lastUploadAt = now;
  if (!Apply(request, UploadPath::Whole)) return {};
  return One(BuildPlainAnswer(kOpUpload | kReplyBit));
}

std::vector<Outgoing> Device::Block(std::span<const std::uint8_t> request) {
  if (request.size() < kPartHeaderLength || !SameMac(request, 10, m_config.mac)) return {};
  const int k = request[6];
  const int count = request[7];
  const std::size_t n = Word(request, 8);
  if (n > request.size() - kPartHeaderLength || count < 1 || k < 1 || k > count) return {};
  if (k == 1) {
    m_blocks.clear();
    m_blockCount = count;
    m_nextBlock = 1;
    m_blockAckedEarly = m_faults.Take(MessageKind::Block, FaultKind::AckNonLast);
  }
  if (k != m_nextBlock || count != m_blockCount) {
    m_nextBlock = 0;  // a block was lost: this configuration is not taken
    return {};
  }
  auto data = request.subspan(kPartHeaderLength, n);
  m_blocks.insert(m_blocks.end(), data.begin(), data.end());
  m_nextBlock++;
  std::vector<Outgoing> out;
  if (k == 1 && m_blockAckedEarly)
    out.push_back({BuildPlainAnswer(kOpBlock | kReplyBit, static_cast<std::uint8_t>(count == 1 ? 0 : 1),
                                    static_cast<std::uint8_t>(count)),
                   0});
  if (k < count) return out;

  // The blocks carry the reply from its byte 6 on, as long as the whole reply:
  // their last six bytes lie past its end.
  m_nextBlock = 0;
  if (m_blocks.size() < kHeaderLength) return out;
  std::vector<std::uint8_t> reply(kHeaderLength, 0);
  reply.insert(reply.end(), m_blocks.begin(), m_blocks.end() - static_cast<std::ptrdiff_t>(kHeaderLength));
  if (Apply(reply, UploadPath::Blocks) && !m_blockAckedEarly)
    out.push_back({BuildPlainAnswer(kOpBlock | kReplyBit, static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(count)),
                   0});
  return out;
}

std::vector<Outgoing> Device::PortInfo(std::span<const std::uint8_t> request) const {
  // The port at byte 6; a port the device does not have gets no answer.
  if (request.size() <= kHeaderLength) return {};
  const int port = request[kHeaderLength];
  if (port < 1 || port > m_config.ports) return {};
  WireWriter w;
  w.Text("NET", 3);
  w.U8(0);
  w.U16(kOpPortInfo | kReplyBit);
  w.U8(static_cast<std::uint8_t>(port));
  for (const std::string& text : m_config.portInfo[static_cast<std::size_t>(port - 1)]) {
    w.Text(text, text.size());
    w.U8(0);
  }
  if (w.Size() < 64) w.Zeros(64 - w.Size());
  return One(std::move(w.Data()));
}

std::vector<std::uint8_t> Device::PasswordKey() const {
  const DeviceConfig& running = Running();
  if (running.password.empty() || running.wireless.loginMode != 0)
    return std::vector<std::uint8_t>(std::begin(kFallbackKey), std::end(kFallbackKey));
  std::vector<std::uint8_t> key(8, 0);
  std::copy_n(running.password.begin(), std::min<std::size_t>(8, running.password.size()), key.begin());
  return key;
}

std::vector<std::uint8_t> Device::SecureAnswer(std::uint16_t type, std::uint8_t status,
                                               std::span<const std::uint8_t> payload, int payloadLength) {
  WireWriter w;
  w.Text("NET", 3);
  w.U8(0);
  w.U16(kOpSecure | kReplyBit);
  w.U16(type);
  w.U8(status);
  w.Zeros(kBodyHeader - 3);
  w.Data()[kHeaderLength + 26] = static_cast<std::uint8_t>(payloadLength < 0 ? payload.size() : payloadLength);
  w.Data()[kHeaderLength + 27] =
      static_cast<std::uint8_t>((payloadLength < 0 ? payload.size() : static_cast<std::size_t>(payloadLength)) >> 8);
  w.Bytes(payload);
  w.Zeros(kSecureDatagram - w.Size());
  return std::move(w.Data());
}

std::vector<Outgoing> Device::Login(std::span<const std::uint8_t> in) {
  Body body;
  if (!ReadBody(in, &body)) return {};
  std::vector<std::uint8_t> key;
  const bool accepted = m_key && m_key->Decrypt(body.payload, &key) && key == PasswordKey();
  (accepted ? m_counters.loginsAccepted : m_counters.loginsRefused)++;
  m_counters.lastLoginKey = key;
  return One(SecureAnswer(kLoginVerdict, accepted ? 0 : 1));
}

std::vector<Outgoing> Device::Secure(std::span<const std::uint8_t> in) {
  Body body;
  if (!ReadBody(in, &body) || body.status != 0) return {};
  SecureSession& s = m_secure;
  std::vector<std::uint8_t> answer;
  switch (body.type) {
    case kOpen: {
      s = SecureSession{};
      s.stage = 1;
      const bool malformed = m_faults.Take(MessageKind::Secure, FaultKind::Malformed);
      if (m_config.keyAnswer == kUseInfoKey) answer = SecureAnswer(kUseInfoKey, 0, {}, malformed ? 2000 : -1);
      else answer = SecureAnswer(kGiveKey, 0, m_config.rsaModulus, malformed ? 2000 : -1);
      s.keyAnswer = answer;
      break;
    }
    case kKey: {
      if (s.stage == 0) return {};
      if (s.stage >= 2 && std::equal(body.payload.begin(), body.payload.end(), s.keyCiphertext.begin(),
                                     s.keyCiphertext.end())) {
        answer = s.stage == 2 ? s.nonceAnswer : s.doneAnswer;
        break;
      }
      std::vector<std::uint8_t> block;
      if (!m_key || !m_key->Decrypt(body.payload, &block) || block.size() != kKeyBlock) {
        s = SecureSession{};
        answer = SecureAnswer(kNonce, 1);
        break;
      }
      s.keyCiphertext.assign(body.payload.begin(), body.payload.end());
      std::copy_n(block.begin(), 16, s.aesKey);
      std::uint8_t encrypted[16];
      if (!RandomBytes(s.nonce) || !AesEncryptBlock(s.aesKey, s.nonce, encrypted)) return {};
      const bool badNonce = m_faults.Take(MessageKind::Secure, FaultKind::BadNonce);
      answer = SecureAnswer(kNonce, 0, encrypted, badNonce ? 15 : -1);
      s.nonceAnswer = answer;
      s.fragments.clear();
      s.stage = 2;
      break;
    }
    case kConfig: {
      if (s.stage == 3) {
        answer = s.doneAnswer;
        break;
      }
      if (s.stage != 2) return {};
      s.fragments[body.index].assign(body.payload.begin(), body.payload.end());
      if (body.more != 0) return {};
      // The last body: the chain is whole when every index before it came.
      std::vector<std::uint8_t> ciphertext;
      for (int i = 0; i <= body.index; i++) {
        auto it = s.fragments.find(i);
        if (it == s.fragments.end()) return {};
        ciphertext.insert(ciphertext.end(), it->second.begin(), it->second.end());
      }
      std::vector<std::uint8_t> plaintext;
      std::uint8_t iv[16];
      std::copy(body.iv.begin(), body.iv.end(), iv);
      bool taken = ciphertext.size() == body.paddedTotal && body.plainTotal <= body.paddedTotal &&
                   body.plainTotal >= 4 + kMacLength && AesCbcDecrypt(s.aesKey, iv, ciphertext, &plaintext);
      if (taken) {
        const std::size_t macLength = plaintext[0] | (plaintext[1] << 8) | (plaintext[2] << 16) |
                                      (static_cast<std::size_t>(plaintext[3]) << 24);
        taken = macLength == kMacLength;
        const std::size_t dataLength = body.plainTotal - 4 - kMacLength;
        if (taken) {
          auto data = std::span(plaintext).subspan(4, dataLength);
          auto mac = std::span(plaintext).subspan(4 + dataLength, kMacLength);
          std::vector<std::uint8_t> signedData(data.begin(), data.begin() + std::min(dataLength, kMacData));
          signedData.insert(signedData.end(), std::begin(s.nonce), std::end(s.nonce));
          const std::vector<std::uint8_t> expected = HmacSha1(PasswordKey(), signedData);
          taken = std::equal(mac.begin(), mac.end(), expected.begin(), expected.end()) && Apply(data, UploadPath::Secured);
        }
      }
      if (!taken) m_counters.secureRefused++;
      answer = SecureAnswer(kConfig, taken ? 0 : 1);
      s.doneAnswer = answer;
      s.stage = 3;
      break;
    }
    default:
      return {};
  }
  if (s.firstAnswer.empty()) s.firstAnswer = answer;
  else if (m_faults.Take(MessageKind::Secure, FaultKind::Stale)) answer = s.firstAnswer;
  return One(std::move(answer));
}

}  // namespace vek::emu
