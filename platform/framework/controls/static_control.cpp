// Static: text, a bitmap, or a frame. When it paints it asks its parent for its
// brush (WM_CTLCOLORSTATIC), so a parent can give it a hollow background.
#include <utility>

#include "framework/controls/static_control.h"

namespace vek::framework {

LRESULT StaticControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case STM_SETIMAGE:
      return reinterpret_cast<LRESULT>(std::exchange(m_image, reinterpret_cast<HBITMAP>(lParam)));
    case STM_GETIMAGE:
      return reinterpret_cast<LRESULT>(m_image);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      m_background = AskColours(window, dc, WM_CTLCOLORSTATIC);
      RECT client;
      GetClientRect(window, &client);
      DWORD kind = Style(window) & SS_TYPEMASK;
      if (kind == SS_BITMAP && m_image) {
        HDC memory = CreateCompatibleDC(dc);
        SelectObject(memory, m_image);
        BITMAP info{};
        GetObjectA(m_image, sizeof info, &info);
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        DeleteDC(memory);
      } else if (kind == SS_BLACKFRAME || kind == SS_GRAYFRAME || kind == SS_WHITEFRAME || kind == SS_ETCHEDFRAME) {
        FrameRect(dc, &client, GetStockObject(kind == SS_WHITEFRAME ? WHITE_BRUSH : BLACK_BRUSH));
      } else if (kind != SS_BITMAP) {
        if (m_background) FillRect(dc, &client, m_background);
        std::string text = Text(window);
        DrawTextA(dc, text.c_str(), -1, &client, kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case VEK_UM_CLICK:
      if (Style(window) & SS_NOTIFY) NotifyCommand(window, 0);  // STN_CLICKED
      return 0;
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
