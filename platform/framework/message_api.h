// Message queues of threads: posting, sending across threads, retrieving, timers.
// Every thread has its own queue, made on its first use. A message sent to a window
// of another thread waits until that thread retrieves messages (GetMessage,
// PeekMessage, MsgWaitForMultipleObjects, or its own SendMessage waiting).
// Text messages (WM_SETTEXT, WM_GETTEXT) carry UTF-8 in the narrow calls; the wide
// calls convert.
#pragma once

#include "framework/messages.h"
#include "framework/win_types.h"

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
// Waits for the handles or for queue input of the kinds in wakeMask; input gives
// WAIT_OBJECT_0 + count. Messages sent to this thread are served while it waits.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds, DWORD wakeMask);
// Input waiting in this thread's queue, as a QS_ mask in the low word.
DWORD GetQueueStatus(UINT flags);

// Timers deliver WM_TIMER through the owning thread's message retrieval only.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND window, UINT_PTR id);
constexpr UINT USER_TIMER_MINIMUM = 10;

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
