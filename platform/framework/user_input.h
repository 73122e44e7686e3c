// What a person does to a control, as messages the control's class handles as user
// actions (firing the notifications that code-driven changes do not). Both front
// ends, the terminal and the headless driver of the tests, deliver input this way;
// keys arrive as WM_KEYDOWN and WM_CHAR to the window with the focus.
#pragma once

#include "framework/messages.h"
#include "framework/win_types.h"

namespace vek::framework {

constexpr UINT VEK_UM_CLICK = 0x7F01;   // a click on a button, a check box, a radio button
constexpr UINT VEK_UM_SELECT = 0x7F02;  // wParam: the item, row or tab the user picks
constexpr UINT VEK_UM_PASTE = 0x7F03;   // lParam: UTF-8 text pasted at the caret (owned by the sender)
constexpr UINT VEK_UM_SPIN = 0x7F04;    // wParam: +1 or -1 on an up-down control
constexpr UINT VEK_UM_CARET = 0x7F05;   // wParam: the caret position set by a click in an edit
constexpr UINT VEK_UM_FOCUS = 0x7F06;   // the window takes the focus (on its own thread)
constexpr UINT VEK_UM_GETFOCUS = 0x7F08;  // answers the focus window of the window's thread
// Answers TRUE when Esc closes the window, as a dialog's Cancel does; the front
// ends offer the key only then.
constexpr UINT VEK_UM_CLOSESONESCAPE = 0x7F09;
// A marker in a thread's queue: lParam is a SyncMarker, released by whichever of the
// poster and the handler lets go of it last.
constexpr UINT VEK_UM_SYNC = 0x7F07;

struct SyncMarker {
  HANDLE handled;            // set once the marker is handled
  volatile LONG references;  // 2 when posted
  BOOL moreQueued;           // posted messages still waited behind the marker
};
void ReleaseSyncMarker(SyncMarker* marker);
// Handled by DispatchMessage: the marker is a thread message.
void HandleSyncMarker(LPARAM lParam);
// Shift+Tab arrives as WM_KEYDOWN with VK_TAB and lParam 1.

}  // namespace vek::framework
