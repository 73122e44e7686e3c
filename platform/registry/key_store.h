// The rows of keys and values, read and written inside the caller's transaction.
// Names are UTF-8 and match without case; data is kept exactly as given.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/types.h"
#include "registry/database.h"

namespace vek::registry {

struct KeyRow {
  std::int64_t id = 0;
  std::int64_t parent = 0;  // 0 for the roots
  std::string name;
  std::string className;
  std::int64_t written = 0;  // 100 ns units since 1601, as FILETIME counts
};

struct ValueRow {
  std::string name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

// A subkey and those of its values that were asked for.
struct SubKeyValues {
  KeyRow key;
  std::vector<ValueRow> values;  // in name order
};

// Leaves out the keys whose value of this name holds one of these data.
struct ValueExclusion {
  std::string_view name;
  std::vector<std::vector<BYTE>> data;
};

class KeyStore {
 public:
  // generation: the machine root generation the database was opened under.
  KeyStore(Database& database, unsigned generation) : m_db(database), m_generation(generation) {}
  unsigned generation() const { return m_generation; }

  // ERROR_KEY_DELETED when the key is gone.
  LONG Key(std::int64_t id, KeyRow* row);
  // ERROR_FILE_NOT_FOUND when there is no such child.
  LONG FindChild(std::int64_t parent, std::string_view name, std::int64_t* id);
  LONG AddChild(std::int64_t parent, std::string_view name, std::string_view className,
                std::int64_t* id);
  // Children in name order, without case; ERROR_NO_MORE_ITEMS past the last.
  LONG ChildAt(std::int64_t parent, DWORD index, KeyRow* row);
  LONG Children(std::int64_t parent, std::vector<KeyRow>* rows);
  LONG HasChildren(std::int64_t id, bool* any);
  // Removes a key and its values; the caller has checked it has no children.
  LONG RemoveKey(std::int64_t id);

  // ERROR_FILE_NOT_FOUND when there is no such value.
  LONG Value(std::int64_t key, std::string_view name, ValueRow* row);
  LONG ValueAt(std::int64_t key, DWORD index, ValueRow* row);
  LONG Values(std::int64_t key, std::vector<ValueRow>* rows);
  // Every child of parent in name order, each with its values of the given names
  // (every value when names is empty), in one statement; except leaves some out.
  LONG ChildrenWithValues(std::int64_t parent, std::span<const std::string_view> names,
                          const ValueExclusion* except, std::vector<SubKeyValues>* rows);
  LONG PutValue(std::int64_t key, std::string_view name, DWORD type, std::span<const BYTE> data);
  LONG RemoveValue(std::int64_t key, std::string_view name);

  // Marks a key as written now.
  LONG Touch(std::int64_t id);

 private:
  Database& m_db;
  unsigned m_generation;
};

}  // namespace vek::registry
