#include "framework/window_table.h"

#include <algorithm>
#include <unordered_map>

#include "framework/wnd.h"
#include "framework/controls.h"

namespace vek::framework {
namespace {

struct Table {
  std::unordered_map<std::uintptr_t, std::shared_ptr<WindowRecord>> records;
  std::vector<HWND> order;  // creation order, for enumeration
  std::uintptr_t next = 0x10010;
};

Table& TheTable() {
  static Table* table = new Table;
  return *table;
}

}  // namespace

std::mutex& WindowTableLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

std::shared_ptr<WindowRecord> FindWindowRecord(HWND window) {
  std::lock_guard guard(WindowTableLock());
  auto& records = TheTable().records;
  auto it = records.find(reinterpret_cast<std::uintptr_t>(window));
  return it == records.end() ? nullptr : it->second;
}

HWND AddWindowRecord(std::shared_ptr<WindowRecord> record) {
  std::lock_guard guard(WindowTableLock());
  Table& table = TheTable();
  HWND hwnd = reinterpret_cast<HWND>(table.next);
  table.next += 2;
  record->hwnd = hwnd;
  if (record->parent) {
    auto parent = table.records.find(reinterpret_cast<std::uintptr_t>(record->parent));
    if (parent != table.records.end()) parent->second->children.push_back(hwnd);
  }
  table.records.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(record));
  table.order.push_back(hwnd);
  return hwnd;
}

void RemoveWindowRecord(HWND window) {
  std::shared_ptr<WindowRecord> removed;  // released outside the lock
  std::lock_guard guard(WindowTableLock());
  Table& table = TheTable();
  auto it = table.records.find(reinterpret_cast<std::uintptr_t>(window));
  if (it == table.records.end()) return;
  removed = std::move(it->second);
  table.records.erase(it);
  table.order.erase(std::remove(table.order.begin(), table.order.end(), window), table.order.end());
  if (removed->parent) {
    auto parent = table.records.find(reinterpret_cast<std::uintptr_t>(removed->parent));
    if (parent != table.records.end()) {
      auto& siblings = parent->second->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
  }
}

std::vector<HWND> TopLevelWindows() {
  std::lock_guard guard(WindowTableLock());
  std::vector<HWND> result;
  for (HWND hwnd : TheTable().order)
    if (TheTable().records[reinterpret_cast<std::uintptr_t>(hwnd)]->parent == nullptr) result.push_back(hwnd);
  return result;
}

std::vector<HWND> WindowsOwnedBy(HWND owner) {
  std::lock_guard guard(WindowTableLock());
  std::vector<HWND> result;
  for (HWND hwnd : TheTable().order)
    if (TheTable().records[reinterpret_cast<std::uintptr_t>(hwnd)]->owner == owner) result.push_back(hwnd);
  return result;
}

std::vector<HWND> WindowsOfThread(DWORD threadId) {
  std::lock_guard guard(WindowTableLock());
  std::vector<HWND> result;
  for (HWND hwnd : TheTable().order)
    if (TheTable().records[reinterpret_cast<std::uintptr_t>(hwnd)]->threadId == threadId) result.push_back(hwnd);
  return result;
}

LRESULT CallWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<WindowRecord> record = FindWindowRecord(window);
  if (!record) return 0;
  if (record->wnd) return record->wnd->WindowProc(message, wParam, lParam);
  return record->behaviour->Handle(window, message, wParam, lParam);
}

void ForgetWindowsOfThread(DWORD threadId) {
  for (HWND hwnd : WindowsOfThread(threadId)) {
    if (auto record = FindWindowRecord(hwnd); record && record->wnd) record->wnd->m_hWnd = nullptr;
    RemoveWindowRecord(hwnd);
  }
}

}  // namespace vek::framework
