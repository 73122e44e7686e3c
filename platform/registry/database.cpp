#include "registry/database.h"

#include <sqlite3.h>

#include <cstring>

#include "kernel/errors.h"

namespace vek::registry {

namespace {

// Long enough for another process's write of a large key tree to finish.
constexpr int kBusyTimeoutMs = 10000;

}  // namespace

LONG FromSqlite(int result) {
  switch (result & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_NOMEM:
      return ERROR_OUTOFMEMORY;
    case SQLITE_CORRUPT:
      return ERROR_REGISTRY_CORRUPT;
    case SQLITE_NOTADB:
    case SQLITE_ERROR:  // a schema that is not ours
    case SQLITE_SCHEMA:
    case SQLITE_MISMATCH:
      return ERROR_BADDB;
    case SQLITE_CONSTRAINT:
      return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    case SQLITE_READONLY:
      return ERROR_CANTWRITE;
    case SQLITE_TOOBIG:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

Database::~Database() {
  if (m_db == nullptr) return;
  for (auto& [sql, prepared] : m_prepared) sqlite3_finalize(prepared.statement);
  sqlite3_close_v2(m_db);
}

Database::Prepared* Database::Cached(const char* sql) {
  auto [entry, added] = m_prepared.try_emplace(sql);
  Prepared& prepared = entry->second;
  if (added &&
      sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &prepared.statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(prepared.statement);
    m_prepared.erase(entry);
    return nullptr;
  }
  return &prepared;
}

LONG Database::Open(const std::string& path, OpenMode mode) {
  if (m_db != nullptr) return ERROR_INVALID_FUNCTION;
  int flags = SQLITE_OPEN_NOMUTEX | (mode == OpenMode::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
  int result = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return FromSqlite(result);
  }
  sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  return ERROR_SUCCESS;
}

LONG Database::UseLog() {
  if (m_db == nullptr) return ERROR_INVALID_HANDLE;
  if (sqlite3_db_readonly(m_db, "main") == 1) return ERROR_SUCCESS;
  // WAL lets readers go on while another process writes; its files (-wal, -shm)
  // lie beside the database. NORMAL syncs the log only when it is copied back
  // into the database: a process that dies loses nothing it committed, a crash
  // of the machine or a power cut may lose the last commits but never leaves
  // the store damaged.
  Statement journal(*this, "PRAGMA journal_mode=WAL");
  journal.Next();
  if (journal.error() != ERROR_SUCCESS) return journal.error();
  if (LONG error = Execute("PRAGMA synchronous=NORMAL")) return error;
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
  return ERROR_SUCCESS;
}

std::string Database::LastErrorText() const {
  if (m_db == nullptr) return "no connection";
  std::string text = sqlite3_errmsg(m_db);
  if (int system = sqlite3_system_errno(m_db); system != 0) text += " (" + std::string(std::strerror(system)) + ")";
  return text;
}

LONG Database::Execute(const char* sql) {
  if (m_db == nullptr) return ERROR_INVALID_HANDLE;
  return FromSqlite(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr));
}

LONG Database::Run(const char* sql) {
  if (m_db == nullptr) return ERROR_INVALID_HANDLE;
  return Statement(*this, sql).Run();
}

LONG Database::Begin(Access access) { return Run(access == Access::Write ? "BEGIN IMMEDIATE" : "BEGIN"); }

LONG Database::Commit() { return Run("COMMIT"); }

void Database::Rollback() {
  // Some failures end the transaction themselves; then there is nothing to undo.
  if (InTransaction()) Run("ROLLBACK");
}

bool Database::InTransaction() const { return m_db != nullptr && sqlite3_get_autocommit(m_db) == 0; }

Statement::Statement(Database& database, const char* sql) {
  if (database.handle() == nullptr) {
    m_error = ERROR_INVALID_HANDLE;
    return;
  }
  Database::Prepared* cached = database.Cached(sql);
  if (cached != nullptr && !cached->inUse) {
    cached->inUse = true;
    m_statement = cached->statement;
    m_inUse = &cached->inUse;
    return;
  }
  // A statement already running (or one that does not prepare: its error) gets one of its own.
  Check(sqlite3_prepare_v2(database.handle(), sql, -1, &m_statement, nullptr));
}

Statement::~Statement() {
  if (m_inUse == nullptr) {
    sqlite3_finalize(m_statement);
    return;
  }
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
  *m_inUse = false;
}

void Statement::Check(int result) {
  if (m_error == ERROR_SUCCESS) m_error = FromSqlite(result);
}

Statement& Statement::Bind(std::int64_t value) {
  if (m_error == ERROR_SUCCESS) Check(sqlite3_bind_int64(m_statement, m_nextParameter++, value));
  return *this;
}

Statement& Statement::Bind(std::string_view text) {
  if (m_error == ERROR_SUCCESS) {
    // A null pointer would bind NULL; an empty name is an empty text.
    const char* data = text.data() != nullptr ? text.data() : "";
    Check(sqlite3_bind_text64(m_statement, m_nextParameter++, data, text.size(), SQLITE_TRANSIENT,
                              SQLITE_UTF8));
  }
  return *this;
}

Statement& Statement::Bind(std::span<const BYTE> blob) {
  if (m_error == ERROR_SUCCESS) {
    // A null pointer would bind NULL; an empty value is an empty blob.
    static const BYTE kEmpty = 0;
    const void* data = blob.empty() ? &kEmpty : blob.data();
    Check(sqlite3_bind_blob64(m_statement, m_nextParameter++, data, blob.size(), SQLITE_TRANSIENT));
  }
  return *this;
}

bool Statement::Next() {
  if (m_error != ERROR_SUCCESS) return false;
  int result = sqlite3_step(m_statement);
  if (result == SQLITE_ROW) return true;
  if (result != SQLITE_DONE) Check(result);
  return false;
}

LONG Statement::Run() {
  while (Next()) {
  }
  return m_error;
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(m_statement, column); }

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(m_statement, column);
  int length = sqlite3_column_bytes(m_statement, column);
  if (text == nullptr || length <= 0) return {};
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

std::vector<BYTE> Statement::Blob(int column) const {
  const void* data = sqlite3_column_blob(m_statement, column);
  int length = sqlite3_column_bytes(m_statement, column);
  if (data == nullptr || length <= 0) return {};
  const BYTE* bytes = static_cast<const BYTE*>(data);
  return std::vector<BYTE>(bytes, bytes + length);
}

}  // namespace vek::registry
