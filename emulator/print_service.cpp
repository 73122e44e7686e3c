#include "emulator/print_service.h"

#include <algorithm>

namespace vek::emu {
namespace {

// How long a finished job still answers a repeated end of job.
constexpr auto kLinger = std::chrono::seconds(30);
// How long a datagram a fault holds back waits for one to overtake it.
constexpr auto kReorderHold = std::chrono::milliseconds(50);

void Earliest(std::optional<SteadyClock::time_point>* wake, SteadyClock::time_point at) {
  if (!*wake || at < **wake) *wake = at;
}

std::string PortText(int port) { return "port " + std::to_string(port); }

// Status faults and the port status they report.
constexpr std::pair<FaultKind, std::uint8_t> kOverlays[] = {
    {FaultKind::PaperOut, 1}, {FaultKind::Offline, 2}, {FaultKind::Busy, 3}};

}  // namespace

PrintService::PrintService(std::size_t device, const DeviceConfig& config, FaultSet& faults, JobSpool* spool)
    : m_device(device), m_config(config), m_faults(faults), m_spool(spool) {}

SessionSettings PrintService::Settings(const Dialect& dialect, int port) const {
  SessionSettings s;
  s.dialect = dialect;
  s.port = port;
  s.window = GrantedWindow(dialect, m_config.window);
  s.dataLength = GrantedDataLength(dialect, m_config.dataLength);
  s.ackDelayMs = m_config.ackDelayMs;
  s.reackMs = m_config.reackMs;
  s.ackLatencyUs = m_config.ackLatencyUs;
  return s;
}

std::uint8_t PrintService::Overlaid() const {
  std::uint8_t status = m_config.portStatus;
  for (const auto& [fault, value] : kOverlays) {
    for (int port : m_faults.Arguments(MessageKind::Status, fault)) {
      for (int p = 1; p <= 3; p++) {
        if (port > 0 && port != p) continue;
        const int shift = 2 * (p - 1);
        status = static_cast<std::uint8_t>((status & ~(3 << shift)) | (value << shift));
      }
    }
  }
  return status;
}

std::uint8_t PrintService::StatusByte(bool use) {
  const std::uint8_t status = Overlaid();
  if (use)
    for (const auto& overlay : kOverlays) m_faults.TakeAll(MessageKind::Status, overlay.first);
  return status;
}

bool PrintService::PortPrints(int port) const {
  const int status = (Overlaid() >> (2 * (port - 1))) & 3;
  return status != 1 && status != 2;
}

PrintService::Job* PrintService::Find(int port, const Peer& host, bool openOnly) {
  for (auto& job : m_jobs)
    if (job->session->Settings().port == port && job->session->Host() == host &&
        !(openOnly && job->session->HasEnded()))
      return job.get();
  return nullptr;
}

PrintService::Job* PrintService::Holder(int port) {
  for (auto& job : m_jobs)
    if (job->session->Settings().port == port && !job->session->HasEnded()) return job.get();
  return nullptr;
}

void PrintService::Handle(const PrintRequest& request, const Dialect& dialect, const Peer& from,
                          SteadyClock::time_point now, std::vector<Outgoing>* out, std::string* note) {
  m_counters.datagrams++;
  if (request.op == PrintOp::Data && !request.data.empty()) m_counters.dataDatagrams++;
  switch (request.op) {
    case PrintOp::Connect: Connect(request, dialect, from, now, out, note); break;
    case PrintOp::Data: Data(request, dialect, from, now, out, note); break;
    case PrintOp::EndOfJob: EndOfJob(request, dialect, from, now, out, note); break;
    default: break;
  }
}

void PrintService::Emit(Outgoing outgoing, MessageKind kind, const Dialect& dialect, int port, const Peer& to,
                        SteadyClock::time_point now, std::vector<Outgoing>* out) {
  outgoing.to = to;
  int delay = 0;
  if (m_faults.Take(kind, FaultKind::Delay, &delay)) outgoing.delayMs = delay;
  std::vector<Outgoing> copies;
  if (m_faults.Take(kind, FaultKind::Empty)) copies.push_back(Outgoing{{}, outgoing.delayMs, outgoing.via, to});
  copies.push_back(outgoing);
  if (m_faults.Take(kind, FaultKind::Duplicate)) copies.push_back(outgoing);
  if (m_faults.Take(kind, FaultKind::Stray)) {
    const std::uint8_t sequence = outgoing.bytes.size() > 7 ? outgoing.bytes[dialect.generation == 1 ? 7 : 5] : 0;
    copies.push_back(Outgoing{BuildStrayDatagram(dialect, port, sequence), outgoing.delayMs, Via::Stray, to});
    m_counters.strays++;
  }
  auto held = m_heldOut.find(to);
  if (held == m_heldOut.end() && m_faults.Take(kind, FaultKind::Reorder)) {
    // Held until the next answer to this host overtakes it.
    m_heldOut[to] = HeldOut{now + kReorderHold, std::move(copies.front())};
    copies.erase(copies.begin());
  }
  for (Outgoing& o : copies) out->push_back(std::move(o));
  if (held != m_heldOut.end() && !copies.empty()) {
    out->push_back(std::move(held->second.outgoing));
    m_heldOut.erase(held);
  }
}

void PrintService::Connect(const PrintRequest& request, const Dialect& dialect, const Peer& from,
                           SteadyClock::time_point now, std::vector<Outgoing>* out, std::string* note) {
  m_counters.connects++;
  const int port = request.port;
  if (m_faults.Take(MessageKind::Connect, FaultKind::Drop)) {
    m_counters.lostByFault++;
    *note = "connect " + PortText(port) + ": lost (fault)";
    return;
  }
  if (dialect.generation == 1 && (request.command >> 8) != kConnectFlag)
    *note = "connect word without its flag; ";
  const auto answer = [&](std::uint8_t status) {
    Emit(Outgoing{BuildConnectAnswer(dialect, port, status, static_cast<std::uint16_t>(m_config.dataLength),
                                     static_cast<std::uint8_t>(m_config.window))},
         MessageKind::Connect, dialect, port, from, now, out);
  };
  if (port < 1 || port > m_config.ports) {
    // The older generation has no refusal: it does not answer.
    if (dialect.generation == 1) answer(0x0F);
    m_counters.refusals++;
    *note += "connect " + PortText(port) + ": no such port";
    return;
  }
  if (Job* mine = Find(port, from, true)) {
    if (mine->session->Fresh()) {
      // The host's answer went astray: the same answer and grant again.
      answer(0);
      std::vector<AckOut> acks;
      mine->session->Grant(now, &acks);
      EmitAcks(*mine, acks, now, out);
      *note += "connect " + PortText(port) + ": again, job " + std::to_string(mine->number);
      return;
    }
    Finish(*mine, false, now);
    *note += "job " + std::to_string(mine->number) + " cut off by a new connect; ";
  }
  if (Job* other = Holder(port)) {
    m_counters.busyAnswers++;
    answer(kConnectBusy);
    *note += "connect " + PortText(port) + ": busy with job " + std::to_string(other->number) + " of " +
             other->session->Host().Text();
    return;
  }
  if (((m_config.portStatus >> (2 * (port - 1))) & 3) == 3 || m_faults.Take(MessageKind::Connect, FaultKind::Busy)) {
    m_counters.busyAnswers++;
    answer(kConnectBusy);
    *note += "connect " + PortText(port) + ": busy";
    return;
  }
  const bool refuse = m_faults.Take(MessageKind::Connect, FaultKind::Refuse);
  if (refuse) m_counters.refusals++;
  answer(refuse ? kConnectRefused : 0);
  if (refuse && dialect.generation == 1) {
    *note += "connect " + PortText(port) + ": refused";
    return;
  }
  // Lingering ends of earlier jobs of this host on the port make way.
  std::erase_if(m_jobs, [&](const std::unique_ptr<Job>& j) {
    return j->session->HasEnded() && j->session->Settings().port == port && j->session->Host() == from;
  });
  auto job = std::make_unique<Job>();
  std::unique_ptr<JobFile> file;
  if (m_spool) file = m_spool->Begin(m_device, m_config.mac, port, &job->number);
  job->session = std::make_unique<PrintSession>(Settings(dialect, port), from, std::move(file), now);
  int withholdMs = 0;
  if (m_faults.Take(MessageKind::Ack, FaultKind::Withhold, &withholdMs)) {
    job->withhold = true;
    job->withholdMs = withholdMs;
  }
  std::vector<AckOut> acks;
  job->session->Grant(now, &acks);
  EmitAcks(*job, acks, now, out);
  m_counters.jobsStarted++;
  *note += "connect " + PortText(port) + ": job " + std::to_string(job->number) + " started";
  m_jobs.push_back(std::move(job));
}

void PrintService::Data(const PrintRequest& request, const Dialect& dialect, const Peer& from,
                        SteadyClock::time_point now, std::vector<Outgoing>* out, std::string* note) {
  DataPacket packet{from, dialect, request.port, request.sequence,
                    std::vector<std::uint8_t>(request.data.begin(), request.data.end())};
  const std::string what = "data " + PortText(request.port) + " sequence " + std::to_string(request.sequence);
  if (m_faults.Take(MessageKind::Data, FaultKind::Drop)) {
    m_counters.lostByFault++;
    *note = what + ": lost (fault)";
    return;
  }
  int delay = 0;
  if (m_faults.Take(MessageKind::Data, FaultKind::Delay, &delay)) {
    m_deferred.push_back({now + std::chrono::milliseconds(delay), std::move(packet)});
    *note = what + ": delayed " + std::to_string(delay) + " ms (fault)";
    return;
  }
  auto held = m_heldIn.find(from);
  if (held == m_heldIn.end() && m_faults.Take(MessageKind::Data, FaultKind::Reorder)) {
    m_heldIn[from] = Deferred{now + kReorderHold, std::move(packet)};
    *note = what + ": held back (fault)";
    return;
  }
  Deliver(packet, now, out, note);
  if (m_faults.Take(MessageKind::Data, FaultKind::Duplicate)) {
    std::string again;
    Deliver(packet, now, out, &again);
    *note += "; again: " + again;
  }
  if (held != m_heldIn.end()) {
    std::string late;
    Deliver(held->second.packet, now, out, &late);
    *note += "; then the one held back: " + late;
    m_heldIn.erase(held);
  }
  if (request.oddZero) *note += " (byte after the sequence not 0)";
}

void PrintService::Deliver(const DataPacket& packet, SteadyClock::time_point now, std::vector<Outgoing>* out,
                           std::string* note) {
  const std::string what = "data " + PortText(packet.port) + " sequence " + std::to_string(packet.sequence) + " (" +
                           std::to_string(packet.data.size()) + " bytes)";
  Job* job = Find(packet.port, packet.from, false);
  if (!job) {
    *note = what + ": no job of this host on the port";
    return;
  }
  std::vector<AckOut> acks;
  job->session->SetPrinting(PortPrints(packet.port), now, &acks);
  const bool first = job->session->Stats().packets == 0;
  const DataVerdict verdict = job->session->Data(packet.sequence, packet.data, now, &acks);
  if (first && verdict == DataVerdict::Taken && job->withhold && !job->withholdUntil)
    job->withholdUntil = job->withholdMs > 0 ? now + std::chrono::milliseconds(job->withholdMs)
                                             : SteadyClock::time_point::max();
  EmitAcks(*job, acks, now, out);
  *note = what + ": " + DataVerdictName(verdict) + ", job " + std::to_string(job->number);
}

void PrintService::EmitAcks(Job& job, const std::vector<AckOut>& acks, SteadyClock::time_point now,
                            std::vector<Outgoing>* out) {
  PrintSession& s = *job.session;
  const Dialect& dialect = s.Settings().dialect;
  for (const AckOut& ack : acks) {
    if (job.withholdUntil && now < *job.withholdUntil) continue;
    if (m_faults.Take(MessageKind::Ack, FaultKind::Drop)) {
      m_counters.lostByFault++;
      continue;
    }
    AckForm form = AckForm::Valid;
    if (m_faults.Take(MessageKind::Ack, FaultKind::Invalid)) form = AckForm::ZeroFlag;
    else if (m_faults.Take(MessageKind::Ack, FaultKind::Truncated)) form = AckForm::Truncated;
    std::uint8_t sequence = ack.sequence;
    // Below any window the host can hold: it must leave it alone.
    if (m_faults.Take(MessageKind::Ack, FaultKind::OutOfWindow))
      sequence = static_cast<std::uint8_t>(sequence - s.Settings().window - 1);
    const int port = s.Settings().port;
    if (m_faults.Take(MessageKind::Ack, FaultKind::TruncatedAhead))
      out->push_back(Outgoing{BuildAck(dialect, port, static_cast<std::uint8_t>(sequence + 1), AckForm::Truncated), 0,
                              Via::Main, s.Host()});
    if (m_faults.Take(MessageKind::Ack, FaultKind::Impostor)) {
      out->push_back(
          Outgoing{BuildAck(dialect, port, static_cast<std::uint8_t>(sequence + 2)), 0, Via::Stray, s.Host()});
      m_counters.strays++;
    }
    Outgoing o{BuildAck(dialect, port, sequence, form)};
    if (dialect.transport != TransportKind::Netbios && m_faults.Take(MessageKind::Ack, FaultKind::OtherPort))
      o.via = Via::Alternate;
    m_counters.acksSent++;
    if (ack.reason == AckReason::Idle) m_counters.reacksSent++;
    Emit(std::move(o), MessageKind::Ack, dialect, port, s.Host(), now, out);
  }
}

void PrintService::EndOfJob(const PrintRequest& request, const Dialect& dialect, const Peer& from,
                            SteadyClock::time_point now, std::vector<Outgoing>* out, std::string* note) {
  const int port = request.port;
  if (m_faults.Take(MessageKind::EndOfJob, FaultKind::Drop)) {
    m_counters.lostByFault++;
    *note = "end of job " + PortText(port) + ": lost (fault)";
    return;
  }
  Job* job = Find(port, from, false);
  if (!job) *note = "end of job " + PortText(port) + ": no job of this host";
  else if (job->session->HasEnded()) *note = "end of job " + PortText(port) + ": again for job " + std::to_string(job->number);
  else {
    Finish(*job, true, now);
    *note = "end of job " + PortText(port) + ": job " + std::to_string(job->number) + " ended, " +
            std::to_string(job->session->Bytes()) + " bytes";
  }
  if (!request.endOfJobText) *note += " (without its text)";
  m_counters.endsOfJob++;
  Emit(Outgoing{BuildEndOfJobAnswer(dialect, port)}, MessageKind::EndOfJob, dialect, port, from, now, out);
}

void PrintService::Finish(Job& job, bool byHost, SteadyClock::time_point now) {
  if (job.session->HasEnded()) return;
  JobRecord record;
  job.session->End(byHost, now, &record);
  job.endedAt = now;
  record.device = m_device;
  record.mac = m_config.mac;
  record.number = job.number;
  if (!byHost) m_counters.cutOff++;
  if (m_spool) m_spool->Finished(std::move(record));
}

void PrintService::Tick(SteadyClock::time_point now, std::vector<Outgoing>* out) {
  // Data a fault delayed or held back, once due.
  for (std::size_t i = 0; i < m_deferred.size();) {
    if (m_deferred[i].at > now) {
      i++;
      continue;
    }
    DataPacket packet = std::move(m_deferred[i].packet);
    m_deferred.erase(m_deferred.begin() + static_cast<std::ptrdiff_t>(i));
    std::string ignored;
    Deliver(packet, now, out, &ignored);
  }
  for (auto it = m_heldIn.begin(); it != m_heldIn.end();) {
    if (it->second.at > now) {
      ++it;
      continue;
    }
    std::string ignored;
    Deliver(it->second.packet, now, out, &ignored);
    it = m_heldIn.erase(it);
  }
  for (auto it = m_heldOut.begin(); it != m_heldOut.end();) {
    if (it->second.at > now) {
      ++it;
      continue;
    }
    out->push_back(std::move(it->second.outgoing));
    it = m_heldOut.erase(it);
  }
  for (auto& job : m_jobs) {
    PrintSession& s = *job->session;
    if (s.HasEnded()) continue;
    std::vector<AckOut> acks;
    const bool prints = PortPrints(s.Settings().port);
    s.SetPrinting(prints, now, &acks);
    s.Tick(now, &acks);
    EmitAcks(*job, acks, now, out);
    if (prints && m_config.sessionTimeoutMs > 0 &&
        now - s.LastHeard() >= std::chrono::milliseconds(m_config.sessionTimeoutMs))
      Finish(*job, false, now);
  }
  std::erase_if(m_jobs, [&](const std::unique_ptr<Job>& j) { return j->session->HasEnded() && now - j->endedAt >= kLinger; });
}

std::optional<SteadyClock::time_point> PrintService::NextWake() const {
  std::optional<SteadyClock::time_point> wake;
  for (const Deferred& d : m_deferred) Earliest(&wake, d.at);
  for (const auto& [peer, held] : m_heldIn) Earliest(&wake, held.at);
  for (const auto& [peer, held] : m_heldOut) Earliest(&wake, held.at);
  for (const auto& job : m_jobs) {
    const PrintSession& s = *job->session;
    if (s.HasEnded()) {
      Earliest(&wake, job->endedAt + kLinger);
      continue;
    }
    if (auto at = s.NextWake()) Earliest(&wake, *at);
    if (m_config.sessionTimeoutMs > 0) Earliest(&wake, s.LastHeard() + std::chrono::milliseconds(m_config.sessionTimeoutMs));
  }
  return wake;
}

void PrintService::CutOffAll(SteadyClock::time_point now) {
  for (auto& job : m_jobs) Finish(*job, false, now);
}

}  // namespace vek::emu
