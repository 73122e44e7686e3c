// The joiner of multi-part replies and the reply handling of both discovery
// threads, fed with datagrams directly: order, a slot emptied after each reply, a
// lost part dropping its reply, parts that do not fit, the MAC prefix, the
// capability filter, the address rule and the locate thread's first answer.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/discovery.h"
#include "protocol/print_server_list.h"
#include "protocol/shared_settings.h"
#include "reply_vectors.h"

namespace {

using Bytes = std::vector<BYTE>;
using vek::test::MakeFullReply;

// The reply cut into numbered parts of at most size data bytes, in the device's
// layout: "NET", type, 0xA4, flag, part, last, length, MAC, data; numbered from
// base.
std::vector<Bytes> Parts(const Bytes& reply, std::size_t size, int base = 1) {
  std::vector<Bytes> parts;
  const std::size_t data = reply.size() - 6;
  const std::size_t count = (data + size - 1) / size;
  for (std::size_t i = 0; i < count; i++) {
    const std::size_t n = std::min(size, data - i * size);
    Bytes p = {'N', 'E', 'T', 0, 0xA4, 0, static_cast<BYTE>(i + base), static_cast<BYTE>(count - 1 + base),
               static_cast<BYTE>(n & 0xFF), static_cast<BYTE>(n >> 8)};
    p.insert(p.end(), reply.begin() + 6, reply.begin() + 12);
    p.insert(p.end(), reply.begin() + 6 + static_cast<std::ptrdiff_t>(i * size),
             reply.begin() + 6 + static_cast<std::ptrdiff_t>(i * size + n));
    parts.push_back(p);
  }
  return parts;
}

Bytes Expected(const Bytes& reply) {
  Bytes joined = {'N', 'E', 'T', 0, 0xA4, 0};
  joined.insert(joined.end(), reply.begin() + 6, reply.end());
  return joined;
}

int Add(XReplyJoiner& joiner, const Bytes& part, Bytes* joined = nullptr) {
  const BYTE* reply = nullptr;
  int length = 0;
  const int result = joiner.AddPart(part.data(), static_cast<int>(part.size()), &reply, &length);
  if (joined) joined->assign(reply, reply + (reply ? length : 0));
  return result;
}

Bytes DeviceReply(BYTE last) {
  Bytes reply = MakeFullReply().bytes;
  reply[11] = last;
  return reply;
}

TEST(ReplyJoiner, JoinsInOrderAndStartsAfreshAfterEachReply) {
  auto joiner = std::make_unique<XReplyJoiner>();
  const Bytes reply = DeviceReply(1);
  // Devices number their parts from 1 or from 0: both join the same way.
  for (int base : {1, 0}) {
    const std::vector<Bytes> parts = Parts(reply, 200, base);
    ASSERT_GE(parts.size(), 3u);
    for (int round = 0; round < 2; round++) {
      Bytes joined;
      for (std::size_t i = 0; i + 1 < parts.size(); i++) EXPECT_EQ(Add(*joiner, parts[i]), PS_PART_STORED);
      ASSERT_EQ(Add(*joiner, parts.back(), &joined), PS_PART_COMPLETE) << "numbered from " << base;
      EXPECT_EQ(joined, Expected(reply)) << "round " << round << ": the same reply joins the same way again";
      EXPECT_EQ(joiner->m_SlotLength[0], 0) << "the slot is emptied once its reply is complete";
    }
  }
  // A one-part reply completes at once, numbered 1 of 1 or 0 of 0.
  for (int base : {1, 0}) {
    const std::vector<Bytes> whole = Parts(DeviceReply(2), 2000, base);
    ASSERT_EQ(whole.size(), 1u);
    Bytes joined;
    EXPECT_EQ(Add(*joiner, whole[0], &joined), PS_PART_COMPLETE);
    EXPECT_EQ(joined, Expected(DeviceReply(2)));
    EXPECT_EQ(joiner->FindSlot(whole[0].data() + 10), 1);
  }
}

TEST(ReplyJoiner, ALostOrStrayPartDropsTheReplyInAssembly) {
  auto joiner = std::make_unique<XReplyJoiner>();
  const Bytes reply = DeviceReply(3);
  for (int base : {1, 0}) {
    const std::vector<Bytes> parts = Parts(reply, 200, base);
    // The middle part is lost: the rest never completes a reply.
    EXPECT_EQ(Add(*joiner, parts[0]), PS_PART_STORED);
    for (std::size_t i = 2; i < parts.size(); i++) EXPECT_EQ(Add(*joiner, parts[i]), PS_PART_DROPPED) << i;
    // A later part without its first cannot start a reply, whatever its number.
    EXPECT_EQ(Add(*joiner, parts[1]), PS_PART_DROPPED);
    EXPECT_EQ(Add(*joiner, parts[0]), PS_PART_STORED);
    EXPECT_EQ(Add(*joiner, parts[0]), PS_PART_STORED) << "a first part starts the reply again";
    EXPECT_EQ(Add(*joiner, parts[2]), PS_PART_DROPPED);
    // Reordered parts drop the reply; the device's next round joins correctly.
    Add(*joiner, parts[0]);
    EXPECT_EQ(Add(*joiner, parts[2]), PS_PART_DROPPED);
    EXPECT_EQ(Add(*joiner, parts[1]), PS_PART_DROPPED);
    Bytes joined;
    for (std::size_t i = 0; i < parts.size(); i++) Add(*joiner, parts[i], &joined);
    EXPECT_EQ(joined, Expected(reply));
    // A part that arrives twice is taken once; a different part under the same
    // number drops the reply.
    joined.clear();
    for (std::size_t i = 0; i < parts.size(); i++) {
      if (i == 1) {
        EXPECT_EQ(Add(*joiner, parts[i]), PS_PART_STORED);
      }
      Add(*joiner, parts[i], &joined);
    }
    EXPECT_EQ(joined, Expected(reply)) << "numbered from " << base;
    Add(*joiner, parts[0]);
    Add(*joiner, parts[1]);
    Bytes changed = parts[1];
    changed.back() ^= 0x01;
    EXPECT_EQ(Add(*joiner, changed), PS_PART_DROPPED);
    EXPECT_EQ(Add(*joiner, parts[2]), PS_PART_DROPPED);
    // A part whose last-part number disagrees with the first's.
    Add(*joiner, parts[0]);
    Bytes other = parts[1];
    other[7] = static_cast<BYTE>(other[7] + 1);
    EXPECT_EQ(Add(*joiner, other), PS_PART_DROPPED);
  }
}

TEST(ReplyJoiner, PartsThatDoNotFitAreDropped) {
  auto joiner = std::make_unique<XReplyJoiner>();
  Bytes part = Parts(DeviceReply(4), 100)[0];
  // Shorter than a part's header, and a data length past the datagram.
  EXPECT_EQ(Add(*joiner, Bytes(part.begin(), part.begin() + 15)), PS_PART_DROPPED);
  Bytes longer = part;
  longer[8] = static_cast<BYTE>(longer[8] + 1);
  EXPECT_EQ(Add(*joiner, longer), PS_PART_DROPPED);
  // A part number above the last.
  Bytes above = part;
  above[6] = static_cast<BYTE>(above[7] + 1);
  EXPECT_EQ(Add(*joiner, above), PS_PART_DROPPED);
  // Parts of 1284 bytes run past the slot's 6494 data bytes at the sixth.
  Bytes big(PS_PART_HEADER_LENGTH + 1284, 0x41);
  std::memcpy(big.data(), "NET\0\xA4\0", 6);
  big[7] = 9;
  big[8] = 1284 & 0xFF;
  big[9] = 1284 >> 8;
  std::memcpy(big.data() + 10, part.data() + 10, 6);
  for (int k = 1; k <= 5; k++) {
    big[6] = static_cast<BYTE>(k);
    // The first part opens the reply with the MAC.
    if (k == 1) std::memcpy(big.data() + PS_PART_HEADER_LENGTH, part.data() + 10, 6);
    else std::memset(big.data() + PS_PART_HEADER_LENGTH, 0x41, 6);
    EXPECT_EQ(Add(*joiner, big), PS_PART_STORED) << k;
  }
  big[6] = 6;
  EXPECT_EQ(Add(*joiner, big), PS_PART_DROPPED);
  EXPECT_EQ(joiner->m_SlotLength[joiner->FindSlot(part.data() + 10)], 0);
}

// Only the maker's devices get slots, and only for an opening part. With every
// slot held by an unfinished reply (strangers that never go on), a new opening
// takes the place of the one that opened first, and its reply completes.
TEST(ReplyJoiner, OnlyOpeningsOfTheMakersDevicesGetSlotsAndANewOneTakesTheOldestUnfinished) {
  auto joiner = std::make_unique<XReplyJoiner>();
  Bytes foreign = Parts(DeviceReply(5), 2000)[0];
  foreign[10] = 0x00;
  EXPECT_EQ(Add(*joiner, foreign), PS_PART_DROPPED);
  EXPECT_EQ(joiner->m_SlotIndex[0], PS_SLOT_FREE);
  EXPECT_EQ(Add(*joiner, Parts(DeviceReply(6), 300)[1]), PS_PART_DROPPED);
  EXPECT_EQ(joiner->m_SlotIndex[0], PS_SLOT_FREE) << "a part that opens nothing takes no slot";

  for (int i = 0; i < PS_SLOT_COUNT; i++) {
    Bytes first = Parts(DeviceReply(static_cast<BYTE>(i)), 300)[0];
    EXPECT_EQ(Add(*joiner, first), PS_PART_STORED);
  }
  const Bytes real = DeviceReply(200);
  const std::vector<Bytes> parts = Parts(real, 300);
  Bytes joined;
  for (const Bytes& part : parts) Add(*joiner, part, &joined);
  EXPECT_EQ(joined, Expected(real)) << "the reply of a device that came after 64 others";
  EXPECT_EQ(joiner->FindSlot(Parts(DeviceReply(0), 300)[0].data() + 10), -1) << "the first opened lost its slot";
  EXPECT_GE(joiner->FindSlot(Parts(DeviceReply(1), 300)[0].data() + 10), 0);

  // Its slot holds no reply now: the next newcomer takes it before any reply
  // in assembly.
  const int slot = joiner->FindSlot(parts[0].data() + 10);
  EXPECT_EQ(Add(*joiner, Parts(DeviceReply(201), 300)[0]), PS_PART_STORED);
  EXPECT_EQ(joiner->FindSlot(Parts(DeviceReply(201), 300)[0].data() + 10), slot);
  EXPECT_GE(joiner->FindSlot(Parts(DeviceReply(1), 300)[0].data() + 10), 0);
}

// The search thread's reply handling, without starting the thread.
class SearchReplies : public testing::Test {
 protected:
  void SetUp() override {
    g_PrintServerList.DeleteAll();
    m_thread = std::make_unique<CUDPSearchPSThread>();
    m_thread->m_bAutoDelete = FALSE;
    From(127, 1, 2, 3);
  }
  void TearDown() override { g_PrintServerList.DeleteAll(); }

  void From(BYTE a, BYTE b, BYTE c, BYTE d) {
    const BYTE address[4] = {a, b, c, d};
    std::memcpy(&m_thread->m_Socket.m_FromAddress.sin_addr.s_addr, address, 4);
  }
  void Handle(const Bytes& datagram) { m_thread->HandleReply(datagram.data(), static_cast<int>(datagram.size())); }

  std::unique_ptr<CUDPSearchPSThread> m_thread;
};

TEST_F(SearchReplies, MultiPartAndSingleRepliesMakeOneRecordPerDevice) {
  const Bytes multi = DeviceReply(1);  // carries the security capability
  for (const Bytes& part : Parts(multi, 250)) Handle(part);
  ASSERT_EQ(g_PrintServerList.GetCount(), 1);
  CPrintServer* ps = FindPrintServer(multi.data() + 6);
  ASSERT_NE(ps, nullptr);
  EXPECT_EQ(ps->m_Transport, PS_TRANSPORT_UDP);
  EXPECT_EQ(Bytes(ps->m_IPAddress, ps->m_IPAddress + 4), (Bytes{127, 1, 2, 3}));
  EXPECT_EQ(Bytes(ps->m_pReply, ps->m_pReply + ps->m_ReplyLength), Expected(multi));
  // Its single reply is ignored (it is taken from the multi-part one), and its
  // next multi-part reply only marks it again.
  Bytes single = multi;
  single[4] = 0x84;
  Handle(single);
  for (const Bytes& part : Parts(multi, 250)) Handle(part);
  EXPECT_EQ(g_PrintServerList.GetCount(), 1);

  // A device without the capability is taken from its single reply; found late
  // (after cycle 5), it is reached by broadcast.
  Bytes plain = DeviceReply(2);
  plain[4] = 0x84;
  plain[67 + 2] &= static_cast<BYTE>(~(vek::test::Bit(20) >> 16));
  m_thread->m_Round = PS_LATE_ROUND + 1;
  Handle(plain);
  Handle(plain);
  ASSERT_EQ(g_PrintServerList.GetCount(), 2);
  CPrintServer* late = FindPrintServer(plain.data() + 6);
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(Bytes(late->m_IPAddress, late->m_IPAddress + 4), (Bytes{255, 255, 255, 255}));
}

TEST_F(SearchReplies, ForeignShortAndMismatchedRepliesAreIgnored) {
  Bytes foreign = DeviceReply(3);
  foreign[4] = 0x84;
  foreign[67 + 2] = 0;
  foreign[6] = 0x00;
  Handle(foreign);
  // A single reply too short to hold the capability word, and one too short for
  // a record.
  Bytes shortReply(foreign.begin(), foreign.begin() + 60);
  shortReply[6] = 0x02;
  Handle(Bytes(shortReply.begin(), shortReply.begin() + 20));
  Handle(Bytes{'N', 'E', 'T', 0, 0xA4});
  Handle(Bytes{'N', 'E', 'T', 0, 0x84});
  Handle(Bytes{});
  EXPECT_EQ(g_PrintServerList.GetCount(), 0);
  Handle(shortReply);
  EXPECT_EQ(g_PrintServerList.GetCount(), 1) << "a short reply without the capability word counts as single";

  // Parts whose joined reply names another device than their header.
  std::vector<Bytes> parts = Parts(DeviceReply(4), 250);
  parts[0][16 + 5] = 0x77;
  for (const Bytes& part : parts) Handle(part);
  EXPECT_EQ(g_PrintServerList.GetCount(), 1);
}

TEST(LocateReplies, TheChosenServersFirstAnswerGivesItsConfiguredAddress) {
  Bytes reply = DeviceReply(9);
  reply[4] = 0x84;
  std::memcpy(WizardSettings::m_ServerNodeID, reply.data() + 6, 6);
  auto thread = std::make_unique<CUDPSearchPSThread1>();
  thread->m_bAutoDelete = FALSE;
  EXPECT_EQ(WizardSettings::m_ServerFound, 0) << "the constructor clears it";
  Bytes other = reply;
  other[11] = 8;
  thread->HandleReply(other.data(), static_cast<int>(other.size()));
  Bytes part = reply;
  part[4] = 0xA4;
  thread->HandleReply(part.data(), static_cast<int>(part.size()));
  EXPECT_EQ(WizardSettings::m_ServerFound, 0);
  thread->HandleReply(reply.data(), static_cast<int>(reply.size()));
  EXPECT_EQ(WizardSettings::m_ServerFound, 1);
  EXPECT_EQ(Bytes(WizardSettings::m_ServerIPAddress, WizardSettings::m_ServerIPAddress + 4),
            Bytes(vek::test::full::kAddress, vek::test::full::kAddress + 4));
  reply[34] = 10;
  thread->HandleReply(reply.data(), static_cast<int>(reply.size()));
  EXPECT_EQ(WizardSettings::m_ServerIPAddress[0], vek::test::full::kAddress[0]) << "later answers change nothing";
}

}  // namespace
