#include "registry/schema.h"

#include <string>

#include "kernel/errors.h"

namespace vek::registry {

namespace {

// Stored in the database header; bump when the layout changes.
constexpr std::int64_t kSchemaVersion = 1;

// Ids are never reused (AUTOINCREMENT), so a handle to a deleted key can never
// reach a key created later. Names compare without case, as stored they keep it.
constexpr const char* kCreateTables =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  class TEXT NOT NULL DEFAULT '',"
    "  written INTEGER NOT NULL DEFAULT 0,"
    "  UNIQUE(parent, name));"
    "CREATE TABLE IF NOT EXISTS key_values("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, name)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys(id, parent, name) VALUES (1, 0, 'HKEY_LOCAL_MACHINE');"
    "INSERT OR IGNORE INTO keys(id, parent, name) VALUES (2, 0, 'HKEY_CURRENT_USER');";

LONG ReadVersion(Database& database, std::int64_t* version) {
  Statement query(database, "PRAGMA user_version");
  *version = query.Next() ? query.Int(0) : 0;
  return query.error();
}

}  // namespace

LONG CreateSchema(Database& database) {
  if (LONG error = database.Begin(Access::Write)) return error;
  LONG error = database.Execute(kCreateTables);
  std::string mark = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
  if (error == ERROR_SUCCESS) error = database.Execute(mark.c_str());
  if (error == ERROR_SUCCESS) error = database.Commit();
  if (error != ERROR_SUCCESS) database.Rollback();
  return error;
}

LONG CheckSchema(Database& database) {
  std::int64_t version = 0;
  if (LONG error = ReadVersion(database, &version)) return error;
  if (version != kSchemaVersion) return ERROR_BADDB;
  Statement tables(database,
                   "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN ('keys','key_values')");
  std::int64_t found = tables.Next() ? tables.Int(0) : 0;
  if (tables.error() != ERROR_SUCCESS) return tables.error();
  return found == 2 ? ERROR_SUCCESS : static_cast<LONG>(ERROR_BADDB);
}

}  // namespace vek::registry
