// One print job between a host's print socket and one printer port of a device:
// the receiving end of the host's sliding window.
//
// The host sends a window of packets with 8-bit sequences that wrap, starting
// from the base of the device's last acknowledgement, and sends again only when
// an acknowledgement arrives; it never retransmits on a time-out of its own. So
// the device
//  - takes packets in sequence order into the job; a packet ahead of a gap is
//    held until the gap fills; duplicates and sequences outside the window are
//    dropped;
//  - acknowledges cumulatively with the next sequence it expects: at once when a
//    window's worth has arrived, shortly after a short or empty packet (the end
//    of what the host has for now) or a gap, and again after every idle gap, so
//    that a lost acknowledgement or a lost last packet never stalls the job (the
//    gap doubles, up to 8 times, while the host stays silent: a host waiting for
//    its end-of-job answer must see its receive time out to send again);
//  - grants the first window with an acknowledgement right after the connect.
// A device slower to turn round (its acknowledgement latency) answers every
// packet that calls for an acknowledgement that much later, a full window too.
// While the port cannot print, nothing is taken and nothing acknowledged; the
// acknowledgement goes out as soon as it can print again.
//
// No clock of its own: every call is given the time, so tests can drive it.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "emulator/print_wire.h"
#include "emulator/spool.h"
#include "emulator/transport.h"

namespace vek::emu {

struct SessionSettings {
  Dialect dialect;
  int port = 1;
  int window = 1;          // packets, as the host takes the device's offer
  int dataLength = 1024;   // the host's largest packet
  int ackDelayMs = 2;
  int reackMs = 200;       // 0: no acknowledgement after an idle gap
  int ackLatencyUs = 0;    // the least time from a packet to the acknowledgement it calls for
};

enum class AckReason { Grant, Window, Short, Gap, Idle, Resume };

struct AckOut {
  std::uint8_t sequence = 0;
  AckReason reason = AckReason::Window;
};

enum class DataVerdict {
  Taken,        // in sequence (with any held packets it let through)
  Held,         // ahead of a gap
  Duplicate,    // taken or held already
  OutOfWindow,  // ahead of the window
  TooLong,      // longer than the host's largest packet
  NotPrinting,  // the port cannot print
  Ended,        // after the end of the job
};
const char* DataVerdictName(DataVerdict verdict);

class PrintSession {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  PrintSession(const SessionSettings& settings, const Peer& peer, std::unique_ptr<JobFile> file, TimePoint now);

  const SessionSettings& Settings() const { return m_settings; }
  const Peer& Host() const { return m_peer; }

  // The acknowledgement that lets the host send its first window.
  void Grant(TimePoint now, std::vector<AckOut>* acks);
  DataVerdict Data(std::uint8_t sequence, std::span<const std::uint8_t> data, TimePoint now,
                   std::vector<AckOut>* acks);
  // Acknowledgements that fell due.
  void Tick(TimePoint now, std::vector<AckOut>* acks);
  std::optional<TimePoint> NextWake() const;
  // Whether the port can print; when it can again, the acknowledgement goes.
  void SetPrinting(bool printing, TimePoint now, std::vector<AckOut>* acks);

  // Ends the job: by the host's end of job, or cut off. Closes the file and
  // fills the record's file, size, digest, completeness and statistics.
  void End(bool byHost, TimePoint now, JobRecord* record);
  bool HasEnded() const { return m_ended; }

  bool Fresh() const { return m_stats.packets == 0 && m_held.empty(); }
  std::uint8_t Expected() const { return m_base; }
  std::uint8_t LastAcknowledged() const { return m_lastAck; }
  std::uint64_t Bytes() const { return m_file ? m_file->Size() : m_bytes; }
  const JobStats& Stats() const { return m_stats; }
  TimePoint LastHeard() const { return m_lastHeard; }

 private:
  void Take(std::span<const std::uint8_t> data, bool* shortPacket);
  void AckSoon(AckReason reason, TimePoint now, std::vector<AckOut>* acks);
  void AckAfter(AckReason reason, std::chrono::microseconds delay, TimePoint now, std::vector<AckOut>* acks);
  void AckNow(AckReason reason, TimePoint now, std::vector<AckOut>* acks);

  const SessionSettings m_settings;
  const Peer m_peer;
  std::unique_ptr<JobFile> m_file;
  std::uint64_t m_bytes = 0;  // without a file
  std::uint8_t m_base = 0;     // the next sequence to take
  std::uint8_t m_lastAck = 0;  // the base of the last acknowledgement made
  std::map<std::uint8_t, std::vector<std::uint8_t>> m_held;
  std::optional<TimePoint> m_ackAt;
  AckReason m_ackReason = AckReason::Window;
  int m_idleGapMs;
  TimePoint m_lastActivity;  // last datagram in, or acknowledgement out
  TimePoint m_lastHeard;     // last datagram from the host
  TimePoint m_started;
  bool m_printing = true;
  bool m_ended = false;
  JobStats m_stats;
};

}  // namespace vek::emu
