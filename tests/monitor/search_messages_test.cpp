// The port dialog's search on the wire: the six requests of each transport byte
// for byte, and what the answers of both generations make of records, also when
// they are cut short, announce no or absurd port counts, or come on the wrong tab.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "monitor_globals.h"
#include "search_reply.h"
#include "search_requests.h"

namespace vek::test {
namespace {

using Bytes = std::vector<BYTE>;

Bytes Request(std::initializer_list<BYTE> head) {
  Bytes bytes(head);
  bytes.resize(kSearchRequestLength, 0);
  return bytes;
}

TEST(SearchRequests, SixPerTransportAndTheFlagOnlyOnTcpIp) {
  const Bytes net = Request({'N', 'E', 'T', 0x70, 0x04, 0x00});
  const Bytes flagged = Request({'N', 'E', 'T', 0x70, 0x04, 0x01});
  const Bytes olderIpx = Request({'Q', 'I', 0x04, 0x00});
  const Bytes olderNetbeui = Request({0x70, 0x70, 0x04, 0x00});
  const Bytes olderFlagged = Request({'Q', 'I', 0x00, 0x01});
  const Bytes olderPlain = Request({'Q', 'I', 0x00, 0x00});
  const std::vector<Bytes> expected[3] = {
      {net, net, net, olderIpx, olderIpx, olderIpx},
      {flagged, flagged, net, olderFlagged, olderFlagged, olderPlain},
      {net, net, net, olderNetbeui, olderNetbeui, olderNetbeui},
  };
  for (int protocol : {PACKET_TYPE_IPX, PACKET_TYPE_UDP, PACKET_TYPE_NETBEUI}) {
    std::vector<Bytes> sent;
    for (int i = 0; i < kSearchRequests; ++i) {
      Bytes buffer(kSearchRequestLength, 0xEE);  // a buffer that held an answer before
      BuildSearchRequest(protocol, i, buffer.data());
      sent.push_back(buffer);
    }
    EXPECT_EQ(expected[protocol], sent) << "protocol " << protocol;
  }
}

// A "NET" information reply: MAC, version, name, port byte and address.
Bytes NetReply(BYTE portByte, std::size_t length = 80) {
  Bytes b(std::max<std::size_t>(length, 38), 0);
  std::memcpy(b.data(), "NET", 3);
  b[4] = 0x84;
  const BYTE mac[6] = {0x02, 0x4E, 0x57, 0x10, 0x1A, 0x2B};
  std::memcpy(&b[6], mac, 6);
  b[12] = 0x2;
  b[13] = 0x5;
  std::memcpy(&b[14], "Front Desk Server!", 18);  // all 18 bytes, no terminator
  b[33] = portByte;
  const BYTE ip[4] = {192, 168, 0, 10};
  std::memcpy(&b[34], ip, 4);
  b.resize(length);
  return b;
}

// The older answers, at their offsets.
Bytes OlderIpx(WORD ports, char magic = 'Q') {
  Bytes b(512, 0);
  if (magic == 'Q') {
    b[0] = 'Q';
    b[1] = 'I';
  } else {
    b[0] = b[1] = 0x70;
  }
  b[2] = 0x84;
  std::memcpy(&b[4], "Back Office", 11);
  b[0x16] = 0x02;
  b[0x1B] = 0x99;
  std::size_t portAt = magic == 'Q' ? 0x1E1 : 0x1E;
  b[portAt] = static_cast<BYTE>(ports);
  b[portAt + 1] = static_cast<BYTE>(ports >> 8);
  std::size_t versionAt = magic == 'Q' ? 0x1DB : 0x1C;
  b[versionAt] = 0x1;
  b[versionAt + 1] = 0x23;
  return b;
}

Bytes OlderUdp(BYTE model, BYTE count) {
  Bytes b(512, 0);
  b[0] = 'Q';
  b[1] = 'I';
  b[2] = 0x80;
  b[6] = 0x02;
  b[0x0C] = model;
  b[0x14] = 0x07;  // minor
  b[0x15] = 0x03;  // major
  std::memcpy(&b[0x48], "Lab", 3);
  b[0x1F3] = count;
  const BYTE ip[4] = {10, 0, 0, 7};
  std::memcpy(&b[0x1FC], ip, 4);
  return b;
}

struct Case {
  const char* what;
  Bytes datagram;
  int protocol;
  int sent;
  int ports;  // 0: no record
  bool late;
};

TEST(SearchReplies, OneRecordAPortFromEveryLayoutAndNoneFromWhatDoesNotFit) {
  const Case cases[] = {
      {"NET, two ports", NetReply(0x80), PACKET_TYPE_IPX, 1, 2, false},
      {"NET, three ports, model bits ignored", NetReply(0xFF), PACKET_TYPE_NETBEUI, 1, 3, false},
      {"NET, no port", NetReply(0x3F), PACKET_TYPE_UDP, 1, 0, false},
      {"NET on TCP/IP after the unflagged request", NetReply(0x40), PACKET_TYPE_UDP, 3, 1, true},
      {"NET on IPX is never late", NetReply(0x40), PACKET_TYPE_IPX, 6, 1, false},
      {"NET cut before its port byte", NetReply(0x40, 33), PACKET_TYPE_UDP, 1, 0, false},
      {"NET cut after its port byte", NetReply(0x40, 34), PACKET_TYPE_UDP, 1, 1, false},
      {"older IPX, port word 2", OlderIpx(2), PACKET_TYPE_IPX, 4, 2, false},
      {"older IPX, port word 5 is three", OlderIpx(5), PACKET_TYPE_IPX, 4, 3, false},
      {"older IPX, port word 4 is one", OlderIpx(4), PACKET_TYPE_IPX, 4, 1, false},
      {"older IPX, port word 0 is one", OlderIpx(0), PACKET_TYPE_IPX, 4, 1, false},
      {"older IPX, port word 0x0103 is one", OlderIpx(0x0103), PACKET_TYPE_IPX, 4, 1, false},
      {"older IPX on the TCP/IP tab", OlderIpx(2), PACKET_TYPE_UDP, 4, 0, false},
      {"older NetBEUI, port word 5", OlderIpx(5, 0x70), PACKET_TYPE_NETBEUI, 4, 3, false},
      {"older NetBEUI on the IPX tab", OlderIpx(5, 0x70), PACKET_TYPE_IPX, 4, 0, false},
      {"older TCP/IP, model 6", OlderUdp(6, 0), PACKET_TYPE_UDP, 4, 3, false},
      {"older TCP/IP, model 7", OlderUdp(7, 0), PACKET_TYPE_UDP, 4, 3, false},
      {"older TCP/IP, model 5", OlderUdp(5, 9), PACKET_TYPE_UDP, 4, 1, false},
      {"older TCP/IP, model 9 counts 2", OlderUdp(9, 2), PACKET_TYPE_UDP, 4, 2, false},
      {"older TCP/IP, model 9 counts 0", OlderUdp(9, 0), PACKET_TYPE_UDP, 4, 0, false},
      {"older TCP/IP, a count of 127 is three", OlderUdp(9, 127), PACKET_TYPE_UDP, 4, 3, false},
      {"older TCP/IP, a negative count", OlderUdp(9, 0x80), PACKET_TYPE_UDP, 4, 0, false},
      {"older TCP/IP, a negative model", OlderUdp(0x90, 3), PACKET_TYPE_UDP, 4, 1, false},
      {"older TCP/IP after the unflagged request", OlderUdp(5, 0), PACKET_TYPE_UDP, 6, 1, true},
      {"older TCP/IP on the IPX tab", OlderUdp(6, 0), PACKET_TYPE_IPX, 4, 0, false},
      {"no magic", Bytes(512, 0x84), PACKET_TYPE_IPX, 1, 0, false},
      {"empty", Bytes{}, PACKET_TYPE_UDP, 1, 0, false},
      {"two bytes", Bytes{'Q', 'I'}, PACKET_TYPE_IPX, 1, 0, false},
      {"a tab of no transport", NetReply(0x40), 3, 1, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SearchReply reply;
    bool read = ReadSearchReply(c.datagram.data(), c.datagram.size(), c.protocol, c.sent, &reply);
    EXPECT_EQ(c.ports > 0, read);
    if (!read) continue;
    EXPECT_EQ(c.ports, reply.ports);
    EXPECT_EQ(c.late, reply.late);
    EXPECT_LE(std::strlen(reply.name), 18u);
  }
}

TEST(SearchReplies, FieldsComeFromTheirOffsetsAndMissingBytesReadAsZero) {
  SearchReply reply;
  Bytes net = NetReply(0x80);
  ASSERT_TRUE(ReadSearchReply(net.data(), net.size(), PACKET_TYPE_UDP, 1, &reply));
  EXPECT_EQ(1, reply.model);
  EXPECT_EQ((Bytes{0x02, 0x4E, 0x57, 0x10, 0x1A, 0x2B}), Bytes(reply.nodeId, reply.nodeId + 6));
  EXPECT_STREQ("Front Desk Server!", reply.name) << "18 characters and a terminator";
  EXPECT_EQ((Bytes{2, 5}), Bytes(reply.version, reply.version + 2));
  EXPECT_EQ((Bytes{192, 168, 0, 10}), Bytes(reply.ipAddress, reply.ipAddress + 4));
  EXPECT_TRUE(reply.keepsCopy);

  Bytes cut = NetReply(0xC0, 36);  // the address half there
  ASSERT_TRUE(ReadSearchReply(cut.data(), cut.size(), PACKET_TYPE_UDP, 1, &reply));
  EXPECT_EQ((Bytes{192, 168, 0, 0}), Bytes(reply.ipAddress, reply.ipAddress + 4));

  Bytes older = OlderUdp(5, 0);
  ASSERT_TRUE(ReadSearchReply(older.data(), older.size(), PACKET_TYPE_UDP, 4, &reply));
  EXPECT_EQ(0, reply.model);
  EXPECT_STREQ("Lab", reply.name);
  EXPECT_EQ((Bytes{3, 7}), Bytes(reply.version, reply.version + 2)) << "major at 0x15, minor at 0x14";
  EXPECT_EQ((Bytes{10, 0, 0, 7}), Bytes(reply.ipAddress, reply.ipAddress + 4));
  EXPECT_TRUE(reply.keepsCopy);

  Bytes ipx = OlderIpx(1);
  ipx.resize(0x1DC);  // the minor version and the port word cut off
  ASSERT_TRUE(ReadSearchReply(ipx.data(), ipx.size(), PACKET_TYPE_IPX, 4, &reply));
  EXPECT_EQ(1, reply.ports);
  EXPECT_EQ((Bytes{1, 0}), Bytes(reply.version, reply.version + 2));
  EXPECT_EQ(0x99, reply.nodeId[5]);
  EXPECT_FALSE(reply.keepsCopy);
}

}  // namespace
}  // namespace vek::test
