// The process's window table. Handle values are never reused.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/window_record.h"

namespace vek::framework {

std::mutex& WindowTableLock();
// The record behind a handle, or null for a destroyed or bogus handle.
std::shared_ptr<WindowRecord> FindWindowRecord(HWND window);
HWND AddWindowRecord(std::shared_ptr<WindowRecord> record);
void RemoveWindowRecord(HWND window);
// Snapshots, in creation order.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> WindowsOfThread(DWORD threadId);
std::vector<HWND> WindowsOwnedBy(HWND owner);

// Runs a message through the window's CWnd or its class behaviour, on the calling
// thread (the owner). 0 for a window that no longer exists.
LRESULT CallWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Removes a dead thread's windows without sending them anything.
void ForgetWindowsOfThread(DWORD threadId);

}  // namespace vek::framework
