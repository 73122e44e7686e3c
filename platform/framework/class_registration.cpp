#include "framework/class_registration.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "framework/message_api.h"
#include "framework/window_api.h"
#include "framework/window_class.h"
#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"

namespace vek::framework {
namespace {

struct Registered {
  UINT style = 0;
  WNDPROC procedure = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  HICON icon = nullptr;
  ATOM atom = 0;
};

struct NoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase(a, b) < 0; }
};

struct Registrations {
  std::mutex lock;
  std::map<std::string, Registered, NoCaseLess> classes;
  std::set<std::string> frameworkNames;  // AfxRegisterWndClass's, kept for their pointers
  ATOM nextAtom = 0xC000;
};

Registrations& TheRegistrations() {
  static Registrations* registrations = new Registrations;
  return *registrations;
}

// A background given as a system colour index plus one, as class backgrounds are.
HBRUSH BackgroundBrush(HBRUSH background) {
  auto value = reinterpret_cast<std::uintptr_t>(background);
  if (value > 0 && value <= 31) return GetSysColorBrush(static_cast<int>(value) - 1);
  return background;
}

// A window of a registered class: its procedure handles what the CWnd leaves.
class ProcedureBehaviour : public WindowBehaviour {
 public:
  ProcedureBehaviour(WNDPROC procedure, HBRUSH background) : m_procedure(procedure), m_background(background) {}
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_ERASEBKGND && m_background && (m_procedure == DefWindowProcW || m_procedure == DefWindowProcA)) {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush(m_background));
      return 1;
    }
    return m_procedure(window, message, wParam, lParam);
  }

 private:
  WNDPROC m_procedure;
  HBRUSH m_background;
};

ATOM Register(const std::string& name, UINT style, WNDPROC procedure, HCURSOR cursor, HBRUSH background, HICON icon) {
  if (name.empty() || procedure == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Registrations& r = TheRegistrations();
  std::lock_guard guard(r.lock);
  if (r.classes.count(name) || IsWindowClassRegistered(name)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  Registered entry{style, procedure, cursor, background, icon, r.nextAtom++};
  r.classes[name] = entry;
  RegisterWindowClass(name, [procedure, background] { return std::make_unique<ProcedureBehaviour>(procedure, background); });
  return entry.atom;
}

BOOL Unregister(const std::string& name) {
  Registrations& r = TheRegistrations();
  std::lock_guard guard(r.lock);
  auto it = r.classes.find(name);
  if (it == r.classes.end()) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  r.classes.erase(it);
  UnregisterWindowClass(name);
  return TRUE;
}

bool Lookup(const std::string& name, Registered* out) {
  Registrations& r = TheRegistrations();
  std::lock_guard guard(r.lock);
  auto it = r.classes.find(name);
  if (it == r.classes.end()) return false;
  *out = it->second;
  return true;
}

template <typename Char>
BOOL Describe(const std::string& name, WNDCLASST<Char>* windowClass) {
  Registered entry;
  if (windowClass == nullptr || !Lookup(name, &entry)) {
    SetLastError(windowClass ? ERROR_CLASS_DOES_NOT_EXIST : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *windowClass = WNDCLASST<Char>{};
  windowClass->style = entry.style;
  windowClass->lpfnWndProc = entry.procedure;
  windowClass->hCursor = entry.cursor;
  windowClass->hbrBackground = entry.background;
  windowClass->hIcon = entry.icon;
  return TRUE;
}

std::string Name(LPCWSTR name) { return name ? ToNarrow(name) : std::string(); }
std::string Name(LPCSTR name) { return name ? std::string(name) : std::string(); }

}  // namespace
}  // namespace vek::framework

using namespace vek::framework;

ATOM RegisterClassA(const WNDCLASSA* c) {
  if (c == nullptr) return Register({}, 0, nullptr, nullptr, nullptr, nullptr);
  return Register(Name(c->lpszClassName), c->style, c->lpfnWndProc, c->hCursor, c->hbrBackground, c->hIcon);
}

ATOM RegisterClassW(const WNDCLASSW* c) {
  if (c == nullptr) return Register({}, 0, nullptr, nullptr, nullptr, nullptr);
  return Register(Name(c->lpszClassName), c->style, c->lpfnWndProc, c->hCursor, c->hbrBackground, c->hIcon);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) { return Unregister(Name(className)); }
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) { return Unregister(Name(className)); }

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* windowClass) {
  return Describe(Name(className), windowClass);
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* windowClass) {
  return Describe(Name(className), windowClass);
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  char name[96];
  std::snprintf(name, sizeof name, "Afx:%x:%lx:%lx:%lx", classStyle,
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(cursor)),
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(background)),
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(icon)));
  Registered existing;
  if (!Lookup(name, &existing)) Register(name, classStyle, DefWindowProcW, cursor, background, icon);
  Registrations& r = TheRegistrations();
  std::lock_guard guard(r.lock);
  return r.frameworkNames.insert(name).first->c_str();
}
