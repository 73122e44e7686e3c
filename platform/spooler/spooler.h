// What the spooler offers beyond its Windows calls: setting up a machine root, the
// jobs as the store records them, waiting for a job, the retry policy, the
// monitors' load failures, and the explicit shutdown of this process's spooler.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kernel/types.h"
#include "spooler/winspool.h"

namespace vek::spooler {

// The monitor of the system, as the setup wizard looks for it.
inline constexpr const char* kVekMonitorName = "TARVEX VEK Network Printer Port";
// Its display name ("PrintMonitor"), which its About dialog shows; the monitor
// reads it into 50 bytes, so it stays within 24 wide characters.
inline constexpr const char* kVekMonitorDisplayName = "TARVEX VEK Print Monitor";

struct MachineSetup {
  std::string monitorLibrary;  // registered as the VEK monitor's "Driver"; empty: leave it
};

// Places the Add Printer program in the machine's system folder as "RunDLL32.exe",
// where the setup wizard starts it (a link to the program given). ERROR_SUCCESS or
// the failing system error.
DWORD PlaceAddPrinterProgram(const std::string& program);
// Where it goes, as a host path.
std::string AddPrinterProgramPlace();

// Creates the machine root (folders and registry keys): the spooler's keys, the
// built-in "Local Port" monitor, the VEK monitor with its display name and its
// one-byte REG_BINARY "Version" 2, the running "Spooler" service and the NetBIOS
// values (RPC over NetBIOS installed, LANA 0). Values already there are kept, except the monitor's
// "Driver". ERROR_SUCCESS or the failing system error, with a text in *error.
DWORD SetUpMachine(const MachineSetup& setup, std::string* error);
// Whether the machine root exists and holds a registry database.
bool MachineRootReady();

enum class JobState : DWORD {
  Spooling = 1,  // its document is being written
  Queued = 2,    // waiting for its port
  Printing = 3,
  Retrying = 4,  // the port reported out of paper (28) or a device error (1117)
  Printed = 5,   // every byte written, the document ended
  Cancelled = 6,
  Failed = 7,
};

// What the port made known of a job it did not take, beyond the error: out of
// paper (28) alone means only that the device took no data for the port's retry
// time, and a device error (1117) at the start that it could not be reached.
enum class JobCause : DWORD {
  None = 0,
  NoConnection = 1,  // the port could not start the document: its device did not answer, or refused the job
  PaperOut = 2,      // the port's status reported its printer out of paper
};

struct JobRecord {
  DWORD id = 0;
  std::string printer;
  std::string port;
  std::string document;
  std::string datatype;
  std::string user;
  SYSTEMTIME submitted{};
  JobState state = JobState::Spooling;
  bool cancelRequested = false;
  std::uint64_t total = 0;    // bytes spooled
  std::uint64_t written = 0;  // bytes the port took
  DWORD error = 0;            // the last error of the port, or why the job failed
  DWORD tries = 0;            // failed writes in a row while retrying
  JobCause cause = JobCause::None;
  DWORD priority = DEF_PRIORITY;
  DWORD owner = 0;            // process id of the process that prints it
  bool ownerAlive = true;     // false: that process ended before the job did
};

bool IsFinal(JobState state);
// "Spooling", "Queued", "Printing", "Out of paper", "Not taking data", "Device
// error", "Printed", "Cancelled", "Failed: ...", "Abandoned" (its process ended
// before the job); with "(cancelling)" while a cancel is pending ("(ending)" once
// every byte is written). Out of paper is named only where the port reported it,
// and a device error at the start is "Not connected".
std::string DescribeJob(const JobRecord& job);
// A system error as the spooler names it ("Out of paper", "Device error", ...),
// else in the platform's words ("The disk is full").
std::string DescribeError(DWORD error);
// The JOB_STATUS_* bits GetJob reports.
DWORD JobStatusBits(const JobRecord& job);

// The job as this process or, for another process's job, the store knows it.
bool ReadJob(DWORD id, JobRecord* job);
// Every job the store records, in id order (this process's jobs as they are now).
std::vector<JobRecord> ListJobs();
// Waits up to timeoutMs for a job of this process to end; progress is called with
// the job at the start, at every change and at the end. FALSE on time-out, and
// FALSE with ERROR_INVALID_PARAMETER when the job is not one of this process.
BOOL WaitForJob(DWORD id, DWORD timeoutMs, const std::function<void(const JobRecord&)>& progress);
// Cancels a job of any process (see SetJob).
BOOL CancelJob(DWORD id);

// How a job retries after the port reported out of paper or a device error.
struct RetryPolicy {
  DWORD intervalMs = 5000;
  DWORD limit = 20;  // failed tries in a row after which the job fails; 0: until cancelled
};
// The default comes from VEK_SPOOL_RETRY_MS and VEK_SPOOL_RETRY_LIMIT when set.
void SetRetryPolicy(const RetryPolicy& policy);
RetryPolicy GetRetryPolicy();

// Why registered monitors did not load: (monitor, reason).
std::vector<std::pair<std::string, std::string>> MonitorLoadErrors();

// Cancels the running jobs of this process, waits for their threads, then shuts
// down and unloads the monitors (each one's VekShutdownMonitor before its dlclose).
// The spooler may be used again afterwards.
void Shutdown();

}  // namespace vek::spooler
