// The name table of one process: reset first, adding and deleting names, the
// refusals that need no one else, and the adapter status that lists them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "netbios_test_support.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

using NetbiosNameTest = NetbiosTest;

struct Status {
  UCHAR code = 0;
  WORD length = 0;
  ADAPTER_STATUS adapter{};
  std::vector<NAME_BUFFER> names;
};

Status AdapterStatus(UCHAR lana, WORD size = 4650) {
  std::vector<UCHAR> buffer(size);
  NCB ncb = Block(NCBASTAT, lana);
  std::memcpy(ncb.ncb_callname, Padded("*").data(), NCBNAMSZ);
  ncb.ncb_buffer = buffer.data();
  ncb.ncb_length = size;
  Status status;
  status.code = Netbios(&ncb);
  status.length = ncb.ncb_length;
  if (status.length >= sizeof(ADAPTER_STATUS)) {
    std::memcpy(&status.adapter, buffer.data(), sizeof(ADAPTER_STATUS));
    for (std::size_t at = sizeof(ADAPTER_STATUS); at + sizeof(NAME_BUFFER) <= status.length;
         at += sizeof(NAME_BUFFER)) {
      NAME_BUFFER entry;
      std::memcpy(&entry, buffer.data() + at, sizeof(entry));
      status.names.push_back(entry);
    }
  }
  return status;
}

TEST_F(NetbiosNameTest, EveryCommandWaitsForTheFirstReset) {
  // A child is a new station that has reset nothing yet.
  ChildProcess child([](Channel&) {
    NCB ncb = Block(NCBADDNAME, 0);
    std::memcpy(ncb.ncb_name, Padded(RandomName()).data(), NCBNAMSZ);
    if (Netbios(&ncb) != NRC_ENVNOTDEF) return 1;
    PendingReceive receive(0, 0xFF, 100);
    if (receive.Arm() != NRC_ENVNOTDEF) return 2;
    if (SendDatagram(0, 2, "ANYONE", "x") != NRC_ENVNOTDEF) return 3;
    if (Reset(0) != NRC_GOODRET) return 4;
    if (AddName(0, RandomName()) != NRC_GOODRET) return 5;
    if (AddName(1, RandomName()) != NRC_ENVNOTDEF) return 6;  // each LANA is reset on its own
    return 0;
  });
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(NetbiosNameTest, WhatTheLayerCannotRunIsRefused) {
  EXPECT_EQ(Netbios(nullptr), NRC_INVADDRESS);
  NCB ncb = Block(NCBRESET, 5);
  EXPECT_EQ(Netbios(&ncb), NRC_BRIDGE) << "LANA 5 is not configured";
  EXPECT_EQ(ncb.ncb_retcode, NRC_BRIDGE);
  ncb = Block(0x7F, 0);
  EXPECT_EQ(Netbios(&ncb), NRC_ILLCMD);
  ncb = Block(0x10, 0);  // a session call: not offered
  EXPECT_EQ(Netbios(&ncb), NRC_ILLCMD);
}

TEST_F(NetbiosNameTest, AddedNamesGetNumbersAndAreListed) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  const std::string unique = RandomName(), group = RandomName();
  UCHAR first = 0, second = 0;
  ASSERT_EQ(AddName(0, unique, &first), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(0, group, &second), NRC_GOODRET);
  EXPECT_GE(first, 2);
  EXPECT_LE(first, 254);
  EXPECT_NE(first, second);

  PendingReceive pending(0, first, 10);
  ASSERT_EQ(pending.Arm(), NRC_GOODRET);
  Status status = AdapterStatus(0);
  ASSERT_EQ(status.code, NRC_GOODRET);
  EXPECT_EQ(status.length, sizeof(ADAPTER_STATUS) + 2 * sizeof(NAME_BUFFER));
  EXPECT_EQ(status.adapter.adapter_type, 0xFE);
  EXPECT_EQ(status.adapter.name_count, 2);
  EXPECT_EQ(status.adapter.max_dgram_size, 1500);
  EXPECT_EQ(status.adapter.free_ncbs, status.adapter.max_ncbs - 1) << "one receive pending";
  ASSERT_EQ(status.names.size(), 2u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(status.names[0].name), 16), Padded(unique));
  EXPECT_EQ(status.names[0].name_num, first);
  EXPECT_EQ(status.names[0].name_flags, REGISTERED | UNIQUE_NAME);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(status.names[1].name), 16), Padded(group));
  EXPECT_EQ(status.names[1].name_flags, REGISTERED | GROUP_NAME);

  ASSERT_EQ(DeleteName(0, unique), NRC_GOODRET);
  status = AdapterStatus(0);
  EXPECT_EQ(status.adapter.name_count, 1);
  EXPECT_EQ(status.names.size(), 1u);
}

TEST_F(NetbiosNameTest, AdapterStatusIsCutToTheBuffer) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  ASSERT_EQ(AddName(0, RandomName()), NRC_GOODRET);
  ASSERT_EQ(AddName(0, RandomName()), NRC_GOODRET);
  Status status = AdapterStatus(0, sizeof(ADAPTER_STATUS) + sizeof(NAME_BUFFER));
  EXPECT_EQ(status.code, NRC_INCOMP);
  EXPECT_EQ(status.length, sizeof(ADAPTER_STATUS) + sizeof(NAME_BUFFER));
  EXPECT_EQ(status.adapter.name_count, 2) << "the count tells what did not fit";

  NCB ncb = Block(NCBASTAT, 0);
  std::memcpy(ncb.ncb_callname, Padded("SOMEONE").data(), NCBNAMSZ);
  UCHAR buffer[100];
  ncb.ncb_buffer = buffer;
  ncb.ncb_length = sizeof(buffer);
  EXPECT_EQ(Netbios(&ncb), NRC_CMDTMO) << "no other adapter answers";
  ncb.ncb_length = 0;
  EXPECT_EQ(Netbios(&ncb), NRC_BUFLEN);
}

TEST_F(NetbiosNameTest, ANameThisProcessHasIsRefusedAtOnce) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  const std::string name = RandomName();
  ASSERT_EQ(AddName(0, name), NRC_GOODRET);
  SetNetbiosClaimPeriod(3000);
  const auto start = steady_clock::now();
  EXPECT_EQ(AddName(0, name), NRC_DUPNAME);
  EXPECT_EQ(AddGroupName(0, name), NRC_DUPNAME);
  EXPECT_LT(steady_clock::now() - start, milliseconds(2000)) << "no claim went out";

  const std::string group = RandomName();
  SetNetbiosClaimPeriod(100);
  ASSERT_EQ(AddGroupName(0, group), NRC_GOODRET);
  EXPECT_EQ(AddGroupName(0, group), NRC_DUPNAME);
  // The other LANA is another table.
  ASSERT_EQ(Reset(1), NRC_GOODRET);
  EXPECT_EQ(AddName(1, name), NRC_GOODRET);
}

TEST_F(NetbiosNameTest, NamesThatCannotBeAddedOrDeleted) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  EXPECT_EQ(AddName(0, "*"), NRC_NOWILD);
  EXPECT_EQ(AddGroupName(0, "*ALL"), NRC_NOWILD);
  EXPECT_EQ(AddName(0, std::string(1, '\0')), NRC_NOWILD);
  EXPECT_EQ(DeleteName(0, RandomName()), NRC_NOWILD) << "not ours";
}

TEST_F(NetbiosNameTest, TheTableHoldsWhatTheResetAskedFor) {
  ASSERT_EQ(Reset(0, 2), NRC_GOODRET);
  const std::string first = RandomName();
  ASSERT_EQ(AddName(0, first), NRC_GOODRET);
  ASSERT_EQ(AddName(0, RandomName()), NRC_GOODRET);
  EXPECT_EQ(AddName(0, RandomName()), NRC_NAMTFUL);
  ASSERT_EQ(DeleteName(0, first), NRC_GOODRET);
  EXPECT_EQ(AddName(0, RandomName()), NRC_GOODRET);
}

TEST_F(NetbiosNameTest, ResetForgetsTheNames) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  const std::string name = RandomName();
  UCHAR number = 0;
  ASSERT_EQ(AddName(0, name, &number), NRC_GOODRET);
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  EXPECT_EQ(DeleteName(0, name), NRC_NOWILD);
  EXPECT_EQ(SendDatagram(0, number, name, "x"), NRC_ILLNN);
  EXPECT_EQ(AddName(0, name), NRC_GOODRET);
}

TEST_F(NetbiosNameTest, NumbersAreNotHandedOutAgainAtOnce) {
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  const std::string name = RandomName();
  UCHAR first = 0, second = 0;
  ASSERT_EQ(AddName(0, name, &first), NRC_GOODRET);
  ASSERT_EQ(DeleteName(0, name), NRC_GOODRET);
  ASSERT_EQ(AddName(0, name, &second), NRC_GOODRET);
  EXPECT_NE(first, second);
}

TEST(NetbiosConfiguration, LanasAndRegistryValues) {
  ASSERT_TRUE(SetNetbiosLanas("3,0,x,3,300,1"));
  EXPECT_EQ(ConfiguredNetbiosLanas(), (std::vector<int>{0, 1, 3}));
  std::vector<NetbiosRegistryValue> values = NetbiosRegistryValues();
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0].key, "SOFTWARE\\Microsoft\\Rpc\\ClientProtocols");
  EXPECT_EQ(values[0].name, "ncacn_nb_nb");
  EXPECT_FALSE(values[0].text.empty());
  EXPECT_LT(values[0].text.size() + 1, 30u);
  EXPECT_EQ(values[3].key, "SOFTWARE\\Microsoft\\Rpc\\Netbios");
  EXPECT_EQ(values[3].name, "ncacn_nb_nb3");
  EXPECT_EQ(values[3].text, "3");
  EXPECT_FALSE(SetNetbiosLanas("none"));
  EXPECT_FALSE(SetNetbiosSegment("127.255.255.255"));
  ResetNetbiosConfiguration();
  ASSERT_EQ(::setenv("VEK_NETBIOS_LANAS", "2", 1), 0);
  EXPECT_EQ(ConfiguredNetbiosLanas(), std::vector<int>{2});
  ASSERT_EQ(::unsetenv("VEK_NETBIOS_LANAS"), 0);
  EXPECT_EQ(ConfiguredNetbiosLanas(), std::vector<int>{0}) << "the default";
}

}  // namespace
}  // namespace vek::net::test
