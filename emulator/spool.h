// Where received print jobs go: one file per job in the spool folder, named by
// device, port and job number, with its size and SHA-256 taken as the bytes
// arrive; and the list of finished jobs that tests and the program wait on.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/transport.h"

namespace vek::emu {

// What a job's session saw on the wire.
struct JobStats {
  std::uint64_t packets = 0;       // data packets taken in order (empty ones too)
  std::uint64_t duplicates = 0;    // packets already taken or already held
  std::uint64_t outOfWindow = 0;   // sequences outside the window (old or ahead)
  std::uint64_t heldAhead = 0;     // packets taken ahead of a gap
  std::uint64_t refused = 0;       // packets not taken: too long, or the port could not print
  std::uint64_t acks = 0;          // acknowledgements made (before faults)
  std::uint64_t reacks = 0;        // of them, repeats after an idle gap
};

struct JobRecord {
  std::size_t device = 0;
  std::array<std::uint8_t, 6> mac{};
  int port = 0;
  int number = 0;         // per device, from 1
  std::string path;       // the job's file
  std::uint64_t size = 0;
  std::string sha256;     // lower-case hex of the bytes
  bool ended = false;     // ended by the host's end of job; else cut off
  bool complete = true;   // no bytes beyond a gap were left over at the end
  bool writeError = false;
  TransportKind transport = TransportKind::Udp;
  std::string peer;
  JobStats stats;
  std::chrono::steady_clock::time_point started, finished;
};

std::string Sha256Hex(std::span<const std::uint8_t> bytes);
// The bytes of a finished job's file.
bool ReadJobBytes(const JobRecord& job, std::vector<std::uint8_t>* bytes);

// One job being received: appends to its file and its digest.
class JobFile {
 public:
  explicit JobFile(std::string path);
  ~JobFile();
  JobFile(const JobFile&) = delete;
  JobFile& operator=(const JobFile&) = delete;

  void Append(std::span<const std::uint8_t> bytes);
  std::uint64_t Size() const { return m_size; }
  // Closes the file and fills in path, size, digest and writeError.
  void Close(JobRecord* record);

 private:
  std::string m_path;
  void* m_file = nullptr;    // FILE
  void* m_digest = nullptr;  // EVP_MD_CTX
  std::uint64_t m_size = 0;
  bool m_error = false;
  bool m_closed = false;
};

class JobSpool {
 public:
  using Observer = std::function<void(const JobRecord&)>;

  // Makes the folder when it is missing.
  bool Open(const std::string& folder, std::string* message);
  const std::string& Folder() const { return m_folder; }

  // A new job of the device: its number and file. A file of that name left from
  // an earlier run makes the number go up.
  std::unique_ptr<JobFile> Begin(std::size_t device, const std::array<std::uint8_t, 6>& mac, int port, int* number);
  void Finished(JobRecord record);

  std::vector<JobRecord> Jobs() const;
  void Clear();
  bool WaitFor(const std::function<bool(const std::vector<JobRecord>&)>& predicate,
               std::chrono::milliseconds timeout) const;
  bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;
  // The index-th job to finish (from 0), once it has.
  std::optional<JobRecord> WaitForJob(std::size_t index, std::chrono::milliseconds timeout) const;
  // The first finished job that matches.
  std::optional<JobRecord> WaitForJob(const std::function<bool(const JobRecord&)>& match,
                                      std::chrono::milliseconds timeout) const;
  // Called for every finished job, on the thread that finished it; set before
  // the emulator starts.
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  std::string m_folder;
  mutable std::mutex m_lock;
  mutable std::condition_variable m_changed;
  std::map<std::size_t, int> m_numbers;
  std::vector<JobRecord> m_jobs;
  Observer m_observer;
};

}  // namespace vek::emu
