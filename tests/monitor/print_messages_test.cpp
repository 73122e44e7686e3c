// The print protocol's messages byte for byte, for both device generations and
// the NetBEUI forms, and the readers of the device's replies.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor_globals.h"
#include "print_messages.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Message(int length, std::initializer_list<std::pair<int, BYTE>> set) {
  Bytes out(static_cast<std::size_t>(length), 0);
  for (auto [at, value] : set) out[static_cast<std::size_t>(at)] = value;
  return out;
}

Bytes Built(int (*build)(BYTE*, int, int), int model, int packetType) {
  BYTE out[64];
  std::memset(out, 0xEE, sizeof out);
  int n = build(out, model, packetType);
  return Bytes(out, out + n);
}

TEST(PrintMessages, StatusQueries) {
  EXPECT_EQ(Message(30, {{0, 'Q'}, {1, 'I'}, {2, 0x08}}), Built(BuildStatusQuery, 0, PACKET_TYPE_UDP));
  EXPECT_EQ(Message(30, {{0, 'Q'}, {1, 'I'}, {2, 0x08}}), Built(BuildStatusQuery, 0, PACKET_TYPE_IPX));
  EXPECT_EQ(Message(30, {{0, 0x50}, {1, 0x50}, {2, 0x08}}), Built(BuildStatusQuery, 0, PACKET_TYPE_NETBEUI));
  for (int transport : {PACKET_TYPE_IPX, PACKET_TYPE_UDP, PACKET_TYPE_NETBEUI})
    EXPECT_EQ(Message(30, {{0, 'N'}, {1, 'E'}, {2, 'T'}, {3, 'P'}, {4, 0x08}}), Built(BuildStatusQuery, 1, transport));
}

TEST(PrintMessages, ConnectRequests) {
  BYTE out[30];
  ASSERT_EQ(30, BuildConnect(out, 0, PACKET_TYPE_UDP, 2));
  EXPECT_EQ(Message(30, {{0, 'Q'}, {1, 'I'}, {2, 0x0A}, {4, 2}}), Bytes(out, out + 30));
  BuildConnect(out, 0, PACKET_TYPE_NETBEUI, 3);
  EXPECT_EQ(Message(30, {{0, 0x50}, {1, 0x50}, {2, 0x0A}, {4, 3}}), Bytes(out, out + 30));
  BuildConnect(out, 1, PACKET_TYPE_IPX, 1);
  EXPECT_EQ(Message(30, {{0, 'N'}, {1, 'E'}, {2, 'T'}, {3, 'P'}, {4, 0x0A}, {5, 0x08}, {6, 1}}), Bytes(out, out + 30));
}

TEST(PrintMessages, EndOfJob) {
  BYTE out[30];
  ASSERT_EQ(30, BuildEndOfJob(out, 0, PACKET_TYPE_UDP, 1));
  Bytes expected = Message(30, {{0, 'Q'}, {1, 'I'}, {2, 0x0C}, {4, 1}});
  std::memcpy(expected.data() + 5, "End Of Printer Job", 19);
  EXPECT_EQ(expected, Bytes(out, out + 30));
  BuildEndOfJob(out, 1, PACKET_TYPE_UDP, 2);
  expected = Message(30, {{0, 'N'}, {1, 'E'}, {2, 'T'}, {3, 'P'}, {4, 0x0C}, {6, 2}});
  std::memcpy(expected.data() + 7, "End Of Printer Job", 19);
  EXPECT_EQ(expected, Bytes(out, out + 30));
  BuildEndOfJob(out, 0, PACKET_TYPE_NETBEUI, 1);
  EXPECT_EQ(0x50, out[0]);
  EXPECT_EQ(0x50, out[1]);
}

TEST(PrintMessages, DataPacketHeaders) {
  BYTE out[40];
  std::memset(out, 0xEE, sizeof out);
  BuildDataHeader(out, 0, PACKET_TYPE_UDP, 2);
  SetDataSlot(out, 0, 0x7F, 1000);
  EXPECT_EQ(Bytes({'Q', 'I', 0x0B, 0x00, 2, 0x7F, 0, 0xE8, 0x04}), Bytes(out, out + 9));
  EXPECT_EQ(9, DataOffset(0));

  BuildDataHeader(out, 0, PACKET_TYPE_NETBEUI, 1);
  EXPECT_EQ(0x60, out[0]);
  EXPECT_EQ(0x60, out[1]);

  BuildDataHeader(out, 1, PACKET_TYPE_IPX, 3);
  SetDataSlot(out, 1, 0xFF, 1024);
  EXPECT_EQ(Bytes({'N', 'E', 'T', 0x60, 0x0B, 0x00, 3, 0xFF, 0, 0x00, 0x04}), Bytes(out, out + 11));
  EXPECT_EQ(11, DataOffset(1));
}

TEST(PrintMessages, LengthWords) {
  EXPECT_EQ(0x04E8, LengthWord(1000));
  EXPECT_EQ(0x0400, LengthWord(1024));
  EXPECT_EQ(0x0101, LengthWord(1));
  EXPECT_EQ(0x0201, LengthWord(257));
  EXPECT_EQ(0x0000, LengthWord(0));
  EXPECT_EQ(0x06AA, LengthWord(1450));
}

TEST(PrintMessages, NegotiationTable) {
  struct Case {
    int model, transport, offeredLength, offeredWindow, length, packets;
  };
  const Case cases[] = {
      {1, PACKET_TYPE_UDP, 2000, 12, 1450, 8},  {1, PACKET_TYPE_UDP, 500, 0, 1024, 1},
      {1, PACKET_TYPE_IPX, 2000, 8, 1400, 8},   {1, PACKET_TYPE_IPX, 1200, 3, 1200, 3},
      {1, PACKET_TYPE_NETBEUI, 1400, 4, 1000, 4}, {1, PACKET_TYPE_NETBEUI, 100, 1, 1000, 1},
      {0, PACKET_TYPE_UDP, 1450, 8, 1024, 1},   {0, PACKET_TYPE_IPX, 0, 0, 1024, 1},
      {0, PACKET_TYPE_NETBEUI, 0, 0, 1000, 1},  {1, PACKET_TYPE_UDP, 1450, 255, 1450, 8},
  };
  for (const Case& c : cases) {
    int length = 0, packets = 0;
    NegotiateConnection(c.model, c.transport, c.offeredLength, c.offeredWindow, &length, &packets);
    EXPECT_EQ(c.length, length) << c.model << "/" << c.transport << "/" << c.offeredLength;
    EXPECT_EQ(c.packets, packets) << c.model << "/" << c.transport << "/" << c.offeredWindow;
  }
}

TEST(PrintMessages, StatusBitsPerPrinterPort) {
  EXPECT_EQ(0, PortStatus(0x34, 1));
  EXPECT_EQ(1, PortStatus(0x34, 2));
  EXPECT_EQ(3, PortStatus(0x34, 3));
}

TEST(PrintMessages, RepliesAreReadOnlyWhenWhole) {
  Bytes status = {'Q', 'I', 0x88, 0, 0x05};
  BYTE statusByte = 0;
  EXPECT_TRUE(ReadStatusReply(status.data(), 5, 0, PACKET_TYPE_UDP, &statusByte));
  EXPECT_EQ(0x05, statusByte);
  EXPECT_FALSE(ReadStatusReply(status.data(), 4, 0, PACKET_TYPE_UDP, &statusByte));
  EXPECT_FALSE(ReadStatusReply(status.data(), 5, 0, PACKET_TYPE_NETBEUI, &statusByte));

  Bytes connect = {'N', 'E', 'T', 'P', 0x8A, 0x08, 1, 0x00, 0, 0xAA, 0x05, 8};
  BYTE replyStatus = 0xFF;
  int length = 0, window = 0;
  EXPECT_TRUE(ReadConnectReply(connect.data(), 12, 1, PACKET_TYPE_UDP, &replyStatus, &length, &window));
  EXPECT_EQ(0, replyStatus);
  EXPECT_EQ(0x05AA, length);
  EXPECT_EQ(8, window);
  EXPECT_FALSE(ReadConnectReply(connect.data(), 11, 1, PACKET_TYPE_UDP, &replyStatus, &length, &window));
  Bytes older = {'Q', 'I', 0x8A, 0, 1, 0xF0};
  EXPECT_TRUE(ReadConnectReply(older.data(), 6, 0, PACKET_TYPE_IPX, &replyStatus, &length, &window));
  EXPECT_EQ(0xF0, replyStatus);
  EXPECT_FALSE(ReadConnectReply(older.data(), 5, 0, PACKET_TYPE_IPX, &replyStatus, &length, &window));

  BYTE sequence = 0;
  Bytes ack0 = {'Q', 'I', 0x8B, 0, 1, 0x21, 0, 1};
  EXPECT_TRUE(ReadAck(ack0.data(), 8, 0, PACKET_TYPE_UDP, &sequence));
  EXPECT_EQ(0x21, sequence);
  EXPECT_FALSE(ReadAck(ack0.data(), 7, 0, PACKET_TYPE_UDP, &sequence));
  ack0[7] = 0;
  EXPECT_FALSE(ReadAck(ack0.data(), 8, 0, PACKET_TYPE_UDP, &sequence));
  Bytes ackNetBEUI = {0x60, 0x60, 0x8B, 0, 1, 0x03, 0, 1};
  EXPECT_TRUE(ReadAck(ackNetBEUI.data(), 8, 0, PACKET_TYPE_NETBEUI, &sequence));
  EXPECT_FALSE(ReadAck(ackNetBEUI.data(), 8, 0, PACKET_TYPE_UDP, &sequence));
  Bytes ack1 = {'N', 'E', 'T', 0x60, 0x8B, 0, 1, 0x09, 0, 1};
  EXPECT_TRUE(ReadAck(ack1.data(), 10, 1, PACKET_TYPE_IPX, &sequence));
  EXPECT_EQ(0x09, sequence);
  EXPECT_FALSE(ReadAck(ack1.data(), 9, 1, PACKET_TYPE_IPX, &sequence));
  // A reply of the other generation is not the device's.
  EXPECT_FALSE(ReadAck(ack1.data(), 10, 0, PACKET_TYPE_IPX, &sequence));

  Bytes end = {'N', 'E', 'T', 'P', 0x8C};
  EXPECT_TRUE(IsEndOfJobReply(end.data(), 5, 1, PACKET_TYPE_UDP));
  EXPECT_FALSE(IsEndOfJobReply(end.data(), 4, 1, PACKET_TYPE_UDP));
  Bytes end0 = {0x50, 0x50, 0x8C};
  EXPECT_TRUE(IsEndOfJobReply(end0.data(), 3, 0, PACKET_TYPE_NETBEUI));
  EXPECT_FALSE(IsEndOfJobReply(end0.data(), 3, 0, PACKET_TYPE_UDP));
}

}  // namespace
