#include "net/netbios_adapter.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "kernel/sync.h"
#include "net/netbios_config.h"

namespace vek::net {
namespace {

constexpr UCHAR kAnyName = 0xFF;
// Name numbers 1 (the adapter's permanent name) and 0xFF (any name) are never given.
constexpr UCHAR kFirstNumber = 2;
constexpr UCHAR kLastNumber = 0xFE;
constexpr std::size_t kMostNames = kLastNumber - kFirstNumber + 1;
constexpr std::size_t kDefaultNames = 16;
// A claim is sent this many times over the claim period, so one lost frame does
// not let a duplicate through.
constexpr int kClaimRepeats = 3;
constexpr WORD kMaxNcbs = 255;

NetbiosName NameOf(const UCHAR* bytes) {
  NetbiosName name;
  std::memcpy(name.data(), bytes, name.size());
  return name;
}

bool IsUsableName(const NetbiosName& name) { return name[0] != '*' && name[0] != 0; }

// Commands a cancel cannot stop: they run to their end.
bool Uncancellable(UCHAR command) {
  switch (command & ~ASYNCH) {
    case NCBADDNAME:
    case NCBADDGRNAME:
    case NCBDELNAME:
    case NCBDGSEND:
    case NCBRESET:
    case NCBCANCEL:
      return true;
    default:
      return false;
  }
}

}  // namespace

void NetbiosAdapter::Finish(const Completions& done) {
  for (const Finished& item : done) {
    item.ncb->ncb_retcode = item.code;
    // Written last: a caller polling it owns the NCB again once it changes.
    std::atomic_ref<UCHAR>(item.ncb->ncb_cmd_cplt).store(item.code, std::memory_order_release);
    if (item.event != nullptr) SetEvent(item.event);
    if (item.post != nullptr) item.post(item.ncb);
  }
}

NetbiosAdapter::Name* NetbiosAdapter::FindLocked(const NetbiosName& name) {
  auto it = std::find_if(m_names.begin(), m_names.end(), [&](const Name& n) { return n.name == name; });
  return it == m_names.end() ? nullptr : &*it;
}

NetbiosAdapter::Name* NetbiosAdapter::FindClaimLocked(std::uint64_t claim) {
  auto it = std::find_if(m_names.begin(), m_names.end(), [&](const Name& n) { return n.claim == claim; });
  return it == m_names.end() ? nullptr : &*it;
}

NetbiosAdapter::Name* NetbiosAdapter::FindNumberLocked(UCHAR number) {
  auto it = std::find_if(m_names.begin(), m_names.end(),
                         [&](const Name& n) { return n.registered && n.number == number; });
  return it == m_names.end() ? nullptr : &*it;
}

UCHAR NetbiosAdapter::NextNumberLocked() {
  // Numbers go round, so a number just given up is not handed out again at once.
  for (;;) {
    const UCHAR candidate = m_nextNumber;
    m_nextNumber = candidate == kLastNumber ? kFirstNumber : static_cast<UCHAR>(candidate + 1);
    if (FindNumberLocked(candidate) == nullptr) return candidate;
  }
}

void NetbiosAdapter::CompleteLocked(PendingList::iterator it, UCHAR code, Completions* done) {
  std::shared_ptr<Pending> pending = *it;
  m_pending.erase(it);
  if (pending->async) {
    done->push_back({pending->ncb, code, pending->ncb->ncb_event, pending->ncb->ncb_post});
  } else {
    pending->done = true;
    pending->result = code;
    m_changed.notify_all();
  }
}

void NetbiosAdapter::AbortLocked(PendingList::iterator it, UCHAR code, Completions* done) {
  (*it)->ncb->ncb_length = 0;
  CompleteLocked(it, code, done);
}

void NetbiosAdapter::DeliverToNumberLocked(UCHAR number, const NetbiosName& from,
                                           std::span<const std::uint8_t> payload, Completions* done) {
  auto it = std::find_if(m_pending.begin(), m_pending.end(), [&](const std::shared_ptr<Pending>& p) {
    return p->number == number || p->number == kAnyName;
  });
  if (it == m_pending.end()) return;  // nobody listens: the datagram is lost
  Pending& pending = **it;
  NCB* ncb = pending.ncb;
  const std::size_t length = std::min<std::size_t>(payload.size(), pending.capacity);
  if (length > 0) std::memcpy(ncb->ncb_buffer, payload.data(), length);
  ncb->ncb_length = static_cast<WORD>(length);
  std::memcpy(ncb->ncb_callname, from.data(), from.size());
  ncb->ncb_num = number;
  CompleteLocked(it, payload.size() > pending.capacity ? NRC_INCOMP : NRC_GOODRET, done);
}

void NetbiosAdapter::DeliverLocked(const NetbiosName& to, const NetbiosName& from,
                                   std::span<const std::uint8_t> payload, Completions* done) {
  if (to[0] == '*') {
    std::vector<UCHAR> numbers;
    for (const Name& name : m_names) {
      if (name.registered) numbers.push_back(name.number);
    }
    for (UCHAR number : numbers) DeliverToNumberLocked(number, from, payload, done);
    return;
  }
  Name* name = FindLocked(to);
  if (name != nullptr && name->registered) DeliverToNumberLocked(name->number, from, payload, done);
}

bool NetbiosAdapter::SendFrame(const NetbiosFrame& frame, bool noWait) {
  std::shared_ptr<SegmentReceiver> receiver;
  {
    std::lock_guard guard(m_lock);
    receiver = m_receiver;
  }
  return receiver && receiver->Link().Send(EncodeNetbiosFrame(frame), noWait) == 0;
}

void NetbiosAdapter::HandleFrame(std::span<const std::uint8_t> bytes) {
  std::optional<NetbiosFrame> frame = DecodeNetbiosFrame(bytes);
  // Our own frames come back from the segment; what they carried was done locally.
  if (!frame || frame->station == m_station) return;
  Completions done;
  bool object = false;
  {
    std::lock_guard guard(m_lock);
    Name* name = FindLocked(frame->name);
    switch (frame->kind) {
      case FrameKind::Claim:
        // A group name may have many holders; a unique one only one.
        object = name != nullptr && !(frame->group && name->group);
        break;
      case FrameKind::Objection:
        if (frame->claimant == m_station && name != nullptr && !name->registered) {
          name->objected = true;
          m_changed.notify_all();
        }
        break;
      case FrameKind::Datagram:
        DeliverLocked(frame->name, frame->source, frame->payload, &done);
        break;
    }
  }
  if (object) {
    NetbiosFrame objection;
    objection.kind = FrameKind::Objection;
    objection.station = m_station;
    objection.name = frame->name;
    objection.claimant = frame->station;
    // Never blocks the receiver: the claim is repeated if this one is lost.
    SendFrame(objection, true);
  }
  Finish(done);
}

UCHAR NetbiosAdapter::Reset(NCB* ncb) {
  const std::optional<Ipv4Endpoint> segment = NetbiosSegmentEndpoint(m_lana);
  Completions done;
  std::shared_ptr<SegmentReceiver> retired;
  UCHAR code = NRC_GOODRET;
  {
    std::lock_guard guard(m_lock);
    while (!m_pending.empty()) AbortLocked(m_pending.begin(), NRC_CMDCAN, &done);
    m_names.clear();  // claims under way find their entry gone
    m_changed.notify_all();
    const std::size_t names = ncb->ncb_callname[2];
    m_maxNames = names == 0 ? kDefaultNames : std::min(names, kMostNames);
    if (!segment || !m_receiver || m_receiver->Link().Segment() != *segment) {
      retired = std::move(m_receiver);
      m_reset = false;
      DWORD error = 0;
      std::unique_ptr<SegmentLink> link = segment ? SegmentLink::Open(*segment, &error) : nullptr;
      if (link) {
        m_receiver = std::make_shared<SegmentReceiver>(
            std::move(link), [this](std::span<const std::uint8_t> frame) { HandleFrame(frame); });
      } else {
        code = NRC_SYSTEM;
      }
    }
    if (code == NRC_GOODRET) m_reset = true;
  }
  if (retired) retired->Stop();
  Finish(done);
  return code;
}

UCHAR NetbiosAdapter::AddName(NCB* ncb, bool group) {
  const NetbiosName name = NameOf(ncb->ncb_name);
  if (!IsUsableName(name)) return NRC_NOWILD;
  std::uint64_t claim = 0;
  {
    std::lock_guard guard(m_lock);
    if (!m_reset) return NRC_ENVNOTDEF;
    if (FindLocked(name) != nullptr) return NRC_DUPNAME;
    if (m_names.size() >= m_maxNames) return NRC_NAMTFUL;
    claim = m_nextClaim++;
    Name entry;
    entry.name = name;
    entry.group = group;
    entry.claim = claim;
    m_names.push_back(entry);
  }

  NetbiosFrame frame;
  frame.kind = FrameKind::Claim;
  frame.station = m_station;
  frame.name = name;
  frame.group = group;
  const auto period = std::chrono::milliseconds(NetbiosClaimPeriodMs());
  const auto start = std::chrono::steady_clock::now();
  std::unique_lock lock(m_lock);
  for (int round = 1; round <= kClaimRepeats; ++round) {
    lock.unlock();
    SendFrame(frame, false);
    lock.lock();
    const auto until = start + period * round / kClaimRepeats;
    const bool ended = m_changed.wait_until(lock, until, [&] {
      const Name* entry = FindClaimLocked(claim);
      return entry == nullptr || entry->objected;
    });
    if (ended) break;
  }
  Name* entry = FindClaimLocked(claim);
  if (entry == nullptr) return NRC_CMDCAN;  // a reset took it
  if (entry->objected) {
    m_names.erase(m_names.begin() + (entry - m_names.data()));
    return NRC_INUSE;
  }
  entry->registered = true;
  entry->number = NextNumberLocked();
  ncb->ncb_num = entry->number;
  return NRC_GOODRET;
}

UCHAR NetbiosAdapter::DeleteName(NCB* ncb) {
  const NetbiosName name = NameOf(ncb->ncb_name);
  Completions done;
  {
    std::lock_guard guard(m_lock);
    if (!m_reset) return NRC_ENVNOTDEF;
    Name* entry = FindLocked(name);
    if (entry == nullptr || !entry->registered) return NRC_NOWILD;
    const UCHAR number = entry->number;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
      auto next = std::next(it);
      if ((*it)->number == number) AbortLocked(it, NRC_NAMERR, &done);
      it = next;
    }
    m_names.erase(m_names.begin() + (entry - m_names.data()));
  }
  Finish(done);
  return NRC_GOODRET;
}

UCHAR NetbiosAdapter::SendDatagram(NCB* ncb) {
  if (ncb->ncb_length > kNetbiosMaxDatagram || (ncb->ncb_length > 0 && ncb->ncb_buffer == nullptr))
    return NRC_BUFLEN;
  NetbiosFrame frame;
  frame.kind = FrameKind::Datagram;
  frame.station = m_station;
  frame.name = NameOf(ncb->ncb_callname);
  if (frame.name[0] == 0) return NRC_NOWILD;
  frame.payload.assign(ncb->ncb_buffer, ncb->ncb_buffer + ncb->ncb_length);
  Completions done;
  {
    std::lock_guard guard(m_lock);
    if (!m_reset) return NRC_ENVNOTDEF;
    const Name* source = FindNumberLocked(ncb->ncb_num);
    if (source == nullptr) return NRC_ILLNN;
    frame.source = source->name;
    // Our own names hear it at once; the copy that comes back from the segment is
    // dropped as our own.
    DeliverLocked(frame.name, frame.source, frame.payload, &done);
  }
  Finish(done);
  return SendFrame(frame, false) ? NRC_GOODRET : NRC_SYSTEM;
}

UCHAR NetbiosAdapter::ReceiveDatagram(NCB* ncb, bool async) {
  if (ncb->ncb_length > 0 && ncb->ncb_buffer == nullptr) return NRC_BUFLEN;
  std::unique_lock lock(m_lock);
  if (!m_reset) return NRC_ENVNOTDEF;
  if (ncb->ncb_num != kAnyName && FindNumberLocked(ncb->ncb_num) == nullptr) return NRC_ILLNN;
  for (const auto& pending : m_pending) {
    if (pending->ncb == ncb) return NRC_TOOMANY;  // issued again before it completed
  }
  auto pending = std::make_shared<Pending>();
  pending->ncb = ncb;
  pending->number = ncb->ncb_num;
  pending->capacity = ncb->ncb_length;
  pending->async = async;
  if (async) {
    ncb->ncb_retcode = NRC_PENDING;
    ncb->ncb_cmd_cplt = NRC_PENDING;
    if (ncb->ncb_event != nullptr) ResetEvent(ncb->ncb_event);
  }
  m_pending.push_back(pending);
  if (async) return NRC_PENDING;
  m_changed.wait(lock, [&] { return pending->done; });
  return pending->result;
}

UCHAR NetbiosAdapter::Cancel(NCB* ncb) {
  NCB* target = reinterpret_cast<NCB*>(ncb->ncb_buffer);
  if (target == nullptr) return NRC_INVADDRESS;
  Completions done;
  {
    std::lock_guard guard(m_lock);
    if (!m_reset) return NRC_ENVNOTDEF;
    auto it = std::find_if(m_pending.begin(), m_pending.end(),
                           [&](const std::shared_ptr<Pending>& p) { return p->ncb == target; });
    if (it == m_pending.end()) return Uncancellable(target->ncb_command) ? NRC_CANCEL : NRC_CANOCCR;
    AbortLocked(it, NRC_CMDCAN, &done);
  }
  Finish(done);
  return NRC_GOODRET;
}

UCHAR NetbiosAdapter::Status(NCB* ncb) {
  if (ncb->ncb_buffer == nullptr || ncb->ncb_length == 0) return NRC_BUFLEN;
  // Only the local adapter answers: there is no one to ask about another.
  if (ncb->ncb_callname[0] != '*') return NRC_CMDTMO;
  std::vector<std::uint8_t> status;
  {
    std::lock_guard guard(m_lock);
    if (!m_reset) return NRC_ENVNOTDEF;
    ADAPTER_STATUS adapter{};
    adapter.adapter_address[0] = 0x02;  // locally administered
    std::copy_n(m_station.begin(), 5, adapter.adapter_address + 1);
    adapter.rev_major = 3;
    adapter.adapter_type = 0xFE;
    adapter.max_cfg_ncbs = kMaxNcbs;
    adapter.max_ncbs = kMaxNcbs;
    adapter.free_ncbs = static_cast<WORD>(m_pending.size() >= kMaxNcbs ? 0 : kMaxNcbs - m_pending.size());
    adapter.max_dgram_size = static_cast<WORD>(kNetbiosMaxDatagram);
    adapter.name_count = static_cast<WORD>(m_names.size());
    status.resize(sizeof(adapter) + m_names.size() * sizeof(NAME_BUFFER));
    std::memcpy(status.data(), &adapter, sizeof(adapter));
    std::size_t offset = sizeof(adapter);
    for (const Name& name : m_names) {
      NAME_BUFFER entry{};
      std::memcpy(entry.name, name.name.data(), NCBNAMSZ);
      entry.name_num = name.number;
      entry.name_flags = static_cast<UCHAR>((name.registered ? REGISTERED : REGISTERING) |
                                            (name.group ? GROUP_NAME : UNIQUE_NAME));
      std::memcpy(status.data() + offset, &entry, sizeof(entry));
      offset += sizeof(entry);
    }
  }
  const std::size_t length = std::min<std::size_t>(status.size(), ncb->ncb_length);
  std::memcpy(ncb->ncb_buffer, status.data(), length);
  ncb->ncb_length = static_cast<WORD>(length);
  return length < status.size() ? NRC_INCOMP : NRC_GOODRET;
}

std::size_t NetbiosAdapter::PendingCount() {
  std::lock_guard guard(m_lock);
  return m_pending.size();
}

}  // namespace vek::net
