// One LANA as this process sees it: its station on the LANA's segment, the names it
// holds there, and the receives pending on them. The commands of net/netbios.h,
// with the LANA already checked; each returns its NRC code.
//
// Thread-safe. Frames arrive on the segment receiver's thread; asynchronous NCBs
// complete (event, post routine) on whichever thread completed them, outside the
// adapter's lock, so a post routine may issue NCBs of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "kernel/types.h"
#include "net/netbios.h"
#include "net/netbios_frame.h"
#include "net/segment_receiver.h"

namespace vek::net {

class NetbiosAdapter {
 public:
  NetbiosAdapter(int lana, const StationId& station) : m_lana(lana), m_station(station) {}
  NetbiosAdapter(const NetbiosAdapter&) = delete;
  NetbiosAdapter& operator=(const NetbiosAdapter&) = delete;

  UCHAR Reset(NCB* ncb);
  UCHAR AddName(NCB* ncb, bool group);
  UCHAR DeleteName(NCB* ncb);
  UCHAR SendDatagram(NCB* ncb);
  // Asynchronous: NRC_PENDING once armed (the NCB then belongs to the adapter).
  // Synchronous: waits for the datagram or a cancel and returns the result.
  UCHAR ReceiveDatagram(NCB* ncb, bool async);
  UCHAR Cancel(NCB* ncb);
  UCHAR Status(NCB* ncb);

  std::size_t PendingCount();

 private:
  struct Name {
    NetbiosName name;
    bool group = false;
    bool registered = false;  // else still being claimed
    UCHAR number = 0;         // once registered
    std::uint64_t claim = 0;  // which claim made the entry
    bool objected = false;
  };
  struct Pending {
    NCB* ncb = nullptr;
    UCHAR number = 0;  // the name received on, or kAnyName
    WORD capacity = 0;
    bool async = false;
    bool done = false;  // synchronous: completed, with result
    UCHAR result = 0;
  };
  // An asynchronous completion, finished after the lock is released.
  struct Finished {
    NCB* ncb;
    UCHAR code;
    HANDLE event;
    void (*post)(NCB*);
  };
  using PendingList = std::list<std::shared_ptr<Pending>>;
  using Completions = std::vector<Finished>;

  static void Finish(const Completions& done);

  void HandleFrame(std::span<const std::uint8_t> bytes);
  // Sends on the current link; false when there is none or the send failed.
  bool SendFrame(const NetbiosFrame& frame, bool noWait);

  // With m_lock held.
  Name* FindLocked(const NetbiosName& name);
  Name* FindClaimLocked(std::uint64_t claim);
  Name* FindNumberLocked(UCHAR number);
  UCHAR NextNumberLocked();
  void DeliverLocked(const NetbiosName& to, const NetbiosName& from, std::span<const std::uint8_t> payload,
                     Completions* done);
  void DeliverToNumberLocked(UCHAR number, const NetbiosName& from, std::span<const std::uint8_t> payload,
                             Completions* done);
  // Takes the NCB out of the pending list and completes it with code.
  void CompleteLocked(PendingList::iterator it, UCHAR code, Completions* done);
  // Completes it with code and no data.
  void AbortLocked(PendingList::iterator it, UCHAR code, Completions* done);

  const int m_lana;
  const StationId m_station;
  std::mutex m_lock;
  std::condition_variable m_changed;  // a claim objected or ended, a receive completed
  bool m_reset = false;
  std::size_t m_maxNames = 16;
  std::shared_ptr<SegmentReceiver> m_receiver;
  std::vector<Name> m_names;
  PendingList m_pending;  // in the order the receives were issued
  std::uint64_t m_nextClaim = 1;
  UCHAR m_nextNumber = 2;
};

}  // namespace vek::net
