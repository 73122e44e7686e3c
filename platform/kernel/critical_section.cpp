#include <atomic>
#include <mutex>

#include "kernel/sync.h"

namespace {
std::recursive_mutex& Impl(LPCRITICAL_SECTION section) { return *static_cast<std::recursive_mutex*>(section->impl); }
}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section) { section->impl = new std::recursive_mutex; }

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
  delete static_cast<std::recursive_mutex*>(section->impl);
  section->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { Impl(section).lock(); }

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) { return Impl(section).try_lock() ? TRUE : FALSE; }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { Impl(section).unlock(); }

LONG InterlockedIncrement(volatile LONG* value) {
  return std::atomic_ref<LONG>(const_cast<LONG&>(*value)).fetch_add(1) + 1;
}

LONG InterlockedDecrement(volatile LONG* value) {
  return std::atomic_ref<LONG>(const_cast<LONG&>(*value)).fetch_sub(1) - 1;
}

LONG InterlockedExchange(volatile LONG* target, LONG value) {
  return std::atomic_ref<LONG>(const_cast<LONG&>(*target)).exchange(value);
}

LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand) {
  std::atomic_ref<LONG>(const_cast<LONG&>(*target)).compare_exchange_strong(comparand, exchange);
  return comparand;
}
