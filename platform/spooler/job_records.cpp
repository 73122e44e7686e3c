#include "spooler/job_records.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <span>
#include <string_view>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "registry/store_check.h"
#include "registry/subkey_values.h"
#include "registry/transaction.h"
#include "spooler/names.h"
#include "spooler/store.h"

namespace vek::spooler {

namespace {

bool ProcessAlive(DWORD pid) {
  if (pid == 0) return false;
  if (pid == static_cast<DWORD>(getpid())) return true;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

DWORD Clamp(std::uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value); }

// A record's values as read at once, found by name.
class RecordValues {
 public:
  explicit RecordValues(const std::vector<registry::ValueRow>& values) : m_values(values) {}
  const registry::ValueRow* Find(const char* name) const {
    for (const registry::ValueRow& value : m_values)
      if (SameName(value.name, name)) return &value;
    return nullptr;
  }
  std::string String(const char* name, const std::string& fallback) const {
    std::string text;
    return store::StringOf(Find(name), &text) == ERROR_SUCCESS ? text : fallback;
  }
  DWORD Dword(const char* name, DWORD fallback) const {
    DWORD number = 0;
    return store::DwordOf(Find(name), &number) == ERROR_SUCCESS ? number : fallback;
  }

 private:
  const std::vector<registry::ValueRow>& m_values;
};

// The values a brief read needs: for keeping the store to its newest records,
// and for the queries of the jobs not ended, which also ask the printer.
constexpr std::string_view kBriefValues[] = {"State", "Owner"};
constexpr std::string_view kUnfinishedValues[] = {"State", "Printer", "Owner"};

bool ParseRecord(const std::string& name, const RecordValues& values, JobRecord* job, bool brief) {
  if (name.empty() || name.size() > 10 || name.find_first_not_of("0123456789") != std::string::npos)
    return false;
  unsigned long long id = std::stoull(name);
  if (id == 0 || id > 0xFFFFFFFFu) return false;
  DWORD state = 0;
  if (store::DwordOf(values.Find("State"), &state) != ERROR_SUCCESS ||
      state < static_cast<DWORD>(JobState::Spooling) || state > static_cast<DWORD>(JobState::Failed))
    return false;
  *job = JobRecord{};
  job->id = static_cast<DWORD>(id);
  job->state = static_cast<JobState>(state);
  job->printer = values.String("Printer", "");
  job->owner = values.Dword("Owner", 0);
  // Only a job that has not ended can be left behind by its process.
  if (!IsFinal(job->state))
    job->ownerAlive = job->owner != static_cast<DWORD>(getpid()) && ProcessAlive(job->owner);
  if (brief) return true;
  job->port = values.String("Port", "");
  job->document = values.String("Document", "");
  job->datatype = values.String("Datatype", "");
  job->user = values.String("User", "");
  if (const registry::ValueRow* submitted = values.Find("Submitted");
      submitted != nullptr && submitted->data.size() == sizeof(SYSTEMTIME))
    std::memcpy(&job->submitted, submitted->data.data(), sizeof(SYSTEMTIME));
  job->total = values.Dword("Size", 0);
  job->written = std::min<std::uint64_t>(values.Dword("Written", 0), job->total);
  job->error = values.Dword("Error", 0);
  job->tries = values.Dword("Tries", 0);
  const DWORD cause = values.Dword("Cause", 0);
  job->cause = cause <= static_cast<DWORD>(JobCause::PaperOut) ? static_cast<JobCause>(cause) : JobCause::None;
  job->priority = values.Dword("Priority", DEF_PRIORITY);
  job->cancelRequested = values.Dword("CancelRequested", 0) != 0;
  return true;
}

}  // namespace

std::string JobKey(DWORD id) { return store::Join(store::kJobs, std::to_string(id)); }

DWORD AllocateJobId(DWORD* error) {
  // One transaction: the id read, the key created and the next id written.
  registry::Transaction transaction;
  store::Key jobs;
  if (LONG failed = jobs.Create(HKEY_LOCAL_MACHINE, store::kJobs)) {
    *error = static_cast<DWORD>(failed);
    return 0;
  }
  // The key's creation is the claim: two processes never get the same id.
  DWORD id = std::max<DWORD>(store::DwordOr(jobs.get(), "NextJobId", 1), 1);
  for (int attempt = 0; attempt < 100000; ++attempt, ++id) {
    if (id == 0) id = 1;
    store::Key key;
    DWORD disposition = 0;
    if (LONG failed = key.Create(jobs.get(), std::to_string(id), &disposition)) {
      *error = static_cast<DWORD>(failed);
      return 0;
    }
    if (disposition == REG_CREATED_NEW_KEY) {
      LONG failed = store::WriteDword(jobs.get(), "NextJobId", id + 1);
      if (failed == ERROR_SUCCESS) failed = transaction.Commit();
      if (failed != ERROR_SUCCESS) {
        *error = static_cast<DWORD>(failed);
        return 0;
      }
      return id;
    }
  }
  *error = ERROR_NO_MORE_ITEMS;
  return 0;
}

DWORD WriteJobRecord(const JobRecord& job, bool everything) {
  // One transaction: other processes see the whole record or the one before.
  registry::Transaction transaction;
  store::Key key;
  if (LONG error = key.Create(HKEY_LOCAL_MACHINE, JobKey(job.id))) return static_cast<DWORD>(error);
  HKEY k = key.get();
  LONG error = ERROR_SUCCESS;
  auto text = [&](const char* name, const std::string& value) {
    if (error == ERROR_SUCCESS) error = store::WriteString(k, name, value);
  };
  auto number = [&](const char* name, DWORD value) {
    if (error == ERROR_SUCCESS) error = store::WriteDword(k, name, value);
  };
  if (everything) {
    text("Printer", job.printer);
    text("Document", job.document);
    text("Datatype", job.datatype);
    text("User", job.user);
    if (error == ERROR_SUCCESS) error = store::WriteBinary(k, "Submitted", &job.submitted, sizeof job.submitted);
    number("Owner", job.owner);
    number("Priority", job.priority);
  }
  text("Port", job.port);
  number("State", static_cast<DWORD>(job.state));
  number("Status", JobStatusBits(job));
  number("Size", Clamp(job.total));
  number("Written", Clamp(job.written));
  number("Error", job.error);
  number("Tries", job.tries);
  number("Cause", static_cast<DWORD>(job.cause));
  // Only ever set: another process may have asked for the cancel.
  if (job.cancelRequested) number("CancelRequested", 1);
  key.Close();
  if (error == ERROR_SUCCESS) error = transaction.Commit();
  return static_cast<DWORD>(error);
}

bool ReadJobRecord(DWORD id, JobRecord* job) {
  store::Key key;
  if (key.Open(HKEY_LOCAL_MACHINE, JobKey(id)) != ERROR_SUCCESS) return false;
  std::vector<registry::ValueRow> values;
  if (registry::ReadKeyValues(key.get(), &values) != ERROR_SUCCESS) return false;
  return ParseRecord(std::to_string(id), RecordValues(values), job, false);
}

namespace {

// names: the values to read, every one when empty (then the records are whole).
std::vector<JobRecord> ReadRecords(std::span<const std::string_view> names, const registry::ValueExclusion* except) {
  std::map<DWORD, JobRecord> records;
  store::Key jobs;
  std::vector<registry::SubKeyValues> keys;
  if (jobs.Open(HKEY_LOCAL_MACHINE, store::kJobs) == ERROR_SUCCESS)
    registry::ReadSubKeyValues(jobs.get(), names, &keys, except);
  for (const registry::SubKeyValues& key : keys) {
    JobRecord job;
    if (ParseRecord(key.key.name, RecordValues(key.values), &job, !names.empty())) records[job.id] = job;
  }
  std::vector<JobRecord> result;
  for (auto& [id, record] : records) result.push_back(std::move(record));
  return result;
}

// A state as the store holds it.
std::vector<BYTE> StoredState(JobState state) {
  DWORD value = static_cast<DWORD>(state);
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

}  // namespace

std::vector<JobRecord> ReadJobRecords(bool brief) {
  return ReadRecords(brief ? std::span<const std::string_view>(kBriefValues) : std::span<const std::string_view>(),
                     nullptr);
}

std::vector<JobRecord> ReadUnfinishedJobRecords() {
  static const registry::ValueExclusion ended{
      "State", {StoredState(JobState::Printed), StoredState(JobState::Cancelled), StoredState(JobState::Failed)}};
  return ReadRecords(kUnfinishedValues, &ended);
}

void DeleteJobRecord(DWORD id) {
  // One transaction: the record goes whole or stays whole.
  registry::Transaction transaction;
  if (store::DeleteTree(HKEY_LOCAL_MACHINE, JobKey(id)) == ERROR_SUCCESS) transaction.Commit();
}

// ---- What a record says --------------------------------------------------------------

bool IsFinal(JobState state) {
  return state == JobState::Printed || state == JobState::Cancelled || state == JobState::Failed;
}

std::string DescribeError(DWORD error) {
  // The registry database's own failures name the file.
  if (registry::IsStoreError(static_cast<LONG>(error))) return registry::DescribeStoreError(static_cast<LONG>(error));
  switch (error) {
    case ERROR_SUCCESS: return "No error";
    case ERROR_OUT_OF_PAPER: return "Out of paper";
    case ERROR_IO_DEVICE: return "Device error";
    case ERROR_NOT_READY: return "Port not ready";
    case ERROR_BUSY: return "Busy";
    case ERROR_WRITE_FAULT: return "Write fault";
    case kReadFault: return "Spool file unreadable";
    case ERROR_FILE_NOT_FOUND: return "Spool file missing";
    case ERROR_INVALID_PARAMETER: return "Invalid parameter";
    case ERROR_UNKNOWN_PORT: return "Unknown port";
    case ERROR_INVALID_PRINTER_NAME: return "Unknown printer";
    case ERROR_MOD_NOT_FOUND: return "Monitor not loaded";
    case RPC_S_SERVER_UNAVAILABLE: return "Spooler not running";
    default: {
      // The platform's words, begun as a state is: "The disk is full".
      std::string words = ErrorWords(error);
      words[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(words[0])));
      return words;
    }
  }
}

namespace {

// Why a job does not go on, as far as its port made it known.
std::string DescribeTrouble(const JobRecord& job) {
  if (job.error == ERROR_OUT_OF_PAPER && job.cause != JobCause::PaperOut) return "Not taking data";
  if (job.error == ERROR_IO_DEVICE && job.cause == JobCause::NoConnection) return "Not connected";
  return DescribeError(job.error);
}

}  // namespace

std::string DescribeJob(const JobRecord& job) {
  std::string text;
  if (!IsFinal(job.state) && !job.ownerAlive) return "Abandoned";
  switch (job.state) {
    case JobState::Spooling: text = "Spooling"; break;
    case JobState::Queued: text = "Queued"; break;
    case JobState::Printing: text = "Printing"; break;
    case JobState::Retrying: text = DescribeTrouble(job); break;
    case JobState::Printed: text = "Printed"; break;
    case JobState::Cancelled: text = "Cancelled"; break;
    case JobState::Failed: text = "Failed: " + DescribeTrouble(job); break;
  }
  // A cancel after the last byte (the monitor removing the job it ended) leaves
  // the job printed: it is ending, not being cancelled.
  if (!IsFinal(job.state) && job.cancelRequested)
    text += job.state == JobState::Printing && job.written == job.total ? " (ending)" : " (cancelling)";
  return text;
}

DWORD JobStatusBits(const JobRecord& job) {
  DWORD status = 0;
  switch (job.state) {
    case JobState::Spooling: status = JOB_STATUS_SPOOLING; break;
    case JobState::Queued: status = 0; break;
    case JobState::Printing: status = JOB_STATUS_PRINTING; break;
    case JobState::Retrying:
      status = JOB_STATUS_PRINTING | JOB_STATUS_ERROR;
      if (job.error == ERROR_OUT_OF_PAPER) status |= JOB_STATUS_PAPEROUT;
      break;
    case JobState::Printed: status = JOB_STATUS_PRINTED; break;
    case JobState::Cancelled: status = JOB_STATUS_DELETED; break;
    case JobState::Failed: status = JOB_STATUS_ERROR; break;
  }
  if (!IsFinal(job.state) && job.cancelRequested) status |= JOB_STATUS_DELETING;
  if (!IsFinal(job.state) && !job.ownerAlive) status |= JOB_STATUS_ERROR;
  return status;
}


}  // namespace vek::spooler
