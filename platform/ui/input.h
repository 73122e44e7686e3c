// The one input path of both front ends: what a person does, delivered to the
// window that owns the control, on that window's thread. Keys and characters are
// posted, so the modal loop sees them and gives dialog keys (Tab, Enter, Esc, the
// arrows in a radio group) to the dialog; the rest are handled by the control as
// user actions, firing the notifications that changes made by code do not.
// Callable from any thread.
#pragma once

#include <string>

#include "framework/win_types.h"

namespace vek::ui {

void Focus(HWND control);
void Click(HWND control);                 // focus, then a click
void TypeText(HWND control, const std::string& text);  // focus, then one character each (UTF-8)
void PressKey(HWND target, WPARAM virtualKey, bool shift = false);
void Paste(HWND control, const std::string& text);
void Select(HWND control, int index);     // a combo item, a list row or a tab
void Spin(HWND control, int delta);       // an up-down arrow: +1 up, -1 down
void SetCaret(HWND control, int position);

// Waits until the thread that owns the window has handled everything posted to it,
// including what its handlers posted in turn. False when it did not settle in time.
bool Settle(HWND window, DWORD timeoutMs = 5000);

}  // namespace vek::ui
