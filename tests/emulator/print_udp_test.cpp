// The print protocol of both device generations on UDP: the connect answers,
// the grant, jobs written byte-identical to their files, status, busy ports,
// ends of job, and every fault of the print messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/spool.h"
#include "print_host.h"
#include "support/emulator_lab.h"
#include "support/loopback_subnet.h"
#include "support/temp_root.h"

namespace {

using namespace std::chrono_literals;
using namespace printlab;
using vek::emu::DeviceConfig;
using vek::emu::Emulator;
using vek::emu::EmulatorOptions;
using vek::emu::Fault;
using vek::emu::FaultKind;
using vek::emu::JobRecord;
using vek::emu::MessageKind;

DeviceConfig Printer(int generation, std::uint8_t n) {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x60, static_cast<std::uint8_t>(generation), n};
  d.name = "Printer " + std::to_string(n);
  d.generation = generation;
  d.ports = 3;
  d.reackMs = 40;
  d.ackDelayMs = 1;
  return d;
}

Fault F(MessageKind kind, FaultKind fault, int times = -1, int argument = 0, bool hasArgument = false) {
  Fault f;
  f.message = kind;
  f.fault = fault;
  f.times = times;
  f.argument = argument;
  f.hasArgument = hasArgument;
  return f;
}

class PrintUdp : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override {
    m_emulator.Stop();
    WSACleanup();
  }

  void Start(std::vector<DeviceConfig> devices) {
    EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_spool.path();
    std::string message;
    ASSERT_TRUE(vek::test::StartEmulatorOnFreshSubnet(m_emulator, options, &m_subnet, &message)) << message;
  }

  // Prints the job to device i and returns its record once the device has it.
  JobRecord PrintJob(std::size_t device, const Form& form, const Bytes& job, HostReport* report = nullptr,
                     int port = 1) {
    HostReport ignored;
    if (!report) report = &ignored;
    UdpLink link(m_subnet.Host(static_cast<int>(device) + 1));
    Host host(link, form, port);
    EXPECT_TRUE(host.Print(job, report)) << "connected " << report->connected;
    auto record = m_emulator.Jobs().WaitForJob(
        [&](const JobRecord& r) { return r.device == device && r.port == port && r.ended && !m_seen.count(r.path); },
        10s);
    if (!record) {
      ADD_FAILURE() << "no finished job";
      return {};
    }
    m_seen.insert(record->path);
    return *record;
  }

  void ExpectSameBytes(const JobRecord& record, const Bytes& job) {
    EXPECT_EQ(record.size, job.size());
    EXPECT_EQ(record.sha256, vek::emu::Sha256Hex(job));
    Bytes written;
    ASSERT_TRUE(vek::emu::ReadJobBytes(record, &written)) << record.path;
    EXPECT_TRUE(written == job) << "the file holds what was printed";
    EXPECT_TRUE(record.complete);
  }

  vek::test::TempDir m_spool;
  Emulator m_emulator;
  vek::test::LoopbackSubnet m_subnet;
  std::set<std::string> m_seen;
};

TEST_F(PrintUdp, ConnectAnswersOfBothGenerationsAndTheGrant) {
  DeviceConfig net = Printer(1, 1);
  net.dataLength = 1300;
  net.window = 5;
  Start({net, Printer(0, 2)});

  const Form f1{1, TransportKind::Udp};
  UdpLink one(m_subnet.Host(1));
  one.Send(Connect(f1, 2));
  auto answer = one.Receive(5000);
  ASSERT_TRUE(answer);
  ASSERT_EQ(answer->size(), 30u);
  EXPECT_EQ(Bytes(answer->begin(), answer->begin() + 6), (Bytes{'N', 'E', 'T', 0, 0x8A, 0}));
  EXPECT_EQ((*answer)[6], 2) << "the port";
  EXPECT_EQ((*answer)[7], 0) << "status: free";
  EXPECT_EQ((*answer)[9] | (*answer)[10] << 8, 1300);
  EXPECT_EQ((*answer)[11], 5);
  EXPECT_EQ(one.LastFromPort(), 20560);
  auto grant = one.Receive(5000);
  ASSERT_TRUE(grant);
  EXPECT_EQ(AckSequence(f1, *grant), 0) << "the grant acknowledges sequence 0";
  EXPECT_EQ((*grant)[6], 2);
  EXPECT_NE((*grant)[9], 0) << "flag";

  const Form f0{0, TransportKind::Udp};
  UdpLink two(m_subnet.Host(2));
  two.Send(Connect(f0, 1));
  answer = two.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_EQ(Bytes(answer->begin(), answer->begin() + 4), (Bytes{'Q', 'I', 0x8A, 0}));
  EXPECT_EQ((*answer)[4], 1);
  EXPECT_EQ((*answer)[5], 0);
  grant = two.Receive(5000);
  ASSERT_TRUE(grant);
  ASSERT_GE(grant->size(), 8u);
  EXPECT_EQ(Bytes(grant->begin(), grant->begin() + 4), (Bytes{'Q', 'I', 0x8B, 0}));
  EXPECT_EQ((*grant)[4], 1);
  EXPECT_EQ((*grant)[5], 0);
  EXPECT_NE((*grant)[7], 0);
}

TEST_F(PrintUdp, JobsOfTheBoundarySizesArriveByteIdentical) {
  Start({Printer(1, 1), Printer(0, 2)});
  for (int generation : {1, 0}) {
    const Form form{generation, TransportKind::Udp};
    const std::size_t device = generation == 1 ? 0 : 1;
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1023}, std::size_t{1024},
                             std::size_t{1449}, std::size_t{1450}, std::size_t{1451}, std::size_t{300000}}) {
      SCOPED_TRACE("generation " + std::to_string(generation) + ", " + std::to_string(size) + " bytes");
      const Bytes job = Pattern(size, static_cast<std::uint32_t>(size));
      HostReport report;
      const JobRecord record = PrintJob(device, form, job, &report);
      ExpectSameBytes(record, job);
      EXPECT_EQ(report.window, generation == 1 ? 8 : 1);
      EXPECT_EQ(report.dataLength, generation == 1 ? 1450 : 1024);
      EXPECT_EQ(record.transport, TransportKind::Udp);
      EXPECT_EQ(record.stats.duplicates, 0u);
      EXPECT_NE(record.path.find("port1-job"), std::string::npos) << record.path;
    }
  }
  // More than 256 packets: the sequences wrapped on the way.
  const auto jobs = m_emulator.Jobs().Jobs();
  EXPECT_GT(jobs.back().stats.packets, 256u);
}

// A slow device: every window waits out its latency on the scheduler and the job
// still arrives whole; the counters a benchmark reads add up to what the host
// sent and took, and the log keeps only the heads of the data datagrams.
TEST_F(PrintUdp, ASlowDeviceAcknowledgesEachWindowAfterItsLatencyAndCountsTheWire) {
  DeviceConfig d = Printer(1, 1);
  d.ackLatencyUs = 3000;
  d.reackMs = 0;  // only the acknowledgements the packets make
  Start({d});
  const Form form{1, TransportKind::Udp};
  const Bytes job = Pattern(40 * 1450 + 7, 21);
  HostReport report;
  const auto start = Clock::now();
  ExpectSameBytes(PrintJob(0, form, job, &report), job);
  EXPECT_GE(Clock::now() - start, 5 * 3ms) << "six windows, each acknowledged no sooner than the latency";

  const vek::emu::PrintCounters counts = m_emulator.DeviceAt(0).PrintCounts();
  EXPECT_EQ(counts.dataDatagrams, 41u) << "40 full packets and the short one";
  EXPECT_EQ(counts.datagrams, static_cast<std::uint64_t>(report.packetsSent) + 2) << "with the connect and the end";
  EXPECT_GE(counts.acksSent, static_cast<std::uint64_t>(report.acksTaken)) << "the grant and one a window at least";
  EXPECT_EQ(counts.reacksSent, 0u);
  std::size_t data = 0;
  for (const auto& entry : m_emulator.Log().Snapshot()) {
    if (entry.kind != "data") continue;
    data++;
    EXPECT_LE(entry.data.size(), vek::emu::kDataHeadKept);
    EXPECT_EQ(entry.data[0], 'N');
    EXPECT_EQ(entry.data.size(), std::min(entry.size, vek::emu::kDataHeadKept));
  }
  EXPECT_EQ(data, static_cast<std::size_t>(report.packetsSent));
  const auto log = m_emulator.Log().Snapshot();
  const auto full = std::count_if(log.begin(), log.end(), [](const auto& e) { return e.kind == "data" && e.size == 1450 + 12; });
  EXPECT_EQ(full, 40);
}

TEST_F(PrintUdp, EachPortTakesItsOwnJobAndNumbersRunPerDevice) {
  Start({Printer(1, 1)});
  const Form form{1, TransportKind::Udp};
  const Bytes a = Pattern(5000, 1), b = Pattern(7000, 2);
  const JobRecord first = PrintJob(0, form, a, nullptr, 2);
  const JobRecord second = PrintJob(0, form, b, nullptr, 3);
  ExpectSameBytes(first, a);
  ExpectSameBytes(second, b);
  EXPECT_EQ(first.port, 2);
  EXPECT_EQ(second.port, 3);
  EXPECT_EQ(second.number, first.number + 1);
  EXPECT_NE(second.path.find("02-4E-57-60-01-01-port3-job"), std::string::npos) << second.path;
}

TEST_F(PrintUdp, DataIsTakenInSequenceWithDuplicatesAndGapsAcknowledgedCumulatively) {
  DeviceConfig d = Printer(1, 1);
  d.window = 4;
  d.dataLength = 1024;
  d.reackMs = 0;  // only the acknowledgements the packets make
  Start({d});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  const Bytes job = Pattern(6 * 1024 + 10, 9);
  const auto packet = [&](int i) {
    const std::size_t at = static_cast<std::size_t>(i) * 1024;
    return Data(form, 1, static_cast<std::uint8_t>(i),
                std::span(job).subspan(at, std::min<std::size_t>(1024, job.size() - at)));
  };
  const auto nextAck = [&] { return Expect(link, [&](const Bytes& b) { return AckSequence(form, b).has_value(); }); };
  const auto ackOf = [&](int sequence) {
    return Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == sequence; }).has_value();
  };
  // 0, 2, 3 (a gap at 1): the device holds 2 and 3 and says it wants 1.
  link.Send(packet(0));
  link.Send(packet(2));
  link.Send(packet(3));
  auto ack = nextAck();
  ASSERT_TRUE(ack);
  EXPECT_EQ(AckSequence(form, *ack), 1);
  // The host's next window from 1: the gap fills, the repeats of 2 and 3 change
  // nothing, and with 4 the window's worth is in.
  link.Send(packet(1));
  link.Send(packet(2));
  link.Send(packet(3));
  link.Send(packet(4));
  EXPECT_TRUE(ackOf(5));
  // An old packet (0) and one beyond the window (9 is past 5..8): dropped, and
  // the device says again where it is.
  link.Send(packet(0));
  link.Send(Data(form, 1, 9, std::span(job).subspan(0, 10)));
  ack = nextAck();
  ASSERT_TRUE(ack);
  EXPECT_EQ(AckSequence(form, *ack), 5);
  // 5 and the short 6 end the job's bytes.
  link.Send(packet(5));
  link.Send(packet(6));
  EXPECT_TRUE(ackOf(7)) << "a short packet is acknowledged without a full window";
  link.Send(EndOfJob(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x8C); }));
  auto record = m_emulator.Jobs().WaitForJob(0, 5s);
  ASSERT_TRUE(record);
  ExpectSameBytes(*record, job);
  EXPECT_EQ(record->stats.packets, 7u);
  EXPECT_GE(record->stats.duplicates, 3u);
  EXPECT_EQ(record->stats.outOfWindow, 1u);
  EXPECT_EQ(record->stats.heldAhead, 2u);
}

TEST_F(PrintUdp, TheLastAcknowledgementGoesAgainAfterAnIdleGap) {
  DeviceConfig d = Printer(1, 1);
  d.reackMs = 60;
  Start({d});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  // Nothing sent: the grant comes again, and again.
  const auto before = Clock::now();
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  EXPECT_GE(Clock::now() - before, 100ms);
  // A full packet that makes no window: acknowledged only by the idle gap.
  link.Send(Data(form, 1, 0, Pattern(1450)));
  auto ack = Expect(link, [&](const Bytes& b) { return AckSequence(form, b).has_value(); });
  ASSERT_TRUE(ack);
  EXPECT_EQ(AckSequence(form, *ack), 1);
}

TEST_F(PrintUdp, StatusOfBothGenerationsWithTwoBitsPerPort) {
  DeviceConfig one = Printer(1, 1);
  one.portStatus = 0x34;
  one.portStatus2 = 0x5A;
  DeviceConfig zero = Printer(0, 2);
  zero.faults = {F(MessageKind::Status, FaultKind::PaperOut, 1, 2, true),
                 F(MessageKind::Status, FaultKind::Offline, 1, 3, true)};
  Start({one, zero});
  const Form f1{1, TransportKind::Udp}, f0{0, TransportKind::Udp};
  UdpLink a(m_subnet.Host(1));
  a.Send(Status(f1));
  auto answer = a.Receive(5000);
  ASSERT_TRUE(answer);
  ASSERT_TRUE(IsAnswer(f1, *answer, 0x88));
  EXPECT_EQ((*answer)[6], 0x34) << "port 1 clear, port 2 paper out, port 3 busy";
  EXPECT_EQ((*answer)[7], 0x5A);

  UdpLink b(m_subnet.Host(2));
  b.Send(Status(f0));
  answer = b.Receive(5000);
  ASSERT_TRUE(answer);
  ASSERT_TRUE(IsAnswer(f0, *answer, 0x88));
  EXPECT_EQ((*answer)[4], 0x24) << "port 2 paper out (1 << 2), port 3 offline (2 << 4)";
  b.Send(Status(f0));
  answer = b.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_EQ((*answer)[4], 0) << "each fault was for one answer";
  // A generation-1 device hears no "QI" request, and the other way round.
  a.Send(Status(f0));
  b.Send(Status(f1));
  EXPECT_FALSE(a.Receive(200));
  EXPECT_FALSE(b.Receive(200));
}

TEST_F(PrintUdp, StatusAnswersLostHeldBackOrReportingBusy) {
  DeviceConfig d = Printer(1, 1);
  d.faults = {F(MessageKind::Status, FaultKind::Drop, 1), F(MessageKind::Status, FaultKind::Busy, 1, 1, true),
              F(MessageKind::Status, FaultKind::Reorder, 1)};
  Start({d});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Status(form));
  EXPECT_FALSE(link.Receive(200)) << "lost";
  const auto sent = Clock::now();
  link.Send(Status(form));
  auto answer = link.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_GE(Clock::now() - sent, 40ms) << "held back with nothing to overtake it";
  EXPECT_EQ((*answer)[6], 3) << "port 1 busy";
  link.Send(Status(form));
  answer = link.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_EQ((*answer)[6], 0);
}

TEST_F(PrintUdp, TheOlderGenerationAnswersItsSearchesOnUdpByTheirFlag) {
  DeviceConfig any = Printer(0, 1);
  any.model = 6;
  DeviceConfig unflagged = Printer(0, 2);
  unflagged.searchFlag = DeviceConfig::SearchFlag::Unflagged;
  Start({any, unflagged});
  UdpLink a(m_subnet.Host(1)), b(m_subnet.Host(2));
  for (std::uint16_t command : {0x0100, 0x0000}) {
    a.Send(OlderSearch(TransportKind::Udp, command));
    auto answer = a.Receive(5000);
    ASSERT_TRUE(answer) << command;
    ASSERT_EQ(answer->size(), 512u);
    EXPECT_EQ(Bytes(answer->begin(), answer->begin() + 3), (Bytes{'Q', 'I', 0x80}));
    EXPECT_EQ((*answer)[0x0C], 6) << "model 6: three ports to the host";
    EXPECT_EQ(Bytes(answer->begin() + 0x1FC, answer->begin() + 0x200),
              (Bytes{127, static_cast<std::uint8_t>(m_subnet.A()), static_cast<std::uint8_t>(m_subnet.B()), 1}));
  }
  b.Send(OlderSearch(TransportKind::Udp, 0x0100));
  EXPECT_FALSE(b.Receive(200)) << "only unflagged searches";
  b.Send(OlderSearch(TransportKind::Udp, 0x0000));
  EXPECT_TRUE(b.Receive(5000));
  // The IPX form of the search is no search on UDP.
  a.Send(OlderSearch(TransportKind::Ipx));
  EXPECT_FALSE(a.Receive(200));
}

TEST_F(PrintUdp, APortHeldByOneHostIsBusyForAnother) {
  Start({Printer(1, 1)});
  const Form form{1, TransportKind::Udp};
  UdpLink first(m_subnet.Host(1)), second(m_subnet.Host(1));
  HostReport one, two;
  Host a(first, form, 1), b(second, form, 1), c(second, form, 2);
  ASSERT_TRUE(a.Connect(&one));
  EXPECT_FALSE(b.Connect(&two));
  EXPECT_EQ(two.connectStatus, 0x10) << "busy";
  HostReport three;
  EXPECT_TRUE(c.Connect(&three)) << "another port is free";
  // Once the first host ended its job, the port is free again.
  ASSERT_TRUE(a.Send(Bytes{}, &one, 5s));
  ASSERT_TRUE(a.End(&one));
  HostReport four;
  EXPECT_TRUE(b.Connect(&four));
  EXPECT_EQ(m_emulator.DeviceAt(0).PrintCounts().busyAnswers, 1);
}

TEST_F(PrintUdp, BusyForSomeAnswersThenFreeAndRefusals) {
  DeviceConfig busy = Printer(1, 1);
  busy.faults = {F(MessageKind::Connect, FaultKind::Busy, 2)};
  DeviceConfig refusing = Printer(1, 2);
  refusing.faults = {F(MessageKind::Connect, FaultKind::Refuse)};
  DeviceConfig older = Printer(0, 3);
  older.faults = {F(MessageKind::Connect, FaultKind::Refuse, 1)};
  DeviceConfig portBusy = Printer(1, 4);
  portBusy.portStatus = 3 << 2;  // port 2 busy
  Start({busy, refusing, older, portBusy});
  const Form f1{1, TransportKind::Udp}, f0{0, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  Host host(link, f1);
  for (int i = 0; i < 2; i++) {
    HostReport report;
    EXPECT_FALSE(host.Connect(&report));
    EXPECT_EQ(report.connectStatus, 0x10);
  }
  HostReport report;
  EXPECT_TRUE(host.Connect(&report));

  UdpLink refused(m_subnet.Host(2));
  Host refusedHost(refused, f1);
  report = {};
  EXPECT_FALSE(refusedHost.Connect(&report));
  EXPECT_EQ(report.connectStatus, 0x01) << "a refusal bit";

  // Generation 0 has no refusal: the bits come, and the device takes the job.
  const Bytes job = Pattern(3000);
  report = {};
  const JobRecord record = PrintJob(2, f0, job, &report);
  EXPECT_EQ(report.connectStatus, 0x01);
  ExpectSameBytes(record, job);

  UdpLink fourth(m_subnet.Host(4));
  Host port2(fourth, f1, 2), port1(fourth, f1, 1);
  report = {};
  EXPECT_FALSE(port2.Connect(&report));
  EXPECT_EQ(report.connectStatus, 0x10);
  EXPECT_TRUE(port1.Connect(&report));
}

TEST_F(PrintUdp, EndOfJobIsAnsweredAgainAndWithoutAJob) {
  DeviceConfig d = Printer(1, 1);
  d.faults = {F(MessageKind::EndOfJob, FaultKind::Drop, 2)};
  Start({d});
  const Form form{1, TransportKind::Udp};
  const Bytes job = Pattern(2000);
  HostReport report;
  const JobRecord record = PrintJob(0, form, job, &report);
  ExpectSameBytes(record, job);
  EXPECT_TRUE(record.ended);
  EXPECT_EQ(m_emulator.DeviceAt(0).PrintCounts().lostByFault, 2) << "the host sent it three times";
  // The job's end once more, and one of a port without a job: answered both.
  UdpLink link(m_subnet.Host(1));
  link.Send(EndOfJob(form, 3));
  auto answer = link.Receive(5000);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(IsAnswer(form, *answer, 0x8C));
  EXPECT_EQ((*answer)[6], 3);
  EXPECT_EQ(m_emulator.Jobs().Jobs().size(), 1u);
}

TEST_F(PrintUdp, AConnectAfterDataCutsTheOldJobOff) {
  Start({Printer(1, 1)});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  link.Send(Data(form, 1, 0, Pattern(100)));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 1; }));
  // The host starts over without an end of job.
  const Bytes job = Pattern(5000, 3);
  Host host(link, form);
  HostReport report;
  ASSERT_TRUE(host.Print(job, &report));
  ASSERT_TRUE(m_emulator.Jobs().WaitForCount(2, 5s));
  const auto jobs = m_emulator.Jobs().Jobs();
  EXPECT_FALSE(jobs[0].ended) << "cut off";
  EXPECT_EQ(jobs[0].size, 100u);
  ExpectSameBytes(jobs[1], job);
}

TEST_F(PrintUdp, ASilentHostsJobIsCutOffAndThePortFreed) {
  DeviceConfig d = Printer(1, 1);
  d.sessionTimeoutMs = 150;
  Start({d});
  const Form form{1, TransportKind::Udp};
  UdpLink gone(m_subnet.Host(1)), next(m_subnet.Host(1));
  gone.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(gone, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  gone.Send(Data(form, 1, 0, Pattern(1450)));
  auto record = m_emulator.Jobs().WaitForJob(0, 5s);
  ASSERT_TRUE(record);
  EXPECT_FALSE(record->ended) << "cut off";
  EXPECT_EQ(record->size, 1450u);
  Host host(next, form);
  HostReport report;
  EXPECT_TRUE(host.Connect(&report)) << "the port is free again";
  EXPECT_EQ(m_emulator.DeviceAt(0).PrintCounts().cutOff, 1);
}

TEST_F(PrintUdp, LostAndRepeatedMessagesOnBothSidesStillGiveTheJob) {
  // Each device has one kind of trouble; every job must arrive whole.
  std::vector<std::vector<Fault>> troubles = {
      {F(MessageKind::Data, FaultKind::Drop, 3)},
      {F(MessageKind::Data, FaultKind::Duplicate, 20)},
      {F(MessageKind::Data, FaultKind::Reorder, 10)},
      {F(MessageKind::Data, FaultKind::Delay, 5, 30, true)},
      {F(MessageKind::Ack, FaultKind::Drop, 4)},
      {F(MessageKind::Ack, FaultKind::Duplicate, 10)},
      {F(MessageKind::Ack, FaultKind::Reorder, 10)},
      {F(MessageKind::Ack, FaultKind::Delay, 5, 30, true)},
      {F(MessageKind::Ack, FaultKind::Invalid, 3)},
      {F(MessageKind::Ack, FaultKind::OutOfWindow, 3)},
      {F(MessageKind::Ack, FaultKind::Truncated, 3)},
      {F(MessageKind::Connect, FaultKind::Drop, 2)},
      {F(MessageKind::Connect, FaultKind::Duplicate, 1), F(MessageKind::Connect, FaultKind::Delay, 1, 400, true)},
      {F(MessageKind::EndOfJob, FaultKind::Duplicate)},
  };
  std::vector<DeviceConfig> devices;
  for (std::size_t i = 0; i < troubles.size(); i++) {
    DeviceConfig d = Printer(static_cast<int>(i % 2), static_cast<std::uint8_t>(i + 1));
    d.faults = troubles[i];
    devices.push_back(d);
  }
  Start(devices);
  for (std::size_t i = 0; i < troubles.size(); i++) {
    SCOPED_TRACE("device " + std::to_string(i));
    const Form form{static_cast<int>(i % 2), TransportKind::Udp};
    const Bytes job = Pattern(40000, static_cast<std::uint32_t>(i));
    const JobRecord record = PrintJob(i, form, job);
    ExpectSameBytes(record, job);
  }
}

TEST_F(PrintUdp, AcknowledgementsFromAnotherPortAreFollowedByTheHost) {
  DeviceConfig d = Printer(1, 1);
  d.faults = {F(MessageKind::Ack, FaultKind::OtherPort, 3)};
  Start({d});
  const Form form{1, TransportKind::Udp};
  const Bytes job = Pattern(30000);
  const JobRecord record = PrintJob(0, form, job);
  ExpectSameBytes(record, job);
  // The host followed the acknowledgement to the other port and sent data there.
  bool otherPort = false;
  for (const auto& entry : m_emulator.Log().Snapshot())
    if (entry.kind == "data" && entry.via == vek::emu::Via::Alternate) otherPort = true;
  EXPECT_TRUE(otherPort);
}

TEST_F(PrintUdp, StrayDatagramsComeFromAnotherAddressAndTheJobSurvivesThem) {
  DeviceConfig d = Printer(1, 1);
  d.faults = {F(MessageKind::Ack, FaultKind::Stray, 4), F(MessageKind::Status, FaultKind::Stray, 1)};
  Start({d});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Status(form));
  auto status = Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x88); });
  ASSERT_TRUE(status);
  auto stray = link.Receive(2000);
  ASSERT_TRUE(stray);
  EXPECT_EQ(link.LastFromAddress(), m_subnet.Host(254)) << "host 254 of the device's subnet";
  EXPECT_EQ(Bytes(stray->begin(), stray->begin() + 6), (Bytes{'N', 'E', 'T', 0x60, 0x0B, 0}))
      << "it looks like data, and is no answer";

  const Bytes job = Pattern(30000);
  const JobRecord record = PrintJob(0, form, job);
  ExpectSameBytes(record, job);
  EXPECT_EQ(m_emulator.DeviceAt(0).PrintCounts().strays, 5);
}

// Before each acknowledgement: a copy cut before its flag byte that names the
// next sequence, and a well-formed one two sequences further from the stray
// address. Both generations; a host that skips them still prints whole.
TEST_F(PrintUdp, CutCopiesAndImpostorsGoBeforeEachAcknowledgement) {
  for (int generation : {0, 1}) {
    SCOPED_TRACE("generation " + std::to_string(generation));
    DeviceConfig d = Printer(generation, 1);
    d.faults = {F(MessageKind::Ack, FaultKind::TruncatedAhead), F(MessageKind::Ack, FaultKind::Impostor)};
    Start({d});
    const Form form{generation, TransportKind::Udp};
    const std::size_t sequenceAt = generation == 1 ? 7 : 5;
    UdpLink link(m_subnet.Host(1));
    link.Send(Connect(form, 1));
    ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x8A); }));
    auto cut = link.Receive(2000);
    ASSERT_TRUE(cut);
    EXPECT_EQ(link.LastFromAddress(), m_subnet.Host(1));
    ASSERT_EQ(cut->size(), sequenceAt + 2) << "ends where the flag would be";
    EXPECT_TRUE(IsAnswer(form, *cut, 0x8B));
    EXPECT_EQ((*cut)[sequenceAt], 1);
    auto impostor = link.Receive(2000);
    ASSERT_TRUE(impostor);
    EXPECT_EQ(link.LastFromAddress(), m_subnet.Host(254));
    EXPECT_EQ(AckSequence(form, *impostor), 2);
    auto grant = link.Receive(2000);
    ASSERT_TRUE(grant);
    EXPECT_EQ(link.LastFromAddress(), m_subnet.Host(1));
    EXPECT_EQ(AckSequence(form, *grant), 0);
    EXPECT_GE(m_emulator.DeviceAt(0).PrintCounts().strays, 1);
    m_emulator.Stop();
  }
}

TEST_F(PrintUdp, WithheldAcknowledgementsResumeAfterTheirTime) {
  DeviceConfig d = Printer(1, 1);
  d.faults = {F(MessageKind::Ack, FaultKind::Withhold, 1, 300, true)};
  Start({d});
  const Form form{1, TransportKind::Udp};
  const Bytes job = Pattern(20000);
  const auto start = Clock::now();
  const JobRecord record = PrintJob(0, form, job);
  ExpectSameBytes(record, job);
  EXPECT_GE(Clock::now() - start, 300ms);
  // The next job has none withheld.
  const auto again = Clock::now();
  ExpectSameBytes(PrintJob(0, form, job), job);
  EXPECT_LT(Clock::now() - again, 300ms);
}

TEST_F(PrintUdp, APortOutOfPaperTakesNoDataUntilItHasPaperAgain) {
  Start({Printer(1, 1)});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  m_emulator.DeviceAt(0).SetPortStatus(0x01, 0);
  link.Send(Data(form, 1, 0, Pattern(10)));
  // No acknowledgement, not even after idle gaps, while the paper is out.
  EXPECT_FALSE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b).has_value(); }, 300ms));
  link.Send(Status(form));
  auto status = Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x88); });
  ASSERT_TRUE(status);
  EXPECT_EQ((*status)[6], 1);
  m_emulator.DeviceAt(0).SetPortStatus(0, 0);
  auto ack = Expect(link, [&](const Bytes& b) { return AckSequence(form, b).has_value(); });
  ASSERT_TRUE(ack);
  EXPECT_EQ(AckSequence(form, *ack), 0) << "the packet sent meanwhile was not taken";
}

TEST_F(PrintUdp, SeededRatesOfLossRepeatsAndReorderingStillGiveByteIdenticalJobs) {
  std::vector<DeviceConfig> devices;
  for (int i = 0; i < 2; i++) {
    DeviceConfig d = Printer(i, static_cast<std::uint8_t>(i + 1));
    d.seed = 42;
    d.reackMs = 20;
    std::string why;
    EXPECT_TRUE(vek::emu::ReadFaults("data:drop:10%, data:duplicate:10%, data:reorder:10%, ack:drop:5%", &d.faults,
                                     &why))
        << why;
    devices.push_back(d);
  }
  Start(devices);
  for (int generation : {1, 0}) {
    SCOPED_TRACE("generation " + std::to_string(generation));
    const Form form{generation, TransportKind::Udp};
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{1449}, std::size_t{1450},
                             std::size_t{120000}}) {
      const Bytes job = Pattern(size, 11);
      ExpectSameBytes(PrintJob(static_cast<std::size_t>(generation), form, job), job);
    }
  }
  EXPECT_GT(m_emulator.DeviceAt(0).PrintCounts().lostByFault, 0);
}

TEST_F(PrintUdp, BadDataIsDroppedAndLogged) {
  Start({Printer(1, 1)});
  const Form form{1, TransportKind::Udp};
  UdpLink link(m_subnet.Host(1));
  link.Send(Connect(form, 1));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  Bytes truncated = Data(form, 1, 0, Pattern(500));
  truncated.resize(200);
  Bytes badWord = Data(form, 1, 0, Pattern(10));
  badWord[9] = 0x05;  // a remainder without its 256-block
  badWord[10] = 0x00;
  Bytes tooLong = Data(form, 1, 0, Pattern(1451));
  link.Send(truncated);
  link.Send(badWord);
  link.Send(tooLong);
  link.Send(Bytes{'N', 'E', 'T', 0x60, 0x0B, 0x00});  // no room for the fields
  ASSERT_TRUE(m_emulator.Log().WaitFor(
      [](const auto& log) {
        int data = 0;
        for (const auto& e : log) data += e.kind == "data";
        return data >= 4;
      },
      5s));
  std::vector<std::string> notes;
  for (const auto& e : m_emulator.Log().Snapshot())
    if (e.kind == "data") notes.push_back(e.note);
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_NE(notes[0].find("length 500 in a datagram of 200 bytes"), std::string::npos) << notes[0];
  EXPECT_NE(notes[1].find("gives no length"), std::string::npos) << notes[1];
  EXPECT_NE(notes[2].find("longer than the host's largest packet"), std::string::npos) << notes[2];
  EXPECT_NE(notes[3].find("a data header of 6 bytes"), std::string::npos) << notes[3];
  // Nothing of it was taken: the next packet is still sequence 0.
  link.Send(Data(form, 1, 0, Pattern(10)));
  auto ack = Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 1; });
  EXPECT_TRUE(ack);
}

}  // namespace
