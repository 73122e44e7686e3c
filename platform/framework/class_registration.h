// Window classes a program registers itself: a name, a window procedure, a class
// style, a cursor and a background. A window of such a class runs its procedure
// for every message an attached CWnd leaves to it; a class registered with
// DefWindowProc is a plain window that a CWnd subclasses (a custom control in a
// dialog template). Built-in classes cannot be registered again or unregistered.
#pragma once

#include "framework/gdi.h"
#include "framework/win_types.h"

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_GLOBALCLASS = 0x4000;

constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;

template <typename Char>
struct WNDCLASST {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  const Char* lpszMenuName;
  const Char* lpszClassName;
};
using WNDCLASSA = WNDCLASST<char>;
using WNDCLASSW = WNDCLASST<char16_t>;

// A non-zero atom when registered; 0 with ERROR_CLASS_ALREADY_EXISTS for a name
// taken, ERROR_INVALID_PARAMETER for a class without a name or a procedure.
ATOM RegisterClassA(const WNDCLASSA* windowClass);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
// FALSE with ERROR_CLASS_DOES_NOT_EXIST for a name no program registered.
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
// What a program registered under the name (the name itself is not filled in).
BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* windowClass);

// A class of the framework's own with the given style, cursor, background and
// icon, registered once for each combination; its name, valid for the process.
LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                           HICON icon = nullptr);
