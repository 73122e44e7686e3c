// NetBIOS between processes: a name held by another station is objected to (group
// names are shared), and datagrams travel between stations with the semantics the
// monitor relies on. Each child is a station of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "netbios_test_support.h"
#include "segment_test_support.h"

namespace vek::net::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

using NetbiosProcessTest = NetbiosTest;

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>('A' + i % 23);
  return data;
}

TEST_F(NetbiosProcessTest, ANameHeldByAnotherStationIsObjectedTo) {
  const std::string unique = RandomName(), group = RandomName();
  ChildProcess child([&](Channel& channel) {
    if (Reset(0) != NRC_GOODRET) return 1;
    if (AddName(0, unique) != NRC_GOODRET) return 2;
    if (AddGroupName(0, group) != NRC_GOODRET) return 3;
    channel.Send("ready");
    if (channel.Receive() != "delete") return 4;
    if (DeleteName(0, unique) != NRC_GOODRET) return 5;
    channel.Send("deleted");
    return channel.Receive() == "bye" ? 0 : 6;
  });
  ASSERT_EQ(child.channel().Receive(), "ready");
  ASSERT_EQ(Reset(0), NRC_GOODRET);

  // A long claim period: the objection, not its end, must decide.
  SetNetbiosClaimPeriod(6000);
  const auto start = steady_clock::now();
  EXPECT_EQ(AddName(0, unique), NRC_INUSE);
  EXPECT_LT(steady_clock::now() - start, milliseconds(5000));
  EXPECT_EQ(AddGroupName(0, unique), NRC_INUSE) << "a unique holder objects to a group claim";
  EXPECT_EQ(AddName(0, group), NRC_INUSE) << "a group holder objects to a unique claim";
  SetNetbiosClaimPeriod(300);
  UCHAR number = 0;
  EXPECT_EQ(AddGroupName(0, group, &number), NRC_GOODRET) << "group names have many holders";

  child.channel().Send("delete");
  ASSERT_EQ(child.channel().Receive(), "deleted");
  EXPECT_EQ(AddName(0, unique), NRC_GOODRET) << "free once its holder let it go";
  child.channel().Send("bye");
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(NetbiosProcessTest, EachLanaIsASegmentOfItsOwn) {
  const std::string name = RandomName();
  ChildProcess child([&](Channel& channel) {
    if (Reset(1) != NRC_GOODRET || AddName(1, name) != NRC_GOODRET) return 1;
    channel.Send("ready");
    return channel.Receive() == "bye" ? 0 : 2;
  });
  ASSERT_EQ(child.channel().Receive(), "ready");
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  EXPECT_EQ(AddName(0, name), NRC_GOODRET) << "the holder is on another LANA";
  ASSERT_EQ(Reset(1), NRC_GOODRET);
  SetNetbiosClaimPeriod(6000);
  EXPECT_EQ(AddName(1, name), NRC_INUSE);
  child.channel().Send("bye");
  EXPECT_EQ(child.Wait(), 0);
}

// The child's side of the datagram exchange. Each failure has its own exit code.
int DatagramStation(Channel& channel, const std::string& self, const std::string& group,
                    const std::string& parent) {
  UCHAR number = 0, groupNumber = 0;
  if (Reset(0) != NRC_GOODRET || AddName(0, self, &number) != NRC_GOODRET) return 1;
  if (AddGroupName(0, group, &groupNumber) != NRC_GOODRET) return 2;
  PendingReceive cut(0, number, 1000), together(0, groupNumber, 100), marker(0, groupNumber, 100);
  if (cut.Arm() != NRC_GOODRET || together.Arm() != NRC_GOODRET) return 3;
  channel.Send("ready");

  // 1200 bytes into a 1000-byte buffer, from the parent's name.
  if (!cut.Wait(20000)) return 4;
  if (cut.ncb.ncb_cmd_cplt != NRC_INCOMP || cut.ncb.ncb_length != 1000) return 5;
  if (cut.Data() != Pattern(1000)) return 6;
  if (std::string(reinterpret_cast<char*>(cut.ncb.ncb_callname), 16) != Padded(parent)) return 7;
  if (!together.Wait(20000) || together.Data() != "to the group") return 8;

  // Armed before the reply, so the parent knows it is there.
  if (marker.Arm() != NRC_GOODRET) return 9;
  if (SendDatagram(0, number, parent, "reply") != NRC_GOODRET) return 10;

  // "lost" came to our name with nothing pending; the marker behind it shows it was
  // handled before the next receive is issued.
  if (!marker.Wait(20000) || marker.Data() != "marker") return 11;
  PendingReceive found(0, number, 100);
  if (found.Arm() != NRC_GOODRET) return 12;
  channel.Send("armed");
  if (!found.Wait(20000)) return 13;
  if (found.Data() != "found") return 14;
  return 0;
}

TEST_F(NetbiosProcessTest, DatagramsBetweenStations) {
  const std::string childName = RandomName(), group = RandomName(), parentName = RandomName();
  ChildProcess child([&](Channel& channel) { return DatagramStation(channel, childName, group, parentName); });
  ASSERT_EQ(child.channel().Receive(), "ready");
  ASSERT_EQ(Reset(0), NRC_GOODRET);
  UCHAR number = 0, groupNumber = 0;
  ASSERT_EQ(AddName(0, parentName, &number), NRC_GOODRET);
  ASSERT_EQ(AddGroupName(0, group, &groupNumber), NRC_GOODRET);
  PendingReceive reply(0, number, 100), ownGroup(0, groupNumber, 100);
  ASSERT_EQ(reply.Arm(), NRC_GOODRET);
  ASSERT_EQ(ownGroup.Arm(), NRC_GOODRET);

  ASSERT_EQ(SendDatagram(0, number, childName, Pattern(1200)), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, number, group, "to the group"), NRC_GOODRET);
  ASSERT_TRUE(ownGroup.Wait()) << "every holder of the group hears it, the sender too";
  EXPECT_EQ(ownGroup.Data(), "to the group");

  ASSERT_TRUE(reply.Wait(20000)) << "exit code " << child.Wait(std::chrono::milliseconds(0));
  EXPECT_EQ(reply.Data(), "reply");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply.ncb.ncb_callname), 16), Padded(childName));

  ASSERT_EQ(SendDatagram(0, number, childName, "lost"), NRC_GOODRET);
  ASSERT_EQ(SendDatagram(0, number, group, "marker"), NRC_GOODRET);
  ASSERT_EQ(child.channel().Receive(), "armed");
  ASSERT_EQ(SendDatagram(0, number, childName, "found"), NRC_GOODRET);
  EXPECT_EQ(child.Wait(), 0);
}

}  // namespace
}  // namespace vek::net::test
