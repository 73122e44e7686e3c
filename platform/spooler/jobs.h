// Jobs inside the spooler: the ones this process runs, and the records of every
// process in the store.
#pragma once

#include <memory>
#include <string>

#include "spooler/spooler.h"

namespace vek::spooler {

class Job;

// Jobs of the printer queued or printing in any live process.
DWORD ActiveJobsOfPrinter(const std::string& printer);

// A document being spooled on a printer handle.
std::shared_ptr<Job> CreateJob(const std::string& printer, const std::string& document,
                               const std::string& datatype, DWORD* error);
DWORD AppendToJob(Job& job, const void* data, DWORD size);
// Ends the spooling and starts the job's thread.
DWORD SubmitJob(const std::shared_ptr<Job>& job);
void AbortJob(const std::shared_ptr<Job>& job);
DWORD JobId(const Job& job);

}  // namespace vek::spooler
