// Datagrams between the names of one process: delivery to pending receives only,
// in the order they were issued, truncation, and how asynchronous receives report.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "netbios_test_support.h"

namespace vek::net::test {
namespace {

class Names : public NetbiosTest {
 protected:
  void SetUp() override {
    NetbiosTest::SetUp();
    ASSERT_EQ(Reset(0), NRC_GOODRET);
    ASSERT_EQ(AddName(0, m_sender, &m_from), NRC_GOODRET);
    ASSERT_EQ(AddName(0, m_receiver, &m_to), NRC_GOODRET);
  }

  const std::string m_sender = RandomName();
  const std::string m_receiver = RandomName();
  UCHAR m_from = 0;
  UCHAR m_to = 0;
};

using NetbiosDelivery = Names;

TEST_F(NetbiosDelivery, ADatagramWithNoReceivePendingIsLost) {
  EXPECT_EQ(SendDatagram(0, m_from, m_receiver, "lost"), NRC_GOODRET);
  PendingReceive receive(0, m_to, 100);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  EXPECT_FALSE(receive.Signalled()) << "nothing was kept for it";
  EXPECT_EQ(SendDatagram(0, m_from, m_receiver, "kept"), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_GOODRET);
  EXPECT_EQ(receive.Data(), "kept");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(receive.ncb.ncb_callname), 16), Padded(m_sender));
  EXPECT_EQ(receive.ncb.ncb_num, m_to);
}

TEST_F(NetbiosDelivery, PendingReceivesCompleteInTheOrderIssued) {
  PendingReceive first(0, m_to, 100), any(0, 0xFF, 100), third(0, m_to, 100);
  ASSERT_EQ(first.Arm(), NRC_GOODRET);
  ASSERT_EQ(any.Arm(), NRC_GOODRET);
  ASSERT_EQ(third.Arm(), NRC_GOODRET);
  EXPECT_EQ(PendingNcbCount(), 3u);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "one"), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "two"), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "three"), NRC_GOODRET);
  ASSERT_TRUE(first.Wait() && any.Wait() && third.Wait());
  EXPECT_EQ(first.Data(), "one");
  EXPECT_EQ(any.Data(), "two");
  EXPECT_EQ(any.ncb.ncb_num, m_to) << "the name that received it";
  EXPECT_EQ(third.Data(), "three");
  EXPECT_EQ(PendingNcbCount(), 0u);
}

TEST_F(NetbiosDelivery, ALongDatagramIsCutAndReportedIncomplete) {
  std::string data(1200, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
  PendingReceive receive(0, m_to, 1000);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, data), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_INCOMP);
  EXPECT_EQ(receive.ncb.ncb_retcode, NRC_INCOMP);
  EXPECT_EQ(receive.ncb.ncb_length, 1000);
  EXPECT_EQ(receive.Data(), data.substr(0, 1000));
}

TEST_F(NetbiosDelivery, SendsAreCheckedBeforeAnythingGoesOut) {
  EXPECT_EQ(SendDatagram(0, m_from, m_receiver, std::string(1501, 'x')), NRC_BUFLEN);
  PendingReceive receive(0, m_to, 1500);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, std::string(1500, 'x')), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_length, 1500);

  EXPECT_EQ(SendDatagram(0, 0xFE, m_receiver, "x"), NRC_ILLNN) << "not our number";
  EXPECT_EQ(SendDatagram(0, m_from, std::string(1, '\0'), "x"), NRC_NOWILD);
  PendingReceive stray(0, 0xFE, 10);
  EXPECT_EQ(stray.Arm(), NRC_ILLNN);
  EXPECT_EQ(stray.ncb.ncb_cmd_cplt, NRC_ILLNN) << "completed at once";
  EXPECT_TRUE(stray.Signalled());
}

TEST_F(NetbiosDelivery, AnEmptyDatagramArrivesEmpty) {
  PendingReceive receive(0, m_to, 10);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, ""), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_GOODRET);
  EXPECT_EQ(receive.ncb.ncb_length, 0);
}

TEST_F(NetbiosDelivery, TheStarReachesEveryName) {
  PendingReceive atReceiver(0, m_to, 50), atSender(0, m_from, 50);
  ASSERT_EQ(atReceiver.Arm(), NRC_GOODRET);
  ASSERT_EQ(atSender.Arm(), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, "*", "everyone"), NRC_GOODRET);
  ASSERT_TRUE(atReceiver.Wait() && atSender.Wait());
  EXPECT_EQ(atReceiver.Data(), "everyone");
  EXPECT_EQ(atSender.Data(), "everyone");
}

TEST_F(NetbiosDelivery, AsynchronousReceivesReportAsTheInterfaceSays) {
  PendingReceive receive(0, m_to, 50);
  ASSERT_TRUE(SetEvent(receive.event));
  receive.ncb.ncb_retcode = 0x55;
  ASSERT_EQ(receive.Arm(), NRC_GOODRET) << "0 while pending";
  EXPECT_EQ(receive.ncb.ncb_retcode, NRC_PENDING);
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_PENDING);
  EXPECT_FALSE(receive.Signalled()) << "the event is reset when the command is accepted";
  EXPECT_EQ(Netbios(&receive.ncb), NRC_TOOMANY) << "the same NCB while it is pending";
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_PENDING) << "and it is left alone";
  EXPECT_FALSE(receive.Signalled());
  EXPECT_EQ(PendingNcbCount(), 1u);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "done"), NRC_GOODRET);
  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.ncb.ncb_retcode, NRC_GOODRET);
  EXPECT_EQ(receive.ncb.ncb_cmd_cplt, NRC_GOODRET);
}

struct PostState {
  std::atomic<int> calls{0};
  std::atomic<NCB*> last{nullptr};
};
PostState g_post;

void CountPost(NCB* ncb) {
  g_post.last = ncb;
  // A post routine may issue the next receive at once.
  if (g_post.calls.fetch_add(1) == 0) {
    ncb->ncb_length = 50;  // the completion set it to the bytes received
    Netbios(ncb);
  }
}

TEST_F(NetbiosDelivery, ThePostRoutineIsCalledAndMayIssueMore) {
  g_post.calls = 0;
  std::vector<UCHAR> buffer(50);
  NCB ncb = Block(NCBDGRECV | ASYNCH, 0);
  ncb.ncb_num = m_to;
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = 50;
  ncb.ncb_post = CountPost;
  ASSERT_EQ(Netbios(&ncb), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "first"), NRC_GOODRET);
  EXPECT_EQ(g_post.calls, 1);
  EXPECT_EQ(g_post.last, &ncb);
  EXPECT_EQ(PendingNcbCount(), 1u) << "issued again from the post routine";
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "second"), NRC_GOODRET);
  EXPECT_EQ(g_post.calls, 2);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + ncb.ncb_length), "second");
}

TEST_F(NetbiosDelivery, ASynchronousReceiveWaitsForItsDatagram) {
  std::vector<UCHAR> buffer(50);
  NCB ncb = Block(NCBDGRECV, 0);
  ncb.ncb_num = m_to;
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = 50;
  std::atomic<int> result{-1};
  std::thread receiver([&] { result = Netbios(&ncb); });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (PendingNcbCount() == 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
  ASSERT_EQ(PendingNcbCount(), 1u);
  ASSERT_EQ(SendDatagram(0, m_from, m_receiver, "wake"), NRC_GOODRET);
  receiver.join();
  EXPECT_EQ(result, NRC_GOODRET);
  EXPECT_EQ(ncb.ncb_retcode, NRC_GOODRET);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + ncb.ncb_length), "wake");
}

}  // namespace
}  // namespace vek::net::test
