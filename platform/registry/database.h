// One SQLite connection to a registry database: statements, transactions, and
// SQLite results turned into system error codes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kernel/types.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vek::registry {

// The system error code for a SQLite result code.
LONG FromSqlite(int result);

enum class Access { Read, Write };

// How a database file, which must be there already, is opened.
enum class OpenMode { ReadWrite, ReadOnly };

class Database {
 public:
  Database() = default;
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens the file. Nothing is written into it yet, not even at close: a file
  // found damaged is left as it was found. UseLog then starts the settings every
  // process shares.
  LONG Open(const std::string& path, OpenMode mode);
  // The write-ahead log and its syncing; from now on the close copies the log
  // back into the file. A connection that reads only keeps the file as it is.
  LONG UseLog();
  // What SQLite last said, with the system's reason when there was one.
  std::string LastErrorText() const;
  // Forgets the connection without closing it: the one a forked child inherited
  // belongs to the parent, and closing it here could disturb the parent's locks.
  void Abandon() { m_db = nullptr; }

  // Any number of statements, prepared afresh.
  LONG Execute(const char* sql);
  // One statement, prepared once and kept.
  LONG Run(const char* sql);
  // Writers take the write lock up front, so two processes never both read and
  // then fail to upgrade; the busy time-out makes the second one wait.
  LONG Begin(Access access);
  LONG Commit();
  void Rollback();
  // Whether a transaction is open; SQLite ends one by itself on some failures.
  bool InTransaction() const;

  sqlite3* handle() const { return m_db; }

 private:
  friend class Statement;
  // Statements are prepared once per connection and kept: preparing costs more
  // than running one of the registry's small statements.
  struct Prepared {
    sqlite3_stmt* statement = nullptr;
    bool inUse = false;
  };
  Prepared* Cached(const char* sql);

  sqlite3* m_db = nullptr;
  std::unordered_map<std::string, Prepared> m_prepared;
};

// A prepared statement whose first failure sticks: bind and step calls after it
// do nothing, and error() tells what went wrong. It is reset when it goes, so
// it holds no lock past its scope.
class Statement {
 public:
  Statement(Database& database, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Bind the next parameter.
  Statement& Bind(std::int64_t value);
  Statement& Bind(std::string_view text);
  Statement& Bind(std::span<const BYTE> blob);

  // Steps to the next row; false at the end or on failure.
  bool Next();
  // Steps until done (statements without rows); the resulting error code.
  LONG Run();
  LONG error() const { return m_error; }

  bool IsNull(int column) const;
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  std::vector<BYTE> Blob(int column) const;

 private:
  void Check(int result);

  sqlite3_stmt* m_statement = nullptr;
  bool* m_inUse = nullptr;  // the cache's mark, when the statement is kept there
  int m_nextParameter = 1;
  LONG m_error = 0;
};

}  // namespace vek::registry
