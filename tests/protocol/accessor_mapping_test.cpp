// The getters' and setters' mapping tables (rates, authentication, transmit mode),
// the clamps written back into the copy, the text setters, and the gates: a field
// whose capability is missing, or that does not lie inside its own section, reads
// as the default and is never written.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "protocol/print_server.h"
#include "reply_vectors.h"

namespace {

using namespace vek::test;

void SetCapabilities(std::vector<BYTE>& bytes, std::uint32_t caps) {
  for (int i = 0; i < 4; i++) bytes[static_cast<std::size_t>(67 + i)] = static_cast<BYTE>(caps >> (8 * i));
}

std::unique_ptr<CPrintServer> Parse(const std::vector<BYTE>& bytes) {
  auto ps = std::make_unique<CPrintServer>();
  EXPECT_TRUE(ps->ParseReply(bytes.data(), static_cast<int>(bytes.size())));
  return ps;
}

std::vector<BYTE> CopyOf(const CPrintServer& ps) { return std::vector<BYTE>(ps.m_pReply, ps.m_pReply + ps.m_ReplyLength); }

class MappingTest : public testing::Test {
 protected:
  void SetUp() override {
    m_reply = MakeFullReply();
    m_ps = Parse(m_reply.bytes);
  }
  BYTE& Wireless(int offset) { return m_ps->m_pReply[m_reply.wireless + offset]; }
  BYTE& Security(int offset) { return m_ps->m_pReply[m_reply.security + offset]; }

  FullReply m_reply;
  std::unique_ptr<CPrintServer> m_ps;
};

TEST_F(MappingTest, TxRateMasks) {
  const struct {
    BYTE mask;
    int index;
  } table[] = {{3, 0}, {4, 1}, {8, 2}, {15, 3}, {0, 3}, {7, 3}, {255, 3}};
  for (auto row : table) {
    Wireless(36) = row.mask;
    EXPECT_EQ(m_ps->GetTxRate(), row.index) << int(row.mask);
  }
  const BYTE masks[] = {3, 4, 8, 15};
  for (int index = 0; index < 4; index++) {
    ASSERT_TRUE(m_ps->SetTxRate(index));
    EXPECT_EQ(Wireless(36), masks[index]);
  }
  for (int index : {4, 5, -1}) {
    EXPECT_FALSE(m_ps->SetTxRate(index));
    EXPECT_EQ(Wireless(36), 15) << "index " << index << " leaves the byte";
  }
}

TEST_F(MappingTest, TxRateGBits) {
  const struct {
    BYTE value;
    int index;
  } table[] = {{0, 2},  {1, 4},  {2, 5},   {4, 6},   {8, 7},  {16, 8},
               {32, 9}, {64, 10}, {128, 11}, {255, 3}, {3, 3}, {17, 3}};
  for (auto row : table) {
    Security(1) = row.value;
    EXPECT_EQ(m_ps->GetTxRateG(), row.index) << int(row.value);
  }
  ASSERT_TRUE(m_ps->SetTxRateG(0));
  EXPECT_EQ(Security(1), 0);
  ASSERT_TRUE(m_ps->SetTxRateG(3));
  EXPECT_EQ(Security(1), 255);
  for (int index = 4; index <= 11; index++) {
    ASSERT_TRUE(m_ps->SetTxRateG(index));
    EXPECT_EQ(Security(1), 1 << (index - 4));
    EXPECT_EQ(m_ps->GetTxRateG(), index) << "round trip";
  }
  for (int index : {1, 2, 12, -3}) {
    EXPECT_FALSE(m_ps->SetTxRateG(index));
    EXPECT_EQ(Security(1), 128) << "index " << index << " leaves the byte";
  }
}

TEST_F(MappingTest, AuthenticationType) {
  const struct {
    BYTE value;
    int type;
  } table[] = {{2, 1}, {3, 2}, {4, 3}, {5, 4}, {0, 0}, {1, 0}, {6, 0}, {255, 0}};
  for (auto row : table) {
    Wireless(42) = row.value;
    EXPECT_EQ(m_ps->GetAuthType(), row.type) << int(row.value);
  }
  ASSERT_TRUE(m_ps->SetAuthType(3));
  EXPECT_EQ(Wireless(42), 4);
  ASSERT_TRUE(m_ps->SetAuthType(0));
  EXPECT_EQ(Wireless(42), 1);
}

TEST_F(MappingTest, TransmitMode) {
  const struct {
    BYTE value;
    int index;
  } table[] = {{1, 0}, {2, 1}, {0, 2}, {3, 2}, {255, 2}};
  for (auto row : table) {
    Security(109) = row.value;
    EXPECT_EQ(m_ps->GetTxMode(), row.index) << int(row.value);
  }
  const struct {
    int index;
    BYTE value;
  } writes[] = {{0, 1}, {1, 2}, {2, 0}, {7, 0}, {-1, 0}};
  for (auto row : writes) {
    ASSERT_TRUE(m_ps->SetTxMode(row.index));
    EXPECT_EQ(Security(109), row.value) << row.index;
  }
}

TEST_F(MappingTest, ClampingGettersWriteTheClampedValueBack) {
  Wireless(1) = 7;
  EXPECT_EQ(m_ps->GetCommType(), 1);
  EXPECT_EQ(Wireless(1), 1);
  Wireless(1) = 0;
  EXPECT_EQ(m_ps->GetCommType(), 0) << "only values above 2 are clamped";
  Wireless(43) = 7;
  EXPECT_EQ(m_ps->GetWEPMode(), 1);
  EXPECT_EQ(Wireless(43), 1);
  Wireless(44) = 5;
  EXPECT_EQ(m_ps->GetWEPKeyIndex(), 0);
  EXPECT_EQ(Wireless(44), 0);
  Wireless(44) = 4;
  EXPECT_EQ(m_ps->GetWEPKeyIndex(), 4);
  Wireless(84) = 2;
  EXPECT_EQ(m_ps->GetWEPKeyFormat(), 0);
  EXPECT_EQ(Wireless(84), 0);
  Wireless(85) = 9;
  EXPECT_EQ(m_ps->GetLoginMode(), 0);
  EXPECT_EQ(Wireless(85), 0);
  Wireless(86) = 2;
  EXPECT_EQ(m_ps->GetWirelessOption(), 0);
  EXPECT_EQ(Wireless(86), 0);
  Security(2) = 3;
  EXPECT_EQ(m_ps->Get8021XMethod(), 0);
  EXPECT_EQ(Security(2), 0);
  Security(2) = 2;
  EXPECT_EQ(m_ps->Get8021XMethod(), 2);
}

TEST_F(MappingTest, ByteSettersStoreWithTheirOwnClamps) {
  ASSERT_TRUE(m_ps->SetCommType(2));
  EXPECT_EQ(Wireless(1), 2);
  ASSERT_TRUE(m_ps->SetCommType(3));
  EXPECT_EQ(Wireless(1), 1);
  ASSERT_TRUE(m_ps->SetWEPMode(5));
  EXPECT_EQ(Wireless(43), 1);
  ASSERT_TRUE(m_ps->SetWEPMode(0));
  EXPECT_EQ(Wireless(43), 0);
  ASSERT_TRUE(m_ps->SetWEPKeyFormat(4));
  EXPECT_EQ(Wireless(84), 0);
  ASSERT_TRUE(m_ps->SetWEPKeyFormat(1));
  EXPECT_EQ(Wireless(84), 1);
  ASSERT_TRUE(m_ps->SetWirelessOption(2));
  EXPECT_EQ(Wireless(86), 2) << "the setter keeps 2";
  ASSERT_TRUE(m_ps->SetWirelessOption(3));
  EXPECT_EQ(Wireless(86), 1);
  ASSERT_TRUE(m_ps->Set8021XMethod(2));
  EXPECT_EQ(Security(2), 2);
  ASSERT_TRUE(m_ps->Set8021XMethod(5));
  EXPECT_EQ(Security(2), 0);
  ASSERT_TRUE(m_ps->SetChannel(13));
  EXPECT_EQ(Wireless(35), 13);
  EXPECT_EQ(m_ps->GetChannel(), 13);
  ASSERT_TRUE(m_ps->SetEncryption(0));
  EXPECT_EQ(m_ps->GetEncryption(), 0);
  Security(110) = 2;
  EXPECT_EQ(m_ps->GetEncryption(), 0) << "only 1 is on";
  ASSERT_TRUE(m_ps->SetWEPKeyIndex(2));
  EXPECT_EQ(Wireless(44), 2);
}

TEST_F(MappingTest, TextSettersClearTheFieldAndCutToItsWidth) {
  ASSERT_TRUE(m_ps->SetSSID("home"));
  EXPECT_STREQ(m_ps->GetSSID(), "home");
  for (int i = 4; i < 32; i++) EXPECT_EQ(Wireless(2 + i), 0) << i;
  EXPECT_EQ(Wireless(34), 3) << "the domain after the SSID is untouched";
  ASSERT_TRUE(m_ps->SetSSID("0123456789abcdef0123456789ABCDEF-too-long"));
  EXPECT_STREQ(m_ps->GetSSID(), "0123456789abcdef0123456789ABCDEF");
  EXPECT_EQ(Wireless(34), 3);
  ASSERT_TRUE(m_ps->SetSSID(nullptr));
  EXPECT_STREQ(m_ps->GetSSID(), "");

  ASSERT_TRUE(m_ps->Set8021XUser("a-user-name-of-21-chars-and-more"));
  EXPECT_STREQ(m_ps->Get8021XUser(), "a-user-name-of-21-cha");
  EXPECT_STREQ(m_ps->Get8021XPassword(), full::kUserPassword) << "the next field is untouched";
  ASSERT_TRUE(m_ps->Set8021XPassword("p"));
  EXPECT_STREQ(m_ps->Get8021XPassword(), "p");
  const std::string key64(64, 'k');
  ASSERT_TRUE(m_ps->SetWPAPSK((key64 + "overflow").c_str()));
  EXPECT_EQ(std::string(m_ps->GetWPAPSK()), key64);
  EXPECT_EQ(Security(109), 2) << "transmit mode after the key is untouched";
}

TEST_F(MappingTest, CapabilityGatesGiveDefaultsAndBlockWrites) {
  SetCapabilities(m_reply.bytes, kAllWireless & ~(Bit(15) | Bit(16) | Bit(17) | Bit(19) | Bit(21) | Bit(22)));
  auto ps = Parse(m_reply.bytes);
  const std::vector<BYTE> before = CopyOf(*ps);
  EXPECT_TRUE(ps->HasWireless());
  EXPECT_EQ(ps->GetWirelessOption(), 0);
  EXPECT_FALSE(ps->SetWirelessOption(1));
  EXPECT_EQ(ps->GetTxRateG(), 0);
  EXPECT_FALSE(ps->SetTxRateG(4));
  EXPECT_EQ(ps->Get8021XMethod(), 0);
  EXPECT_STREQ(ps->Get8021XUser(), "");
  EXPECT_FALSE(ps->Set8021XUser("x"));
  EXPECT_STREQ(ps->GetWPAPSK(), "");
  EXPECT_FALSE(ps->SetWPAPSK("x"));
  EXPECT_EQ(ps->GetTxMode(), 2);
  EXPECT_FALSE(ps->SetTxMode(0));
  EXPECT_EQ(ps->GetEncryption(), 1) << "gated by the wireless bit alone";
  EXPECT_EQ(CopyOf(*ps), before);

  SetCapabilities(m_reply.bytes, kAllWireless & ~Bit(19));
  EXPECT_STREQ(Parse(m_reply.bytes)->GetWPAPSK(), full::kPSK) << "WPA2-PSK alone opens the key";
  SetCapabilities(m_reply.bytes, kAllWireless & ~Bit(23));
  EXPECT_EQ(Parse(m_reply.bytes)->GetRSAModulus(), nullptr);
}

TEST_F(MappingTest, WithoutTheWirelessBitNothingWirelessIsRead) {
  SetCapabilities(m_reply.bytes, kAllWireless & ~Bit(14));
  auto ps = Parse(m_reply.bytes);
  EXPECT_FALSE(ps->HasWireless());
  EXPECT_FALSE(ps->HasGRates());
  EXPECT_FALSE(ps->HasWPA2PSK());
  EXPECT_TRUE(ps->HasSecureConfig()) << "the key section does not need the wireless bit";
  EXPECT_EQ(ps->GetCommType(), 1);
  EXPECT_STREQ(ps->GetSSID(), "");
  EXPECT_EQ(ps->GetTxRate(), 2);
  EXPECT_EQ(ps->GetWEPMode(), 1);
  EXPECT_EQ(ps->GetWEPKeyFormat(), 1);
  EXPECT_EQ(ps->GetWEPKey64(), nullptr);
  EXPECT_EQ(ps->GetEncryption(), 0);
}

// A wireless section of length 0 (capability bit 14 set: the walk steps over the
// length byte alone). Its fields lie outside it, in the sections that follow;
// the record must neither read them nor write there.
TEST(RecordGates, LengthZeroWirelessSectionIsNeverWritten) {
  ReplyBuilder b(kAllWireless);
  b.Section(10);
  b.Raw({0, 0, 0});
  b.Section(9);
  b.Section(41);
  b.Section(148);
  b.Section(34);
  b.Raw({0});
  b.Section(0);
  const int wireless = b.Section(0);
  const int portTypes = b.Section(3);
  b.Put(portTypes + 1, 0x05);
  b.Put(portTypes + 3, 1);
  const int security = b.Section(110);
  for (int i = 1; i <= 110; i++) b.Put(security + i, 0x5A);
  b.Section(39);
  b.Section(8);
  auto ps = Parse(b.Bytes());
  EXPECT_TRUE(ps->HasWireless());
  const std::vector<BYTE> before = CopyOf(*ps);
  EXPECT_EQ(before[static_cast<std::size_t>(wireless)], 0);

  EXPECT_EQ(ps->GetCommType(), 1);
  EXPECT_STREQ(ps->GetSSID(), "");
  EXPECT_EQ(ps->GetChannel(), 0);
  EXPECT_EQ(ps->GetTxRate(), 2);
  EXPECT_EQ(ps->GetAuthType(), 0);
  EXPECT_EQ(ps->GetWEPMode(), 1);
  EXPECT_EQ(ps->GetWEPKeyIndex(), 0);
  EXPECT_EQ(ps->GetWEPKey64(), nullptr);
  EXPECT_EQ(ps->GetWEPKey128(), nullptr);
  EXPECT_EQ(ps->GetWEPKeyFormat(), 1);
  EXPECT_EQ(ps->GetLoginMode(), 0);
  EXPECT_EQ(ps->GetWirelessOption(), 0);
  EXPECT_FALSE(ps->SetCommType(2));
  EXPECT_FALSE(ps->SetSSID("would overwrite the port types"));
  EXPECT_FALSE(ps->SetChannel(6));
  EXPECT_FALSE(ps->SetTxRate(0));
  EXPECT_FALSE(ps->SetAuthType(1));
  EXPECT_FALSE(ps->SetWEPMode(1));
  EXPECT_FALSE(ps->SetWEPKeyFormat(0));
  EXPECT_FALSE(ps->SetWirelessOption(1));
  EXPECT_EQ(CopyOf(*ps), before) << "nothing of the following sections changed";
  // The security section itself is whole and still works.
  EXPECT_EQ(ps->GetTxMode(), 2);
  EXPECT_EQ(ps->GetTxRateG(), 3);
}

TEST(RecordGates, ShortSectionsHoldOnlyTheFieldsInsideThem) {
  ReplyBuilder b(kAllWireless);
  b.Section(10);
  b.Raw({0, 0, 0});
  const int ip = b.Section(4);  // subnet mask only
  b.Put(ip + 1, 255);
  b.Section(41);
  b.Section(148);
  b.Section(34);
  b.Raw({0});
  b.Section(0);
  const int wireless = b.Section(40);  // up to the rate mask, not the authentication
  b.Put(wireless + 1, 2);
  b.PutText(wireless + 2, "short");
  b.Put(wireless + 35, 9);
  b.Put(wireless + 36, 4);
  const int portTypes = b.Section(3);
  b.Put(portTypes + 1, 0x08);  // wireless bytes 42 and 43 would be this section's
  b.Put(portTypes + 3, 1);
  const int security = b.Section(30);  // up to part of the 802.1X password
  b.Put(security + 1, 2);
  b.Put(security + 2, 1);
  b.PutText(security + 3, "shortuser");
  b.Section(39);
  b.Section(8);
  auto ps = Parse(b.Bytes());
  const std::vector<BYTE> before = CopyOf(*ps);

  EXPECT_TRUE(ps->HasIPSettings());
  ASSERT_NE(ps->GetSubnetMask(), nullptr);
  EXPECT_EQ(ps->GetSubnetMask()[0], 255);
  EXPECT_EQ(ps->GetGateway(), nullptr);
  EXPECT_FALSE(ps->HasDHCPSwitch());
  EXPECT_FALSE(ps->SetDHCP(1));

  EXPECT_EQ(ps->GetCommType(), 2);
  EXPECT_STREQ(ps->GetSSID(), "short");
  EXPECT_EQ(ps->GetChannel(), 9);
  EXPECT_EQ(ps->GetTxRate(), 1);
  EXPECT_EQ(ps->GetAuthType(), 0);
  EXPECT_FALSE(ps->SetAuthType(2));
  EXPECT_EQ(ps->GetWEPMode(), 1) << "not the digits byte 0 of the port types";
  EXPECT_EQ(ps->GetWEPKey64(), nullptr);
  EXPECT_FALSE(ps->SetWEPMode(2));

  EXPECT_EQ(ps->GetTxRateG(), 5);
  EXPECT_EQ(ps->Get8021XMethod(), 1);
  EXPECT_STREQ(ps->Get8021XUser(), "shortuser");
  EXPECT_STREQ(ps->Get8021XPassword(), "") << "bytes 24-44 end past the section";
  EXPECT_FALSE(ps->Set8021XPassword("x"));
  EXPECT_STREQ(ps->GetWPAPSK(), "");
  EXPECT_FALSE(ps->SetWPAPSK("x"));
  EXPECT_EQ(ps->GetTxMode(), 2);
  EXPECT_FALSE(ps->SetTxMode(1));
  EXPECT_FALSE(ps->SetEncryption(1));
  EXPECT_EQ(CopyOf(*ps), before);
  EXPECT_EQ(std::string(ps->GetPortTypes()).substr(0, 15), "     U         ") << "port 2 type 2, no digits";
}

TEST(RecordGates, LengthZeroSecuritySectionGivesDefaults) {
  ReplyBuilder b(kAllWireless);
  b.Section(10);
  b.Raw({0, 0, 0});
  b.Section(9);
  b.Section(41);
  b.Section(148);
  b.Section(34);
  b.Raw({0});
  b.Section(0);
  b.Section(86);
  const int portTypes = b.Section(3);
  b.Put(portTypes + 3, 1);
  const int security = b.Section(0);
  b.Zeros(110);  // the step of bits 19 and 22 together
  for (int i = 1; i <= 110; i++) b.Put(security + i, 1);
  auto ps = Parse(b.Bytes());
  const std::vector<BYTE> before = CopyOf(*ps);
  EXPECT_EQ(ps->GetTxRateG(), 0);
  EXPECT_EQ(ps->Get8021XMethod(), 0);
  EXPECT_EQ(ps->GetTxMode(), 2);
  EXPECT_EQ(ps->GetEncryption(), 0);
  EXPECT_FALSE(ps->SetTxMode(0));
  EXPECT_FALSE(ps->SetWPAPSK("key"));
  EXPECT_FALSE(ps->SetEncryption(1));
  EXPECT_EQ(CopyOf(*ps), before);
}

TEST(RecordGates, NonExtendedReplyHasNoCapabilitiesNorPassword) {
  FullReply r = MakeFullReply();
  r.bytes[38] = 3;  // the walk takes the bytes after byte 41 as the next sections
  auto ps = Parse(r.bytes);
  EXPECT_FALSE(ps->IsExtended());
  EXPECT_EQ(ps->GetCapabilities().m_Bits, PSCAP_FEATURE7);
  EXPECT_FALSE(ps->HasWireless());
  EXPECT_FALSE(ps->HasSecureConfig());
  EXPECT_STREQ(ps->GetPassword(), "");
  EXPECT_FALSE(ps->SetPassword("x"));
  EXPECT_STREQ(ps->GetVersionText(), "2.1a") << "the version text counts only when extended";
}

TEST(RecordGates, ModulusLengthComesWithTheKey) {
  FullReply r = MakeFullReply();
  r.bytes.resize(r.bytes.size() - 1);  // the key section now runs one byte past the end
  auto ps = Parse(r.bytes);
  int length = 99;
  EXPECT_EQ(ps->GetRSAModulus(&length), nullptr);
  EXPECT_EQ(length, 0);
}

}  // namespace
