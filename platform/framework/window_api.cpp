#include "framework/window_api.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "framework/front_end.h"
#include "framework/message_api.h"
#include "framework/message_queue.h"
#include "framework/user_input.h"
#include "framework/window_table.h"
#include "framework/wnd.h"
#include "kernel/errors.h"
#include "kernel/sync.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/thread.h"

using vek::framework::FindWindowRecord;
using vek::framework::WindowRecord;
using vek::framework::WindowTableLock;

namespace {

std::shared_ptr<WindowRecord> RecordOrError(HWND window) {
  auto record = FindWindowRecord(window);
  if (!record) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return record;
}

// Reads a window's text. The owner's own windows answer WM_GETTEXT, so a control can
// produce its text; other threads read what the window holds, without waiting.
std::string ReadText(HWND window) {
  auto record = RecordOrError(window);
  if (!record) return {};
  if (record->threadId == GetCurrentThreadId()) {
    int length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
  }
  std::lock_guard guard(WindowTableLock());
  return record->text;
}

template <typename Char>
int CopyOut(const std::basic_string<Char>& text, Char* buffer, int bufferMax) {
  if (buffer == nullptr || bufferMax <= 0) return 0;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(bufferMax - 1));
  std::memcpy(buffer, text.data(), n * sizeof(Char));
  buffer[n] = 0;
  return static_cast<int>(n);
}

// A window that appears paints itself and its visible children.
void InvalidateTree(HWND window) {
  InvalidateRect(window, nullptr, TRUE);
  auto record = FindWindowRecord(window);
  if (!record) return;
  std::vector<HWND> children;
  {
    std::lock_guard guard(WindowTableLock());
    children = record->children;
  }
  for (HWND child : children)
    if (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) InvalidateTree(child);
}

void DestroyTree(HWND window) {
  auto record = FindWindowRecord(window);
  if (!record || record->destroying) return;
  {
    std::lock_guard guard(WindowTableLock());
    record->destroying = true;
  }
  // The windows it owns go first.
  for (HWND owned : vek::framework::WindowsOwnedBy(window)) DestroyTree(owned);
  vek::framework::CurrentQueue().KillTimersOf(window);
  SendMessageA(window, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    std::lock_guard guard(WindowTableLock());
    children = record->children;
  }
  for (HWND child : children) DestroyTree(child);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  vek::framework::RemoveWindowRecord(window);
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID createParams) {
  std::string name = className && *className ? className : vek::framework::kFrameWindowClass;
  auto behaviour = vek::framework::MakeBehaviour(name);
  if (!behaviour) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (parent && !FindWindowRecord(parent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto record = std::make_shared<WindowRecord>();
  record->threadId = GetCurrentThreadId();
  // A child lives inside its parent; any other window is owned by the one given.
  if (style & WS_CHILD) record->parent = parent;
  else record->owner = parent;
  record->id = (style & WS_CHILD) ? static_cast<int>(reinterpret_cast<std::intptr_t>(menuOrId)) : 0;
  record->className = name;
  record->text = windowName ? windowName : "";
  record->style = style;
  record->exStyle = exStyle;
  record->rect = RECT{x, y, x + width, y + height};
  record->behaviour = std::move(behaviour);
  // A CWnd being created takes the window before its first message.
  record->wnd = CWnd::TakeWindowBeingCreated();
  vek::framework::CurrentQueue();  // the owner has a queue from now on
  HWND hwnd = vek::framework::AddWindowRecord(record);
  if (record->wnd) record->wnd->m_hWnd = hwnd;

  CREATESTRUCTA create{createParams, instance, menuOrId, parent, height, width, y, x,
                       static_cast<LONG>(style), windowName, className, exStyle};
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) ||
      SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return hwnd;
}

BOOL DestroyWindow(HWND window) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  if (record->threadId != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);  // only the owner destroys a window
    return FALSE;
  }
  DestroyTree(window);
  return TRUE;
}

BOOL IsWindow(HWND window) { return FindWindowRecord(window) ? TRUE : FALSE; }

// The parent of a child window, the owner of any other.
HWND GetParent(HWND window) {
  auto record = RecordOrError(window);
  if (!record) return nullptr;
  std::lock_guard guard(WindowTableLock());
  return record->parent ? record->parent : record->owner;
}

HWND GetDlgItem(HWND dialog, int id) {
  auto record = RecordOrError(dialog);
  if (!record) return nullptr;
  std::vector<HWND> children;
  {
    std::lock_guard guard(WindowTableLock());
    children = record->children;
  }
  for (HWND child : children)
    if (auto c = FindWindowRecord(child); c && c->id == id) return child;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return nullptr;
}

int GetDlgCtrlID(HWND window) {
  auto record = RecordOrError(window);
  return record ? record->id : 0;
}

int GetClassNameA(HWND window, LPSTR buffer, int bufferMax) {
  auto record = RecordOrError(window);
  return record ? CopyOut(record->className, buffer, bufferMax) : 0;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!RecordOrError(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
  std::string narrow = text ? vek::ToNarrow(text) : std::string();
  return SetWindowTextA(window, narrow.c_str());
}

int GetWindowTextA(HWND window, LPSTR buffer, int bufferMax) { return CopyOut(ReadText(window), buffer, bufferMax); }

int GetWindowTextW(HWND window, LPWSTR buffer, int bufferMax) {
  return CopyOut(vek::ToWide(ReadText(window)), buffer, bufferMax);
}

int GetWindowTextLengthA(HWND window) { return static_cast<int>(ReadText(window).size()); }
int GetWindowTextLengthW(HWND window) { return static_cast<int>(vek::ToWide(ReadText(window)).size()); }

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextA(item, text) : FALSE;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int bufferMax) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && bufferMax > 0) buffer[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, buffer, bufferMax));
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int bufferMax) {
  HWND item = GetDlgItem(dialog, id);
  if (!item) {
    if (buffer && bufferMax > 0) buffer[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(item, buffer, bufferMax));
}

BOOL EnableWindow(HWND window, BOOL enable) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  bool wasDisabled;
  {
    std::lock_guard guard(WindowTableLock());
    wasDisabled = (record->style & WS_DISABLED) != 0;
    if (enable) record->style &= ~WS_DISABLED;
    else record->style |= WS_DISABLED;
  }
  if (wasDisabled == (enable != FALSE)) SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  std::lock_guard guard(WindowTableLock());
  return (record->style & WS_DISABLED) ? FALSE : TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  bool show = command != SW_HIDE;
  bool wasVisible;
  {
    std::lock_guard guard(WindowTableLock());
    wasVisible = (record->style & WS_VISIBLE) != 0;
    if (show) record->style |= WS_VISIBLE;
    else record->style &= ~WS_VISIBLE;
  }
  if (wasVisible != show) {
    SendMessageA(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (show) InvalidateTree(window);
  }
  return wasVisible ? TRUE : FALSE;
}

// Visible only when it and every parent are.
BOOL IsWindowVisible(HWND window) {
  for (auto record = RecordOrError(window); record;) {
    HWND parent;
    {
      std::lock_guard guard(WindowTableLock());
      if (!(record->style & WS_VISIBLE)) return FALSE;
      parent = record->parent;
    }
    if (!parent) return TRUE;
    record = FindWindowRecord(parent);
  }
  return FALSE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  if (auto queue = vek::framework::QueueOfThread(record->threadId)) queue->NeedsPaint(window);
  return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  if (auto queue = vek::framework::QueueOfThread(record->threadId)) queue->Painted(window);
  return TRUE;
}

// Paints at once when the window waits for it, bypassing the queue; from another
// thread the paint is sent to the owner.
BOOL UpdateWindow(HWND window) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  bool own = record->threadId == GetCurrentThreadId();
  auto queue = vek::framework::QueueOfThread(record->threadId);
  if (queue && (queue->Status() & QS_PAINT)) {
    MSG paint{};
    bool paints = true;
    if (own) paints = queue->Take(&paint, window, WM_PAINT, WM_PAINT, true);
    else queue->Painted(window);
    if (paints) SendMessageA(window, WM_PAINT, 0, 0);
  }
  // The front end shows the change now, also to a thread too busy to wait for input.
  if (own) vek::framework::RefreshFrontEnd();
  return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
  auto record = RecordOrError(window);
  if (!record) return 0;
  std::lock_guard guard(WindowTableLock());
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(record->style);
    case GWL_EXSTYLE: return static_cast<LONG>(record->exStyle);
    case GWL_ID: return record->id;
    case GWL_USERDATA: return record->userData;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
  auto record = RecordOrError(window);
  if (!record) return 0;
  std::lock_guard guard(WindowTableLock());
  LONG previous = 0;
  switch (index) {
    case GWL_STYLE: previous = static_cast<LONG>(record->style); record->style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: previous = static_cast<LONG>(record->exStyle); record->exStyle = static_cast<DWORD>(value); break;
    case GWL_ID: previous = record->id; record->id = value; break;
    case GWL_USERDATA: previous = record->userData; record->userData = value; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return 0;
  }
  return previous;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  auto record = RecordOrError(window);
  if (!record || !rect) return FALSE;
  std::lock_guard guard(WindowTableLock());
  *rect = record->rect;
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  auto record = RecordOrError(window);
  if (!record || !rect) return FALSE;
  std::lock_guard guard(WindowTableLock());
  *rect = RECT{0, 0, record->rect.right - record->rect.left, record->rect.bottom - record->rect.top};
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  auto record = RecordOrError(window);
  if (!record) return FALSE;
  {
    std::lock_guard guard(WindowTableLock());
    record->rect = RECT{x, y, x + width, y + height};
  }
  SendMessageA(window, WM_SIZE, 0, MAKELONG(static_cast<WORD>(width), static_cast<WORD>(height)));
  return TRUE;
}

namespace {
thread_local HWND t_focus = nullptr;
}

HWND SetFocus(HWND window) {
  HWND previous = t_focus;
  if (window && !RecordOrError(window)) return nullptr;
  if (previous == window) return previous;
  if (previous && IsWindow(previous)) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
  t_focus = window;
  if (window) SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

HWND GetFocus() { return IsWindow(t_focus) ? t_focus : nullptr; }

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam) {
  for (HWND window : vek::framework::TopLevelWindows())
    if (IsWindow(window) && !callback(window, lParam)) break;
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam) {
  auto record = RecordOrError(parent);
  if (!record) return FALSE;
  std::vector<HWND> children;
  {
    std::lock_guard guard(WindowTableLock());
    children = record->children;
  }
  for (HWND child : children) {
    if (!IsWindow(child)) continue;
    if (!callback(child, lParam)) return TRUE;
    EnumChildWindows(child, callback, lParam);
  }
  return TRUE;
}

DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  auto record = RecordOrError(window);
  if (!record) return 0;
  if (processId) *processId = GetCurrentProcessId();
  return record->threadId;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT: {
      auto record = FindWindowRecord(window);
      if (!record) return FALSE;
      std::lock_guard guard(WindowTableLock());
      record->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      return TRUE;
    }
    case WM_GETTEXT: {
      auto record = FindWindowRecord(window);
      if (!record || wParam == 0 || lParam == 0) return 0;
      std::string text;
      {
        std::lock_guard guard(WindowTableLock());
        text = record->text;
      }
      return CopyOut(text, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    }
    case WM_GETTEXTLENGTH: {
      auto record = FindWindowRecord(window);
      if (!record) return 0;
      std::lock_guard guard(WindowTableLock());
      return static_cast<LRESULT>(record->text.size());
    }
    case WM_SETFONT: {
      if (auto record = FindWindowRecord(window)) {
        std::lock_guard guard(WindowTableLock());
        record->font = reinterpret_cast<void*>(wParam);
      }
      return 0;
    }
    case WM_GETFONT: {
      auto record = FindWindowRecord(window);
      if (!record) return 0;
      std::lock_guard guard(WindowTableLock());
      return reinterpret_cast<LRESULT>(record->font);
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_PAINT:
      ValidateRect(window, nullptr);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case vek::framework::VEK_UM_FOCUS:
      SetFocus(window);
      return 0;
    case vek::framework::VEK_UM_GETFOCUS:
      return reinterpret_cast<LRESULT>(GetFocus());
    default:
      return 0;
  }
}

void vek::framework::HandleSyncMarker(LPARAM lParam) {
  auto* marker = reinterpret_cast<SyncMarker*>(lParam);
  marker->moreQueued = (GetQueueStatus(QS_POSTMESSAGE) & QS_POSTMESSAGE) ? TRUE : FALSE;
  SetEvent(marker->handled);
  ReleaseSyncMarker(marker);
}

void vek::framework::ReleaseSyncMarker(SyncMarker* marker) {
  if (InterlockedDecrement(&marker->references) == 0) {
    CloseHandle(marker->handled);
    delete marker;
  }
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<HWND> vek::framework::ChildWindows(HWND parent) {
  auto record = FindWindowRecord(parent);
  if (!record) return {};
  std::lock_guard guard(WindowTableLock());
  return record->children;
}

std::vector<HWND> vek::framework::DescendantWindows(HWND parent) {
  std::vector<HWND> all;
  for (HWND child : ChildWindows(parent)) {
    all.push_back(child);
    std::vector<HWND> below = DescendantWindows(child);
    all.insert(all.end(), below.begin(), below.end());
  }
  return all;
}
