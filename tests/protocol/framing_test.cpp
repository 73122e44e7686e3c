// The packet header forms, the request conventions and the generation table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "protocol/generation.h"
#include "protocol/packet_header.h"

namespace {

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

int Generation(const std::string& lead) {
  std::vector<BYTE> reply = Bytes(lead);
  return PSReplyGeneration(reply.data(), static_cast<int>(reply.size()));
}

TEST(GenerationTable, TellsEachLeadInTableOrder) {
  EXPECT_EQ(Generation("QIM-R4410KX-SETUP"), 4);
  EXPECT_EQ(Generation("QIM-R4410KX-SETUP and more"), 4);
  EXPECT_EQ(Generation("QIM-R4412+"), 0) << "begins with QIM yet refused";
  EXPECT_EQ(Generation("QIM-R4412+ whatever follows"), 0);
  EXPECT_EQ(Generation("QIM"), 3);
  EXPECT_EQ(Generation("QIM-R4412"), 3) << "without the plus it is an ordinary QIM reply";
  EXPECT_EQ(Generation("QIM-R4410KX-SETU"), 3) << "one byte short of the setup lead";
  EXPECT_EQ(Generation("QI"), 0);
  EXPECT_EQ(Generation("QIX"), 0);
  EXPECT_EQ(Generation("NET"), 5);
  EXPECT_EQ(Generation("NETWORK"), 5);
  EXPECT_EQ(Generation("NE"), 0);
  EXPECT_EQ(Generation("net"), 0);
  EXPECT_EQ(Generation("XYZ"), 0);
  EXPECT_EQ(Generation(""), 0);
  EXPECT_EQ(PSReplyGeneration(nullptr, 10), 0);
}

TEST(PacketHeader, PlainRequestIsZeroFilledWithTheNetHeader) {
  BYTE buffer[PS_BUFFER_LENGTH];
  std::memset(buffer, 0xEE, sizeof(buffer));
  EXPECT_EQ(PSBuildPlainRequest(buffer, PSTYPE_CONFIG, 0x0124), 64);
  const BYTE header[] = {'N', 'E', 'T', 'P', 0x24, 0x01};
  EXPECT_EQ(std::memcmp(buffer, header, 6), 0);
  for (int i = 6; i < PS_BUFFER_LENGTH; i++) ASSERT_EQ(buffer[i], 0) << i;
}

TEST(PacketHeader, OldHeaderIsQiAndTheCommand) {
  BYTE buffer[8] = {};
  PSBuildOldHeader(buffer, 0x0008);
  const BYTE expected[] = {'Q', 'I', 0x08, 0x00};
  EXPECT_EQ(std::memcmp(buffer, expected, 4), 0);
  EXPECT_TRUE(PSIsOldReplyWord(std::vector<BYTE>{'Q', 'I', 0x88, 0x00}.data(), 4, 0x0088));
  EXPECT_FALSE(PSIsOldReplyWord(std::vector<BYTE>{'Q', 'I', 0x88}.data(), 3, 0x0088));
}

TEST(PacketHeader, ReplyWordComparesTheFlagByteButReplyCodeDoesNot) {
  std::vector<BYTE> status = {'N', 'E', 'T', 0, 0x88, 0x01, 0, 0};
  EXPECT_FALSE(PSIsReplyWord(status.data(), 8, 0x0088)) << "0x0188 is not a valid status reply";
  EXPECT_TRUE(PSIsReplyCode(status.data(), 8, PSReplyCode(PSCMD_STATUS)));
  status[5] = 0;
  EXPECT_TRUE(PSIsReplyWord(status.data(), 8, 0x0088));
  EXPECT_FALSE(PSIsReplyWord(status.data(), 5, 0x0088)) << "shorter than a header";
  status[3] = 'Z';  // the type byte of a reply is ignored
  EXPECT_TRUE(PSIsReplyWord(status.data(), 8, 0x0088));
  status[0] = 'Q';
  EXPECT_FALSE(PSIsReplyCode(status.data(), 8, 0x88));
}

TEST(PacketHeader, LittleEndianFieldsAndReplyCodes) {
  BYTE bytes[4];
  PSPutDword(bytes, 0x00F4C008u);
  EXPECT_EQ(bytes[0], 0x08);
  EXPECT_EQ(bytes[3], 0x00);
  EXPECT_EQ(PSGetDword(bytes), 0x00F4C008u);
  PSPutWord(bytes, 0x0125);
  EXPECT_EQ(bytes[0], 0x25);
  EXPECT_EQ(bytes[1], 0x01);
  EXPECT_EQ(PSGetWord(bytes), 0x0125);
  EXPECT_EQ(PSReplyCode(PSCMD_SEARCH), 0x84);
  EXPECT_EQ(PSReplyCode(PSCMD_SEARCH_MULTI), 0xA4);
  EXPECT_EQ(PSReplyCode(PSCMD_SECURE), 0xA5);
  EXPECT_EQ(PSReplyCode(PSCMD_CONFIG_BLOCK), 0xA1);
  EXPECT_EQ(PS_PORT, 20560);
}

}  // namespace
