// Message maps: static tables from (message, notification code, control id) to
// member functions. Each entry's handler is a small function made by its macro, so
// the member's signature is checked by the compiler. A class's map is searched
// first, then its base classes' maps.
#pragma once

#include "framework/messages.h"
#include "framework/win_types.h"

class CCmdTarget;

namespace vek::framework {

struct MessageMapEntry {
  UINT message;  // 0 ends the table
  UINT code;     // notification code, for WM_COMMAND and WM_NOTIFY
  UINT firstId;  // control id range, for WM_COMMAND and WM_NOTIFY
  UINT lastId;
  LRESULT (*invoke)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
  const MessageMap* (*base)();
  const MessageMapEntry* entries;
};

}  // namespace vek::framework

#define DECLARE_MESSAGE_MAP()                                  \
 protected:                                                    \
  static const vek::framework::MessageMap* GetThisMessageMap(); \
  const vek::framework::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                      \
  const vek::framework::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const vek::framework::MessageMap* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                                    \
    using TheBaseClass = baseClass;                                                                 \
    static const vek::framework::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                            \
  {0, 0, 0, 0, nullptr}                                                                              \
  }                                                                                                  \
  ;                                                                                                  \
  static const vek::framework::MessageMap map = {&TheBaseClass::GetThisMessageMap, &entries[0]};    \
  return &map;                                                                                       \
  }

#define VEK_MAP_TARGET(t) static_cast<ThisClass*>(t)

// Any message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, handler) \
  {message, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { return VEK_MAP_TARGET(t)->handler(w, l); }},

// A message posted to a thread: void handler(WPARAM, LPARAM).
#define ON_THREAD_MESSAGE(message, handler)                              \
  {message, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
     VEK_MAP_TARGET(t)->handler(w, l);                                  \
     return 0;                                                           \
   }},

// WM_COMMAND from a control or menu: void handler().
#define ON_CONTROL(code, id, handler)                                                 \
  {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                                     \
     VEK_MAP_TARGET(t)->handler();                                                    \
     return 0;                                                                        \
   }},
#define ON_COMMAND(id, handler) ON_CONTROL(0, id, handler)
#define ON_BN_CLICKED(id, handler) ON_CONTROL(BN_CLICKED, id, handler)
#define ON_EN_CHANGE(id, handler) ON_CONTROL(EN_CHANGE, id, handler)
#define ON_EN_KILLFOCUS(id, handler) ON_CONTROL(EN_KILLFOCUS, id, handler)
#define ON_CBN_SELCHANGE(id, handler) ON_CONTROL(CBN_SELCHANGE, id, handler)

// WM_NOTIFY from a control: void handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, handler)                                                  \
  {WM_NOTIFY, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                                   \
     LRESULT result = 0;                                                              \
     VEK_MAP_TARGET(t)->handler(reinterpret_cast<NMHDR*>(l), &result);                \
     return result;                                                                   \
   }},

#define ON_WM_CREATE()                                                         \
  {WM_CREATE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {        \
     return VEK_MAP_TARGET(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l)); \
   }},
#define ON_WM_DESTROY()                                                 \
  {WM_DESTROY, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnDestroy();                                    \
     return 0;                                                          \
   }},
#define ON_WM_CLOSE()                                                 \
  {WM_CLOSE, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnClose();                                    \
     return 0;                                                        \
   }},
#define ON_WM_TIMER()                                                   \
  {WM_TIMER, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnTimer(static_cast<UINT_PTR>(w));             \
     return 0;                                                          \
   }},
#define ON_WM_PAINT()                                                 \
  {WM_PAINT, 0, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnPaint();                                    \
     return 0;                                                        \
   }},
#define ON_WM_SHOWWINDOW()                                                    \
  {WM_SHOWWINDOW, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
     VEK_MAP_TARGET(t)->OnShowWindow(static_cast<BOOL>(w), static_cast<UINT>(l)); \
     return 0;                                                                \
   }},

// WM_CTLCOLOR stands for all the WM_CTLCOLORxxx messages:
// HBRUSH handler(CDC*, CWnd*, UINT kind), the kind being CTLCOLOR_STATIC and so on.
constexpr UINT WM_CTLCOLOR = 0x0019;
#define ON_WM_CTLCOLOR()                                                                       \
  {WM_CTLCOLOR, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                   \
     auto* self = VEK_MAP_TARGET(t);                                                           \
     return reinterpret_cast<LRESULT>(self->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(w)), \
                                                       CWnd::FromHandle(reinterpret_cast<HWND>(l)), \
                                                       self->CurrentCtlColorKind()));           \
   }},
#define ON_WM_DRAWITEM()                                                                \
  {WM_DRAWITEM, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {            \
     VEK_MAP_TARGET(t)->OnDrawItem(static_cast<int>(w), reinterpret_cast<LPDRAWITEMSTRUCT>(l)); \
     return TRUE;                                                                       \
   }},
#define ON_WM_ERASEBKGND()                                                               \
  {WM_ERASEBKGND, 0, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {             \
     return VEK_MAP_TARGET(t)->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(w))); \
   }},
