#include "framework/window_order.h"

#include "framework/styles.h"
#include "framework/window_api.h"

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!IsWindow(window)) return FALSE;
  if (!(flags & SWP_NOZORDER) && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST)) {
    auto exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    exStyle = insertAfter == HWND_TOPMOST ? exStyle | WS_EX_TOPMOST : exStyle & ~WS_EX_TOPMOST;
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  }
  if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) {
    RECT r{};
    GetWindowRect(window, &r);
    int left = (flags & SWP_NOMOVE) ? r.left : x;
    int top = (flags & SWP_NOMOVE) ? r.top : y;
    int width = (flags & SWP_NOSIZE) ? r.right - r.left : cx;
    int height = (flags & SWP_NOSIZE) ? r.bottom - r.top : cy;
    MoveWindow(window, left, top, width, height, !(flags & SWP_NOREDRAW));
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(window, SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
  return TRUE;
}
