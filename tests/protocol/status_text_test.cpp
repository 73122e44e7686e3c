// The record's status text: the word of each port's two status bits in port
// order, or download mode for the whole byte. No string table is registered
// here, so the words are the English ones.
#include <gtest/gtest.h>

#include "protocol/print_server.h"
#include "reply_vectors.h"

namespace {

using namespace vek::test;

// The full reply with another port count in its identity byte.
std::vector<std::uint8_t> WithPorts(int ports) {
  std::vector<std::uint8_t> bytes = MakeFullReply().bytes;
  bytes[33] = static_cast<std::uint8_t>((ports << 6) | full::kModel);
  return bytes;
}

TEST(StatusText, DownloadModeOrEachPortsWordInPortOrder) {
  const std::vector<std::uint8_t> reply = WithPorts(3);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(reply.data(), static_cast<int>(reply.size())));
  const struct {
    BYTE status;
    const char* text;
  } cases[] = {
      {PS_STATUS_DOWNLOAD, "Download Mode"},
      {0x34, "Ok, Paper Out, Busy"},
      {0x00, "Ok, Ok, Ok"},
      {0x2A, "Offline, Offline, Offline"},
      {0xFE, "Offline, Busy, Busy"},  // the bits past the third port are no port's
  };
  for (const auto& c : cases) {
    ps.m_PortStatus = c.status;
    EXPECT_STREQ(ps.GetStatusText(), c.text) << int{c.status};
  }
}

TEST(StatusText, ARecordOfOnePortOrOfNoneGivesOneWord) {
  const std::vector<std::uint8_t> one = WithPorts(1);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(one.data(), static_cast<int>(one.size())));
  ps.m_PortStatus = 0x3D;
  EXPECT_STREQ(ps.GetStatusText(), "Paper Out");
  ps.m_PortStatus = PS_STATUS_DOWNLOAD;
  EXPECT_STREQ(ps.GetStatusText(), "Download Mode");

  const std::vector<std::uint8_t> none = WithPorts(0);
  ASSERT_TRUE(ps.ParseReply(none.data(), static_cast<int>(none.size())));
  ASSERT_EQ(ps.GetPortCount(), 0);
  ps.m_PortStatus = 0x0B;
  EXPECT_STREQ(ps.GetStatusText(), "Busy");
  CPrintServer empty;
  EXPECT_STREQ(empty.GetStatusText(), "Ok");
}

}  // namespace
