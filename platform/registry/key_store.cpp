#include "registry/key_store.h"

#include <sqlite3.h>

#include <chrono>
#include <string>

#include "kernel/errors.h"

namespace vek::registry {

namespace {

// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000;

std::int64_t Now() {
  using namespace std::chrono;
  auto sinceUnix = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
  return kUnixEpochAsFileTime + sinceUnix / 100;
}

KeyRow ReadKey(const Statement& query) {
  return KeyRow{query.Int(0), query.Int(1), query.Text(2), query.Text(3), query.Int(4)};
}

ValueRow ReadValue(const Statement& query) {
  return ValueRow{query.Text(0), static_cast<DWORD>(query.Int(1)), query.Blob(2)};
}

}  // namespace

LONG KeyStore::Key(std::int64_t id, KeyRow* row) {
  Statement query(m_db, "SELECT id, parent, name, class, written FROM keys WHERE id = ?");
  if (query.Bind(id).Next()) {
    *row = ReadKey(query);
    return ERROR_SUCCESS;
  }
  return query.error() != ERROR_SUCCESS ? query.error() : static_cast<LONG>(ERROR_KEY_DELETED);
}

LONG KeyStore::FindChild(std::int64_t parent, std::string_view name, std::int64_t* id) {
  Statement query(m_db, "SELECT id FROM keys WHERE parent = ? AND name = ?");
  if (query.Bind(parent).Bind(name).Next()) {
    *id = query.Int(0);
    return ERROR_SUCCESS;
  }
  return query.error() != ERROR_SUCCESS ? query.error() : static_cast<LONG>(ERROR_FILE_NOT_FOUND);
}

LONG KeyStore::AddChild(std::int64_t parent, std::string_view name, std::string_view className,
                        std::int64_t* id) {
  Statement insert(m_db, "INSERT INTO keys(parent, name, class, written) VALUES (?, ?, ?, ?)");
  if (LONG error = insert.Bind(parent).Bind(name).Bind(className).Bind(Now()).Run()) return error;
  *id = sqlite3_last_insert_rowid(m_db.handle());
  return Touch(parent);
}

LONG KeyStore::ChildAt(std::int64_t parent, DWORD index, KeyRow* row) {
  Statement query(m_db,
                  "SELECT id, parent, name, class, written FROM keys WHERE parent = ? "
                  "ORDER BY name LIMIT 1 OFFSET ?");
  if (query.Bind(parent).Bind(static_cast<std::int64_t>(index)).Next()) {
    *row = ReadKey(query);
    return ERROR_SUCCESS;
  }
  return query.error() != ERROR_SUCCESS ? query.error() : static_cast<LONG>(ERROR_NO_MORE_ITEMS);
}

LONG KeyStore::Children(std::int64_t parent, std::vector<KeyRow>* rows) {
  Statement query(
      m_db, "SELECT id, parent, name, class, written FROM keys WHERE parent = ? ORDER BY name");
  query.Bind(parent);
  while (query.Next()) rows->push_back(ReadKey(query));
  return query.error();
}

LONG KeyStore::HasChildren(std::int64_t id, bool* any) {
  Statement query(m_db, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
  *any = query.Bind(id).Next();
  return query.error();
}

LONG KeyStore::RemoveKey(std::int64_t id) {
  KeyRow row;
  if (LONG error = Key(id, &row)) return error;
  Statement values(m_db, "DELETE FROM key_values WHERE key = ?");
  if (LONG error = values.Bind(id).Run()) return error;
  Statement key(m_db, "DELETE FROM keys WHERE id = ?");
  if (LONG error = key.Bind(id).Run()) return error;
  // The parent of a root is 0, which is no key; touching it changes nothing.
  return Touch(row.parent);
}

LONG KeyStore::Value(std::int64_t key, std::string_view name, ValueRow* row) {
  Statement query(m_db, "SELECT name, type, data FROM key_values WHERE key = ? AND name = ?");
  if (query.Bind(key).Bind(name).Next()) {
    *row = ReadValue(query);
    return ERROR_SUCCESS;
  }
  return query.error() != ERROR_SUCCESS ? query.error() : static_cast<LONG>(ERROR_FILE_NOT_FOUND);
}

LONG KeyStore::ValueAt(std::int64_t key, DWORD index, ValueRow* row) {
  Statement query(m_db,
                  "SELECT name, type, data FROM key_values WHERE key = ? "
                  "ORDER BY name LIMIT 1 OFFSET ?");
  if (query.Bind(key).Bind(static_cast<std::int64_t>(index)).Next()) {
    *row = ReadValue(query);
    return ERROR_SUCCESS;
  }
  return query.error() != ERROR_SUCCESS ? query.error() : static_cast<LONG>(ERROR_NO_MORE_ITEMS);
}

LONG KeyStore::Values(std::int64_t key, std::vector<ValueRow>* rows) {
  Statement query(m_db, "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY name");
  query.Bind(key);
  while (query.Next()) rows->push_back(ReadValue(query));
  return query.error();
}

LONG KeyStore::ChildrenWithValues(std::int64_t parent, std::span<const std::string_view> names,
                                  const ValueExclusion* except, std::vector<SubKeyValues>* rows) {
  // Served by the indexes on (parent, name) of keys and (key, name) of values; a
  // key without any of the values still comes, with a row of nulls.
  std::string sql =
      "SELECT k.id, k.parent, k.name, k.class, k.written, v.name, v.type, v.data FROM keys k "
      "LEFT JOIN key_values v ON v.key = k.id";
  if (!names.empty()) {
    sql += " AND v.name IN (?";
    for (std::size_t i = 1; i < names.size(); ++i) sql += ", ?";
    sql += ")";
  }
  sql += " WHERE k.parent = ?";
  if (except != nullptr && !except->data.empty()) {
    sql += " AND NOT EXISTS (SELECT 1 FROM key_values f WHERE f.key = k.id AND f.name = ? AND f.data IN (?";
    for (std::size_t i = 1; i < except->data.size(); ++i) sql += ", ?";
    sql += "))";
  }
  sql += " ORDER BY k.name, k.id, v.name";
  Statement query(m_db, sql.c_str());
  for (std::string_view name : names) query.Bind(name);
  query.Bind(parent);
  if (except != nullptr && !except->data.empty()) {
    query.Bind(except->name);
    for (const std::vector<BYTE>& data : except->data) query.Bind(std::span<const BYTE>(data));
  }
  while (query.Next()) {
    if (rows->empty() || rows->back().key.id != query.Int(0))
      rows->push_back(SubKeyValues{ReadKey(query), {}});
    if (!query.IsNull(5))
      rows->back().values.push_back(
          ValueRow{query.Text(5), static_cast<DWORD>(query.Int(6)), query.Blob(7)});
  }
  return query.error();
}

LONG KeyStore::PutValue(std::int64_t key, std::string_view name, DWORD type,
                        std::span<const BYTE> data) {
  // An existing value keeps the case of its name as first written.
  Statement upsert(
      m_db,
      "INSERT INTO key_values(key, name, type, data) VALUES (?, ?, ?, ?) "
      "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
  if (LONG error =
          upsert.Bind(key).Bind(name).Bind(static_cast<std::int64_t>(type)).Bind(data).Run())
    return error;
  return Touch(key);
}

LONG KeyStore::RemoveValue(std::int64_t key, std::string_view name) {
  Statement remove(m_db, "DELETE FROM key_values WHERE key = ? AND name = ?");
  if (LONG error = remove.Bind(key).Bind(name).Run()) return error;
  if (sqlite3_changes(m_db.handle()) == 0) return ERROR_FILE_NOT_FOUND;
  return Touch(key);
}

LONG KeyStore::Touch(std::int64_t id) {
  Statement update(m_db, "UPDATE keys SET written = ? WHERE id = ?");
  return update.Bind(Now()).Bind(id).Run();
}

}  // namespace vek::registry
