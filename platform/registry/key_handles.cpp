#include "registry/key_handles.h"

#include <mutex>
#include <unordered_map>

namespace vek::registry {

namespace {

// Handle values the predefined roots use; the table steps over them.
constexpr std::uintptr_t kPredefinedFirst = 0x80000000u;
constexpr std::uintptr_t kPredefinedEnd = 0x80000010u;

struct KeyTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, OpenKey> keys;
  std::uintptr_t next = 0x10000;
};

KeyTable& Table() {
  static KeyTable* table = new KeyTable;  // lives until the process ends
  return *table;
}

}  // namespace

HKEY AddKeyHandle(OpenKey key) {
  KeyTable& table = Table();
  std::lock_guard guard(table.lock);
  if (table.next >= kPredefinedFirst && table.next < kPredefinedEnd) table.next = kPredefinedEnd;
  std::uintptr_t value = table.next;
  table.next += 4;
  table.keys.emplace(value, key);
  return reinterpret_cast<HKEY>(value);
}

bool FindKeyHandle(HKEY handle, OpenKey* key) {
  KeyTable& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.keys.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.keys.end()) return false;
  *key = it->second;
  return true;
}

bool RemoveKeyHandle(HKEY handle) {
  KeyTable& table = Table();
  std::lock_guard guard(table.lock);
  return table.keys.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
}

}  // namespace vek::registry
