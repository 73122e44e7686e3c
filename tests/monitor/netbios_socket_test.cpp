// The monitor's NetBIOS socket on segments of the test's own: its names, sends to
// a remote name, receives (truncated, in arrival order, with the sender's name),
// the election of the primary LANA, and a close that leaves NetBIOS nothing
// pending. The peers are names of the test process on the same LANAs.
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "kernel/memory.h"
#include "kernel/sync.h"
#include "monitor_test_support.h"
#include "net/netbios.h"
#include "net/winsock.h"
#include "netbios_helpers.h"
#include "port_workers.h"
#include "transport_probes.h"
#include "xnbf_socket.h"

namespace vek::test {
namespace {

std::string RandomPeerName() {
  static std::mt19937 random{std::random_device{}()};
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = "PEER";
  while (name.size() < 15) name += letters[random() % 36];
  return name;
}

NCB Block(UCHAR command, int lana) {
  NCB ncb{};
  ncb.ncb_command = command;
  ncb.ncb_lana_num = static_cast<UCHAR>(lana);
  return ncb;
}

// A name of the test process on one LANA, with at most one receive pending.
class Peer {
 public:
  Peer(int lana, std::string name) : m_lana(lana), m_name(std::move(name)) {
    m_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    NCB add = Block(NCBADDNAME, lana);
    NBPadName(add.ncb_name, m_name.c_str());
    m_added = Netbios(&add);
    m_number = add.ncb_num;
  }
  ~Peer() {
    if (std::atomic_ref<UCHAR>(m_receive.ncb_cmd_cplt).load() == NRC_PENDING) {
      NCB cancel = Block(NCBCANCEL, m_lana);
      cancel.ncb_buffer = reinterpret_cast<PUCHAR>(&m_receive);
      Netbios(&cancel);
    }
    NCB del = Block(NCBDELNAME, m_lana);
    NBPadName(del.ncb_name, m_name.c_str());
    Netbios(&del);
    CloseHandle(m_event);
  }
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  UCHAR added() const { return m_added; }
  const std::string& name() const { return m_name; }

  UCHAR Send(const std::string& to, const std::string& data) {
    NCB ncb = Block(NCBDGSEND, m_lana);
    ncb.ncb_num = m_number;
    std::vector<UCHAR> bytes(data.begin(), data.end());
    ncb.ncb_buffer = bytes.data();
    ncb.ncb_length = static_cast<WORD>(bytes.size());
    NBPadName(ncb.ncb_callname, to.c_str());
    return Netbios(&ncb);
  }
  UCHAR Arm() {
    m_receive = Block(NCBDGRECV | ASYNCH, m_lana);
    m_receive.ncb_num = m_number;
    m_receive.ncb_buffer = m_buffer;
    m_receive.ncb_length = sizeof m_buffer;
    m_receive.ncb_event = m_event;
    return Netbios(&m_receive);
  }
  bool Received(DWORD ms) { return WaitForSingleObject(m_event, ms) == WAIT_OBJECT_0; }
  std::string Data() const { return std::string(reinterpret_cast<const char*>(m_buffer), m_receive.ncb_length); }
  std::string CallName() const { return std::string(reinterpret_cast<const char*>(m_receive.ncb_callname), 16); }

 private:
  int m_lana;
  std::string m_name;
  UCHAR m_added = 0;
  UCHAR m_number = 0;
  HANDLE m_event = nullptr;
  NCB m_receive{};
  UCHAR m_buffer[1500] = {};
};

std::string Padded(const std::string& name) {
  std::string padded = name.substr(0, 16);
  padded.resize(16, ' ');
  return padded;
}

std::string Received(XNBFSocket& socket, int size = 1500) {
  std::vector<BYTE> buffer(static_cast<std::size_t>(size));
  int n = socket.Receive(buffer.data(), size);
  return std::string(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(std::max(n, 0)));
}

// The process's LANA state as LoadNetBEUI leaves it, for the LANAs given.
class NetbiosSockets : public MonitorTest {
 protected:
  void UseLanas(std::initializer_list<int> lanas, const char* configured) {
    ASSERT_TRUE(net::SetNetbiosLanas(configured));
    g_LanaCount = 0;
    for (int lana : lanas) {
      g_LanaTable[g_LanaCount++] = lana;
      NBResetAdapter(lana);
    }
    g_PrimaryLana = g_LanaCount == 1 ? 0 : -1;
  }
  void SetUp() override {
    MonitorTest::SetUp();
    UseLanas({0}, "0");
  }
  void TearDown() override {
    EXPECT_EQ(0u, net::PendingNcbCount()) << "a receive is left pending";
    MonitorTest::TearDown();
  }
};

TEST_F(NetbiosSockets, TheReceiveCountIsClampedIntoThreeToFive) {
  EXPECT_EQ(3, XNBFSocket(1).m_NCBCount);
  EXPECT_EQ(4, XNBFSocket(4).m_NCBCount);
  EXPECT_EQ(5, XNBFSocket(9).m_NCBCount);
}

TEST_F(NetbiosSockets, LocalNamesAreFifteenPrintableCharactersWithoutAsterisk) {
  std::set<std::string> names;
  for (int i = 0; i < 200; i++) {
    XNBFSocket socket(3);
    std::string name(socket.m_LocalName);
    ASSERT_EQ(15u, name.size());
    for (char c : name) {
      EXPECT_GE(c, 0x20);
      EXPECT_LE(c, 0x7E);
      EXPECT_NE('*', c);
    }
    for (int j = 15; j < 19; j++) EXPECT_EQ(0, socket.m_LocalName[j]);
    BYTE wire[16];
    NBPadName(wire, socket.m_LocalName);
    EXPECT_EQ(' ', wire[15]);
    names.insert(name);
  }
  EXPECT_GT(names.size(), 190u);
}

TEST_F(NetbiosSockets, NamesArePaddedWithBlanksToSixteenBytes) {
  BYTE wire[17];
  wire[16] = 0x5A;
  NBPadName(wire, "PRINTER");
  EXPECT_EQ("PRINTER         ", std::string(reinterpret_cast<char*>(wire), 16));
  NBPadName(wire, "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ("ABCDEFGHIJKLMNOP", std::string(reinterpret_cast<char*>(wire), 16));
  EXPECT_EQ(0x5A, wire[16]);
}

TEST_F(NetbiosSockets, EveryReturnCodeHasItsName) {
  EXPECT_STREQ("NRC_GOODRET", NBReturnCodeName(0x00));
  EXPECT_STREQ("NRC_INCOMP", NBReturnCodeName(0x06));
  EXPECT_STREQ("NRC_SYSTEM", NBReturnCodeName(0x40));
  EXPECT_STREQ("NRC_PENDING", NBReturnCodeName(0xFF));
  EXPECT_STREQ("", NBReturnCodeName(0x02));
  EXPECT_STREQ("", NBReturnCodeName(-1));
  int named = 0;
  for (int code = 0; code < 256; code++) named += NBReturnCodeName(code)[0] != 0;
  EXPECT_EQ(39, named);
}

TEST_F(NetbiosSockets, ASocketNeverCreatedDoesNothing) {
  XNBFSocket socket(3);
  BYTE b[4] = {};
  EXPECT_EQ(0, socket.Send(b, 4));
  EXPECT_EQ(0, socket.Receive(b, 4));
  EXPECT_TRUE(socket.IsEmpty());
  EXPECT_TRUE(socket.EnableBroadcast(FALSE));
  EXPECT_FALSE(socket.Close());
  socket.ClearBuffers();
}

TEST_F(NetbiosSockets, WithoutALanaCreateFails) {
  g_LanaCount = 0;
  g_PrimaryLana = -1;
  XNBFSocket socket(3);
  EXPECT_FALSE(socket.Create(0));
  EXPECT_FALSE(socket.m_bCreated);
  EXPECT_EQ(nullptr, socket.m_hBufferBlock);
}

TEST_F(NetbiosSockets, ARemoteNameKeepsEighteenAndTheCallNameSixteen) {
  Peer peer(0, "ABCDEFGHIJKLMNOP");
  ASSERT_EQ(NRC_GOODRET, peer.added());
  ASSERT_EQ(NRC_GOODRET, peer.Arm());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(90));
  socket.SetRemoteName("ABCDEFGHIJKLMNOPQRST");
  EXPECT_STREQ("ABCDEFGHIJKLMNOPQR", socket.m_RemoteName);
  EXPECT_TRUE(socket.EnableBroadcast(TRUE));
  EXPECT_EQ(5, socket.Send(reinterpret_cast<const BYTE*>("hello"), 5));
  ASSERT_TRUE(peer.Received(5000));
  EXPECT_EQ("hello", peer.Data());
  EXPECT_EQ(Padded(socket.m_LocalName), peer.CallName());
  socket.SetRemoteName("SHORT");
  EXPECT_EQ(0, std::memcmp(socket.m_RemoteName, "SHORT\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 19));
  EXPECT_TRUE(socket.Close());
  EXPECT_FALSE(socket.Close());
}

TEST_F(NetbiosSockets, ALongDatagramIsCutToAThousandBytesAndToTheCallersSize) {
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  std::string data(1200, '\0');
  for (std::size_t i = 0; i < data.size(); i++) data[i] = static_cast<char>(i * 7 + 3);
  EXPECT_TRUE(socket.IsEmpty());
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, data));
  EXPECT_TRUE(WaitUntil([&] { return !socket.IsEmpty(); }));
  EXPECT_EQ(data.substr(0, 1000), Received(socket, 1500));
  EXPECT_TRUE(socket.IsEmpty());
  // A buffer smaller than the datagram gets what fits, and nothing beyond it.
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, data));
  std::vector<BYTE> small(600, 0xEE);
  EXPECT_EQ(500, socket.Receive(small.data(), 500));
  EXPECT_EQ(0, std::memcmp(small.data(), data.data(), 500));
  for (std::size_t i = 500; i < small.size(); i++) ASSERT_EQ(0xEE, small[i]) << i;
  EXPECT_TRUE(socket.Close());
}

// Fills the field that follows the call name in its receive blocks (NetBIOS leaves
// it alone).
class MarkedSocket : public XNBFSocket {
 public:
  MarkedSocket() : XNBFSocket(3) {}
  void MarkNameFields() {
    for (auto& slot : m_NCB)
      for (NCB& ncb : slot) std::memset(ncb.ncb_name, 'Z', sizeof ncb.ncb_name);
  }
};

TEST_F(NetbiosSockets, TheSendersNameStaysWithinItsSixteenBytes) {
  Peer peer(0, "SIXTEENCHARNAME!");
  ASSERT_EQ(NRC_GOODRET, peer.added());
  MarkedSocket socket;
  ASSERT_TRUE(socket.Create(0));
  socket.MarkNameFields();
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "x"));
  EXPECT_EQ("x", Received(socket));
  EXPECT_STREQ("SIXTEENCHARNAME!", socket.GetSenderName());
  for (int i = 16; i < 19; i++) EXPECT_EQ(0, socket.m_SenderName[i]);
  // Blank-padded on the wire, kept as it came.
  Peer other(0, "SHORTNAME");
  ASSERT_EQ(NRC_GOODRET, other.Send(socket.m_LocalName, "y"));
  EXPECT_EQ("y", Received(socket));
  EXPECT_EQ(Padded("SHORTNAME"), std::string(socket.GetSenderName()));
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, DatagramsComeInTheOrderTheyArrived) {
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  // Two, then one taken, then two more: the receive armed again goes last.
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "A"));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "B"));
  EXPECT_EQ("A", Received(socket));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "C"));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "D"));
  EXPECT_EQ("B", Received(socket));
  EXPECT_EQ("C", Received(socket));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "E"));
  EXPECT_EQ("D", Received(socket));
  EXPECT_EQ("E", Received(socket));
  EXPECT_TRUE(socket.IsEmpty());
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, ADatagramTakenIsReturnedEvenWhenItsReceiveCannotBeArmedAgain) {
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "kept"));
  // The name goes behind the socket's back: the other receives end, and none
  // can be armed again.
  NCB del = Block(NCBDELNAME, 0);
  NBPadName(del.ncb_name, socket.m_LocalName);
  ASSERT_EQ(NRC_GOODRET, Netbios(&del));
  EXPECT_EQ("kept", Received(socket));
  EXPECT_EQ(0u, net::PendingNcbCount());
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, SendFailsWhenNoLanaSentIt) {
  Peer peer(0, RandomPeerName());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  socket.SetRemoteName(peer.name().c_str());
  EXPECT_EQ(10, socket.Send(reinterpret_cast<const BYTE*>("0123456789"), 10));
  std::string tooLong(1501, 'x');
  EXPECT_EQ(SOCKET_ERROR, socket.Send(reinterpret_cast<const BYTE*>(tooLong.data()), 1501));
  // Another LANA won the election: this socket has no slot on it.
  g_LanaTable[1] = 1;
  g_LanaCount = 2;
  g_PrimaryLana = 1;
  EXPECT_EQ(SOCKET_ERROR, socket.Send(reinterpret_cast<const BYTE*>("x"), 1));
  EXPECT_EQ(0, socket.m_SendLanaCount);
  g_PrimaryLana = 0;
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, ALanaWhereTheNameCannotRegisterIsLeftOut) {
  // LANA 7 does not exist: only LANA 0 carries the socket.
  UseLanas({0, 7}, "0");
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  ASSERT_EQ(NRC_GOODRET, peer.Arm());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  EXPECT_EQ(2, socket.m_LanaCount);
  EXPECT_TRUE(socket.m_bRegistered[0]);
  EXPECT_FALSE(socket.m_bRegistered[1]);
  socket.SetRemoteName(peer.name().c_str());
  EXPECT_EQ(2, socket.Send(reinterpret_cast<const BYTE*>("hi"), 2));
  EXPECT_EQ(1, socket.m_SendLanaCount);
  ASSERT_TRUE(peer.Received(5000));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "back"));
  EXPECT_EQ("back", Received(socket));
  EXPECT_EQ(0, g_PrimaryLana.load());
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, ClearedBuffersHoldNothingReceivedBefore) {
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "stale"));
  socket.ClearBuffers();
  EXPECT_EQ(std::string(5, '\0'), Received(socket));
  ASSERT_EQ(NRC_GOODRET, peer.Send(socket.m_LocalName, "fresh"));
  EXPECT_EQ("fresh", Received(socket));
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetbiosSockets, TheFirstLanaToReceiveBecomesPrimaryForEverySocket) {
  UseLanas({0, 1}, "0,1");
  const std::string name = RandomPeerName();
  Peer first(0, name), second(1, name);
  ASSERT_EQ(NRC_GOODRET, first.added());
  ASSERT_EQ(NRC_GOODRET, second.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  ASSERT_EQ(2, socket.m_LanaCount);
  EXPECT_EQ(6u, net::PendingNcbCount());
  // Before the election a send goes out on both LANAs.
  socket.SetRemoteName(name.c_str());
  ASSERT_EQ(NRC_GOODRET, first.Arm());
  ASSERT_EQ(NRC_GOODRET, second.Arm());
  EXPECT_EQ(3, socket.Send(reinterpret_cast<const BYTE*>("all"), 3));
  EXPECT_EQ(2, socket.m_SendLanaCount);
  ASSERT_TRUE(first.Received(5000));
  ASSERT_TRUE(second.Received(5000));

  ASSERT_EQ(NRC_GOODRET, second.Send(socket.m_LocalName, "one"));
  EXPECT_EQ("one", Received(socket));
  EXPECT_EQ(1, g_PrimaryLana.load());

  // Datagrams on LANA 0 are dropped, and its receives are not armed again.
  ASSERT_EQ(NRC_GOODRET, first.Send(socket.m_LocalName, "zero"));
  EXPECT_TRUE(socket.IsEmpty());
  EXPECT_EQ(5u, net::PendingNcbCount());
  ASSERT_EQ(NRC_GOODRET, first.Send(socket.m_LocalName, "zero"));
  ASSERT_EQ(NRC_GOODRET, first.Send(socket.m_LocalName, "zero"));
  ASSERT_EQ(NRC_GOODRET, first.Send(socket.m_LocalName, "zero"));
  EXPECT_EQ(3u, net::PendingNcbCount());
  ASSERT_EQ(NRC_GOODRET, second.Send(socket.m_LocalName, "two"));
  EXPECT_EQ("two", Received(socket));
  EXPECT_EQ(3u, net::PendingNcbCount());

  // Sends go out on LANA 1 only.
  ASSERT_EQ(NRC_GOODRET, first.Arm());
  ASSERT_EQ(NRC_GOODRET, second.Arm());
  EXPECT_EQ(3, socket.Send(reinterpret_cast<const BYTE*>("one"), 3));
  EXPECT_EQ(1, socket.m_SendLanaCount);
  EXPECT_EQ(1, socket.m_SendLana[0]);
  ASSERT_TRUE(second.Received(5000));
  EXPECT_FALSE(first.Received(0));

  // A socket made now has the primary's slot only.
  XNBFSocket later(3);
  ASSERT_TRUE(later.Create(0));
  EXPECT_EQ(1, later.m_LanaCount);
  EXPECT_EQ(1, later.m_Lana[0]);
  EXPECT_TRUE(later.Close());
  EXPECT_TRUE(socket.Close());
  EXPECT_EQ(1u, net::PendingNcbCount()) << "the peer's own receive on LANA 0";
}

TEST_F(NetbiosSockets, DatagramsOnTwoLanasAtOnceStayApart) {
  UseLanas({0, 1}, "0,1");
  const std::string name = RandomPeerName();
  Peer first(0, name), second(1, name);
  ASSERT_EQ(NRC_GOODRET, first.added());
  ASSERT_EQ(NRC_GOODRET, second.added());
  XNBFSocket socket(3);
  ASSERT_TRUE(socket.Create(0));
  // Both land in the first receive of their LANA before either is taken.
  ASSERT_EQ(NRC_GOODRET, first.Send(socket.m_LocalName, "zero"));
  ASSERT_EQ(NRC_GOODRET, second.Send(socket.m_LocalName, "one-one"));
  EXPECT_EQ("zero", Received(socket));
  EXPECT_EQ(0, g_PrimaryLana.load());
  EXPECT_TRUE(socket.Close());
}

// Two sockets that receive at once on different LANAs elect one primary: exactly
// one of them takes its datagram.
TEST_F(NetbiosSockets, ThePrimaryLanaIsElectedOnceWhenTwoSocketsReceiveAtOnce) {
  UseLanas({0, 1}, "0,1");
  const std::string name = RandomPeerName();
  Peer first(0, name), second(1, name);
  ASSERT_EQ(NRC_GOODRET, first.added());
  ASSERT_EQ(NRC_GOODRET, second.added());
  for (int round = 0; round < 10; round++) {
    g_PrimaryLana = -1;
    XNBFSocket a(3), b(3);
    ASSERT_TRUE(a.Create(0));
    ASSERT_TRUE(b.Create(0));
    ASSERT_EQ(NRC_GOODRET, first.Send(a.m_LocalName, "a"));
    ASSERT_EQ(NRC_GOODRET, second.Send(b.m_LocalName, "b"));
    std::atomic<int> ready{0};
    std::string gotA, gotB;
    auto receive = [&](XNBFSocket& socket, std::string* got) {
      ready++;
      while (ready < 2) {
      }
      *got = Received(socket);
    };
    std::thread ta(receive, std::ref(a), &gotA), tb(receive, std::ref(b), &gotB);
    ta.join();
    tb.join();
    const int primary = g_PrimaryLana.load();
    ASSERT_TRUE(primary == 0 || primary == 1);
    EXPECT_EQ(primary == 0 ? "a" : "", gotA) << round;
    EXPECT_EQ(primary == 1 ? "b" : "", gotB) << round;
    EXPECT_TRUE(a.Close());
    EXPECT_TRUE(b.Close());
  }
}

TEST_F(NetbiosSockets, AnElectionOnTheOtherLanaLeavesNothingPendingAfterClose) {
  UseLanas({0, 1}, "0,1");
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.added());
  auto* socket = new XNBFSocket(5);
  ASSERT_TRUE(socket->Create(0));
  EXPECT_EQ(10u, net::PendingNcbCount());
  // Another socket of the process elected LANA 1 meanwhile.
  g_PrimaryLana = 1;
  std::size_t blocks = LiveMemoryBlocks();
  EXPECT_TRUE(socket->Close());
  EXPECT_EQ(0u, net::PendingNcbCount());
  EXPECT_EQ(blocks - 1, LiveMemoryBlocks());
  delete socket;
  // Nothing of the socket is written to any more.
  ASSERT_EQ(NRC_GOODRET, peer.Send("*", "late"));
}

// A slot the socket no longer counts as registered: neither its own datagrams nor
// the name's removal reach the receives armed there.
class LostSlotSocket : public XNBFSocket {
 public:
  LostSlotSocket() : XNBFSocket(3) {}
  void ForgetSlot(int slot) { m_bRegistered[slot] = FALSE; }
};

TEST_F(NetbiosSockets, CloseWaitsForEveryReceiveNetbiosStillHolds) {
  auto* socket = new LostSlotSocket;
  ASSERT_TRUE(socket->Create(0));
  EXPECT_EQ(3u, net::PendingNcbCount());
  char name[19];
  std::memcpy(name, socket->m_LocalName, sizeof name);
  socket->ForgetSlot(0);
  EXPECT_TRUE(socket->Close());
  EXPECT_EQ(0u, net::PendingNcbCount());
  delete socket;
  // The name stayed registered; a datagram to it finds no receive of the socket.
  Peer peer(0, RandomPeerName());
  ASSERT_EQ(NRC_GOODRET, peer.Send(name, "late"));
  NCB del = Block(NCBDELNAME, 0);
  NBPadName(del.ncb_name, name);
  EXPECT_EQ(NRC_GOODRET, Netbios(&del));
}

// LoadNetBEUI reads the LANAs from the registry values the machine set-up seeds.
class NetBEUIProbe : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    g_SupportedProtocols = 0;
    g_LanaCount = 0;
    g_PrimaryLana = -1;
    g_Protocols = PROTOCOL_ALL;
  }
  static void ClearKey(const char* path) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
  }
  static void SetText(const char* path, const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1)));
    RegCloseKey(key);
  }
  static void SetDword(const char* path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4));
    RegCloseKey(key);
  }
  std::vector<int> Table() const { return std::vector<int>(g_LanaTable, g_LanaTable + g_LanaCount); }

  static constexpr const char* kProtocols = "SOFTWARE\\Microsoft\\Rpc\\ClientProtocols";
  static constexpr const char* kNetbios = "SOFTWARE\\Microsoft\\Rpc\\Netbios";
};

TEST_F(NetBEUIProbe, TheSeededValuesGiveLanaZeroAsPrimary) {
  EXPECT_TRUE(LoadNetBEUI());
  EXPECT_TRUE(g_SupportedProtocols.load() & PROTOCOL_NETBEUI);
  EXPECT_EQ(std::vector<int>{0}, Table());
  EXPECT_EQ(0, g_PrimaryLana.load());
  // The LANA was reset: a socket registers its name there.
  XNBFSocket socket(3);
  EXPECT_TRUE(socket.Create(0));
  EXPECT_TRUE(socket.Close());
}

TEST_F(NetBEUIProbe, TheProtocolsValueMustEnableNetBEUI) {
  g_Protocols = PROTOCOL_IPX | PROTOCOL_UDP;
  EXPECT_FALSE(LoadNetBEUI());
  EXPECT_EQ(0, g_SupportedProtocols.load());
  EXPECT_EQ(0, g_LanaCount);
}

TEST_F(NetBEUIProbe, WithoutRpcOverNetbiosThereIsNoNetBEUI) {
  ClearKey(kProtocols);
  SetText(kProtocols, "ncacn_ip_tcp", "rpcrt4.dll");
  EXPECT_FALSE(LoadNetBEUI());
  // Another name that begins the same way does not count, nor an empty text.
  SetText(kProtocols, "ncacn_nb_nb2", "rpcrt4.dll");
  EXPECT_FALSE(LoadNetBEUI());
  SetText(kProtocols, "ncacn_nb_nb", "");
  EXPECT_FALSE(LoadNetBEUI());
  SetText(kProtocols, "ncacn_nb_nb", "rpcrt4.dll");
  EXPECT_TRUE(LoadNetBEUI());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProtocols);
  g_SupportedProtocols = 0;
  EXPECT_FALSE(LoadNetBEUI());
  EXPECT_EQ(0, g_SupportedProtocols.load());
}

TEST_F(NetBEUIProbe, TheEnumerationStopsAtAValueItCannotRead) {
  ClearKey(kProtocols);
  SetText(kProtocols, "aaa", std::string(40, 'x'));
  SetText(kProtocols, "ncacn_nb_nb", "rpcrt4.dll");
  EXPECT_FALSE(LoadNetBEUI());
}

TEST_F(NetBEUIProbe, WithoutABoundLanaThereIsNoNetBEUI) {
  ClearKey(kNetbios);
  SetText(kNetbios, "ncacn_ip_tcp0", "0");
  EXPECT_FALSE(LoadNetBEUI());
  EXPECT_EQ(0, g_SupportedProtocols.load());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kNetbios);
  EXPECT_FALSE(LoadNetBEUI());
}

TEST_F(NetBEUIProbe, TwoValuesForLanaZeroGiveOneLanaThatIsPrimaryAtOnce) {
  ClearKey(kNetbios);
  SetText(kNetbios, "ncacn_nb_nb0", "0");
  SetDword(kNetbios, "ncacn_nb_nb1", 0x00010000);  // low 16 bits: 0
  EXPECT_TRUE(LoadNetBEUI());
  EXPECT_EQ(std::vector<int>{0}, Table());
  EXPECT_EQ(0, g_PrimaryLana.load());
}

TEST_F(NetBEUIProbe, AtMostFiveLanasAreTakenInRegistryOrderWithoutAPrimary) {
  ASSERT_TRUE(net::SetNetbiosLanas("0,1,2,3,4,5,6"));
  ClearKey(kNetbios);
  SetText(kNetbios, "ncacn_nb_nb0", "3");
  SetText(kNetbios, "ncacn_nb_nb1", " 1");
  SetText(kNetbios, "ncacn_nb_nb2", "3");
  SetText(kNetbios, "ncacn_nb_nb3", "-2");    // no LANA
  SetText(kNetbios, "ncacn_nb_nb4", "300");   // nor this
  SetText(kNetbios, "ncacn_nb_nb5", "x");     // no digits: 0
  SetDword(kNetbios, "ncacn_nb_nb6", 6);
  SetText(kNetbios, "ncacn_nb_nb7", "2");
  SetText(kNetbios, "ncacn_nb_nb8", "4");
  SetText(kNetbios, "other", "5");
  EXPECT_TRUE(LoadNetBEUI());
  EXPECT_EQ((std::vector<int>{3, 1, 0, 6, 2}), Table());
  EXPECT_EQ(-1, g_PrimaryLana.load());
  EXPECT_TRUE(g_SupportedProtocols.load() & PROTOCOL_NETBEUI);
}

TEST_F(NetBEUIProbe, TheEnumerationProbesNetBEUIAfterIpxAndUdp) {
  g_SupportedProtocols = 0;
  DWORD needed = 0, returned = 0;
  XYZEnumPorts(nullptr, 0, nullptr, 0, &needed, &returned);
  EXPECT_TRUE(g_SupportedProtocols.load() & PROTOCOL_NETBEUI);
  EXPECT_EQ(std::vector<int>{0}, Table());
}

}  // namespace
}  // namespace vek::test
