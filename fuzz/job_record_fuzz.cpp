// Job records as another process, an older version or a damaged store may have
// left them: keys of any name under "...\Print\Jobs" with values of any name,
// type and data. Each input is written to a machine root of the fuzzer's own.
// Whatever the store holds, every record the spooler reads has a real id, a
// known state and no more bytes written than it has; each reads back alone as
// it was read with the others; and the jobs not ended, read without the ended
// ones, are those the whole read shows.
//
// Input: up to kMaxRecords records, each:
//   1 byte  bit 0: an id from the next byte, else a name of the next byte's
//           length (mod 12) in bytes; bits 1-4: how many values (mod 16)
//   then per value:
//   1 byte  bits 0-3: the name (kNames), bits 4-7: the type (kTypes)
//   1 byte  the data's length (mod 40), then the data; a printer's name, as
//           text (kPrinters), when the length byte is 0xFF
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "kernel/errors.h"
#include "registry/registry.h"
#include "spooler/job_records.h"

namespace {

constexpr const char* kJobs = "System\\CurrentControlSet\\Control\\Print\\Jobs";
constexpr int kMaxRecords = 6;
constexpr std::size_t kDataBytes = 40;
constexpr const char* kNames[16] = {"State",  "Printer", "Owner",    "Port",     "Document",        "Cause",
                                    "User",   "Size",    "Written",  "Error",    "CancelRequested", "Submitted",
                                    "Tries",  "STATE",   "printer",  "Priority"};
constexpr DWORD kTypes[16] = {REG_DWORD, REG_DWORD, REG_DWORD, REG_SZ,       REG_SZ,    REG_SZ,  REG_BINARY, REG_BINARY,
                              REG_NONE,  REG_EXPAND_SZ, REG_MULTI_SZ, 5, 11, 0x7FFFFFFF, 0xFFFFFFFF, REG_DWORD};
constexpr const char* kPrinters[2] = {"Printer", "Other"};

using Input = vek::fuzz::ByteReader;


// Removes every record the last input left.
void ClearJobs() {
  HKEY jobs = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kJobs, 0, KEY_ALL_ACCESS, &jobs) != ERROR_SUCCESS) return;
  char name[256];
  while (RegEnumKeyA(jobs, 0, name, sizeof name) == ERROR_SUCCESS)
    if (RegDeleteKeyA(jobs, name) != ERROR_SUCCESS) std::abort();
  RegCloseKey(jobs);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  vek::fuzz::UseOwnMachineRoot();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vek::spooler;
  Input input(std::span<const std::uint8_t>(data, size));
  ClearJobs();
  for (int r = 0; r < kMaxRecords && !input.Empty(); r++) {
    const std::uint8_t kind = input.Byte();
    std::string name;
    if (kind & 1) {
      name = std::to_string(input.Byte());
    } else {
      const std::size_t length = input.Byte() % 12;
      for (std::size_t i = 0; i < length; i++) name.push_back(static_cast<char>(input.Byte() % 94 + 33));
      if (name.empty() || name.find('\\') != std::string::npos) continue;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kJobs) + "\\" + name).c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
      std::abort();
    const int values = (kind >> 1) & 15;
    for (int v = 0; v < values && !input.Empty(); v++) {
      const std::uint8_t which = input.Byte();
      const std::uint8_t lengthByte = input.Byte();
      std::vector<BYTE> value;
      if (lengthByte == 0xFF) {
        const char* printer = kPrinters[which & 1];
        value.assign(printer, printer + std::char_traits<char>::length(printer) + 1);
      } else {
        for (std::size_t i = 0; i < lengthByte % kDataBytes; i++) value.push_back(input.Byte());
      }
      if (RegSetValueExA(key, kNames[which & 15], 0, kTypes[which >> 4], value.data(),
                         static_cast<DWORD>(value.size())) != ERROR_SUCCESS)
        std::abort();
    }
    RegCloseKey(key);
  }

  // The whole records, the brief ones, and those of the jobs not ended, each read
  // its own way, must tell the same.
  const std::vector<JobRecord> jobs = ReadJobRecords(false);
  const std::vector<JobRecord> brief = ReadJobRecords(true);
  const std::vector<JobRecord> unfinished = ReadUnfinishedJobRecords();
  if (brief.size() != jobs.size()) std::abort();
  DWORD last = 0;
  std::size_t open = 0;
  for (std::size_t i = 0; i < jobs.size(); i++) {
    const JobRecord& job = jobs[i];
    if (job.id == 0 || job.id <= last) std::abort();  // in id order, each once
    last = job.id;
    if (job.state < JobState::Spooling || job.state > JobState::Failed) std::abort();
    if (job.written > job.total) std::abort();
    if (DescribeJob(job).empty()) std::abort();
    JobStatusBits(job);
    if (brief[i].id != job.id || brief[i].state != job.state || brief[i].owner != job.owner ||
        brief[i].ownerAlive != job.ownerAlive)
      std::abort();
    JobRecord alone;
    if (!ReadJobRecord(job.id, &alone) || alone.state != job.state || alone.written != job.written ||
        alone.printer != job.printer || alone.cancelRequested != job.cancelRequested)
      std::abort();
    if (IsFinal(job.state)) continue;
    if (open >= unfinished.size()) std::abort();
    const JobRecord& other = unfinished[open++];
    if (other.id != job.id || other.state != job.state || other.printer != job.printer ||
        other.ownerAlive != job.ownerAlive)
      std::abort();
  }
  if (open != unfinished.size()) std::abort();
  return 0;
}
