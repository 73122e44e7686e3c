// The window table: handles, owning threads, parents and children, control ids,
// texts, styles, enabled and visible state. Windows belong to the thread that made
// them; their state can be read from any thread.
#pragma once

#include <vector>

#include "framework/messages.h"
#include "framework/styles.h"
#include "framework/win_types.h"

constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID createParams);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
HWND GetParent(HWND window);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
int GetClassNameA(HWND window, LPSTR buffer, int bufferMax);

BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
int GetWindowTextA(HWND window, LPSTR buffer, int bufferMax);
int GetWindowTextW(HWND window, LPWSTR buffer, int bufferMax);
int GetWindowTextLengthA(HWND window);
int GetWindowTextLengthW(HWND window);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int bufferMax);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int bufferMax);

BOOL EnableWindow(HWND window, BOOL enable);  // TRUE when the window was disabled before
BOOL IsWindowEnabled(HWND window);
BOOL ShowWindow(HWND window, int command);  // TRUE when the window was visible before
BOOL IsWindowVisible(HWND window);
BOOL UpdateWindow(HWND window);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL GetWindowRect(HWND window, LPRECT rect);
BOOL GetClientRect(HWND window, LPRECT rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);

HWND SetFocus(HWND window);
HWND GetFocus();

BOOL EnumWindows(WNDENUMPROC callback, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM lParam);
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);

namespace vek::framework {
// The windows inside a window, in creation order: its own children, or all its
// descendants (children before their own children).
std::vector<HWND> ChildWindows(HWND parent);
std::vector<HWND> DescendantWindows(HWND parent);
}  // namespace vek::framework
