#include "emulator/print_session.h"

#include <algorithm>

namespace vek::emu {
namespace {

std::uint8_t Distance(std::uint8_t from, std::uint8_t to) { return static_cast<std::uint8_t>(to - from); }

// The idle gap grows up to this many times the configured one.
constexpr int kMaxIdleGaps = 8;

}  // namespace

const char* DataVerdictName(DataVerdict verdict) {
  switch (verdict) {
    case DataVerdict::Taken: return "taken";
    case DataVerdict::Held: return "held ahead of a gap";
    case DataVerdict::Duplicate: return "duplicate";
    case DataVerdict::OutOfWindow: return "out of the window";
    case DataVerdict::TooLong: return "longer than the host's largest packet";
    case DataVerdict::NotPrinting: return "not taken: the port cannot print";
    case DataVerdict::Ended: return "after the end of the job";
  }
  return "?";
}

PrintSession::PrintSession(const SessionSettings& settings, const Peer& peer, std::unique_ptr<JobFile> file,
                           TimePoint now)
    : m_settings(settings), m_peer(peer), m_file(std::move(file)), m_idleGapMs(settings.reackMs),
      m_lastActivity(now), m_lastHeard(now), m_started(now) {}

void PrintSession::Grant(TimePoint now, std::vector<AckOut>* acks) {
  if (m_ended) return;
  m_lastHeard = now;
  m_idleGapMs = m_settings.reackMs;
  AckNow(AckReason::Grant, now, acks);
}

void PrintSession::Take(std::span<const std::uint8_t> data, bool* shortPacket) {
  if (m_file) m_file->Append(data);
  else m_bytes += data.size();
  m_stats.packets++;
  m_base++;
  if (static_cast<int>(data.size()) < m_settings.dataLength) *shortPacket = true;
}

DataVerdict PrintSession::Data(std::uint8_t sequence, std::span<const std::uint8_t> data, TimePoint now,
                               std::vector<AckOut>* acks) {
  if (m_ended) return DataVerdict::Ended;
  m_lastHeard = now;
  m_lastActivity = now;
  m_idleGapMs = m_settings.reackMs;
  if (!m_printing) {
    m_stats.refused++;
    return DataVerdict::NotPrinting;
  }
  if (static_cast<int>(data.size()) > m_settings.dataLength) {
    m_stats.refused++;
    return DataVerdict::TooLong;
  }
  const std::uint8_t ahead = Distance(m_base, sequence);
  if (ahead >= m_settings.window) {
    // Behind the base: sent again after an acknowledgement the host did not
    // use. Either way the host's view is off: tell it where we are.
    const bool behind = Distance(sequence, m_base) <= 128;
    (behind ? m_stats.duplicates : m_stats.outOfWindow)++;
    AckSoon(AckReason::Gap, now, acks);
    return behind ? DataVerdict::Duplicate : DataVerdict::OutOfWindow;
  }
  if (ahead > 0) {
    if (m_held.count(sequence)) {
      m_stats.duplicates++;
      return DataVerdict::Duplicate;
    }
    m_held.emplace(sequence, std::vector<std::uint8_t>(data.begin(), data.end()));
    m_stats.heldAhead++;
    AckSoon(AckReason::Gap, now, acks);
    return DataVerdict::Held;
  }
  bool shortPacket = false;
  Take(data, &shortPacket);
  for (auto it = m_held.find(m_base); it != m_held.end(); it = m_held.find(m_base)) {
    Take(it->second, &shortPacket);
    m_held.erase(it);
  }
  if (Distance(m_lastAck, m_base) >= m_settings.window)
    AckAfter(AckReason::Window, std::chrono::microseconds(m_settings.ackLatencyUs), now, acks);
  else if (shortPacket) AckSoon(AckReason::Short, now, acks);
  else if (!m_held.empty()) AckSoon(AckReason::Gap, now, acks);
  return DataVerdict::Taken;
}

void PrintSession::AckSoon(AckReason reason, TimePoint now, std::vector<AckOut>* acks) {
  AckAfter(reason,
           std::max<std::chrono::microseconds>(std::chrono::milliseconds(m_settings.ackDelayMs),
                                               std::chrono::microseconds(m_settings.ackLatencyUs)),
           now, acks);
}

void PrintSession::AckAfter(AckReason reason, std::chrono::microseconds delay, TimePoint now,
                            std::vector<AckOut>* acks) {
  if (delay.count() <= 0) {
    AckNow(reason, now, acks);
    return;
  }
  const TimePoint at = now + delay;
  if (!m_ackAt || at < *m_ackAt) {
    m_ackAt = at;
    m_ackReason = reason;
  }
}

void PrintSession::AckNow(AckReason reason, TimePoint now, std::vector<AckOut>* acks) {
  m_ackAt.reset();
  m_lastActivity = now;
  if (!m_printing) return;  // the acknowledgement goes when the port prints again
  m_lastAck = m_base;
  m_stats.acks++;
  if (reason == AckReason::Idle) {
    m_stats.reacks++;
    // A host that stays silent may be waiting for another answer (its end of
    // job went astray): the gaps grow until its own receive times out.
    m_idleGapMs = std::min(2 * m_idleGapMs, kMaxIdleGaps * m_settings.reackMs);
  }
  acks->push_back({m_base, reason});
}

void PrintSession::Tick(TimePoint now, std::vector<AckOut>* acks) {
  if (m_ended) return;
  if (m_ackAt && now >= *m_ackAt) {
    AckNow(m_ackReason, now, acks);
    return;
  }
  if (m_settings.reackMs > 0 && now >= m_lastActivity + std::chrono::milliseconds(m_idleGapMs))
    AckNow(AckReason::Idle, now, acks);
}

std::optional<PrintSession::TimePoint> PrintSession::NextWake() const {
  if (m_ended) return std::nullopt;
  std::optional<TimePoint> wake = m_ackAt;
  if (m_settings.reackMs > 0) {
    const TimePoint idle = m_lastActivity + std::chrono::milliseconds(m_idleGapMs);
    if (!wake || idle < *wake) wake = idle;
  }
  return wake;
}

void PrintSession::SetPrinting(bool printing, TimePoint now, std::vector<AckOut>* acks) {
  if (printing == m_printing) return;
  m_printing = printing;
  // The host may have been silent all along: the time it waited does not count.
  m_lastHeard = now;
  if (printing && !m_ended) AckNow(AckReason::Resume, now, acks);
}

void PrintSession::End(bool byHost, TimePoint now, JobRecord* record) {
  if (m_ended) return;
  m_ended = true;
  m_ackAt.reset();
  if (m_file) m_file->Close(record);
  else record->size = m_bytes;
  record->ended = byHost;
  // Empty packets past the end are how a host fills its last window; only held
  // bytes are lost bytes.
  record->complete = std::all_of(m_held.begin(), m_held.end(), [](const auto& held) { return held.second.empty(); });
  record->stats = m_stats;
  record->transport = m_peer.kind;
  record->peer = m_peer.Text();
  record->port = m_settings.port;
  record->started = m_started;
  record->finished = now;
  m_held.clear();
}

}  // namespace vek::emu
