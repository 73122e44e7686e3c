// What stations say on a NetBIOS segment: the frame format, and a station that
// meets malformed or foreign frames.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ipx_test_support.h"
#include "net/netbios_frame.h"
#include "netbios_test_support.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

NetbiosName NameBytes(const std::string& name) {
  NetbiosName out;
  const std::string padded = Padded(name);
  std::copy(padded.begin(), padded.end(), out.begin());
  return out;
}

constexpr StationId kStranger = {9, 8, 7, 6, 5, 4, 3, 2};

NetbiosFrame Datagram(const std::string& to, const std::string& from, const std::string& payload) {
  NetbiosFrame frame;
  frame.kind = FrameKind::Datagram;
  frame.station = kStranger;
  frame.name = NameBytes(to);
  frame.source = NameBytes(from);
  frame.payload.assign(payload.begin(), payload.end());
  return frame;
}

TEST(NetbiosFrameFormat, EveryKindReadsBackAsWritten) {
  NetbiosFrame claim;
  claim.kind = FrameKind::Claim;
  claim.station = kStranger;
  claim.name = NameBytes("CLAIMED");
  claim.group = true;
  auto bytes = EncodeNetbiosFrame(claim);
  ASSERT_EQ(bytes.size(), 32u);
  auto back = DecodeNetbiosFrame(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->kind, FrameKind::Claim);
  EXPECT_TRUE(back->group);
  EXPECT_EQ(back->name, claim.name);
  EXPECT_EQ(back->station, kStranger);

  NetbiosFrame objection;
  objection.kind = FrameKind::Objection;
  objection.name = claim.name;
  objection.claimant = kStranger;
  back = DecodeNetbiosFrame(EncodeNetbiosFrame(objection));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->claimant, kStranger);

  const NetbiosFrame datagram = Datagram("TO", "FROM", std::string(1500, 'd'));
  back = DecodeNetbiosFrame(EncodeNetbiosFrame(datagram));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->source, NameBytes("FROM"));
  EXPECT_EQ(back->payload, datagram.payload);
}

TEST(NetbiosFrameFormat, AnythingElseIsNotAFrame) {
  const auto good = EncodeNetbiosFrame(Datagram("TO", "FROM", "payload"));
  auto changed = [&](std::size_t at, std::uint8_t value) {
    auto bytes = good;
    bytes[at] = value;
    return bytes;
  };
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  std::vector<std::uint8_t> shorter(good.begin(), good.end() - 1);
  std::vector<std::uint8_t> oversize = EncodeNetbiosFrame(Datagram("TO", "FROM", std::string(1501, 'x')));
  for (const auto& bytes : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(good.begin(), good.begin() + 31),
                            changed(0, 'X'), changed(4, 9), changed(5, 1), changed(6, 1), changed(7, 0xFF), changed(48, 0x10), longer, shorter,
                            oversize}) {
    EXPECT_FALSE(DecodeNetbiosFrame(bytes)) << Bytes(bytes).size();
  }
  NetbiosFrame claim;
  claim.kind = FrameKind::Claim;
  auto claimBytes = EncodeNetbiosFrame(claim);
  claimBytes.push_back(0);
  EXPECT_FALSE(DecodeNetbiosFrame(claimBytes));
}

class NetbiosHostileTest : public NetbiosTest {
 protected:
  void SetUp() override {
    NetbiosTest::SetUp();
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    m_injector = SegmentInjector();
    ASSERT_EQ(Reset(0), NRC_GOODRET);
    ASSERT_EQ(AddName(0, m_name, &m_number), NRC_GOODRET);
  }
  void TearDown() override {
    closesocket(m_injector);
    WSACleanup();
    NetbiosTest::TearDown();
  }

  void Put(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(Inject(m_injector, m_port, Bytes(bytes)), static_cast<int>(bytes.size())) << WSAGetLastError();
  }

  SOCKET m_injector = INVALID_SOCKET;
  const std::string m_name = RandomName();
  UCHAR m_number = 0;
};

TEST_F(NetbiosHostileTest, MalformedFramesAreDroppedAndTheStationCarriesOn) {
  PendingReceive receive(0, m_number, 100);
  ASSERT_EQ(receive.Arm(), NRC_GOODRET);
  auto lying = EncodeNetbiosFrame(Datagram(m_name, "LIAR", "0123456789"));
  lying[49] = 100;  // claims more than it carries
  auto unknown = EncodeNetbiosFrame(Datagram(m_name, "ODD", "x"));
  unknown[4] = 7;
  Put({});
  Put({'V', 'N', 'B', '1'});
  Put(lying);
  Put(unknown);
  Put(std::vector<std::uint8_t>(lying.begin(), lying.begin() + 40));
  Put(std::vector<std::uint8_t>(1400, 0xFF));
  // An objection to a claim nobody made here changes nothing.
  NetbiosFrame objection;
  objection.kind = FrameKind::Objection;
  objection.station = kStranger;
  objection.name = NameBytes(m_name);
  Put(EncodeNetbiosFrame(objection));
  Put(EncodeNetbiosFrame(Datagram(m_name, "STRANGER", "well formed")));

  ASSERT_TRUE(receive.Wait());
  EXPECT_EQ(receive.Data(), "well formed");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(receive.ncb.ncb_callname), 16), Padded("STRANGER"));
}

TEST_F(NetbiosHostileTest, AClaimForOurNameDrawsAnObjection) {
  SOCKET observer = SegmentObserver(m_port);
  NetbiosFrame claim;
  claim.kind = FrameKind::Claim;
  claim.station = kStranger;
  claim.name = NameBytes(m_name);
  Put(EncodeNetbiosFrame(claim));
  ASSERT_EQ(SetDwordOption(observer, SO_RCVTIMEO, 5000), 0);
  std::optional<NetbiosFrame> answer;
  for (int frames = 0; frames < 10 && !answer; ++frames) {
    char buffer[2048];
    int n = recv(observer, buffer, sizeof(buffer), 0);
    ASSERT_NE(n, SOCKET_ERROR) << WSAGetLastError();
    auto frame = DecodeNetbiosFrame(std::span(reinterpret_cast<const std::uint8_t*>(buffer), n));
    if (frame && frame->kind == FrameKind::Objection) answer = frame;
  }
  ASSERT_TRUE(answer) << "no objection on the segment";
  EXPECT_EQ(answer->name, NameBytes(m_name));
  EXPECT_EQ(answer->claimant, kStranger);
  closesocket(observer);
}

}  // namespace
}  // namespace vek::net::test
