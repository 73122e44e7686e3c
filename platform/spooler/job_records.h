// Job records in the store, HKLM "...\Control\Print\Jobs\<id>", as every process
// reads and writes them. What a record holds is checked before it is believed.
#pragma once

#include <string>
#include <vector>

#include "kernel/errors.h"
#include "spooler/spooler.h"

namespace vek::spooler {

// The errors a job records when its spool file fails.
inline constexpr DWORD kReadFault = ERROR_READ_FAULT;
inline constexpr DWORD kDiskFull = ERROR_DISK_FULL;

std::string JobKey(DWORD id);
// Creates the key of a new record; its id, or 0 with *error.
DWORD AllocateJobId(DWORD* error);
// everything: also what never changes after the job was created.
DWORD WriteJobRecord(const JobRecord& job, bool everything);
// False when there is no such record or it is no job record.
bool ReadJobRecord(DWORD id, JobRecord* job);
// Every record, in id order; brief reads only the state and the owner.
// Records of this process id count as left over from an earlier process.
std::vector<JobRecord> ReadJobRecords(bool brief);
// The records of the jobs that have not ended, in id order, with their printer,
// state and owner only; the ended ones are not read at all.
std::vector<JobRecord> ReadUnfinishedJobRecords();
void DeleteJobRecord(DWORD id);

}  // namespace vek::spooler
