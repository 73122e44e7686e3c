// The found-server list: lookup by MAC, order, ownership, growth.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "protocol/counted_memory.h"
#include "protocol/print_server_list.h"
#include "reply_vectors.h"

namespace {

CPrintServer* NewServer(BYTE last, bool withReply = false) {
  auto* ps = new CPrintServer;
  if (withReply) {
    vek::test::FullReply r = vek::test::MakeFullReply();
    r.bytes[11] = last;
    EXPECT_TRUE(ps->ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  } else {
    const BYTE mac[6] = {0x02, 0x4E, 0x57, 0x00, 0x00, last};
    std::memcpy(ps->m_NodeID, mac, 6);
  }
  return ps;
}

std::vector<BYTE> Mac(BYTE last) { return {0x02, 0x4E, 0x57, 0x00, 0x00, last}; }
std::vector<BYTE> ReplyMac(BYTE last) {
  std::vector<BYTE> mac(vek::test::full::kMac, vek::test::full::kMac + 6);
  mac[5] = last;
  return mac;
}

TEST(PrintServerList, EmptyListFindsNothing) {
  CPrintServerList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.FindPrintServer(Mac(1).data()), nullptr);
  EXPECT_EQ(list.FindPrintServer(nullptr), nullptr);
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  EXPECT_EQ(list.GetBlockSize(), 10);
}

TEST(PrintServerList, FindsEachRecordByItsMacInFoundOrder) {
  CPrintServerList list;
  CPrintServer* a = NewServer(1);
  CPrintServer* b = NewServer(2);
  CPrintServer* c = NewServer(3);
  list.AddTail(a);
  list.AddTail(b);
  list.AddTail(c);
  EXPECT_EQ(list.GetCount(), 3);
  POSITION pos = list.GetHeadPosition();
  EXPECT_EQ(list.GetNext(pos), a);
  EXPECT_EQ(list.GetNext(pos), b);
  EXPECT_EQ(list.GetNext(pos), c);
  EXPECT_EQ(pos, nullptr);
  EXPECT_EQ(list.FindPrintServer(Mac(2).data()), b);
  EXPECT_EQ(list.FindPrintServer(Mac(3).data()), c);
  EXPECT_EQ(list.FindPrintServer(Mac(4).data()), nullptr);
  std::vector<BYTE> other = Mac(1);
  other[0] = 0x03;
  EXPECT_EQ(list.FindPrintServer(other.data()), nullptr) << "all six bytes count";
  // The first record with the MAC wins.
  CPrintServer* again = NewServer(2);
  list.AddTail(again);
  EXPECT_EQ(list.FindPrintServer(Mac(2).data()), b);
  EXPECT_EQ(list.RemoveHead(), a);
  delete a;
  EXPECT_EQ(list.GetHead(), b);
}

TEST(PrintServerList, EmptyingDestroysEveryRecordAndItsCopy) {
  const LONG live = g_CountedBlocksLive;
  {
    CPrintServerList list;
    for (int i = 0; i < 25; i++) list.AddTail(NewServer(static_cast<BYTE>(i), true));
    EXPECT_EQ(list.GetCount(), 25) << "grows past its first block of 10";
    EXPECT_EQ(g_CountedBlocksLive, live + 25);
    EXPECT_NE(list.FindPrintServer(ReplyMac(24).data()), nullptr) << "the MAC comes from the reply";
    list.DeleteAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(g_CountedBlocksLive, live);
    list.AddTail(NewServer(1, true));
  }
  EXPECT_EQ(g_CountedBlocksLive, live) << "the list's destruction frees what is left";
}

TEST(PrintServerList, GlobalListAndItsLookup) {
  ASSERT_TRUE(g_PrintServerList.IsEmpty());
  CPrintServer* ps = NewServer(9);
  g_PrintServerList.AddTail(ps);
  EXPECT_EQ(FindPrintServer(Mac(9).data()), ps);
  EXPECT_EQ(FindPrintServer(Mac(8).data()), nullptr);
  g_PrintServerList.DeleteAll();
  EXPECT_EQ(FindPrintServer(Mac(9).data()), nullptr);
}

}  // namespace
