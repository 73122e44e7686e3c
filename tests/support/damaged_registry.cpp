#include "support/damaged_registry.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vek::test {

namespace {

constexpr std::size_t kPage = 4096;

std::string DatabasePath(const std::string& root) { return root + "/registry.db"; }

void FoldLog(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot fold the log of " + path);
  }
  sqlite3_close(db);  // the last connection: the log files go
  std::error_code ignored;
  std::filesystem::remove(path + "-wal", ignored);
  std::filesystem::remove(path + "-shm", ignored);
}

}  // namespace

const char* DamageName(Damage damage) {
  switch (damage) {
    case Damage::Truncated: return "truncated";
    case Damage::Garbage: return "garbage in its middle";
    case Damage::Folder: return "a folder";
    case Damage::Empty: return "0 bytes";
    case Damage::ReadOnly: return "read-only";
  }
  return "?";
}

void DamageRegistry(const std::string& root, Damage damage) {
  const std::string path = DatabasePath(root);
  FoldLog(path);
  const auto size = std::filesystem::file_size(path);
  if (size < 3 * kPage) throw std::runtime_error("too small a database to damage: " + path);
  switch (damage) {
    case Damage::Truncated:
      std::filesystem::resize_file(path, size / 2 + 100);
      break;
    case Damage::Garbage: {
      // Every page but the first and the last: the tables' pages are among them.
      std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(kPage);
      file << std::string(size - 2 * kPage, '\x5A');
      break;
    }
    case Damage::Folder:
      std::filesystem::remove(path);
      std::filesystem::create_directory(path);
      break;
    case Damage::Empty:
      std::filesystem::resize_file(path, 0);
      break;
    case Damage::ReadOnly:
      chmod(path.c_str(), 0444);
      break;
  }
}

std::string DatabaseContent(const std::string& root) {
  const std::string path = DatabasePath(root);
  if (std::filesystem::is_directory(path)) return "<folder>";
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace vek::test
