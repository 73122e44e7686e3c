// Jobs carried to an emulated device while the clock stands still. No time-out of
// the print path can run out, so every wait on it must be ended by what it waits
// for: a write waiting for room by the acknowledgements that free it, the
// start-of-job throttle by the first ones, the sender waiting for bytes by the
// write that queues them, its short-window pause and the end's drain by the end
// of the document and the last acknowledgement. Under loss the device's own
// repeats keep such a job going; nothing on the path sleeps.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "emulator/emulator.h"
#include "kernel/clock.h"
#include "monitor_test_support.h"
#include "support/emulator_lab.h"
#include "transport_probes.h"

namespace vek::test {
namespace {

struct StillCase {
  int model;
  const char* faults;
  std::size_t size;
};

class StillClockPrint : public MonitorTest, public ::testing::WithParamInterface<StillCase> {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    ProbeTransports();
    AddPrinter("Printer");
  }
  void TearDown() override {
    if (m_port) m_port->ClosePrintPort();
    m_emulator.Stop();
    MonitorTest::TearDown();
  }

  void StartDevice(int model, const std::string& faults) {
    std::string message;
    ASSERT_TRUE(StartEmulatorOnFreshSubnet(m_emulator, {PrintDevice("PS-STILL-", 0x45, 0, model, PortTransport::Udp,
                                                                    faults)},
                                           &m_subnet, &message))
        << message;
    m_port = AddPort(u"VEK1", PACKET_TYPE_UDP, model);
    const std::uint32_t host = m_emulator.DeviceAt(0).Config().address;
    const BYTE ip[4] = {static_cast<BYTE>(host >> 24), static_cast<BYTE>(host >> 16), static_cast<BYTE>(host >> 8),
                        static_cast<BYTE>(host)};
    std::memcpy(m_port->m_IPAddress, ip, 4);
    std::memcpy(m_port->m_NodeID, m_emulator.DeviceAt(0).Config().mac.data(), 6);
    ASSERT_TRUE(m_port->OpenPrintPort());
  }

  // One document, written as the spooler writes: 64 KiB at a time, advancing by
  // what was taken.
  bool PrintDocument(const std::string& data, DWORD jobId) {
    if (!m_port->StartPrintPort(u"Printer", jobId)) return false;
    // The device's first permission taken with nothing queued: the sender waits
    // for the first write.
    if (!WaitUntil([&] { return m_port->m_bCanSend.load() != FALSE; })) return false;
    for (std::size_t offset = 0; offset < data.size();) {
      DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(65536, data.size() - offset));
      DWORD written = 0;
      BOOL ok = m_port->WritePrintData(reinterpret_cast<const BYTE*>(data.data() + offset), chunk, &written);
      offset += written;
      if (!ok || m_stuck) return false;
    }
    return m_port->EndPrintPort() != FALSE;
  }

  LoopbackSubnet m_subnet;
  emu::Emulator m_emulator;
  CPrintPort* m_port = nullptr;
  std::atomic<bool> m_stuck{false};
};

TEST_P(StillClockPrint, EveryWaitIsEndedByWhatItWaitsFor) {
  const StillCase c = GetParam();
  StartDevice(c.model, c.faults);
  // A one-byte document first (the sender holds the first permission until the
  // byte comes, then its pause ends with the document), then one larger than
  // the queue, on the same port.
  const std::string small = "x";
  const std::string large = Pattern(c.size, static_cast<unsigned>(c.size + c.model));

  VirtualClock clock(7000000);
  const std::uint64_t start = clock.NowMs();
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  // A path that waits for a time-out would hang here: past a deadline the clock is
  // moved on, so the test ends and fails instead.
  std::thread watchdog([&] {
    std::unique_lock guard(lock);
    if (finished.wait_for(guard, std::chrono::seconds(60), [&] { return done; })) return;
    m_stuck = true;
    while (!done) {
      guard.unlock();
      clock.Advance(60000);
      guard.lock();
      finished.wait_for(guard, std::chrono::milliseconds(10), [&] { return done; });
    }
  });
  InstallClock(&clock);
  const bool printedSmall = PrintDocument(small, 11);
  const bool printedLarge = printedSmall && PrintDocument(large, 12);
  {
    std::lock_guard guard(lock);
    done = true;
  }
  finished.notify_all();
  watchdog.join();
  InstallClock(nullptr);

  EXPECT_FALSE(m_stuck) << "a wait of the print path ran until its time-out";
  EXPECT_EQ(start, clock.NowMs()) << "something on the print path slept";
  ASSERT_TRUE(printedSmall) << GetLastError();
  ASSERT_TRUE(printedLarge) << GetLastError();
  for (std::size_t index : {0u, 1u}) {
    const std::string& sent = index == 0 ? small : large;
    std::optional<emu::JobRecord> job = m_emulator.Jobs().WaitForJob(index, std::chrono::seconds(10));
    ASSERT_TRUE(job) << DescribeRequests(m_emulator, 0);
    EXPECT_TRUE(job->ended && job->complete);
    EXPECT_EQ(sent.size(), job->size);
    EXPECT_EQ(Sha256(sent), job->sha256) << DescribeRequests(m_emulator, 0);
  }
}

// Larger than the queue, so that writes wait for room; loss on the data and on
// the acknowledgements.
INSTANTIATE_TEST_SUITE_P(BothGenerations, StillClockPrint,
                         ::testing::Values(StillCase{0, "", 1000003}, StillCase{1, "", 1000003},
                                           StillCase{0, "data:drop:3%,ack:drop:3%,ack:duplicate:3%", 450001},
                                           StillCase{1, "data:drop:3%,ack:drop:3%,ack:duplicate:3%", 450001}),
                         [](const ::testing::TestParamInfo<StillCase>& info) {
                           return "Generation" + std::to_string(info.param.model) +
                                  (*info.param.faults ? "UnderLoss" : "");
                         });

}  // namespace
}  // namespace vek::test
