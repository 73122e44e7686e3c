// Jobs: spooled to a file, then carried to the printer's port by a thread of the
// process that printed them, through the port's monitor. Their records live in
// the store under HKLM "...\Control\Print\Jobs\<id>" for every process to read.
#include "spooler/jobs.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "kernel/clock.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "registry/transaction.h"
#include "spooler/api_types.h"
#include "spooler/job_records.h"
#include "spooler/monitors.h"
#include "spooler/names.h"
#include "spooler/pack.h"
#include "spooler/port_wait.h"
#include "spooler/printers.h"
#include "spooler/spool_folder.h"
#include "spooler/store.h"

namespace vek::spooler {

class Job {
 public:
  Job() : cancelEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Job() {
    if (cancelEvent) CloseHandle(cancelEvent);
  }

  mutable std::mutex mutex;
  std::condition_variable changed;
  std::uint64_t version = 0;  // moves at every change of the record
  JobRecord record;
  std::string spoolFile;
  int file = -1;  // while spooling
  HANDLE cancelEvent;
  std::mutex threadLock;  // guards thread
  std::thread thread;
  std::atomic<bool> threadDone{false};
  ULONGLONG lastCancelCheck = 0;
  ULONGLONG lastPersist = 0;
};

namespace {

constexpr DWORD kKeptRecords = 100;
constexpr DWORD kChunk = 64 * 1024;
constexpr ULONGLONG kStoreInterval = 250;  // ms between progress writes and cancel reads
constexpr int kSpoolNameTries = 100;  // job ids passed over for spool file names taken

struct Table {
  std::mutex lock;
  std::map<DWORD, std::shared_ptr<Job>> jobs;
  bool policyRead = false;
  RetryPolicy policy;
};

Table& TheTable() {
  static Table* table = new Table;  // lives until the process ends: job threads may outlive main
  return *table;
}

std::shared_ptr<Job> FindJob(DWORD id) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  auto found = table.jobs.find(id);
  return found == table.jobs.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<Job>> AllJobs() {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  std::vector<std::shared_ptr<Job>> jobs;
  for (const auto& entry : table.jobs) jobs.push_back(entry.second);
  return jobs;
}

JobRecord Snapshot(const Job& job) {
  std::lock_guard guard(job.mutex);
  return job.record;
}

template <typename Change>
void Update(Job& job, Change change) {
  std::lock_guard guard(job.mutex);
  change(job.record);
  ++job.version;
  job.changed.notify_all();
}

std::string SpoolFile(DWORD id) { return SpoolFolder() + "/" + std::to_string(id) + ".spl"; }

void RemoveSpoolFile(DWORD id) {
  std::error_code ignored;
  std::filesystem::remove(SpoolFile(id), ignored);
}

// The spool files of jobs whose process is gone: nobody prints them any more.
// This process's own jobs are known from memory, never by a record's word.
void RemoveAbandonedSpoolFiles(const std::vector<JobRecord>& records) {
  for (const JobRecord& record : records)
    if (!IsFinal(record.state) && !record.ownerAlive && record.owner != static_cast<DWORD>(getpid()))
      RemoveSpoolFile(record.id);
}

SYSTEMTIME UtcNow() {
  std::timespec now{};
  std::timespec_get(&now, TIME_UTC);
  std::tm parts{};
  gmtime_r(&now.tv_sec, &parts);
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(parts.tm_year + 1900);
  time.wMonth = static_cast<WORD>(parts.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  time.wDay = static_cast<WORD>(parts.tm_mday);
  time.wHour = static_cast<WORD>(parts.tm_hour);
  time.wMinute = static_cast<WORD>(parts.tm_min);
  time.wSecond = static_cast<WORD>(parts.tm_sec);
  time.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
  return time;
}

std::string UserName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (const passwd* entry = getpwuid(getuid())) return entry->pw_name;
  return "user";
}

// Every record of the store, with this process's jobs as they are now, in id order.
std::vector<JobRecord> AllRecords(bool brief) {
  std::map<DWORD, JobRecord> records;
  for (JobRecord& record : ReadJobRecords(brief)) records[record.id] = std::move(record);
  for (const std::shared_ptr<Job>& job : AllJobs()) {
    JobRecord record = Snapshot(*job);
    records[record.id] = record;
  }
  std::vector<JobRecord> result;
  for (auto& [id, record] : records) result.push_back(std::move(record));
  RemoveAbandonedSpoolFiles(result);
  return result;
}

// The jobs that have not ended (printer, state and owner), with this process's as they are now.
std::vector<JobRecord> UnfinishedRecords() {
  std::map<DWORD, JobRecord> records;
  for (JobRecord& record : ReadUnfinishedJobRecords()) records[record.id] = std::move(record);
  for (const std::shared_ptr<Job>& job : AllJobs()) {
    JobRecord record = Snapshot(*job);
    if (IsFinal(record.state)) {
      records.erase(record.id);
    } else {
      records[record.id] = record;
    }
  }
  std::vector<JobRecord> result;
  for (auto& [id, record] : records) result.push_back(std::move(record));
  RemoveAbandonedSpoolFiles(result);
  return result;
}

// Keeps the store to the newest records: older ended ones go.
void Prune() {
  std::vector<JobRecord> records = AllRecords(true);
  if (records.size() <= kKeptRecords) return;
  std::size_t excess = records.size() - kKeptRecords;
  registry::Transaction transaction;  // the records go in one write
  for (const JobRecord& job : records) {
    if (excess == 0) break;
    if (!IsFinal(job.state) && job.ownerAlive) continue;
    if (FindJob(job.id)) continue;
    DeleteJobRecord(job.id);
    RemoveSpoolFile(job.id);
    --excess;
  }
  transaction.Commit();
}

// Writes the record; progress only every so often unless forced.
void Persist(Job& job, bool force) {
  JobRecord record;
  {
    std::lock_guard guard(job.mutex);
    ULONGLONG now = GetTickCount64();
    if (!force && now - job.lastPersist < kStoreInterval) return;
    job.lastPersist = now;
    record = job.record;
  }
  WriteJobRecord(record, false);
}

// ---- Cancelling -------------------------------------------------------------------

void RequestCancel(Job& job) {
  Update(job, [](JobRecord& record) { record.cancelRequested = true; });
  SetEvent(job.cancelEvent);
}

// Whether a cancel was asked, here or (read every so often) through the store.
bool CancelAsked(Job& job) {
  DWORD id = 0;
  {
    std::lock_guard guard(job.mutex);
    if (job.record.cancelRequested) return true;
    ULONGLONG now = GetTickCount64();
    if (now - job.lastCancelCheck < kStoreInterval) return false;
    job.lastCancelCheck = now;
    id = job.record.id;
  }
  store::Key key;
  if (key.Open(HKEY_LOCAL_MACHINE, JobKey(id)) != ERROR_SUCCESS) return false;
  if (store::DwordOr(key.get(), "CancelRequested", 0) == 0) return false;
  RequestCancel(job);
  return true;
}

// Waits up to ms; true as soon as a cancel is asked.
bool WaitCancellable(Job& job, DWORD ms) {
  ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    if (CancelAsked(job)) return true;
    ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    WaitForSingleObject(job.cancelEvent, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kStoreInterval)));
  }
}

// ---- The port, one job at a time across processes -------------------------------

class PortLock {
 public:
  ~PortLock() {
    if (m_file >= 0) close(m_file);
  }
  bool TryLock(const std::string& port) {
    if (m_file < 0) {
      MakeSpoolFolder("ports");
      std::string path = SpoolFolder("ports") + "/" + FileName(port) + ".lock";
      m_file = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (m_file < 0) return true;  // no lock file: go ahead unserialised
    }
    return flock(m_file, LOCK_EX | LOCK_NB) == 0;
  }

 private:
  // Port names compare without case and may hold any character.
  static std::string FileName(const std::string& port) {
    static const char* hex = "0123456789abcdef";
    std::string name;
    for (unsigned char c : port) {
      if (std::isalnum(c)) {
        name.push_back(static_cast<char>(std::tolower(c)));
      } else {
        name.push_back('%');
        name.push_back(hex[c >> 4]);
        name.push_back(hex[c & 15]);
      }
    }
    return name;
  }
  int m_file = -1;
};

// ---- The job's thread ---------------------------------------------------------------

void Finish(Job& job, JobState state, DWORD error, JobCause cause = JobCause::None) {
  auto end = [&](JobRecord& record) {
    record.state = state;
    record.error = error;
    if (state == JobState::Printed) record.tries = 0;
    // A failure keeps what the port last said of its error, unless the end says more.
    if (state != JobState::Failed) record.cause = JobCause::None;
    else if (cause != JobCause::None) record.cause = cause;
  };
  JobRecord record;
  std::string spoolFile;
  {
    std::lock_guard guard(job.mutex);
    record = job.record;
    spoolFile = job.spoolFile;
  }
  // The file and the store first: whoever sees the end in memory finds them done.
  std::error_code ignored;
  std::filesystem::remove(spoolFile, ignored);
  end(record);
  WriteJobRecord(record, false);
  Update(job, end);
}

struct Outcome {
  JobState state;
  DWORD error;
  JobCause cause = JobCause::None;
};

// A failure ends the job as cancelled when a cancel was asked meanwhile.
Outcome Failure(Job& job, DWORD error) {
  return {CancelAsked(job) ? JobState::Cancelled : JobState::Failed, error};
}

// Out of paper only where the port's status says so: the error alone also stands
// for a device that took no data for the port's retry time.
JobCause CauseOf(DWORD error, const PortStatus& status) {
  bool reported = status.status == PORT_STATUS_PAPER_OUT && status.text.empty();
  return error == ERROR_OUT_OF_PAPER && reported ? JobCause::PaperOut : JobCause::None;
}

void SetState(Job& job, JobState state, DWORD error, DWORD tries, JobCause cause = JobCause::None) {
  Update(job, [&](JobRecord& record) {
    record.state = state;
    record.error = error;
    record.tries = tries;
    record.cause = cause;
  });
  Persist(job, true);
}

// GaveUp: out of paper or a device error past the retry limit.
enum class WriteEnd { AllWritten, Cancelled, Failed, GaveUp };

// Writes the spooled bytes, always advancing by what the port took.
WriteEnd WriteAll(Job& job, const MonitorPtr& monitor, HANDLE port, int file, std::uint64_t total,
                  DWORD* failure) {
  std::vector<BYTE> chunk(kChunk);
  std::uint64_t offset = 0;
  DWORD failures = 0;
  DWORD idle = 0;
  while (offset < total) {
    if (CancelAsked(job)) return WriteEnd::Cancelled;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, total - offset));
    ssize_t got = pread(file, chunk.data(), want, static_cast<off_t>(offset));
    if (got <= 0) {
      *failure = kReadFault;
      return WriteEnd::Failed;
    }
    DWORD length = static_cast<DWORD>(got);
    DWORD written = 0;
    SetLastError(ERROR_SUCCESS);
    BOOL ok = monitor->ops.pfnWritePort(port, chunk.data(), length, &written);
    DWORD error = GetLastError();
    written = std::min(written, length);
    offset += written;
    Update(job, [&](JobRecord& record) { record.written = offset; });

    if (ok) {
      // Only bytes taken show the device has recovered: a port that takes nothing
      // after a failure is still failing, and its tries go on counting.
      if (written > 0 && failures > 0) SetState(job, JobState::Printing, 0, 0);
      if (written > 0) failures = 0;
      Persist(job, false);
      // A port that takes nothing for a while is given a moment, growing to 200 ms.
      idle = written == 0 ? idle + 1 : 0;
      if (idle > 0 && WaitCancellable(job, std::min<DWORD>(idle * 10, 200))) return WriteEnd::Cancelled;
      continue;
    }
    if (error != ERROR_OUT_OF_PAPER && error != ERROR_IO_DEVICE) {
      *failure = error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
      return WriteEnd::Failed;
    }
    // Out of paper or a device error: shown as the job's state, retried every so often.
    if (written > 0) failures = 0;
    ++failures;
    RetryPolicy policy = GetRetryPolicy();
    SetState(job, JobState::Retrying, error, failures, CauseOf(error, ReadPortStatus(Snapshot(job).port)));
    if (policy.limit != 0 && failures >= policy.limit) {
      *failure = error;
      return WriteEnd::GaveUp;
    }
    if (offset < total && WaitCancellable(job, policy.intervalMs)) return WriteEnd::Cancelled;
  }
  return WriteEnd::AllWritten;
}

// A port call that may wait on the device: meanwhile the job shows the port's
// status each time the monitor reports it, and is cancelled once the tries of
// the retry policy run out (*gaveUp then holds the error). The call's last error
// is kept for the caller.
template <typename Call>
BOOL DeviceCall(Job& job, const std::string& port, bool current, DWORD* gaveUp, Call call) {
  *gaveUp = 0;
  // A job already going only waits for the monitor to see it.
  if (CancelAsked(job)) return call();
  BOOL ok = FALSE;
  DWORD error = ERROR_SUCCESS;
  {
    PortWait wait(
        port, GetRetryPolicy().limit, current,
        [&](DWORD error, DWORD tries, const PortStatus& status) {
          SetState(job, error != 0 ? JobState::Retrying : JobState::Printing, error, tries, CauseOf(error, status));
        },
        [&](DWORD) { RequestCancel(job); });
    ok = call();
    error = GetLastError();
    *gaveUp = wait.GaveUpOn();
  }
  SetLastError(error);
  return ok;
}

// Runs the port calls; the job's end, once nothing of the monitor is held any more.
Outcome Print(Job& job) {
  JobRecord record = Snapshot(job);
  std::string spoolFile;
  {
    std::lock_guard guard(job.mutex);
    spoolFile = job.spoolFile;
  }
  PortLock lock;
  while (!lock.TryLock(record.port)) {
    if (WaitCancellable(job, 100)) return {JobState::Cancelled, 0};
  }
  if (CancelAsked(job)) return {JobState::Cancelled, 0};
  std::string portName;
  MonitorPtr monitor = MonitorOfPort(record.port, &portName);
  if (!monitor) return {JobState::Failed, ERROR_UNKNOWN_PORT};
  int file = open(spoolFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return {JobState::Failed, ERROR_FILE_NOT_FOUND};
  SetState(job, JobState::Printing, 0, 0);

  std::u16string port = ToWide(portName);
  std::u16string printer = ToWide(record.printer);
  std::u16string document = ToWide(record.document);
  std::u16string datatype = ToWide(record.datatype);
  const MONITOR& ops = monitor->ops;
  HANDLE handle = nullptr;
  SetLastError(ERROR_SUCCESS);
  if (!ops.pfnOpenPort(port.data(), &handle)) {
    DWORD error = GetLastError();
    close(file);
    return Failure(job, error != ERROR_SUCCESS ? error : ERROR_NOT_READY);
  }
  DOC_INFO_1W info{document.data(), nullptr, datatype.data()};
  SetLastError(ERROR_SUCCESS);
  DWORD startGaveUp = 0;
  BOOL started = DeviceCall(job, portName, false, &startGaveUp, [&] {
    return ops.pfnStartDocPort(handle, printer.data(), record.id, 1, reinterpret_cast<LPBYTE>(&info));
  });
  if (!started) {
    DWORD error = GetLastError();
    ops.pfnClosePort(handle);
    close(file);
    if (startGaveUp) return {JobState::Failed, startGaveUp};
    Outcome failed = Failure(job, error != ERROR_SUCCESS ? error : ERROR_IO_DEVICE);
    // A device error at the start: the device was not reached, or refused the job.
    if (failed.error == ERROR_IO_DEVICE) failed.cause = JobCause::NoConnection;
    return failed;
  }
  DWORD failure = 0;
  WriteEnd end = WriteAll(job, monitor, handle, file, record.total, &failure);
  close(file);
  // Decided before the document ends: the monitor removes every job it ends.
  if ((end == WriteEnd::Failed || end == WriteEnd::GaveUp) && CancelAsked(job)) end = WriteEnd::Cancelled;
  // A job given up is cancelled before its document ends: the monitor's end waits
  // for an out-of-paper device until it sees the job going.
  if (end == WriteEnd::GaveUp) RequestCancel(job);
  SetLastError(ERROR_SUCCESS);
  DWORD endGaveUp = 0;
  BOOL ended = DeviceCall(job, portName, true, &endGaveUp, [&] { return ops.pfnEndDocPort(handle); });
  DWORD endError = GetLastError();
  ops.pfnClosePort(handle);

  // The end succeeds once the device has taken every byte; a cancel after that
  // (the monitor removes every job it ended) leaves a printed job printed.
  if (end == WriteEnd::AllWritten && ended) return {JobState::Printed, 0};
  if (end == WriteEnd::Cancelled) return {JobState::Cancelled, 0};
  if (end == WriteEnd::Failed || end == WriteEnd::GaveUp) return {JobState::Failed, failure};
  if (endGaveUp) return {JobState::Failed, endGaveUp};
  // Every byte written, but the device did not take them all before the cancel.
  if (CancelAsked(job)) return {JobState::Cancelled, 0};
  return {JobState::Failed, endError != ERROR_SUCCESS ? endError : ERROR_IO_DEVICE};
}

void RunJob(std::shared_ptr<Job> job) {
  Outcome outcome = Print(*job);
  Finish(*job, outcome.state, outcome.error, outcome.cause);
  job->threadDone = true;
}

void Join(Job& job) {
  std::lock_guard guard(job.threadLock);
  if (job.thread.joinable()) job.thread.join();
}

// Joins the threads of jobs that have ended and forgets those jobs: their records
// in the store tell the rest.
void Reap() {
  std::vector<DWORD> ended;
  for (const std::shared_ptr<Job>& job : AllJobs()) {
    if (job->threadDone) Join(*job);
    std::lock_guard guard(job->threadLock);
    JobRecord record = Snapshot(*job);
    if (!job->thread.joinable() && IsFinal(record.state)) ended.push_back(record.id);
  }
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  for (DWORD id : ended) table.jobs.erase(id);
}

DWORD EnvironmentNumber(const char* name, DWORD fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  char* end = nullptr;
  unsigned long value = std::strtoul(text, &end, 10);
  return *end == '\0' && value <= 0xFFFFFFFFu ? static_cast<DWORD>(value) : fallback;
}

// ---- GetJob and SetJob -----------------------------------------------------------

// The job as the caller may see it through a handle of its printer.
DWORD JobOfPrinter(HANDLE handle, DWORD id, JobRecord* record) {
  std::shared_ptr<PrinterHandle> printer = LookupPrinter(handle);
  if (!printer) return ERROR_INVALID_HANDLE;
  if (std::shared_ptr<Job> job = FindJob(id)) {
    CancelAsked(*job);  // so a cancel from another process shows
    *record = Snapshot(*job);
  } else if (!ReadJob(id, record)) {
    return ERROR_INVALID_PARAMETER;
  }
  if (!SameName(record->printer, printer->printer)) return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

// 1-based place among the printer's waiting and printing jobs; 0 once it ended.
DWORD Position(const JobRecord& job) {
  if (IsFinal(job.state)) return JOB_POSITION_UNSPECIFIED;
  DWORD position = 1;
  for (const JobRecord& other : UnfinishedRecords())
    if (other.id < job.id && !IsFinal(other.state) && other.ownerAlive && SameName(other.printer, job.printer))
      ++position;
  return position;
}

template <typename Char>
BOOL GetJobT(HANDLE handle, DWORD id, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  if (!LookupPrinter(handle)) return FALSE;
  if (needed == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *needed = 0;
  if (level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  JobRecord job;
  if (DWORD error = JobOfPrinter(handle, id, &job)) {
    SetLastError(error);
    return FALSE;
  }
  DWORD position = Position(job);
  using Info = typename Records<Char>::JobInfo1;
  return PackRecords<Info, Char>(
      1,
      [&](std::size_t, Info& info, StringArea<Char>& strings) {
        info.JobId = job.id;
        info.pPrinterName = strings.Put(job.printer);
        info.pMachineName = nullptr;
        info.pUserName = strings.Put(job.user);
        info.pDocument = strings.Put(job.document);
        info.pDatatype = strings.Put(job.datatype);
        info.pStatus = nullptr;
        info.Status = JobStatusBits(job);
        info.Priority = job.priority;
        info.Position = position;
        info.TotalPages = 0;
        info.PagesPrinted = 0;
        info.Submitted = job.submitted;
      },
      buffer, size, needed, nullptr);
}

BOOL SetJobT(HANDLE handle, DWORD id, DWORD level, LPBYTE, DWORD command) {
  if (!LookupPrinter(handle)) return FALSE;
  if (level != 0) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  JobRecord job;
  if (DWORD error = JobOfPrinter(handle, id, &job)) {
    SetLastError(error);
    return FALSE;
  }
  switch (command) {
    case JOB_CONTROL_CANCEL:
    case JOB_CONTROL_DELETE:
      return CancelJob(id);
    case JOB_CONTROL_PAUSE:
    case JOB_CONTROL_RESUME:
    case JOB_CONTROL_RESTART:
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

}  // namespace

// ---- Inside the spooler ----------------------------------------------------------

DWORD ActiveJobsOfPrinter(const std::string& printer) {
  DWORD count = 0;
  for (const JobRecord& job : UnfinishedRecords())
    if (job.ownerAlive && SameName(job.printer, printer)) ++count;
  return count;
}

std::shared_ptr<Job> CreateJob(const std::string& printer, const std::string& document,
                               const std::string& datatype, DWORD* error) {
  if (MakeSpoolFolder() != ERROR_SUCCESS) {  // in a root that exists
    *error = ERROR_PATH_NOT_FOUND;
    return nullptr;
  }
  auto job = std::make_shared<Job>();
  JobRecord& record = job->record;
  // The spool file is made anew at the job's name; a name another left there
  // (a file, or a link to one) is passed over for the next job id.
  int failure = 0;
  for (int attempt = 0; attempt < kSpoolNameTries; ++attempt) {
    record.id = AllocateJobId(error);
    if (record.id == 0) return nullptr;
    job->spoolFile = SpoolFile(record.id);
    job->file = CreateSpoolFile(job->spoolFile);
    failure = errno;
    if (job->file >= 0 || failure != EEXIST) break;
    DeleteJobRecord(record.id);
  }
  record.printer = printer;
  record.document = document;
  record.datatype = datatype;
  record.user = UserName();
  record.submitted = UtcNow();
  record.state = JobState::Spooling;
  record.owner = static_cast<DWORD>(getpid());
  if (job->file < 0) {
    record.state = JobState::Failed;
    record.error = failure == EEXIST || failure == ELOOP ? ERROR_FILE_EXISTS
                   : failure == EACCES               ? ERROR_ACCESS_DENIED
                   : failure == ENOSPC               ? kDiskFull
                                                     : ERROR_WRITE_FAULT;
    WriteJobRecord(record, true);
    *error = record.error;
    return nullptr;
  }
  if (DWORD failed = WriteJobRecord(record, true)) {
    close(job->file);
    RemoveSpoolFile(record.id);
    DeleteJobRecord(record.id);
    *error = failed;
    return nullptr;
  }
  {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    table.jobs[record.id] = job;
  }
  Prune();
  return job;
}

DWORD AppendToJob(Job& job, const void* data, DWORD size) {
  std::lock_guard guard(job.mutex);
  if (job.file < 0 || job.record.state != JobState::Spooling) return ERROR_SPL_NO_STARTDOC;
  if (job.record.total + size > 0xFFFFFFFFu) return ERROR_NOT_SUPPORTED;  // the records count in DWORDs
  const BYTE* bytes = static_cast<const BYTE*>(data);
  DWORD done = 0;
  while (done < size) {
    ssize_t n = write(job.file, bytes + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return errno == ENOSPC ? kDiskFull : ERROR_WRITE_FAULT;
    done += static_cast<DWORD>(n);
  }
  job.record.total += size;
  return ERROR_SUCCESS;
}

DWORD SubmitJob(const std::shared_ptr<Job>& job) {
  Reap();
  JobRecord record;
  {
    std::lock_guard guard(job->mutex);
    if (job->file >= 0) close(job->file);
    job->file = -1;
    record = job->record;
  }
  if (record.state != JobState::Spooling) return ERROR_SPL_NO_STARTDOC;  // aborted meanwhile
  PrinterRecord printer;
  DWORD missing = ReadPrinter(record.printer, &printer);
  std::vector<std::string> ports = SplitPorts(printer.port);
  if (missing || ports.empty()) {
    Finish(*job, JobState::Failed, missing ? missing : ERROR_UNKNOWN_PORT);
    return ERROR_SUCCESS;  // the document was spooled; the job itself failed
  }
  Update(*job, [&](JobRecord& r) {
    r.port = ports.front();
    r.state = r.cancelRequested ? JobState::Cancelled : JobState::Queued;
  });
  if (Snapshot(*job).state == JobState::Cancelled) {
    Finish(*job, JobState::Cancelled, 0);
    return ERROR_SUCCESS;
  }
  Persist(*job, true);
  std::lock_guard guard(job->threadLock);
  job->thread = std::thread(RunJob, job);
  return ERROR_SUCCESS;
}

void AbortJob(const std::shared_ptr<Job>& job) {
  {
    std::lock_guard guard(job->mutex);
    if (job->record.state != JobState::Spooling) return;
    if (job->file >= 0) close(job->file);
    job->file = -1;
  }
  Finish(*job, JobState::Cancelled, 0);
}

DWORD JobId(const Job& job) {
  std::lock_guard guard(job.mutex);
  return job.record.id;
}

// ---- What the spooler offers beyond its Windows calls ---------------------------------

bool ReadJob(DWORD id, JobRecord* job) {
  if (std::shared_ptr<Job> live = FindJob(id)) {
    *job = Snapshot(*live);
    return true;
  }
  return ReadJobRecord(id, job);
}

std::vector<JobRecord> ListJobs() { return AllRecords(false); }

BOOL WaitForJob(DWORD id, DWORD timeoutMs, const std::function<void(const JobRecord&)>& progress) {
  std::shared_ptr<Job> job = FindJob(id);
  if (!job) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::uint64_t seen = ~std::uint64_t{0};
  for (;;) {
    JobRecord record;
    bool changed = false;
    {
      std::unique_lock guard(job->mutex);
      if (job->version == seen &&
          !job->changed.wait_until(guard, deadline, [&] { return job->version != seen; })) {
        SetLastError(WAIT_TIMEOUT);
        return FALSE;
      }
      changed = true;
      seen = job->version;
      record = job->record;
    }
    if (changed && progress) progress(record);
    if (IsFinal(record.state)) {
      if (job->threadDone) Join(*job);
      SetLastError(ERROR_SUCCESS);
      return TRUE;
    }
  }
}

BOOL CancelJob(DWORD id) {
  if (std::shared_ptr<Job> job = FindJob(id)) {
    if (!IsFinal(Snapshot(*job).state)) RequestCancel(*job);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  JobRecord record;
  if (!ReadJob(id, &record)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!IsFinal(record.state)) {
    registry::Transaction transaction;  // the request and the end land together
    store::Key key;
    LONG error = key.Open(HKEY_LOCAL_MACHINE, JobKey(id));
    if (error == ERROR_SUCCESS) error = store::WriteDword(key.get(), "CancelRequested", 1);
    // The process that printed it is gone: nobody else will end the record.
    const bool abandoned = !record.ownerAlive;
    if (error == ERROR_SUCCESS && abandoned) {
      record.state = JobState::Cancelled;
      error = static_cast<LONG>(WriteJobRecord(record, false));
    }
    key.Close();
    if (error == ERROR_SUCCESS) error = transaction.Commit();
    if (error != ERROR_SUCCESS) {
      SetLastError(static_cast<DWORD>(error));
      return FALSE;
    }
    if (abandoned && record.owner != static_cast<DWORD>(getpid())) RemoveSpoolFile(id);
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

void SetRetryPolicy(const RetryPolicy& policy) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  table.policy = policy;
  table.policyRead = true;
}

RetryPolicy GetRetryPolicy() {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  if (!table.policyRead) {
    table.policy.intervalMs = EnvironmentNumber("VEK_SPOOL_RETRY_MS", table.policy.intervalMs);
    table.policy.limit = EnvironmentNumber("VEK_SPOOL_RETRY_LIMIT", table.policy.limit);
    table.policyRead = true;
  }
  return table.policy;
}

std::vector<std::pair<std::string, std::string>> MonitorLoadErrors() { return LoadErrors(); }

void Shutdown() {
  std::vector<std::shared_ptr<Job>> jobs = AllJobs();
  for (const std::shared_ptr<Job>& job : jobs) {
    AbortJob(job);
    if (!IsFinal(Snapshot(*job).state)) RequestCancel(*job);
  }
  for (const std::shared_ptr<Job>& job : jobs) Join(*job);
  {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    table.jobs.clear();
  }
  UnloadMonitors();
}

}  // namespace vek::spooler

using namespace vek::spooler;

BOOL WINAPI GetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                    LPDWORD pcbNeeded) {
  return GetJobT<char>(hPrinter, JobId, Level, pJob, cbBuf, pcbNeeded);
}
BOOL WINAPI GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                    LPDWORD pcbNeeded) {
  return GetJobT<char16_t>(hPrinter, JobId, Level, pJob, cbBuf, pcbNeeded);
}
BOOL WINAPI SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
  return SetJobT(hPrinter, JobId, Level, pJob, Command);
}
BOOL WINAPI SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
  return SetJobT(hPrinter, JobId, Level, pJob, Command);
}
