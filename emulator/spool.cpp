#include "emulator/spool.h"

#include <openssl/evp.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "emulator/device_config.h"

namespace vek::emu {
namespace {

std::string Hex(const unsigned char* bytes, unsigned length) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned i = 0; i < length; i++) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 15];
  }
  return text;
}

std::string JobFileName(const std::array<std::uint8_t, 6>& mac, int port, int number) {
  std::string name = FormatMac(mac);
  for (char& c : name)
    if (c == ':') c = '-';
  char rest[40];
  std::snprintf(rest, sizeof(rest), "-port%d-job%04d.prn", port, number);
  return name + rest;
}

}  // namespace

std::string Sha256Hex(std::span<const std::uint8_t> bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
  return Hex(digest, length);
}

bool ReadJobBytes(const JobRecord& job, std::vector<std::uint8_t>* bytes) {
  std::ifstream in(job.path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

JobFile::JobFile(std::string path) : m_path(std::move(path)) {
  m_file = std::fopen(m_path.c_str(), "wb");
  m_error = m_file == nullptr;
  EVP_MD_CTX* digest = EVP_MD_CTX_new();
  if (digest && EVP_DigestInit_ex(digest, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(digest);
    digest = nullptr;
  }
  m_digest = digest;
}

JobFile::~JobFile() {
  JobRecord ignored;
  Close(&ignored);
  EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(m_digest));
}

void JobFile::Append(std::span<const std::uint8_t> bytes) {
  if (m_closed || bytes.empty()) return;
  m_size += bytes.size();
  if (m_digest) EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(m_digest), bytes.data(), bytes.size());
  if (m_file && std::fwrite(bytes.data(), 1, bytes.size(), static_cast<FILE*>(m_file)) != bytes.size()) m_error = true;
}

void JobFile::Close(JobRecord* record) {
  if (m_closed) return;
  m_closed = true;
  if (m_file && std::fclose(static_cast<FILE*>(m_file)) != 0) m_error = true;
  m_file = nullptr;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (m_digest) EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(m_digest), digest, &length);
  record->path = m_path;
  record->size = m_size;
  record->sha256 = Hex(digest, length);
  record->writeError = m_error || !m_digest;
}

bool JobSpool::Open(const std::string& folder, std::string* message) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder)) {
    *message = "spool folder " + folder + ": " + (error ? error.message() : "not a folder");
    return false;
  }
  m_folder = folder;
  return true;
}

std::unique_ptr<JobFile> JobSpool::Begin(std::size_t device, const std::array<std::uint8_t, 6>& mac, int port,
                                         int* number) {
  std::string path;
  {
    std::lock_guard guard(m_lock);
    int& last = m_numbers[device];
    std::error_code ignored;
    do {
      path = m_folder + "/" + JobFileName(mac, port, ++last);
    } while (std::filesystem::exists(path, ignored));
    *number = last;
  }
  return std::make_unique<JobFile>(path);
}

void JobSpool::Finished(JobRecord record) {
  if (m_observer) m_observer(record);
  {
    std::lock_guard guard(m_lock);
    m_jobs.push_back(std::move(record));
  }
  m_changed.notify_all();
}

std::vector<JobRecord> JobSpool::Jobs() const {
  std::lock_guard guard(m_lock);
  return m_jobs;
}

void JobSpool::Clear() {
  std::lock_guard guard(m_lock);
  m_jobs.clear();
}

bool JobSpool::WaitFor(const std::function<bool(const std::vector<JobRecord>&)>& predicate,
                       std::chrono::milliseconds timeout) const {
  std::unique_lock lock(m_lock);
  return m_changed.wait_for(lock, timeout, [&] { return predicate(m_jobs); });
}

bool JobSpool::WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
  return WaitFor([count](const std::vector<JobRecord>& jobs) { return jobs.size() >= count; }, timeout);
}

std::optional<JobRecord> JobSpool::WaitForJob(std::size_t index, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(m_lock);
  if (!m_changed.wait_for(lock, timeout, [&] { return m_jobs.size() > index; })) return std::nullopt;
  return m_jobs[index];
}

std::optional<JobRecord> JobSpool::WaitForJob(const std::function<bool(const JobRecord&)>& match,
                                              std::chrono::milliseconds timeout) const {
  std::unique_lock lock(m_lock);
  const JobRecord* found = nullptr;
  m_changed.wait_for(lock, timeout, [&] {
    for (const JobRecord& job : m_jobs)
      if (match(job)) return (found = &job) != nullptr;
    return false;
  });
  if (!found) return std::nullopt;
  return *found;
}

}  // namespace vek::emu
