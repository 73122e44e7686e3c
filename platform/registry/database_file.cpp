#include "registry/database_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kernel/errors.h"
#include "registry/schema.h"

namespace vek::registry {

namespace {

std::string SystemText(int error) { return std::strerror(error); }

// Holds the root folder's lock while a new database is built: two processes
// never both put one in place, and neither builds over one the other placed.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : m_folder(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (m_folder >= 0)
      while (flock(m_folder, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (m_folder >= 0) close(m_folder);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool held() const { return m_folder >= 0; }

 private:
  int m_folder;
};

// Builds a new database in a file of its own, owner-only, and links it in at
// the database's name. A name taken meanwhile is left to whoever took it.
LONG CreateDatabaseFile(const std::string& root, const std::string& path, std::string* problem) {
  FolderLock lock(root);
  if (!lock.held()) return ERROR_PATH_NOT_FOUND;
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 || errno != ENOENT) return ERROR_SUCCESS;
  // Log files without their database belong to none: a new one must not take them up.
  unlink((path + "-wal").c_str());
  unlink((path + "-shm").c_str());

  std::string building = path + ".new-XXXXXX";
  int file = mkostemp(building.data(), O_CLOEXEC);  // 0600: SQLite gives its log files the same
  if (file < 0) {
    *problem = "cannot create " + path + ": " + SystemText(errno);
    return ERROR_CANTWRITE;
  }
  close(file);
  LONG error = ERROR_SUCCESS;
  {
    Database database;
    error = database.Open(building, OpenMode::ReadWrite);
    if (error == ERROR_SUCCESS) error = CreateSchema(database);
    if (error == ERROR_SUCCESS) error = database.UseLog();
    if (error != ERROR_SUCCESS) *problem = "cannot create " + path + ": " + database.LastErrorText();
  }  // the close copies the log into the file and removes it
  if (error == ERROR_SUCCESS && link(building.c_str(), path.c_str()) != 0 && errno != EEXIST) {
    *problem = "cannot create " + path + ": " + SystemText(errno);
    error = ERROR_CANTWRITE;
  }
  unlink(building.c_str());
  return error;
}

// The first line of SQLite's own check of every page, "ok" when sound.
LONG CheckPages(Database& database, std::string* finding) {
  Statement check(database, "PRAGMA quick_check(1)");
  std::string first = check.Next() ? check.Text(0) : "";
  if (check.error() != ERROR_SUCCESS) {
    *finding = database.LastErrorText();
    return check.error();
  }
  if (first == "ok") return ERROR_SUCCESS;
  // The finding without the heading SQLite puts over it, on one line.
  std::string text;
  std::size_t start = 0;
  while (start < first.size()) {
    std::size_t end = std::min(first.find('\n', start), first.size());
    std::string line = first.substr(start, end - start);
    if (!line.empty() && line.rfind("***", 0) != 0) text += (text.empty() ? "" : "; ") + line;
    start = end + 1;
  }
  *finding = text.empty() ? first : text;
  return ERROR_REGISTRY_CORRUPT;
}

// Why a file that opened cannot be used, by what reading it gave.
std::string Reason(LONG error, const std::string& path, const std::string& detail) {
  switch (error) {
    case ERROR_BADDB: return path + " is not a registry database (damaged, or another program's file)";
    case ERROR_REGISTRY_CORRUPT: return path + " is damaged (" + detail + ")";
    case ERROR_CANTOPEN: return path + " cannot be opened: " + detail;
    default: return path + " cannot be read: " + detail;
  }
}

}  // namespace

std::string DatabaseFile(const std::string& root) { return root + "/registry.db"; }

LONG OpenDatabaseFile(const std::string& root, std::unique_ptr<Database>* database, std::string* problem) {
  const std::string path = DatabaseFile(root);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 && errno == ENOENT) {
    if (LONG error = CreateDatabaseFile(root, path, problem)) return error;
  }
  if (stat(path.c_str(), &info) != 0) {
    *problem = path + " cannot be opened: " + SystemText(errno);
    return ERROR_CANTOPEN;
  }
  if (S_ISDIR(info.st_mode)) {
    *problem = path + " is a folder, not a registry database";
    return ERROR_BADDB;
  }
  if (!S_ISREG(info.st_mode)) {
    *problem = path + " is not a file";
    return ERROR_BADDB;
  }
  if (info.st_size == 0) {
    *problem = path + " is empty: it holds no registry database";
    return ERROR_BADDB;
  }
  // The owner's mark is kept even where the system would let this process write.
  bool writable = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(path.c_str(), W_OK) == 0;
  auto opened = std::make_unique<Database>();
  LONG error = opened->Open(path, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly);
  std::string detail;
  if (error == ERROR_SUCCESS) {
    error = CheckSchema(*opened);
    if (error != ERROR_SUCCESS) detail = opened->LastErrorText();
  }
  if (error == ERROR_SUCCESS) error = CheckPages(*opened, &detail);
  if (error == ERROR_SUCCESS && (error = opened->UseLog()) != ERROR_SUCCESS) detail = opened->LastErrorText();
  if (error != ERROR_SUCCESS) {
    *problem = Reason(error, path, detail);
    return error;
  }
  *database = std::move(opened);
  return ERROR_SUCCESS;
}

}  // namespace vek::registry
