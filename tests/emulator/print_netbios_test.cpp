// The devices on a NetBIOS segment of the test's own: a unique name each and the
// discovery group name for all, the searches sent to the group, and print jobs
// with the older generation's byte pairs.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/netbios_transport.h"
#include "print_host.h"
#include "support/emulator_lab.h"
#include "support/temp_root.h"

namespace {

using namespace std::chrono_literals;
using namespace printlab;
using vek::emu::DeviceConfig;
using vek::emu::Emulator;
using vek::emu::EmulatorOptions;
using vek::emu::JobRecord;

DeviceConfig Named(int generation, std::uint8_t n, const std::string& name) {
  DeviceConfig d;
  d.mac = {0x02, 0x4E, 0x57, 0x80, static_cast<std::uint8_t>(generation), n};
  d.name = name;
  d.generation = generation;
  d.transports = {false, false, true};
  d.reackMs = 40;
  d.ackDelayMs = 1;
  return d;
}

std::string PaddedText(const std::string& name) {
  const auto p = Padded(name);
  return std::string(p.begin(), p.end());
}

class PrintNetbios : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_segments.Ok());
    // Names nobody else on this test's segment can hold.
    m_suffix = std::to_string(::getpid() % 100000);
  }
  void TearDown() override { m_emulator.Stop(); }
  void Start(std::vector<DeviceConfig> devices) {
    EmulatorOptions options;
    options.devices = std::move(devices);
    options.spoolDir = m_spool.path();
    std::string message;
    ASSERT_TRUE(m_emulator.Start(options, &message)) << message;
  }

  vek::test::ScopedSegments m_segments;
  vek::test::TempDir m_spool;
  Emulator m_emulator;
  std::string m_suffix;
};

TEST_F(PrintNetbios, SearchesToTheGroupNameAreAnsweredFromEachDevicesName) {
  DeviceConfig net = Named(1, 1, "Front desk");
  DeviceConfig older = Named(0, 2, "Back office");
  older.netbiosName = "BACKOFFICE" + m_suffix;
  Start({net, older});
  EXPECT_EQ(m_emulator.Describe(0), "netbios \"Front desk\" on LANA 0");

  NetbiosLink link("HOST" + m_suffix, vek::emu::kDiscoveryGroupName);
  ASSERT_EQ(link.Added(), NRC_GOODRET);
  ASSERT_TRUE(link.Send(NetSearch()));
  auto reply = Expect(link, [](const Bytes& b) { return b.size() > 40 && b[0] == 'N' && b[4] == 0x84; });
  ASSERT_TRUE(reply);
  EXPECT_EQ(link.LastSender(), PaddedText("Front desk")) << "from the device's own name";
  EXPECT_EQ(std::string(reply->begin() + 14, reply->begin() + 24), "Front desk");

  ASSERT_TRUE(link.Send(OlderSearch(TransportKind::Netbios)));
  reply = Expect(link, [](const Bytes& b) { return b.size() >= 0x20 && b[0] == 0x70 && b[1] == 0x70; });
  ASSERT_TRUE(reply);
  EXPECT_EQ(link.LastSender(), PaddedText(older.netbiosName));
  EXPECT_EQ(std::string(reply->begin() + 4, reply->begin() + 15), "Back office");

  ASSERT_TRUE(m_emulator.Log().WaitForCount(4, 5s));
  for (const auto& entry : m_emulator.Log().Snapshot()) {
    EXPECT_TRUE(entry.broadcast) << "to the group name";
    EXPECT_EQ(entry.transport, TransportKind::Netbios);
    EXPECT_EQ(entry.peer, "lana 0 \"" + PaddedText("HOST" + m_suffix) + "\"");
  }
}

TEST_F(PrintNetbios, JobsOfBothGenerationsWithTheirBytePairs) {
  DeviceConfig net = Named(1, 1, "NET" + m_suffix);
  DeviceConfig older = Named(0, 2, "OLD" + m_suffix);
  Start({net, older});
  for (const DeviceConfig& device : {net, older}) {
    const Form form{device.generation, TransportKind::Netbios};
    SCOPED_TRACE("generation " + std::to_string(form.generation));
    NetbiosLink link("H" + std::to_string(form.generation) + "-" + m_suffix, device.name);
    ASSERT_EQ(link.Added(), NRC_GOODRET);
    // The older generation's answers: 50 50 for the connect, 60 60 for the grant.
    ASSERT_TRUE(link.Send(Connect(form, 1)));
    auto answer = Expect(link, [&](const Bytes& b) { return IsAnswer(form, b, 0x8A); });
    ASSERT_TRUE(answer);
    auto grant = Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; });
    ASSERT_TRUE(grant);
    if (form.generation == 0) {
      EXPECT_EQ((*answer)[0], 0x50);
      EXPECT_EQ((*grant)[0], 0x60);
    }
    EXPECT_EQ(link.LastSender(), PaddedText(device.name));

    for (std::size_t size : {std::size_t{0}, std::size_t{999}, std::size_t{1000}, std::size_t{50000}}) {
      const Bytes job = Pattern(size, static_cast<std::uint32_t>(size));
      Host host(link, form, 1);
      HostReport report;
      ASSERT_TRUE(host.Print(job, &report)) << size;
      EXPECT_EQ(report.dataLength, 1000) << "NetBEUI carries 1000 bytes a packet";
      auto record = m_emulator.Jobs().WaitForJob(
          [&](const JobRecord& r) { return r.mac == device.mac && r.size == size && r.ended; }, 5s);
      ASSERT_TRUE(record) << size;
      EXPECT_EQ(record->sha256, vek::emu::Sha256Hex(job));
      EXPECT_EQ(record->transport, TransportKind::Netbios);
      m_emulator.Jobs().Clear();
    }
  }
}

TEST_F(PrintNetbios, DataUnderTheWrongPairIsDropped) {
  Start({Named(0, 1, "OLD" + m_suffix)});
  const Form form{0, TransportKind::Netbios};
  NetbiosLink link("HOST" + m_suffix, "OLD" + m_suffix);
  ASSERT_TRUE(link.Send(Connect(form, 1)));
  ASSERT_TRUE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 0; }));
  Bytes data = Data(form, 1, 0, Pattern(10));
  data[0] = data[1] = 0x50;
  ASSERT_TRUE(link.Send(data));
  ASSERT_TRUE(m_emulator.Log().WaitFor(
      [](const auto& log) {
        for (const auto& e : log)
          if (e.note.find("under the pair 0x50") != std::string::npos) return true;
        return false;
      },
      5s));
  EXPECT_FALSE(Expect(link, [&](const Bytes& b) { return AckSequence(form, b) == 1; }, 200ms));
}

TEST_F(PrintNetbios, NamesGoWithTheEmulatorAndATakenNameFailsTheStart) {
  const DeviceConfig device = Named(1, 1, "ONE" + m_suffix);
  Start({device});
  // A second emulator of this process cannot hold the group name as well.
  Emulator second;
  EmulatorOptions options;
  options.devices = {Named(1, 2, "TWO" + m_suffix)};
  options.spoolDir = m_spool.path();
  std::string message;
  int error = 0;
  EXPECT_FALSE(second.Start(options, &message, &error));
  EXPECT_NE(message.find("QIMPrintServer"), std::string::npos) << message;
  EXPECT_EQ(error, NRC_DUPNAME);
  // Once the first has stopped, its names are free again.
  m_emulator.Stop();
  EXPECT_TRUE(second.Start(options, &message)) << message;
  NetbiosLink taken("ONE" + m_suffix, "nobody");
  EXPECT_EQ(taken.Added(), NRC_GOODRET) << "the first emulator's device name was removed";
}

}  // namespace
