#include "kernel/handle_table.h"

#include <mutex>
#include <unordered_map>

#include "kernel/thread_object.h"

namespace vek::kernel {
namespace {

struct HandleTable {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Waitable>> objects;
  std::uintptr_t next = 0x1000;
};

HandleTable& Table() {
  static HandleTable* table = new HandleTable;  // lives until the process ends
  return *table;
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<Waitable> object) {
  HandleTable& table = Table();
  std::lock_guard guard(table.lock);
  std::uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<Waitable> LookupHandle(HANDLE handle) {
  if (handle == GetCurrentThreadPseudoHandle()) return CurrentThreadObject();
  HandleTable& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == table.objects.end() ? nullptr : it->second;
}

bool CloseRegisteredHandle(HANDLE handle) {
  std::shared_ptr<Waitable> released;  // destroyed outside the table lock
  HandleTable& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.objects.end()) return false;
  released = std::move(it->second);
  table.objects.erase(it);
  return true;
}

}  // namespace vek::kernel
