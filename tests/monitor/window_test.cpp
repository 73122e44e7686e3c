// The sliding window on a substitute socket: what goes out for a window, how an
// acknowledgement frees slots (around the 8-bit wrap), which acknowledgements
// are ignored, and how the end of a document ends the sending.
#include <random>
#include <thread>

#include "kernel/sync.h"
#include "monitor_test_support.h"
#include "ring_buffer.h"
#include "substitute_socket.h"

namespace vek::test {
namespace {

constexpr BYTE kDevice[4] = {127, 0, 0, 9};
constexpr BYTE kStranger[4] = {127, 0, 0, 10};

class Window : public MonitorTest {
 protected:
  void Prepare(int model, int packets, int dataLength) {
    m_port = AddPort(u"W1", PACKET_TYPE_UDP, model);
    ASSERT_TRUE(m_port->OpenPrintPort());
    ResetEvent(m_port->m_hEndEvent);  // a job runs
    m_socket = new SubstituteSocket;
    m_socket->Create(0);
    m_port->m_pPrintSocket = m_socket;
    std::memcpy(m_port->m_IPAddress, kDevice, 4);
    m_port->AimAtDevice(m_socket);
    m_port->m_Packets = packets;
    m_port->m_DataLength = dataLength;
    SetEvent(m_port->m_hSendEvent);
  }
  void TearDown() override {
    if (m_port) m_port->ClosePrintPort();  // deletes the socket
    MonitorTest::TearDown();
  }
  void Queue(const std::string& data) {
    ASSERT_EQ(static_cast<int>(data.size()),
              m_port->m_pQueue->Write(reinterpret_cast<const BYTE*>(data.data()), static_cast<int>(data.size())));
    m_port->m_BytesQueued += static_cast<LONGLONG>(data.size());
  }
  // Sequence and data of a data packet sent.
  BYTE SequenceOf(const Bytes& packet) const { return packet[static_cast<std::size_t>(m_port->m_Model == 1 ? 7 : 5)]; }
  std::string DataOf(const Bytes& packet) const {
    std::size_t offset = m_port->m_Model == 1 ? 11 : 9;
    return std::string(packet.begin() + static_cast<long>(offset), packet.end() - static_cast<long>(12 - offset));
  }
  void Grant(BYTE sequence) {
    m_socket->Queue(AckOf(m_port->m_Model, sequence), kDevice);
    ASSERT_TRUE(m_port->ReceiveAck());
  }

  CPrintPort* m_port = nullptr;
  SubstituteSocket* m_socket = nullptr;
};

TEST_F(Window, TheFirstAcknowledgementOnlyGrantsTheFirstWindow) {
  Prepare(1, 8, 1024);
  std::string data = Pattern(3000);
  Queue(data);
  EXPECT_FALSE(m_port->ReceiveAck());  // nothing came
  Grant(0);
  EXPECT_TRUE(m_port->m_bCanSend);
  EXPECT_EQ(0, m_port->m_BytesAcked);
  ASSERT_TRUE(m_port->SendPrintData());
  // Three data packets, then the newer devices' empty packets for the other slots.
  ASSERT_EQ(8u, m_socket->sent.size());
  std::string sent;
  for (std::size_t i = 0; i < 8; i++) {
    const Bytes& packet = m_socket->sent[i];
    EXPECT_EQ(i, SequenceOf(packet));
    sent += DataOf(packet);
    EXPECT_EQ(htons(0x5050), m_socket->sentTo[i].sin_port);
  }
  EXPECT_EQ(data, sent);
  EXPECT_EQ(1024u + 12, m_socket->sent[0].size());
  EXPECT_EQ(952u + 12, m_socket->sent[2].size());
  EXPECT_EQ(12u, m_socket->sent[3].size());
  EXPECT_FALSE(m_port->m_bCanSend);
  EXPECT_EQ(1, m_port->m_SlotPending[7]);
}

TEST_F(Window, OlderDevicesGetNoEmptyPackets) {
  Prepare(0, 1, 1024);
  Grant(0);
  EXPECT_FALSE(m_port->SendPrintData());
  EXPECT_TRUE(m_socket->sent.empty());
  EXPECT_FALSE(m_port->m_bCanSend);
  Queue(Pattern(100));
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  ASSERT_EQ(1u, m_socket->sent.size());
  EXPECT_EQ(Bytes({'Q', 'I', 0x0B, 0, 1, 0, 0, 100, 1}), Bytes(m_socket->sent[0].begin(), m_socket->sent[0].begin() + 9));
  EXPECT_EQ(112u, m_socket->sent[0].size());
}

TEST_F(Window, AnAcknowledgementAcrossTheWrapFreesItsSlotsAndMovesTheRestDown) {
  Prepare(1, 8, 1024);
  m_port->m_Sequence = 254;
  std::string data = Pattern(8 * 1024 + 500);
  Queue(data);
  Grant(254);
  ASSERT_TRUE(m_port->SendPrintData());
  ASSERT_EQ(8u, m_socket->sent.size());
  EXPECT_EQ(254, SequenceOf(m_socket->sent[0]));
  EXPECT_EQ(5, SequenceOf(m_socket->sent[7]));

  // Sequence 3 acknowledges 254, 255, 0, 1, 2: five packets.
  Grant(3);
  EXPECT_EQ(3, m_port->m_Sequence);
  EXPECT_EQ(5 * 1024, m_port->m_BytesAcked);
  for (int i = 0; i < 3; i++) EXPECT_EQ(1, m_port->m_SlotPending[i]) << i;
  for (int i = 3; i < 8; i++) EXPECT_EQ(0, m_port->m_SlotPending[i]) << i;
  EXPECT_EQ(static_cast<int>(data.size()) - 5 * 1024, m_port->m_pQueue->GetCount());

  m_socket->sent.clear();
  ASSERT_TRUE(m_port->SendPrintData());
  // The three unacknowledged packets again at their old numbers, then the rest.
  ASSERT_EQ(8u, m_socket->sent.size());
  std::string resent;
  for (std::size_t i = 0; i < 8; i++) {
    EXPECT_EQ(static_cast<BYTE>(3 + i), SequenceOf(m_socket->sent[i]));
    resent += DataOf(m_socket->sent[i]);
  }
  EXPECT_EQ(data.substr(5 * 1024), resent);
}

TEST_F(Window, AcknowledgementsBeyondThePacketsInFlightAreIgnored) {
  Prepare(1, 8, 1024);
  Queue(Pattern(3 * 1024));
  m_port->m_Model = 0;  // no empty packets: three in flight
  m_port->m_Packets = 8;
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  ASSERT_EQ(3u, m_socket->sent.size());
  // Within the window but beyond what was sent, and one below the base.
  for (BYTE sequence : {BYTE{5}, BYTE{255}, BYTE{200}}) {
    m_socket->Queue(AckOf(0, sequence), kDevice);
    EXPECT_FALSE(m_port->ReceiveAck()) << int(sequence);
    EXPECT_EQ(0, m_port->m_BytesAcked);
    EXPECT_EQ(0, m_port->m_Sequence);
  }
  m_socket->Queue(AckOf(0, 3), kDevice);
  EXPECT_TRUE(m_port->ReceiveAck());
  EXPECT_EQ(3 * 1024, m_port->m_BytesAcked);
}

TEST_F(Window, TheLastValidAcknowledgementOfABatchWins) {
  Prepare(1, 8, 1024);
  Queue(Pattern(8 * 1024));
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  m_socket->Queue(AckOf(1, 4), kDevice);
  m_socket->Queue(AckOf(1, 100), kDevice);  // ignored
  m_socket->Queue(AckOf(1, 2), kDevice);
  m_socket->Queue(Bytes{'N', 'E', 'T', 0x60, 0x8B, 0, 1, 7}, kDevice);  // cut short: ignored
  EXPECT_TRUE(m_port->ReceiveAck());
  EXPECT_EQ(2, m_port->m_Sequence);
  EXPECT_EQ(2 * 1024, m_port->m_BytesAcked);
  EXPECT_TRUE(m_socket->incoming.empty());
}

TEST_F(Window, AnAcknowledgementWithItsFlagClearIsIgnored) {
  Prepare(1, 8, 1024);
  Bytes ack = AckOf(1, 0);
  ack[9] = 0;
  m_socket->Queue(ack, kDevice);
  EXPECT_FALSE(m_port->ReceiveAck());
}

TEST_F(Window, AStrangersDatagramNeitherCountsNorRedirectsTheData) {
  Prepare(1, 1, 1024);
  Queue(Pattern(500));
  m_socket->Queue(AckOf(1, 0), kStranger, htons(4000));
  EXPECT_FALSE(m_port->ReceiveAck());
  EXPECT_FALSE(m_port->m_bCanSend);
  // The device answers from a port of its own: that port is adopted.
  m_socket->Queue(AckOf(1, 0), kDevice, htons(6000));
  m_socket->Queue(AckOf(1, 0), kStranger, htons(4000));
  EXPECT_TRUE(m_port->ReceiveAck());
  ASSERT_TRUE(m_port->SendPrintData());
  ASSERT_EQ(1u, m_socket->sentTo.size());
  EXPECT_EQ(0, std::memcmp(&m_socket->sentTo[0].sin_addr, kDevice, 4));
  EXPECT_EQ(htons(6000), m_socket->sentTo[0].sin_port);
}

TEST_F(Window, StraysAroundAnAcknowledgementNeitherCountNorHoldTheWindowUp) {
  // What a device's acknowledgement may come with: before it, a cut-off copy
  // naming one packet more and a whole one two ahead from another address; after
  // it, another address's datagram. The batch takes the device's alone and ends
  // with what has come: a stray last in it must not make the sender wait for the
  // device's next datagram, which is a repeat an idle gap away.
  Prepare(1, 4, 1024);
  const std::string data = Pattern(16 * 1024);
  Queue(data);
  Grant(0);
  std::string sent;
  for (BYTE base : {BYTE{4}, BYTE{8}, BYTE{12}}) {
    SCOPED_TRACE(int(base));
    m_socket->sent.clear();
    ASSERT_TRUE(m_port->SendPrintData());
    ASSERT_EQ(4u, m_socket->sent.size());
    for (const Bytes& packet : m_socket->sent) sent += DataOf(packet);
    Bytes cutOff = AckOf(1, static_cast<BYTE>(base + 1));
    cutOff.pop_back();
    m_socket->Queue(cutOff, kDevice);
    m_socket->Queue(AckOf(1, static_cast<BYTE>(base + 2)), kStranger);
    m_socket->Queue(AckOf(1, base), kDevice);
    // Read as the device's, it would take back a packet.
    m_socket->Queue(AckOf(1, static_cast<BYTE>(base - 1)), kStranger, htons(4000));
    m_socket->waits = 0;
    EXPECT_TRUE(m_port->ReceiveAck());
    EXPECT_EQ(0, m_socket->waits);
    EXPECT_TRUE(m_socket->incoming.empty());
    EXPECT_EQ(base, m_port->m_Sequence);
    EXPECT_EQ(static_cast<LONGLONG>(base) * 1024, m_port->m_BytesAcked);
  }
  EXPECT_EQ(data.substr(0, 12 * 1024), sent);
  // The data went to the device, never to the stranger's port.
  for (const sockaddr_in& to : m_socket->sentTo) {
    EXPECT_EQ(0, std::memcmp(&to.sin_addr, kDevice, 4));
    EXPECT_EQ(htons(0x5050), to.sin_port);
  }
}

TEST_F(Window, AcknowledgedBytesLeaveTheQueueEvenWhenItsLockWasBusy) {
  Prepare(1, 2, 1024);
  std::string data = Pattern(4 * 1024);
  Queue(data);
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  // Another thread holds the queue past the lock's 1.2 s wait.
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    WaitForSingleObject(m_port->m_hMutex, INFINITE);
    SetEvent(taken);
    WaitForSingleObject(release, INFINITE);
    ReleaseMutex(m_port->m_hMutex);
  });
  WaitForSingleObject(taken, INFINITE);
  m_socket->Queue(AckOf(1, 2), kDevice);
  EXPECT_TRUE(m_port->ReceiveAck());
  EXPECT_EQ(2, m_port->m_Sequence);
  EXPECT_EQ(4 * 1024, m_port->m_pQueue->GetCount());  // still queued
  EXPECT_EQ(2 * 1024, m_port->m_PendingSkip);
  SetEvent(release);
  holder.join();
  CloseHandle(taken);
  CloseHandle(release);
  m_socket->sent.clear();
  ASSERT_TRUE(m_port->SendPrintData());
  ASSERT_EQ(2u, m_socket->sent.size());
  EXPECT_EQ(data.substr(2 * 1024, 2048), DataOf(m_socket->sent[0]) + DataOf(m_socket->sent[1]));
  EXPECT_EQ(2, SequenceOf(m_socket->sent[0]));
}

TEST_F(Window, TheEndOfTheDocumentEndsTheSendingWhenTheLastAcknowledgementCameFirst) {
  Prepare(0, 1, 1024);
  Queue(Pattern(300));
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  Grant(1);  // everything acknowledged; the document has not ended yet
  EXPECT_TRUE(IsEventSet(m_port->m_hSendEvent));
  EXPECT_FALSE(m_port->SendPrintData());
  // No further datagram comes; the end of the document alone ends the sending.
  SetEvent(m_port->m_hEndDocEvent);
  EXPECT_FALSE(m_port->ReceiveAck());
  EXPECT_FALSE(IsEventSet(m_port->m_hSendEvent));
  EXPECT_TRUE(IsEventSet(m_port->m_hWakeEvent));
}

TEST_F(Window, TheLastAcknowledgementAfterTheEndOfTheDocumentEndsTheSending) {
  Prepare(1, 4, 1024);
  Queue(Pattern(1500));
  Grant(0);
  ASSERT_TRUE(m_port->SendPrintData());
  SetEvent(m_port->m_hEndDocEvent);
  m_socket->Queue(AckOf(1, 4), kDevice);
  EXPECT_FALSE(m_port->ReceiveAck());
  EXPECT_FALSE(IsEventSet(m_port->m_hSendEvent));
  EXPECT_EQ(1500, m_port->m_BytesAcked);
}

TEST_F(Window, RandomDatagramsNeverFreeMoreThanWasSent) {
  Prepare(1, 8, 1024);
  std::mt19937 random(7);
  std::string data = Pattern(100000);
  Queue(data);
  Grant(0);
  for (int round = 0; round < 3000; round++) {
    if (m_port->m_bCanSend) {
      m_socket->sent.clear();
      m_port->SendPrintData();
    }
    Bytes datagram(random() % 14);
    for (BYTE& b : datagram) b = static_cast<BYTE>(random());
    if (random() % 2 && datagram.size() >= 10) {
      const Bytes header = AckOf(1, 0);
      std::copy(header.begin(), header.begin() + 7, datagram.begin());
    }
    m_socket->Queue(datagram, random() % 4 ? kDevice : kStranger);
    LONGLONG before = m_port->m_BytesAcked;
    int inFlight = 0;
    for (int i = 0; i < 8; i++) inFlight += m_port->m_SlotPending[i] ? m_port->m_SlotLength[i] : 0;
    m_port->ReceiveAck();
    ASSERT_LE(m_port->m_BytesAcked - before, inFlight) << round;
    ASSERT_LE(m_port->m_BytesAcked, static_cast<LONGLONG>(data.size()));
    m_socket->incoming.clear();
  }
}

TEST_F(Window, AStopEndsTheAcknowledgementWait) {
  Prepare(1, 8, 1024);
  m_socket->Queue(AckOf(1, 0), kDevice);
  SetEvent(m_port->m_hEndEvent);
  EXPECT_FALSE(m_port->ReceiveAck());
  EXPECT_FALSE(m_port->m_bCanSend);
}

}  // namespace
}  // namespace vek::test
