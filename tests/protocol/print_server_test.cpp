// The record read from whole replies of every generation: every getter of a full
// extended "NET" reply, the older fixed layouts, what is refused, and the record's
// life (reset, copy ownership).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/accessor_sweep.h"
#include "protocol/counted_memory.h"
#include "protocol/print_server.h"
#include "reply_vectors.h"

namespace {

using namespace vek::test;

std::vector<BYTE> Vec(const BYTE* p, int n) { return p ? std::vector<BYTE>(p, p + n) : std::vector<BYTE>{}; }

class FullReplyTest : public testing::Test {
 protected:
  void SetUp() override {
    m_reply = MakeFullReply();
    ASSERT_TRUE(m_ps.ParseReply(m_reply.bytes.data(), static_cast<int>(m_reply.bytes.size())));
  }
  FullReply m_reply;
  CPrintServer m_ps;
};

TEST_F(FullReplyTest, IdentityAndSystemSection) {
  EXPECT_EQ(m_ps.m_Generation, 5);
  EXPECT_EQ(m_ps.m_ReplyLength, static_cast<int>(m_reply.bytes.size()));
  EXPECT_EQ(m_ps.m_Extended, 1);
  EXPECT_TRUE(m_ps.IsExtended());
  EXPECT_EQ(Vec(m_ps.m_NodeID, 6), Vec(full::kMac, 6));
  EXPECT_STREQ(m_ps.GetNodeIDText(), "02:4E:57:AB:CD:EF");
  EXPECT_EQ(m_ps.GetFirmwareMajor(), 2);
  EXPECT_EQ(m_ps.GetFirmwareMinor(), 0x1A);
  EXPECT_STREQ(m_ps.GetVersionText(), full::kVersionText);
  EXPECT_EQ(m_ps.GetModelCode(), 6);
  EXPECT_EQ(m_ps.GetPortCount(), 3);
  EXPECT_STREQ(m_ps.GetName(), full::kName);
  EXPECT_STREQ(m_ps.GetPassword(), full::kPassword);
  EXPECT_EQ(m_ps.GetCapabilities().m_Bits, kAllWireless);
}

TEST_F(FullReplyTest, AddressSettingsPointIntoTheCopy) {
  EXPECT_TRUE(m_ps.HasIPSettings());
  EXPECT_EQ(m_ps.GetIPAddress(), m_ps.m_pReply + 34);
  EXPECT_EQ(Vec(m_ps.GetIPAddress(), 4), Vec(full::kAddress, 4));
  EXPECT_EQ(m_ps.GetSubnetMask(), m_ps.m_pReply + m_reply.ip + 1);
  EXPECT_EQ(Vec(m_ps.GetSubnetMask(), 4), Vec(full::kMask, 4));
  EXPECT_EQ(Vec(m_ps.GetGateway(), 4), Vec(full::kGateway, 4));
  EXPECT_TRUE(m_ps.HasDHCPSwitch());
  EXPECT_EQ(m_ps.GetDHCP(), 1);
  ASSERT_TRUE(m_ps.SetDHCP(0));
  EXPECT_EQ(m_ps.m_pReply[m_reply.ip + 9], 0);
  ASSERT_TRUE(m_ps.SetDHCP(5));
  EXPECT_EQ(m_ps.m_pReply[m_reply.ip + 9], 1);
  // The save step writes new addresses through the pointers.
  m_ps.GetGateway()[3] = 254;
  EXPECT_EQ(m_ps.m_pReply[m_reply.ip + 8], 254);
}

TEST_F(FullReplyTest, CapabilityTests) {
  EXPECT_TRUE(m_ps.HasWireless());
  EXPECT_TRUE(m_ps.HasWirelessOption());
  EXPECT_TRUE(m_ps.HasGRates());
  EXPECT_TRUE(m_ps.Has8021X());
  EXPECT_TRUE(m_ps.HasWPAPSK());
  EXPECT_TRUE(m_ps.HasWPA2PSK());
  EXPECT_TRUE(m_ps.HasTxMode());
  EXPECT_TRUE(m_ps.HasSecureConfig());
}

TEST_F(FullReplyTest, WirelessSection) {
  EXPECT_EQ(m_ps.GetCommType(), 2);
  EXPECT_STREQ(m_ps.GetSSID(), full::kSSID) << "32 characters without a terminator";
  EXPECT_EQ(m_ps.GetDomain(), 3);
  EXPECT_EQ(m_ps.GetChannel(), 11);
  EXPECT_EQ(m_ps.GetTxRate(), 2) << "mask 8";
  EXPECT_EQ(m_ps.GetAuthType(), 3) << "byte 4";
  EXPECT_EQ(m_ps.GetWEPMode(), 2);
  EXPECT_EQ(m_ps.GetWEPKeyIndex(), 3);
  EXPECT_EQ(m_ps.GetWEPKey64(), m_ps.m_pReply + m_reply.wireless + 45);
  EXPECT_EQ(Vec(m_ps.GetWEPKey64(), 5), Vec(full::kKey64, 5));
  EXPECT_EQ(m_ps.GetWEPKey64Slot(3), m_ps.m_pReply + m_reply.wireless + 63);
  EXPECT_EQ(m_ps.GetWEPKey64Slot(4), nullptr);
  ASSERT_NE(m_ps.GetWEPKey128(), nullptr);
  EXPECT_EQ(m_ps.GetWEPKey128()[0], 0xA0);
  EXPECT_EQ(m_ps.GetWEPKey128()[12], 0xAC);
  EXPECT_EQ(m_ps.GetWEPKeyFormat(), 1);
  EXPECT_EQ(m_ps.GetLoginMode(), 1);
  EXPECT_EQ(m_ps.GetWirelessOption(), 1);
}

TEST_F(FullReplyTest, SecuritySectionAndKey) {
  EXPECT_EQ(m_ps.GetTxRateG(), 8) << "rate bit 16";
  EXPECT_EQ(m_ps.Get8021XMethod(), 1);
  EXPECT_STREQ(m_ps.Get8021XUser(), full::kUser);
  EXPECT_STREQ(m_ps.Get8021XPassword(), full::kUserPassword);
  EXPECT_STREQ(m_ps.GetWPAPSK(), full::kPSK);
  EXPECT_EQ(m_ps.GetTxMode(), 1) << "byte 2: G only";
  EXPECT_EQ(m_ps.GetEncryption(), 1);
  int length = -1;
  BYTE* modulus = m_ps.GetRSAModulus(&length);
  ASSERT_NE(modulus, nullptr);
  EXPECT_EQ(modulus, m_ps.m_pReply + m_reply.key + 1);
  EXPECT_EQ(length, full::kModulusLength);
  EXPECT_EQ(modulus[0], 0xC0);
  EXPECT_EQ(modulus[127], 0xC0 ^ 127);
  EXPECT_EQ(m_ps.GetRSAModulus(), modulus) << "the length is optional";
}

TEST_F(FullReplyTest, PortTypesGiveTypeLettersAndDigits) {
  const std::string types = m_ps.GetPortTypes();
  ASSERT_EQ(types.size(), 100u);
  EXPECT_EQ(types.substr(0, 15), "P3   U2   1    ");
  EXPECT_EQ(types.find_first_not_of(' ', 11), std::string::npos);
}

TEST_F(FullReplyTest, TheRecordOwnsItsCopy) {
  m_reply.bytes[14] = 'X';
  EXPECT_STREQ(m_ps.GetName(), full::kName);
  EXPECT_NE(m_ps.m_pReply, m_reply.bytes.data());
}

TEST(PrintServerRecord, InformationReplyWithFlagIsAcceptedAlike) {
  FullReply r = MakeFullReply();
  r.bytes[5] = 0x01;  // 0x0184
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  EXPECT_EQ(ps.m_Generation, 5);
  EXPECT_STREQ(ps.GetName(), full::kName);
  EXPECT_STREQ(ps.GetSSID(), full::kSSID);
  EXPECT_EQ(ps.GetTxMode(), 1);
}

TEST(PrintServerRecord, NameIsBoundedToEighteenCharacters) {
  FullReply r = MakeFullReply();
  r.bytes[32] = 'Z';  // the unused byte after the name
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  EXPECT_STREQ(ps.GetName(), full::kName);
  ASSERT_TRUE(ps.SetName("New name that is far too long"));
  EXPECT_STREQ(ps.GetName(), "New name that is f");
  ASSERT_TRUE(ps.SetName("Short"));
  EXPECT_STREQ(ps.GetName(), "Short");
  EXPECT_EQ(ps.m_pReply[31], 0) << "the old name is cleared";
}

TEST(PrintServerRecord, VersionTextFallsBackToTheNumbers) {
  FullReply r = MakeFullReply();
  std::memset(&r.bytes[51], 0, 15);
  r.bytes[12] = 1;
  r.bytes[13] = 0x0B;
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  EXPECT_STREQ(ps.GetVersionText(), "1.0b");
  // A version text of the full 15 characters is shown whole.
  std::memcpy(&r.bytes[51], "123456789012345", 15);
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  EXPECT_STREQ(ps.GetVersionText(), "123456789012345");
}

TEST(PrintServerRecord, PasswordSetterKeepsEightCharacters) {
  FullReply r = MakeFullReply();
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  ASSERT_TRUE(ps.SetPassword("longer than eight"));
  EXPECT_STREQ(ps.GetPassword(), "longer t");
  EXPECT_EQ(ps.m_pReply[50], 0);
}

TEST(PrintServerRecord, NetReplyTooShortForTheSystemLengthIsRefused) {
  FullReply r = MakeFullReply();
  CPrintServer ps;
  for (int n : {3, 6, 11, 12, 37, 38}) {
    EXPECT_FALSE(ps.ParseReply(r.bytes.data(), n)) << n;
    EXPECT_EQ(ps.m_Generation, 0);
    EXPECT_EQ(ps.m_ReplyLength, 0);
    EXPECT_EQ(ps.m_pReply, nullptr);
  }
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), 39));
  EXPECT_EQ(Vec(ps.m_NodeID, 6), Vec(full::kMac, 6));
  EXPECT_STREQ(ps.GetName(), full::kName);
  EXPECT_FALSE(ps.HasIPSettings()) << "no IP section in 39 bytes";
  EXPECT_FALSE(ps.HasWireless()) << "no capability word in 39 bytes";
  EXPECT_STREQ(ps.GetPassword(), "");
  EXPECT_EQ(std::string(ps.GetPortTypes()).substr(0, 15), "1    2    3    ")
      << "the default port types, kept outside the copy";
}

TEST(PrintServerRecord, RefusedRepliesLeaveTheRecordReset) {
  FullReply r = MakeFullReply();
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  for (std::string lead : {"QI-anything", "QIM-R4412+ and more", "XYZ"}) {
    std::vector<BYTE> bad(lead.begin(), lead.end());
    bad.resize(600, 0x41);
    EXPECT_FALSE(ps.ParseReply(bad.data(), static_cast<int>(bad.size()))) << lead;
    EXPECT_EQ(ps.m_Generation, 0);
    EXPECT_EQ(ps.m_pReply, nullptr);
    EXPECT_STREQ(ps.GetName(), "");
    EXPECT_EQ(ps.GetIPAddress(), nullptr);
  }
  EXPECT_FALSE(ps.ParseReply(nullptr, 100));
  EXPECT_FALSE(ps.ParseReply(r.bytes.data(), 0));
}

TEST(PrintServerRecord, ResetKeepsIdentityAddressAndTransport) {
  FullReply r = MakeFullReply();
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  ps.m_Transport = PS_TRANSPORT_UDP;
  const BYTE address[4] = {10, 1, 2, 3};
  std::memcpy(ps.m_IPAddress, address, 4);
  ps.m_PortStatus = 3;
  ps.m_PortInfoRead = 1;
  ps.m_PortInfo[1][2] = "text";
  ps.Reset();
  EXPECT_EQ(ps.m_Transport, PS_TRANSPORT_UDP);
  EXPECT_EQ(Vec(ps.m_NodeID, 6), Vec(full::kMac, 6));
  EXPECT_EQ(Vec(ps.m_IPAddress, 4), Vec(address, 4));
  EXPECT_EQ(ps.m_Generation, 0);
  EXPECT_EQ(ps.m_ReplyLength, 0);
  EXPECT_EQ(ps.m_pReply, nullptr);
  EXPECT_EQ(ps.m_Extended, 0);
  EXPECT_EQ(ps.m_PortStatus, 0);
  EXPECT_EQ(ps.m_PortInfoRead, 0);
  EXPECT_TRUE(ps.m_PortInfo[1][2].empty());
  EXPECT_FALSE(ps.HasWireless());
  EXPECT_EQ(ps.GetWEPKey64(), nullptr);
}

TEST(PrintServerRecord, CopiesAreCountedAndFreed) {
  const LONG live = g_CountedBlocksLive;
  FullReply r = MakeFullReply();
  {
    CPrintServer ps;
    ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
    EXPECT_EQ(g_CountedBlocksLive, live + 1);
    ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
    EXPECT_EQ(g_CountedBlocksLive, live + 1) << "a new reply replaces the old copy";
    std::vector<BYTE> bad = {'Q', 'I', 'X'};
    EXPECT_FALSE(ps.ParseReply(bad.data(), 3));
    EXPECT_EQ(g_CountedBlocksLive, live);
    ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  }
  EXPECT_EQ(g_CountedBlocksLive, live);
}

// Older generations ---------------------------------------------------------------

std::vector<BYTE> OldReply(const char* lead, int length) {
  std::vector<BYTE> bytes(static_cast<std::size_t>(length), 0);
  std::memcpy(bytes.data(), lead, std::strlen(lead));
  return bytes;
}

TEST(PrintServerRecord, QimGenerationReadsItsFixedLayout) {
  std::vector<BYTE> b = OldReply("QIM", 100);
  std::memcpy(&b[5], "Old QIM server", 14);
  b[86] = 3;
  b[87] = 0x21;
  b[40] = 9;
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(ps.m_Generation, 3);
  EXPECT_STREQ(ps.GetName(), "Old QIM server");
  EXPECT_STREQ(ps.GetVersionText(), "3.21");
  EXPECT_EQ(ps.GetModelCode(), 9);
  EXPECT_EQ(ps.GetPortCount(), 1);
  EXPECT_FALSE(ps.HasIPSettings());
  EXPECT_FALSE(ps.IsExtended());
  EXPECT_EQ(ps.GetCapabilities().m_Bits, 0u);
  EXPECT_EQ(ps.GetIPAddress(), nullptr);
  EXPECT_EQ(Vec(ps.m_NodeID, 6), std::vector<BYTE>(6, 0)) << "only NET replies carry the MAC";
}

TEST(PrintServerRecord, QimSetupGenerationReadsItsFixedLayout) {
  std::vector<BYTE> b = OldReply("QIM-R4410KX-SETUP", 600);
  std::memcpy(&b[87], "Setup server", 12);
  b[36] = 4;
  b[35] = 0x0C;
  b[27] = 7;
  const BYTE mask[4] = {255, 255, 0, 0}, gateway[4] = {10, 0, 0, 1}, address[4] = {10, 0, 0, 9};
  std::memcpy(&b[515], mask, 4);
  std::memcpy(&b[519], gateway, 4);
  std::memcpy(&b[523], address, 4);
  b[527] = 0x81;
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(ps.m_Generation, 4);
  EXPECT_STREQ(ps.GetName(), "Setup server");
  EXPECT_STREQ(ps.GetVersionText(), "4.0c");
  EXPECT_EQ(ps.GetModelCode(), 7);
  EXPECT_EQ(ps.GetPortCount(), 3) << "model 7";
  EXPECT_TRUE(ps.HasIPSettings());
  EXPECT_EQ(Vec(ps.GetIPAddress(), 4), Vec(address, 4));
  EXPECT_EQ(Vec(ps.GetSubnetMask(), 4), Vec(mask, 4));
  EXPECT_EQ(Vec(ps.GetGateway(), 4), Vec(gateway, 4));
  EXPECT_TRUE(ps.HasDHCPSwitch());
  EXPECT_EQ(ps.GetDHCP(), 1);
  ASSERT_TRUE(ps.SetDHCP(0));
  EXPECT_EQ(ps.m_pReply[527], 0x01) << "only bit 7 changes";
  EXPECT_EQ(ps.GetCapabilities().m_Bits, PSCAP_FEATURE7);
  EXPECT_FALSE(ps.HasWireless());
  b[27] = 5;
  ASSERT_TRUE(ps.ParseReply(b.data(), static_cast<int>(b.size())));
  EXPECT_EQ(ps.GetPortCount(), 1);
}

TEST(PrintServerRecord, ShortOlderRepliesGiveDefaultsForFieldsPastTheirEnd) {
  // The fixed offsets run to byte 527; these replies end long before.
  for (int n : {17, 30, 100, 526, 527}) {
    std::vector<BYTE> b = OldReply("QIM-R4410KX-SETUP", n);
    CPrintServer ps;
    ASSERT_TRUE(ps.ParseReply(b.data(), n)) << n;
    EXPECT_FALSE(ps.HasDHCPSwitch()) << n;
    EXPECT_EQ(ps.GetDHCP(), 0);
    EXPECT_FALSE(ps.SetDHCP(1));
    SweepAccessors(ps);
  }
  std::vector<BYTE> b = OldReply("QIM", 3);
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(b.data(), 3));
  EXPECT_STREQ(ps.GetName(), "");
  EXPECT_STREQ(ps.GetVersionText(), "0.00");
  SweepAccessors(ps);
}

// Hostile replies ---------------------------------------------------------------

TEST(PrintServerRecord, EveryPrefixOfAFullReplyParsesSafely) {
  FullReply r = MakeFullReply();
  for (int n = 0; n <= static_cast<int>(r.bytes.size()); n++) {
    std::vector<BYTE> prefix(r.bytes.begin(), r.bytes.begin() + n);
    CPrintServer ps;
    const BOOL accepted = ps.ParseReply(prefix.data(), n);
    ASSERT_EQ(accepted, n >= 39 ? TRUE : FALSE) << n;
    if (!accepted) {
      SweepAccessors(ps);
      continue;
    }
    ASSERT_STREQ(ps.GetName(), full::kName) << n;
    // A field is there exactly when its whole section made it into the prefix.
    const bool wirelessWhole = n >= r.wireless + 87;
    ASSERT_EQ(std::string(ps.GetSSID()) == full::kSSID, n >= r.wireless + 34) << n;
    ASSERT_EQ(ps.GetWirelessOption() == 1, wirelessWhole) << n;
    int length = 0;
    ASSERT_EQ(ps.GetRSAModulus(&length) != nullptr, n == static_cast<int>(r.bytes.size())) << n;
    SweepAccessors(ps);
  }
}

}  // namespace
