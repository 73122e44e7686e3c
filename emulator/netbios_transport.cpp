#include "emulator/netbios_transport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <type_traits>

#include "kernel/clock.h"

namespace vek::emu {
namespace {

// How long Close waits for receives to come back from the layer.
constexpr int kStopWaitMs = 2000;

std::string Code(UCHAR code) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%02X", code);
  return text;
}

NCB Block(UCHAR command, int lana) {
  NCB ncb{};
  ncb.ncb_command = command;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  return ncb;
}

UCHAR AddName(UCHAR command, int lana, const std::string& name, UCHAR* number) {
  NCB ncb = Block(command, lana);
  const auto padded = PaddedNetbiosName(name);
  std::memcpy(ncb.ncb_name, padded.data(), NCBNAMSZ);
  const UCHAR code = Netbios(&ncb);
  *number = ncb.ncb_num;
  return code;
}

void DeleteName(int lana, const std::string& name) {
  NCB ncb = Block(NCBDELNAME, lana);
  const auto padded = PaddedNetbiosName(name);
  std::memcpy(ncb.ncb_name, padded.data(), NCBNAMSZ);
  Netbios(&ncb);
}

bool Pending(NCB& ncb) { return std::atomic_ref<UCHAR>(ncb.ncb_cmd_cplt).load() == NRC_PENDING; }

}  // namespace

std::array<std::uint8_t, 16> PaddedNetbiosName(const std::string& name) {
  std::array<std::uint8_t, 16> padded;
  padded.fill(' ');
  std::copy_n(name.begin(), std::min<std::size_t>(name.size(), 16), padded.begin());
  return padded;
}

NetbiosTransport::NetbiosTransport(std::vector<std::unique_ptr<Device>>& devices, std::vector<int> lanas)
    : m_devices(devices), m_lanaNumbers(std::move(lanas)) {}

NetbiosTransport::~NetbiosTransport() { Close(); }

bool NetbiosTransport::Open(std::string* message, int* error) {
  static_assert(std::is_standard_layout_v<Slot>, "the post routine finds its slot from the NCB");
  m_stopping = false;
  m_workerStop = false;
  std::vector<std::size_t> devices;
  for (std::size_t i = 0; i < m_devices.size(); i++)
    if (m_devices[i]->Config().transports.netbios) devices.push_back(i);
  const auto fail = [&](const std::string& why, UCHAR code) {
    *message = why + " (NetBIOS " + Code(code) + ")";
    *error = code;
    Close();
    return false;
  };
  for (int number : m_lanaNumbers) {
    Lana lana;
    lana.lana = number;
    UCHAR code = AddName(NCBADDGRNAME, number, kDiscoveryGroupName, &lana.group);
    if (code == NRC_ENVNOTDEF) {
      NCB reset = Block(NCBRESET, number);
      reset.ncb_callname[0] = 254;  // sessions
      reset.ncb_callname[2] = static_cast<UCHAR>(std::min<std::size_t>(253, devices.size() + 16));
      reset.ncb_callname[3] = 1;
      if (UCHAR r = Netbios(&reset); r != NRC_GOODRET) return fail("reset of LANA " + std::to_string(number), r);
      code = AddName(NCBADDGRNAME, number, kDiscoveryGroupName, &lana.group);
    }
    if (code != NRC_GOODRET)
      return fail("group name \"" + std::string(kDiscoveryGroupName) + "\" on LANA " + std::to_string(number), code);
    m_lanas.push_back(lana);
    // Each claim waits out the claim period: all at once.
    std::vector<std::future<std::pair<UCHAR, UCHAR>>> claims;
    for (std::size_t device : devices) {
      const std::string name = NetbiosNameOf(m_devices[device]->Config());
      claims.push_back(std::async(std::launch::async, [number, name] {
        UCHAR n = 0;
        const UCHAR c = AddName(NCBADDNAME, number, name, &n);
        return std::make_pair(c, n);
      }));
    }
    std::string failure;
    UCHAR failureCode = 0;
    for (std::size_t k = 0; k < devices.size(); k++) {
      const auto [c, n] = claims[k].get();
      if (c == NRC_GOODRET) m_lanas.back().names[devices[k]] = n;
      else if (failure.empty()) {
        failure = "device " + FormatMac(m_devices[devices[k]]->Config().mac) + ": NetBIOS name \"" +
                  NetbiosNameOf(m_devices[devices[k]]->Config()) + "\" on LANA " + std::to_string(number) +
                  (c == NRC_INUSE ? " is in use on the segment" : " could not be added");
        failureCode = c;
      }
    }
    if (!failure.empty()) return fail(failure, failureCode);
  }
  for (const Lana& lana : m_lanas) {
    std::vector<std::pair<std::size_t, UCHAR>> names(lana.names.begin(), lana.names.end());
    names.push_back({kAllDevices, lana.group});
    for (const auto& [device, number] : names) {
      for (int k = 0; k < kReceivesPerName; k++) {
        auto slot = std::make_unique<Slot>();
        std::memset(&slot->ncb, 0, sizeof(slot->ncb));
        slot->owner = this;
        slot->lana = lana.lana;
        slot->number = number;
        slot->device = device;
        m_slots.push_back(std::move(slot));
      }
    }
  }
  return true;
}

void NetbiosTransport::Run(Sink sink) {
  m_sink = std::move(sink);
  m_worker = std::thread([this] { Work(); });
  for (auto& slot : m_slots) Arm(slot.get());
}

bool NetbiosTransport::Arm(Slot* slot) {
  NCB& ncb = slot->ncb;
  std::memset(&ncb, 0, sizeof(ncb));
  ncb.ncb_command = NCBDGRECV | ASYNCH;
  ncb.ncb_lana_num = static_cast<UCHAR>(slot->lana);
  ncb.ncb_num = slot->number;
  ncb.ncb_buffer = slot->buffer;
  ncb.ncb_length = static_cast<WORD>(kBuffer);
  ncb.ncb_post = &NetbiosTransport::Posted;
  return Netbios(&ncb) == NRC_GOODRET;
}

void NetbiosTransport::Posted(NCB* ncb) {
  Slot* slot = reinterpret_cast<Slot*>(ncb);
  slot->owner->Completed(slot);
}

void NetbiosTransport::Completed(Slot* slot) {
  m_inPost++;
  const UCHAR code = slot->ncb.ncb_retcode;
  if (code == NRC_GOODRET) {
    Received r;
    r.lana = slot->lana;
    r.device = slot->device;
    std::copy_n(slot->ncb.ncb_callname, NCBNAMSZ, r.from.begin());
    r.bytes.assign(slot->buffer, slot->buffer + std::min<std::size_t>(slot->ncb.ncb_length, kBuffer));
    {
      std::lock_guard guard(m_queueLock);
      m_queue.push_back(std::move(r));
    }
    m_queued.notify_one();
  }
  // Cancelled, or the name went: that receive is over. A datagram cut to the
  // buffer is dropped, but the receive goes on.
  if ((code == NRC_GOODRET || code == NRC_INCOMP) && !m_stopping) Arm(slot);
  m_inPost--;
}

void NetbiosTransport::Work() {
  std::unique_lock lock(m_queueLock);
  while (true) {
    m_queued.wait(lock, [&] { return m_workerStop || !m_queue.empty(); });
    if (m_workerStop) return;
    Received r = std::move(m_queue.front());
    m_queue.pop_front();
    lock.unlock();
    Inbound in;
    in.from = NetbiosPeer(r.lana, r.from);
    in.bytes = r.bytes;
    in.broadcast = r.device == kAllDevices;
    m_sink(r.device, in);
    lock.lock();
  }
}

void NetbiosTransport::StopReceives() {
  m_stopping = true;
  const auto settle = [&] {
    for (int waited = 0; m_inPost.load() != 0 && waited < kStopWaitMs; waited++) ::Sleep(1);
  };
  // A completion that saw no stop may be arming again: let it finish first.
  settle();
  for (auto& slot : m_slots) {
    if (!Pending(slot->ncb)) continue;
    NCB cancel = Block(NCBCANCEL, slot->lana);
    cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&slot->ncb);
    Netbios(&cancel);
  }
  settle();
  for (int waited = 0; waited < kStopWaitMs; waited++) {
    if (std::none_of(m_slots.begin(), m_slots.end(), [](const std::unique_ptr<Slot>& s) { return Pending(s->ncb); }))
      break;
    ::Sleep(1);
  }
}

void NetbiosTransport::RemoveNames() {
  for (const Lana& lana : m_lanas) {
    for (const auto& [device, number] : lana.names) DeleteName(lana.lana, NetbiosNameOf(m_devices[device]->Config()));
    DeleteName(lana.lana, kDiscoveryGroupName);
  }
  m_lanas.clear();
}

void NetbiosTransport::Close() {
  StopReceives();
  if (m_worker.joinable()) {
    {
      std::lock_guard guard(m_queueLock);
      m_workerStop = true;
    }
    m_queued.notify_all();
    m_worker.join();
  }
  m_queue.clear();
  RemoveNames();
  m_slots.clear();
}

bool NetbiosTransport::Send(std::size_t device, Via via, const Peer& to, std::span<const std::uint8_t> bytes) {
  const auto lana = std::find_if(m_lanas.begin(), m_lanas.end(), [&](const Lana& l) { return l.lana == to.lana; });
  if (lana == m_lanas.end() || bytes.size() > kBuffer) return false;
  UCHAR number = lana->group;
  if (via != Via::Stray) {
    auto name = lana->names.find(device);
    if (name == lana->names.end()) return false;
    number = name->second;
  }
  NCB ncb = Block(NCBDGSEND, to.lana);
  ncb.ncb_num = number;
  std::vector<UCHAR> data(bytes.begin(), bytes.end());
  ncb.ncb_buffer = data.data();
  ncb.ncb_length = static_cast<WORD>(data.size());
  std::memcpy(ncb.ncb_callname, to.name.data(), NCBNAMSZ);
  return Netbios(&ncb) == NRC_GOODRET;
}

std::string NetbiosTransport::Describe(std::size_t device) const {
  std::string lanas;
  for (const Lana& lana : m_lanas)
    if (lana.names.count(device)) lanas += (lanas.empty() ? "" : ",") + std::to_string(lana.lana);
  if (lanas.empty()) return "";
  return "netbios \"" + NetbiosNameOf(m_devices[device]->Config()) + "\" on LANA " + lanas;
}

}  // namespace vek::emu
