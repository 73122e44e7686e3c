// Cursors. The current cursor is kept per process so tests and the terminal front
// end can see the wait cursor come and go.
#pragma once

#include "framework/win_types.h"

// Stock cursor ids, passed to LoadCursor as pointers.
#define IDC_ARROW (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32512)))
#define IDC_IBEAM (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32513)))
#define IDC_WAIT (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32514)))
#define IDC_HAND (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(32649)))

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
HCURSOR LoadCursorFromFileA(LPCSTR fileName);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

namespace vek::framework {

// The stock id of a cursor handle (32512 arrow, 32514 wait...), 0 for none, or
// 1 for a cursor loaded from a file, 2 for an animated one.
unsigned CursorId(HCURSOR cursor);
// The wait cursor, the arrow with an hourglass, or an animated cursor from a file
// (the busy cursor a program brings along).
bool IsBusyCursor(HCURSOR cursor);
void BeginWaitCursor();
void EndWaitCursor();
void RestoreWaitCursor();

}  // namespace vek::framework

// Shows the wait cursor for its lifetime.
class CWaitCursor {
 public:
  CWaitCursor() { vek::framework::BeginWaitCursor(); }
  ~CWaitCursor() { vek::framework::EndWaitCursor(); }
  void Restore() { vek::framework::RestoreWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
};
