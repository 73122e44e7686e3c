// WritePort on a virtual clock: the start-of-job throttle, the pauses, and which
// error a write reports after the device has been silent.
#include <atomic>
#include <thread>

#include "kernel/clock.h"
#include "kernel/sync.h"
#include "monitor_test_support.h"
#include "ring_buffer.h"

namespace vek::test {
namespace {

// A write pauses by waiting for acknowledgements to make room. Here none come, so
// the clock moves while the write waits: a millisecond at a time, each once the
// waiting write has read the clock again, so that every pause runs exactly its
// length and the clock reads what the pauses add up to.
class PausingClock : public VirtualClock {
 public:
  explicit PausingClock(std::uint64_t startMs) : VirtualClock(startMs), m_writer(std::this_thread::get_id()) {
    m_others = BlockedWaiters();
    m_pump = std::thread([this] {
      std::uint64_t seen = ~0ull;
      while (!m_stop) {
        std::uint64_t reads = m_writerReads.load();
        if (BlockedWaiters() == m_others + 1 && reads != seen) {
          seen = reads;
          Advance(1);
        } else {
          std::this_thread::yield();
        }
      }
    });
  }
  ~PausingClock() override {
    m_stop = true;
    m_pump.join();
  }
  std::uint64_t NowMs() override {
    if (std::this_thread::get_id() == m_writer) m_writerReads++;
    return VirtualClock::NowMs();
  }

 private:
  const std::thread::id m_writer;
  std::size_t m_others = 0;
  std::atomic<std::uint64_t> m_writerReads{0};
  std::atomic<bool> m_stop{false};
  std::thread m_pump;
};

class WritePath : public MonitorTest {
 protected:
  void SetUp() override {
    MonitorTest::SetUp();
    m_port = AddPort(u"P1");
    ASSERT_TRUE(m_port->OpenPrintPort());
    ResetEvent(m_port->m_hEndEvent);
    m_port->m_bJobStarted = TRUE;
    m_port->m_bConnected = TRUE;
    m_clock = std::make_unique<PausingClock>(1000000);
    InstallClock(m_clock.get());
    m_port->m_LastSendTick = GetTickCount();
    m_port->m_LastStatusTick = GetTickCount();
  }
  void TearDown() override {
    InstallClock(nullptr);
    m_clock.reset();
    m_port->ClosePrintPort();
    MonitorTest::TearDown();
  }
  BOOL Write(std::size_t size, DWORD* written) {
    m_data = Pattern(size);
    return m_port->WritePrintData(reinterpret_cast<const BYTE*>(m_data.data()), static_cast<DWORD>(size), written);
  }

  CPrintPort* m_port = nullptr;
  std::unique_ptr<PausingClock> m_clock;
  std::string m_data;
};

TEST_F(WritePath, TheFirstWriteOfAJobTakesEverythingAtOnce) {
  DWORD written = 0;
  std::uint64_t start = m_clock->NowMs();
  EXPECT_TRUE(Write(20000, &written));
  EXPECT_EQ(20000u, written);
  EXPECT_EQ(start, m_clock->NowMs());  // no pause
  EXPECT_EQ(20000, m_port->m_BytesQueued);
  EXPECT_EQ(0u, GetLastError());
}

TEST_F(WritePath, UntilTheDeviceAcknowledgesTheThrottleTakesNothingForAboutASecondAndAHalf) {
  DWORD written = 0;
  ASSERT_TRUE(Write(20000, &written));
  std::uint64_t start = m_clock->NowMs();
  EXPECT_TRUE(Write(5000, &written));
  EXPECT_EQ(0u, written);
  // Twelve pauses of 100, 105, ... 155 ms.
  EXPECT_EQ(1530u, m_clock->NowMs() - start);
}

TEST_F(WritePath, AWriteReportsWhatItTookBeforeTheQueueFilled) {
  DWORD written = 0;
  ASSERT_TRUE(Write(9000, &written));
  // 1240 more fit under the throttle's 10240 queued bytes; the write takes all
  // 3000 in its first cycle, as the throttle looks before the cycle.
  EXPECT_TRUE(Write(3000, &written));
  EXPECT_EQ(3000u, written);
  // A full queue: the write takes what fits, then waits, then reports that.
  m_port->m_BytesAcked = 5000;
  EXPECT_TRUE(Write(kQueueSize, &written));
  EXPECT_EQ(static_cast<DWORD>(kQueueSize - 1 - 12000), written);
}

TEST_F(WritePath, AWriteWithoutAStartedDocumentTakesNothing) {
  m_port->m_bJobStarted = FALSE;
  DWORD written = 99;
  EXPECT_FALSE(Write(10, &written));
  EXPECT_EQ(0u, written);
}

TEST_F(WritePath, SilenceWhileDataWaitsIsOutOfPaper) {
  DWORD written = 0;
  ASSERT_TRUE(Write(1000, &written));
  m_clock->Advance(31000);
  EXPECT_FALSE(Write(10, &written));
  EXPECT_EQ(ERROR_OUT_OF_PAPER, GetLastError());
  // The bytes stay queued and later writes go on.
  EXPECT_EQ(1010, m_port->m_BytesQueued);
  EXPECT_TRUE(IsEventSet(m_port->m_hStatusEvent));
}

TEST_F(WritePath, SilenceWithAKnownDeviceErrorIsADeviceError) {
  DWORD written = 0;
  ASSERT_TRUE(Write(1000, &written));
  m_port->m_ErrorCode = static_cast<int>(ERROR_IO_DEVICE);
  m_clock->Advance(31000);
  EXPECT_FALSE(Write(10, &written));
  EXPECT_EQ(ERROR_IO_DEVICE, GetLastError());
}

TEST_F(WritePath, AStatusErrorFailsTheWriteAtTheStatusKick) {
  DWORD written = 0;
  ASSERT_TRUE(Write(1000, &written));
  m_port->m_ErrorCode = static_cast<int>(ERROR_OUT_OF_PAPER);
  m_clock->Advance(9000);
  ResetEvent(m_port->m_hStatusEvent);
  EXPECT_FALSE(Write(10, &written));
  EXPECT_EQ(ERROR_OUT_OF_PAPER, GetLastError());
  EXPECT_TRUE(IsEventSet(m_port->m_hStatusEvent));
  // The next kick waits another 8 s.
  ResetEvent(m_port->m_hStatusEvent);
  EXPECT_TRUE(Write(10, &written));
  EXPECT_FALSE(IsEventSet(m_port->m_hStatusEvent));
}

TEST_F(WritePath, ASpoolerPauseOnAHealthyDeviceIsNoTimeOut) {
  DWORD written = 0;
  ASSERT_TRUE(Write(1000, &written));
  m_port->m_BytesAcked = 1000;  // the device took everything
  m_clock->Advance(200000);     // then the spooler paused
  EXPECT_TRUE(Write(1000, &written));
  EXPECT_EQ(1000u, written);
  EXPECT_EQ(0u, GetLastError());
}

TEST_F(WritePath, ATickInTheFutureIsTakenAsNow) {
  DWORD written = 0;
  m_port->m_LastSendTick = GetTickCount() + 500000;
  ASSERT_TRUE(Write(1000, &written));
  EXPECT_EQ(GetTickCount(), m_port->m_LastSendTick);
}

}  // namespace
}  // namespace vek::test
