// What the built-in controls share: telling the parent, reading their own style.
#pragma once

#include <string>

#include <utility>

#include "framework/control_defs.h"
#include "framework/gdi.h"
#include "framework/message_api.h"
#include "framework/user_input.h"
#include "framework/window_api.h"
#include "framework/window_class.h"

namespace vek::framework {

class ControlBehaviour : public WindowBehaviour {
 protected:
  static DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }
  static int Id(HWND window) { return GetDlgCtrlID(window); }
  // WM_COMMAND with a notification code to the parent.
  static void NotifyCommand(HWND window, UINT code) {
    if (HWND parent = GetParent(window))
      SendMessageA(parent, WM_COMMAND, MAKELONG(static_cast<WORD>(Id(window)), static_cast<WORD>(code)),
                   reinterpret_cast<LPARAM>(window));
  }
  // WM_NOTIFY with the header filled in; returns the parent's answer.
  static LRESULT Notify(HWND window, NMHDR& header, UINT code) {
    header.hwndFrom = window;
    header.idFrom = static_cast<UINT_PTR>(Id(window));
    header.code = code;
    HWND parent = GetParent(window);
    return parent ? SendMessageA(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) : 0;
  }
  // Asks the parent for the control's colours, as a control does when it paints.
  static HBRUSH AskColours(HWND window, HDC dc, UINT message) {
    HWND parent = GetParent(window);
    return parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, message, reinterpret_cast<WPARAM>(dc),
                                                          reinterpret_cast<LPARAM>(window)))
                  : nullptr;
  }
  static std::string Text(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
  }
  // Copies a text into a caller's buffer of `size` characters with its terminator.
  static LRESULT CopyText(const std::string& text, char* buffer, std::size_t size);
  static LRESULT CopyText(const std::string& text, char16_t* buffer, std::size_t size);
};

void RegisterStandardControls();

}  // namespace vek::framework
