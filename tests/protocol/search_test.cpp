// The discovery threads against the emulator: a full search over devices with
// multi-part and single replies (one lost part, an empty datagram, a device
// outside the maker's prefix), and finding a device again after it restarted at
// a new static address or with one from DHCP.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "device_lab.h"
#include "emulator/info_reply.h"
#include "framework/framework.h"
#include "protocol/discovery.h"
#include "protocol/print_server_list.h"
#include "protocol/shared_settings.h"

namespace {

using namespace std::chrono_literals;
using vek::test::Bytes;
using vek::test::DeviceLab;

const vek::framework::StringResource kStrings[] = {{IDS_FOUND_PREFIX, "Found "}};

// Keeps every text set on the status control.
class CStatusRecorder : public CWnd {
 public:
  std::set<std::string> texts;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETTEXT && lParam) texts.insert(reinterpret_cast<const char*>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class Search : public DeviceLab {
 protected:
  void SetUp() override {
    DeviceLab::SetUp();
    vek::framework::RegisterStringTable(0x09, kStrings, 1);
    g_PrintServerList.DeleteAll();
    m_owner = CreateWindowExA(0, nullptr, "search", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr, nullptr, nullptr);
    HWND status = CreateWindowExA(0, nullptr, "", WS_CHILD, 0, 0, 10, 10, m_owner,
                                  reinterpret_cast<HMENU>(PS_SEARCH_STATUS_ID), nullptr, nullptr);
    m_status.SubclassWindow(status);
  }
  void TearDown() override {
    m_status.Detach();
    DestroyWindow(m_owner);
    g_PrintServerList.DeleteAll();
    DeviceLab::TearDown();
  }

  // Starts a discovery thread and pumps messages until it is done, as the search
  // dialog does; every text the thread writes into control 1032 is kept.
  void RunSearch(const CRuntimeClass* threadClass, DWORD budget) {
    WizardSettings::m_SearchDone = 1;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(BeginDiscoveryThread(threadClass, CWnd::FromHandle(m_owner)), nullptr);
    EXPECT_EQ(WizardSettings::m_SearchDone, 0) << "cleared by the starter before the thread runs";
    const auto deadline = start + std::chrono::milliseconds(budget + 3000);
    MSG msg;
    while (!WizardSettings::m_SearchDone && std::chrono::steady_clock::now() < deadline) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_EQ(WizardSettings::m_SearchDone, 1);
    m_elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(m_elapsed, std::chrono::milliseconds(budget)) << "a search runs its whole time";
    ASSERT_TRUE(WaitUntil([] { return CUDPDiscoveryThread::LiveCount() == 0; }, 2000));
  }

  static std::uint32_t Address(const CPrintServer* ps) {
    std::uint32_t network;
    std::memcpy(&network, ps->m_IPAddress, 4);
    return ntohl(network);
  }
  static std::uint32_t ServerAddress() {
    std::uint32_t network;
    std::memcpy(&network, WizardSettings::m_ServerIPAddress, 4);
    return ntohl(network);
  }

  // The search requests one device took from the broadcast address, in order.
  std::vector<vek::emu::LoggedRequest> Broadcasts(std::size_t device) {
    std::vector<vek::emu::LoggedRequest> requests;
    for (const auto& entry : m_emulator.Log().Snapshot())
      if (entry.device == device && entry.broadcast) requests.push_back(entry);
    return requests;
  }

  // Device i has heard its restart (it may still be silent).
  bool TookRestart(std::size_t i, int restarts) {
    return WaitUntil([&] { return Device(i).Counters().restarts >= restarts; }, 5000);
  }

  CPrintServer* Found(std::size_t device) {
    const auto mac = Device(device).Config().mac;
    return FindPrintServer(mac.data());
  }

  HWND m_owner = nullptr;
  CStatusRecorder m_status;
  std::chrono::steady_clock::duration m_elapsed{};
};

TEST_F(Search, FindsEveryDeviceOnceFromMultiPartAndSingleReplies) {
  using vek::emu::FaultKind;
  using vek::emu::MessageKind;
  auto lossy = vek::test::BlockDevice(1, "Lossy parts");
  lossy.partSize = 300;
  lossy.faults = {{MessageKind::SearchMulti, FaultKind::LosePart, 2, 1},
                  {MessageKind::SearchMulti, FaultKind::Empty, 0, 1}};
  auto single = vek::test::CableDevice(2, "Single");
  auto both = vek::test::SecuredDevice(3, "Both kinds");
  both.searchReplies = vek::emu::DeviceConfig::SearchReplies::Both;
  auto foreign = vek::test::CableDevice(4, "Foreign");
  foreign.faults = {{MessageKind::Search, FaultKind::ForeignMac, 0, -1}};
  auto small = vek::test::BlockDevice(5, "Small parts");
  small.partSize = 100;
  Start({lossy, single, both, foreign, small});

  RunSearch(RUNTIME_CLASS(CUDPSearchPSThread), PS_SEARCH_BUDGET);
  EXPECT_LT(m_elapsed, 13s);
  ASSERT_EQ(g_PrintServerList.GetCount(), 4);
  for (std::size_t i : {0u, 1u, 2u, 4u}) {
    SCOPED_TRACE(i);
    CPrintServer* ps = Found(i);
    ASSERT_NE(ps, nullptr);
    const vek::emu::DeviceConfig config = Device(i).Config();
    EXPECT_STREQ(ps->GetName(), config.name.c_str());
    EXPECT_EQ(ps->m_Transport, PS_TRANSPORT_UDP);
    // The record holds the device's whole reply, joined in order.
    const std::vector<std::uint8_t> reply = vek::emu::BuildInformationReply(config);
    ASSERT_EQ(ps->m_ReplyLength, static_cast<int>(reply.size()));
    EXPECT_EQ(Bytes(ps->m_pReply + 6, ps->m_pReply + ps->m_ReplyLength), Bytes(reply.begin() + 6, reply.end()));
    EXPECT_TRUE(m_status.texts.count("Found " + config.name)) << "control 1032 showed the name";
  }
  EXPECT_EQ(Found(3), nullptr) << "a MAC outside the prefix";
  // Found at once: answered from its own address. The lossy device completed its
  // reply only after cycle 5 (its first was dropped), so it is reached by
  // broadcast.
  EXPECT_EQ(Address(Found(1)), m_subnet.Host(2));
  EXPECT_EQ(Address(Found(4)), m_subnet.Host(5));
  EXPECT_EQ(Bytes(Found(0)->m_IPAddress, Found(0)->m_IPAddress + 4), (Bytes{255, 255, 255, 255}));

  // The schedule as the broadcasts show it (cycles 2, 3, 6, 7, ... go to
  // "0.0.0.1", cycle 4 sends nothing): 0, 1, 5, 8, 9, 12.
  const auto requests = Broadcasts(1);
  const WORD expected[] = {0x0124, 0x0104, 0x0004, 0x0024, 0x0004, 0x0024};
  ASSERT_GE(requests.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(requests[i].command, expected[i]);
    ASSERT_EQ(requests[i].data.size(), 64u);
    EXPECT_EQ(requests[i].data[3], 0);
    EXPECT_EQ(requests[i].data[6], (expected[i] & 0xFF) == 0x24 ? 1 : 0);
  }
  EXPECT_GE(requests[1].when - requests[0].when, 700ms);
  EXPECT_GE(requests[2].when - requests[1].when, 4 * 700ms) << "cycles 2 to 4 send no broadcast";
}

TEST_F(Search, FindsADeviceAgainAfterItsRestart) {
  auto moving = vek::test::CableDevice(1, "Moving");
  auto dhcp = vek::test::BlockDevice(2, "DHCP");
  Start({moving, dhcp}, {150});

  // A new static address: the device comes back there and reports it.
  auto ps = Record(0);
  PutAddress(ps->GetIPAddress(), m_subnet.Host(77));
  ASSERT_TRUE(ps->SendConfig());
  // The restart goes unanswered and the emulator hears it on another socket than
  // the search's broadcasts: the search starts once the device has taken it, as a
  // device on one wire takes its datagrams in order.
  ASSERT_TRUE(TookRestart(0, 1));
  std::memcpy(WizardSettings::m_ServerNodeID, ps->m_NodeID, 6);
  WizardSettings::m_ServerFound = 1;
  RunSearch(RUNTIME_CLASS(CUDPSearchPSThread1), PS_LOCATE_BUDGET);
  ASSERT_EQ(WizardSettings::m_ServerFound, 1);
  EXPECT_EQ(ServerAddress(), m_subnet.Host(77));
  EXPECT_EQ(Device(0).ListenAddress(), m_subnet.Host(77));
  EXPECT_TRUE(m_status.texts.empty()) << "the locate thread shows nothing";
  // Each cycle asks for the single reply twice, with and without the flag; every
  // other cycle goes to the broadcast address.
  const auto requests = Broadcasts(1);
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ(requests[0].command, 0x0104);
  EXPECT_EQ(requests[1].command, 0x0004);
  EXPECT_EQ(requests[2].command, 0x0104);
  EXPECT_GE(requests[2].when - requests[1].when, 2 * 700ms);
  EXPECT_EQ(requests[0].data[6], 0);

  // DHCP switched on: it comes back at the pool's address.
  auto wireless = Record(1);
  ASSERT_TRUE(wireless->SetDHCP(1));
  ASSERT_TRUE(wireless->SendConfig());
  ASSERT_TRUE(TookRestart(1, 1));
  std::memcpy(WizardSettings::m_ServerNodeID, wireless->m_NodeID, 6);
  RunSearch(RUNTIME_CLASS(CUDPSearchPSThread1), PS_LOCATE_BUDGET);
  ASSERT_EQ(WizardSettings::m_ServerFound, 1);
  EXPECT_EQ(ServerAddress(), m_subnet.Host(150));
  EXPECT_EQ(g_PrintServerList.GetCount(), 0) << "the locate thread keeps out of the list";
}

// A device whose single reply does not fit the request buffer is still found
// again: the search takes its multi-part reply, the re-location its single one.
TEST_F(Search, ADeviceWithALongReplyIsFoundAgain) {
  auto talkative = vek::test::BlockDevice(1, "Talkative");
  talkative.generalText1 = std::string(254, 'a');
  talkative.generalText2 = std::string(254, 'b');
  talkative.keyText = std::string(200, 'k');
  talkative.sixth.assign(200, 6);
  talkative.partSize = 1000;
  Start({talkative});
  ASSERT_GT(vek::emu::BuildInformationReply(Device(0).Config()).size(), 1300u);

  RunSearch(RUNTIME_CLASS(CUDPSearchPSThread), PS_SEARCH_BUDGET);
  ASSERT_NE(Found(0), nullptr);
  std::memcpy(WizardSettings::m_ServerNodeID, Found(0)->m_NodeID, 6);
  std::memset(WizardSettings::m_ServerIPAddress, 0, 4);
  RunSearch(RUNTIME_CLASS(CUDPSearchPSThread1), PS_LOCATE_BUDGET);
  EXPECT_EQ(WizardSettings::m_ServerFound, 1);
  EXPECT_EQ(ServerAddress(), m_subnet.Host(1));
}

}  // namespace
