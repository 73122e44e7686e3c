// Ending pending receives: cancel, deleting the name, reset, and the way the
// monitor closes its socket; PendingNcbCount shows nothing is left behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "netbios_test_support.h"

namespace vek::net::test {
namespace {

class NetbiosCancelTest : public NetbiosTest {
 protected:
  void SetUp() override {
    NetbiosTest::SetUp();
    ASSERT_EQ(Reset(0), NRC_GOODRET);
    ASSERT_EQ(AddName(0, m_name, &m_number), NRC_GOODRET);
  }

  static NCB CancelOf(NCB* target) {
    NCB cancel = Block(NCBCANCEL, target->ncb_lana_num);
    cancel.ncb_buffer = reinterpret_cast<PUCHAR>(target);
    return cancel;
  }

  const std::string m_name = RandomName();
  UCHAR m_number = 0;
};

TEST_F(NetbiosCancelTest, CancelEndsAPendingReceive) {
  PendingReceive receive(0, m_number, 100);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  ASSERT_EQ(PendingNcbCount(), 1u);
  NCB cancel = CancelOf(&receive.ncb);
  EXPECT_EQ(Netbios(&cancel), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_CMDCAN);
  EXPECT_EQ(receive.ncb.ncb_retcode, NRC_CMDCAN);
  EXPECT_EQ(receive.ncb.ncb_length, 0) << "no data";
  EXPECT_EQ(PendingNcbCount(), 0u);
  // Nothing left to cancel.
  EXPECT_EQ(Netbios(&cancel), NRC_CANOCCR);
  // And a datagram now finds no receive.
  ASSERT_EQ(SendDatagram(0, m_number, m_name, "late"), NRC_GOODRET);
  EXPECT_EQ(receive.ncb.ncb_length, 0);
}

TEST_F(NetbiosCancelTest, ACompletedReceiveCannotBeCancelled) {
  PendingReceive receive(0, m_number, 100);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_number, m_name, "in time"), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  NCB cancel = CancelOf(&receive.ncb);
  EXPECT_EQ(Netbios(&cancel), NRC_CANOCCR);
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_GOODRET) << "the result stands";
}

TEST_F(NetbiosCancelTest, CommandsThatRunToTheirEndCannotBeCancelled) {
  NCB add = Block(NCBADDNAME, 0);
  NCB cancel = CancelOf(&add);
  EXPECT_EQ(Netbios(&cancel), NRC_CANCEL);
  NCB send = Block(NCBDGSEND, 0);
  cancel = CancelOf(&send);
  EXPECT_EQ(Netbios(&cancel), NRC_CANCEL);
  cancel.ncb_buffer = nullptr;
  EXPECT_EQ(Netbios(&cancel), NRC_INVADDRESS);
}

TEST_F(NetbiosCancelTest, CancelFindsOnlyItsOwnLana) {
  ASSERT_EQ(Reset(1), NRC_GOODRET);
  PendingReceive receive(0, m_number, 100);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  NCB cancel = CancelOf(&receive.ncb);
  cancel.ncb_lana_num = 1;
  EXPECT_EQ(Netbios(&cancel), NRC_CANOCCR);
  EXPECT_FALSE(receive.Signalled());
  cancel.ncb_lana_num = 0;
  EXPECT_EQ(Netbios(&cancel), NRC_GOODRET);
}

TEST_F(NetbiosCancelTest, CancelEndsASynchronousReceive) {
  std::vector<UCHAR> buffer(20);
  NCB ncb = Block(NCBDGRECV, 0);
  ncb.ncb_num = m_number;
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = 20;
  std::atomic<int> result{-1};
  std::thread receiver([&] { result = Netbios(&ncb); });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (PendingNcbCount() == 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
  ASSERT_EQ(PendingNcbCount(), 1u) << "synchronous receives count too";
  NCB cancel = CancelOf(&ncb);
  EXPECT_EQ(Netbios(&cancel), NRC_GOODRET);
  receiver.join();
  EXPECT_EQ(result, NRC_CMDCAN);
  EXPECT_EQ(PendingNcbCount(), 0u);
}

TEST_F(NetbiosCancelTest, DeletingANameEndsItsReceives) {
  const std::string other = RandomName();
  UCHAR otherNumber = 0;
  ASSERT_EQ(AddName(0, other, &otherNumber), NRC_GOODRET);
  std::vector<std::unique_ptr<PendingReceive>> receives;
  for (int i = 0; i < 3; ++i) {
    receives.push_back(std::make_unique<PendingReceive>(0, m_number, 100));
    ASSERT_EQ(receives.back()->Arm(), NRC_GOODRET);
  }
  PendingReceive untouched(0, otherNumber, 100);
  ASSERT_EQ(untouched.Arm(), NRC_GOODRET);
  PendingReceive any(0, 0xFF, 100);
  ASSERT_EQ(any.Arm(), NRC_GOODRET);
  ASSERT_EQ(PendingNcbCount(), 5u);

  ASSERT_EQ(DeleteName(0, m_name), NRC_GOODRET);
  for (auto& receive : receives) {
    ASSERT_TRUE(receive->Wait());
    EXPECT_EQ(receive->ncb.ncb_cmd_cplt, NRC_NAMERR);
    EXPECT_EQ(receive->ncb.ncb_length, 0);
  }
  EXPECT_FALSE(untouched.Signalled());
  EXPECT_FALSE(any.Signalled()) << "a receive for any name outlives one of them";
  EXPECT_EQ(PendingNcbCount(), 2u);
}

TEST_F(NetbiosCancelTest, ResetEndsEveryReceive) {
  PendingReceive named(0, m_number, 100), any(0, 0xFF, 100);
  ASSERT_EQ(named.Arm(), NRC_GOODRET);
  ASSERT_EQ(any.Arm(), NRC_GOODRET);
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  ASSERT_TRUE(named.Wait() && any.Wait());
  EXPECT_EQ(named.ncb.ncb_cmd_cplt, NRC_CMDCAN);
  EXPECT_EQ(any.ncb.ncb_cmd_cplt, NRC_CMDCAN);
  EXPECT_EQ(PendingNcbCount(), 0u);
}

// As the monitor closes its socket: receives on two LANAs, the ones it listens on
// ended by datagrams to its own name, and the rest by removing the name.
TEST_F(NetbiosCancelTest, ClosingAsTheMonitorDoesLeavesNothingPending) {
  ASSERT_EQ(Reset(1), NRC_GOODRET);
  UCHAR second = 0;
  ASSERT_EQ(AddName(1, m_name, &second), NRC_GOODRET);
  constexpr int kReceives = 5;
  std::vector<std::unique_ptr<PendingReceive>> listened, stale;
  for (int i = 0; i < kReceives; ++i) {
    listened.push_back(std::make_unique<PendingReceive>(0, m_number, 1000));
    stale.push_back(std::make_unique<PendingReceive>(1, second, 1000));
    ASSERT_EQ(listened.back()->Arm(), NRC_GOODRET);
    ASSERT_EQ(stale.back()->Arm(), NRC_GOODRET);
  }
  ASSERT_EQ(PendingNcbCount(), 2u * kReceives);

  const std::string zeros(128, '0');
  for (int i = 0; i < kReceives; ++i) ASSERT_EQ(SendDatagram(0, m_number, m_name, zeros), NRC_GOODRET);
  for (auto& receive : listened) {
    ASSERT_TRUE(receive->Wait());
    EXPECT_EQ(receive->Data(), zeros);
  }
  EXPECT_EQ(PendingNcbCount(), 1u * kReceives);
  ASSERT_EQ(DeleteName(0, m_name), NRC_GOODRET);
  ASSERT_EQ(DeleteName(1, m_name), NRC_GOODRET);
  for (auto& receive : stale) {
    ASSERT_TRUE(receive->Wait());
    EXPECT_EQ(receive->ncb.ncb_cmd_cplt, NRC_NAMERR);
  }
  EXPECT_EQ(PendingNcbCount(), 0u);
}

}  // namespace
}  // namespace vek::net::test
