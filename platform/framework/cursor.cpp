#include "framework/cursor.h"

#include <atomic>
#include <mutex>
#include <string>

namespace {

// Stock cursors are their ids; a file cursor is a distinct small value.
HCURSOR FromId(std::uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

std::atomic<HCURSOR> g_cursor{FromId(32512)};
std::mutex g_waitLock;
int g_waitDepth = 0;
HCURSOR g_beforeWait = nullptr;

}  // namespace

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
  auto id = reinterpret_cast<std::uintptr_t>(name);
  if (id == 0 || id > 0xFFFF) return nullptr;  // named resources: none are shipped
  return FromId(id);
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  return LoadCursorA(instance, reinterpret_cast<LPCSTR>(name));
}

HCURSOR LoadCursorFromFileA(LPCSTR fileName) { return fileName && *fileName ? FromId(1) : nullptr; }

HCURSOR SetCursor(HCURSOR cursor) { return g_cursor.exchange(cursor); }

HCURSOR GetCursor() { return g_cursor.load(); }

namespace vek::framework {

unsigned CursorId(HCURSOR cursor) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(cursor)); }

void BeginWaitCursor() {
  std::lock_guard guard(g_waitLock);
  if (g_waitDepth++ == 0) g_beforeWait = GetCursor();
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndWaitCursor() {
  std::lock_guard guard(g_waitLock);
  if (g_waitDepth == 0) return;
  if (--g_waitDepth == 0) SetCursor(g_beforeWait ? g_beforeWait : LoadCursorA(nullptr, IDC_ARROW));
}

void RestoreWaitCursor() {
  std::lock_guard guard(g_waitLock);
  if (g_waitDepth > 0) SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

}  // namespace vek::framework
