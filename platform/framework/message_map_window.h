// Message-map entries for the window messages of custom controls: size, focus,
// enabling, characters and keys. The handlers take the arguments the messages
// carry; default processing is Default().
#pragma once

#include "framework/message_map.h"
#include "framework/messages.h"

// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE()                                                                                  \
  {WM_SIZE, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                               \
     VEK_MAP_TARGET(t)->OnSize(static_cast<UINT>(w), static_cast<short>(LOWORD(static_cast<std::uintptr_t>(l))), \
                               static_cast<short>(HIWORD(static_cast<std::uintptr_t>(l))));                    \
     return 0;                                                                                        \
   }},

// void OnSetFocus(CWnd* oldWindow), void OnKillFocus(CWnd* newWindow)
#define ON_WM_SETFOCUS()                                                                \
  {WM_SETFOCUS, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {               \
     VEK_MAP_TARGET(t)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w)));        \
     return 0;                                                                          \
   }},
#define ON_WM_KILLFOCUS()                                                               \
  {WM_KILLFOCUS, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {              \
     VEK_MAP_TARGET(t)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w)));       \
     return 0;                                                                          \
   }},

// void OnEnable(BOOL enable)
#define ON_WM_ENABLE()                                                  \
  {WM_ENABLE, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnEnable(static_cast<BOOL>(w));                 \
     return 0;                                                          \
   }},

// void OnChar(UINT c, UINT repeats, UINT flags), void OnKeyDown(UINT key, UINT repeats, UINT flags)
#define ON_WM_CHAR()                                                                                   \
  {WM_CHAR, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                \
     VEK_MAP_TARGET(t)->OnChar(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),          \
                               HIWORD(static_cast<std::uintptr_t>(l)));                                \
     return 0;                                                                                         \
   }},
#define ON_WM_KEYDOWN()                                                                                \
  {WM_KEYDOWN, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                             \
     VEK_MAP_TARGET(t)->OnKeyDown(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),       \
                                  HIWORD(static_cast<std::uintptr_t>(l)));                             \
     return 0;                                                                                         \
   }},
