// Window classes: the built-in behaviour of a kind of window (a control, a dialog,
// a plain frame). Each window gets its own behaviour object, which keeps the
// control's state; a CWnd attached to the window sees every message first and
// hands what it does not handle to the behaviour.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/win_types.h"

namespace vek::framework {

class WindowBehaviour {
 public:
  virtual ~WindowBehaviour() = default;
  // The class's handling of a message; the default is DefWindowProc.
  virtual LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

using BehaviourFactory = std::function<std::unique_ptr<WindowBehaviour>()>;

// Class names compare case-insensitively, as window classes do.
void RegisterWindowClass(const std::string& className, BehaviourFactory factory);
// Nullptr for an unknown class.
std::unique_ptr<WindowBehaviour> MakeBehaviour(const std::string& className);
// Takes a class out of the table: windows made of it keep their behaviour, new
// ones cannot be made. False when no such class was registered.
bool UnregisterWindowClass(const std::string& className);
bool IsWindowClassRegistered(const std::string& className);

// The class the framework's frame windows use when none is named.
inline constexpr const char* kFrameWindowClass = "VekFrameWindow";

}  // namespace vek::framework
