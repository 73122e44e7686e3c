#include "framework/cursor.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "framework/picture_formats.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "shell/file_contents.h"

#include "framework/front_end.h"

namespace {

// Stock cursors are their ids; a file cursor is a distinct small value.
HCURSOR FromId(std::uintptr_t id) { return reinterpret_cast<HCURSOR>(id); }

constexpr std::size_t kMaxCursorBytes = 1u << 20;

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

// A cursor file (static or animated) that reads as one; its frames are not shown.
HCURSOR LoadCursorFromFileA(LPCSTR fileName) {
  std::vector<std::uint8_t> bytes;
  DWORD error = vek::shell::ReadFileContents(fileName, kMaxCursorBytes, &bytes);
  vek::framework::CursorFileInfo info;
  if (error == ERROR_SUCCESS && !vek::framework::ReadCursorFileInfo(bytes, &info)) error = ERROR_INVALID_DATA;
  if (error != ERROR_SUCCESS) {
    SetLastError(error == vek::shell::ERROR_FILE_TOO_LARGE ? ERROR_INVALID_DATA : error);
    return nullptr;
  }
  return FromId(info.animated ? 2 : 1);
}

HCURSOR SetCursor(HCURSOR cursor) { return g_cursor.exchange(cursor); }

HCURSOR GetCursor() { return g_cursor.load(); }

namespace vek::framework {

unsigned CursorId(HCURSOR cursor) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(cursor)); }

bool IsBusyCursor(HCURSOR cursor) {
  unsigned id = CursorId(cursor);
  return id == 32514 || id == 32650 || id == 2;  // IDC_WAIT, IDC_APPSTARTING, animated
}

void BeginWaitCursor() {
  {
    std::lock_guard guard(g_waitLock);
    if (g_waitDepth++ == 0) g_beforeWait = GetCursor();
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  }
  RefreshFrontEnd();  // a front end shows the wait before the work blocks the thread
}

void EndWaitCursor() {
  {
    std::lock_guard guard(g_waitLock);
    if (g_waitDepth == 0) return;
    if (--g_waitDepth == 0) SetCursor(g_beforeWait ? g_beforeWait : LoadCursorA(nullptr, IDC_ARROW));
  }
  RefreshFrontEnd();
}

void RestoreWaitCursor() {
  std::lock_guard guard(g_waitLock);
  if (g_waitDepth > 0) SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

}  // namespace vek::framework
