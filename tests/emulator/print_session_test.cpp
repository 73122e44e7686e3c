// The receiving end of the sliding window on its own, with the time given by the
// test: which packets it takes, holds and drops, and which acknowledgements it
// makes when, across the 8-bit wrap.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "emulator/print_session.h"
#include "emulator/spool.h"
#include "support/temp_root.h"

namespace {

using namespace std::chrono_literals;
using vek::emu::AckOut;
using vek::emu::AckReason;
using vek::emu::DataVerdict;
using vek::emu::JobFile;
using vek::emu::JobRecord;
using vek::emu::PrintSession;
using vek::emu::SessionSettings;
using TimePoint = PrintSession::TimePoint;

const TimePoint t0 = TimePoint{} + 1h;

SessionSettings Settings(int window, int dataLength = 100, int ackDelayMs = 2, int reackMs = 200) {
  SessionSettings s;
  s.window = window;
  s.dataLength = dataLength;
  s.ackDelayMs = ackDelayMs;
  s.reackMs = reackMs;
  return s;
}

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t fill = 0xAB) { return std::vector<std::uint8_t>(n, fill); }

std::vector<int> Sequences(const std::vector<AckOut>& acks) {
  std::vector<int> out;
  for (const AckOut& a : acks) out.push_back(a.sequence);
  return out;
}

class Session : public testing::Test {
 protected:
  void Make(const SessionSettings& settings, bool withFile = false) {
    std::unique_ptr<JobFile> file;
    if (withFile) file = std::make_unique<JobFile>(m_dir.path() + "/job.prn");
    m_session = std::make_unique<PrintSession>(settings, vek::emu::UdpPeer(0x7F000001, 5000), std::move(file), t0);
    std::vector<AckOut> acks;
    m_session->Grant(t0, &acks);
    ASSERT_EQ(Sequences(acks), std::vector<int>{0});
    EXPECT_EQ(acks[0].reason, AckReason::Grant);
  }
  // A packet at now; the acknowledgements it made at once.
  std::vector<int> Packet(int sequence, std::size_t length, TimePoint now, DataVerdict expected = DataVerdict::Taken) {
    std::vector<AckOut> acks;
    EXPECT_EQ(m_session->Data(static_cast<std::uint8_t>(sequence), Bytes(length, static_cast<std::uint8_t>(sequence)),
                              now, &acks),
              expected)
        << "sequence " << sequence;
    return Sequences(acks);
  }
  std::vector<int> Tick(TimePoint now) {
    std::vector<AckOut> acks;
    m_session->Tick(now, &acks);
    return Sequences(acks);
  }

  vek::test::TempDir m_dir;
  std::unique_ptr<PrintSession> m_session;
};

TEST_F(Session, EveryFullWindowIsAcknowledgedOnceAcrossTheWrap) {
  Make(Settings(8));
  TimePoint now = t0;
  int sequence = 0;
  for (int window = 0; window < 40; window++) {
    for (int i = 0; i < 8; i++, sequence++) {
      now += 1ms;
      const std::vector<int> acks = Packet(sequence % 256, 100, now);
      if (i < 7) EXPECT_TRUE(acks.empty()) << "packet " << sequence;
      else EXPECT_EQ(acks, std::vector<int>{(sequence + 1) % 256}) << "window " << window;
    }
  }
  EXPECT_EQ(m_session->Expected(), 320 % 256);
  EXPECT_EQ(m_session->Stats().packets, 320u);
  EXPECT_EQ(m_session->Bytes(), 32000u);
  EXPECT_TRUE(Tick(now + 1ms).empty()) << "nothing is due";
}

TEST_F(Session, AWindowThatStraddlesTheWrapIsCountedFromItsBase) {
  Make(Settings(5));
  TimePoint now = t0;
  // Up to base 253: 50 windows of 5 and three more packets.
  for (int s = 0; s < 253; s++) Packet(s, 100, now += 1ms);
  EXPECT_EQ(m_session->Expected(), 253);
  std::vector<int> acks = Tick(now += 10ms);
  EXPECT_EQ(acks, std::vector<int>{}) << "three full packets make no window and no short one";
  // 250 to 254 are a window's worth since the acknowledgement of 250.
  EXPECT_TRUE(Packet(253, 100, now).empty());
  EXPECT_EQ(Packet(254, 100, now), std::vector<int>{255});
  // The next window, 255 to 3, goes over the wrap.
  EXPECT_TRUE(Packet(255, 100, now).empty());
  EXPECT_TRUE(Packet(0, 100, now).empty());
  EXPECT_TRUE(Packet(1, 100, now).empty());
  EXPECT_TRUE(Packet(2, 100, now).empty());
  EXPECT_EQ(Packet(3, 100, now), std::vector<int>{4});
}

TEST_F(Session, APacketAheadOfAGapIsHeldAndTheGapAcknowledgedAfterTheDelay) {
  Make(Settings(8, 100, 2));
  EXPECT_TRUE(Packet(0, 100, t0).empty());
  EXPECT_TRUE(Packet(2, 100, t0, DataVerdict::Held).empty());
  EXPECT_TRUE(Packet(3, 100, t0, DataVerdict::Held).empty());
  EXPECT_TRUE(Packet(3, 100, t0, DataVerdict::Duplicate).empty()) << "held already";
  EXPECT_TRUE(Tick(t0 + 1ms).empty());
  EXPECT_EQ(m_session->NextWake(), t0 + 2ms);
  EXPECT_EQ(Tick(t0 + 2ms), std::vector<int>{1}) << "it wants the missing packet";
  // The host's next window from 1: 1 lets 2 and 3 through.
  const TimePoint later = t0 + 5ms;
  EXPECT_TRUE(Packet(1, 100, later).empty());
  EXPECT_EQ(m_session->Expected(), 4);
  Packet(2, 100, later, DataVerdict::Duplicate);
  Packet(3, 100, later, DataVerdict::Duplicate);
  for (int s = 4; s < 8; s++) EXPECT_TRUE(Packet(s, 100, later).empty());
  EXPECT_EQ(Packet(8, 100, later), std::vector<int>{9}) << "1 to 8: a window's worth since the acknowledgement of 1";
  EXPECT_EQ(m_session->Stats().heldAhead, 2u);
  EXPECT_EQ(m_session->Bytes(), 900u) << "each packet once";
}

TEST_F(Session, OldPacketsAndPacketsBeyondTheWindowAreDroppedButAnswered) {
  Make(Settings(8, 100, 0));  // no delay: the answers come at once
  TimePoint now = t0;
  for (int s = 0; s < 250; s++) Packet(s, 100, now += 1ms);
  // Base 250, window 250 to 1: 242 is behind it, 2 beyond it, 1 ahead of a gap.
  EXPECT_EQ(Packet(242, 100, now, DataVerdict::Duplicate), std::vector<int>{250});
  EXPECT_EQ(Packet(2, 100, now, DataVerdict::OutOfWindow), std::vector<int>{250});
  EXPECT_EQ(Packet(1, 100, now, DataVerdict::Held), std::vector<int>{250});
  EXPECT_EQ(m_session->Stats().duplicates, 1u);
  EXPECT_EQ(m_session->Stats().outOfWindow, 1u);
  EXPECT_EQ(m_session->Expected(), 250);
}

TEST_F(Session, ShortAndEmptyPacketsAreAcknowledgedAfterTheDelay) {
  Make(Settings(8, 1450, 3));
  EXPECT_TRUE(Packet(0, 1450, t0).empty());
  EXPECT_TRUE(Packet(1, 1449, t0).empty()) << "short: soon, not at once";
  EXPECT_TRUE(Packet(2, 0, t0 + 1ms).empty()) << "empty: also the end of what the host has";
  EXPECT_TRUE(Tick(t0 + 2ms).empty());
  EXPECT_EQ(Tick(t0 + 3ms), std::vector<int>{3}) << "one acknowledgement for both";
  EXPECT_TRUE(Tick(t0 + 4ms).empty());

  Make(Settings(8, 1450, 0));
  EXPECT_EQ(Packet(0, 10, t0), std::vector<int>{1}) << "without a delay: at once";
}

// A device slow to turn round answers a full window, a short packet and a gap
// no sooner than its latency; the grant and the idle repeats do not wait for it.
TEST_F(Session, TheAcknowledgementLatencyDelaysEveryAnswerToAPacket) {
  SessionSettings s = Settings(4, 100, 2, 200);
  s.ackLatencyUs = 1500;
  Make(s);
  for (int i = 0; i < 3; i++) EXPECT_TRUE(Packet(i, 100, t0).empty());
  EXPECT_TRUE(Packet(3, 100, t0).empty()) << "a full window: not at once";
  EXPECT_EQ(m_session->NextWake(), t0 + 1500us);
  EXPECT_TRUE(Tick(t0 + 1499us).empty());
  EXPECT_EQ(Tick(t0 + 1500us), std::vector<int>{4});
  EXPECT_TRUE(Packet(4, 100, t0 + 2ms).empty());
  EXPECT_TRUE(Packet(5, 100, t0 + 3ms).empty());
  EXPECT_TRUE(Packet(6, 100, t0 + 3ms).empty());
  EXPECT_TRUE(Packet(7, 100, t0 + 3ms).empty());
  EXPECT_TRUE(Tick(t0 + 4499us).empty());
  EXPECT_EQ(Tick(t0 + 4500us), std::vector<int>{8}) << "the latency from the window's last packet";

  s.ackLatencyUs = 5000;  // longer than the short-packet delay: the latency holds
  Make(s);
  EXPECT_TRUE(Packet(0, 10, t0).empty());
  EXPECT_TRUE(Tick(t0 + 2ms).empty());
  EXPECT_EQ(Tick(t0 + 5ms), std::vector<int>{1});
  EXPECT_EQ(Tick(t0 + 205ms), std::vector<int>{1}) << "an idle repeat after its own gap";
  EXPECT_EQ(m_session->Stats().acks, 3u);
  EXPECT_EQ(m_session->Stats().reacks, 1u);
}

TEST_F(Session, TheWindowOfTheOlderGenerationIsOnePacket) {
  SessionSettings s = Settings(1, 1024);
  s.dialect.generation = 0;
  Make(s);
  for (int i = 0; i < 300; i++) EXPECT_EQ(Packet(i % 256, 1024, t0), std::vector<int>{(i + 1) % 256});
}

TEST_F(Session, IdleGapsRepeatTheLastAcknowledgementWithGrowingGaps) {
  Make(Settings(8, 100, 2, 200));
  EXPECT_EQ(m_session->NextWake(), t0 + 200ms);
  EXPECT_TRUE(Tick(t0 + 199ms).empty());
  TimePoint at = t0 + 200ms;
  for (int gap : {200, 400, 800, 1600, 1600}) {
    const std::vector<int> acks = Tick(at);
    EXPECT_EQ(acks, std::vector<int>{0}) << "after " << gap;
    at += std::chrono::milliseconds(gap * 2 > 1600 ? 1600 : gap * 2);
    EXPECT_EQ(m_session->NextWake(), at);
  }
  // A packet from the host: the gaps start small again.
  const TimePoint now = at - 10ms;
  EXPECT_TRUE(Packet(0, 100, now).empty());
  EXPECT_EQ(m_session->NextWake(), now + 200ms);
  EXPECT_EQ(Tick(now + 200ms), std::vector<int>{1}) << "the cumulative acknowledgement";
  EXPECT_EQ(m_session->Stats().reacks, 6u);
}

TEST_F(Session, NothingIsTakenOrAcknowledgedWhileThePortCannotPrint) {
  Make(Settings(4, 100, 0, 50));
  std::vector<AckOut> acks;
  m_session->SetPrinting(false, t0, &acks);
  EXPECT_TRUE(acks.empty());
  EXPECT_TRUE(Packet(0, 100, t0, DataVerdict::NotPrinting).empty());
  EXPECT_TRUE(Tick(t0 + 50ms).empty());
  EXPECT_TRUE(Tick(t0 + 1s).empty());
  m_session->SetPrinting(true, t0 + 2s, &acks);
  ASSERT_EQ(Sequences(acks), std::vector<int>{0}) << "what it expects, at once";
  EXPECT_EQ(acks[0].reason, AckReason::Resume);
  EXPECT_EQ(m_session->Stats().refused, 1u);
}

TEST_F(Session, APacketLongerThanTheHostsLargestIsRefused) {
  Make(Settings(4, 1024));
  EXPECT_TRUE(Packet(0, 1025, t0, DataVerdict::TooLong).empty());
  EXPECT_EQ(m_session->Expected(), 0);
  Packet(0, 1024, t0);
  EXPECT_EQ(m_session->Expected(), 1);
}

TEST_F(Session, TheEndWritesTheFileAndTellsOfHeldBytes) {
  Make(Settings(8, 4, 2), true);
  const std::vector<std::uint8_t> job = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::vector<AckOut> acks;
  m_session->Data(0, std::span(job).subspan(0, 4), t0, &acks);
  m_session->Data(1, std::span(job).subspan(4, 4), t0, &acks);
  m_session->Data(2, std::span(job).subspan(8, 1), t0, &acks);
  m_session->Data(4, std::vector<std::uint8_t>{}, t0, &acks);  // an empty one past a gap: no bytes lost
  JobRecord record;
  m_session->End(true, t0 + 1s, &record);
  EXPECT_TRUE(m_session->HasEnded());
  EXPECT_TRUE(record.ended);
  EXPECT_TRUE(record.complete);
  EXPECT_EQ(record.size, 9u);
  EXPECT_EQ(record.sha256, vek::emu::Sha256Hex(job));
  std::vector<std::uint8_t> written;
  ASSERT_TRUE(vek::emu::ReadJobBytes(record, &written));
  EXPECT_EQ(written, job);
  EXPECT_EQ(record.stats.packets, 3u);
  EXPECT_EQ(m_session->Data(3, job, t0 + 2s, &acks), DataVerdict::Ended);
  EXPECT_FALSE(m_session->NextWake()) << "an ended job makes no more acknowledgements";

  Make(Settings(8, 4, 2), true);
  m_session->Data(1, std::span(job).subspan(4, 4), t0, &acks);
  m_session->End(false, t0, &record);
  EXPECT_FALSE(record.ended);
  EXPECT_FALSE(record.complete) << "bytes were held beyond a gap";
  EXPECT_EQ(record.size, 0u);
}

}  // namespace
