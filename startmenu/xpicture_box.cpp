#include "startmenu/xpicture_box.h"

#include <mutex>

namespace {

constexpr UINT kRightButtonDown = 0x0204;  // WM_RBUTTONDOWN
constexpr UINT kRightButtonUp = 0x0205;
constexpr UINT kMiddleButtonDown = 0x0207;
constexpr UINT kMiddleButtonUp = 0x0208;
constexpr WPARAM kMkLeft = 0x0001, kMkRight = 0x0002, kMkShift = 0x0004, kMkControl = 0x0008, kMkMiddle = 0x0010;

class PictureBoxBehaviour : public vek::framework::WindowBehaviour {
 public:
  ~PictureBoxBehaviour() override {
    if (m_picture) DeleteObject(m_picture);
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case STM_SETIMAGE:
      case BM_SETIMAGE:
        if (m_picture) DeleteObject(m_picture);
        m_picture = reinterpret_cast<HBITMAP>(lParam);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
      case STM_GETIMAGE:
        return reinterpret_cast<LRESULT>(m_picture);
      case WM_PAINT:
        Paint(window);
        return 0;
      case WM_LBUTTONDOWN:
        return Tell(window, XPBN_MOUSEDOWN, kLeftButton, wParam, lParam);
      case WM_LBUTTONUP:
        return Tell(window, XPBN_MOUSEUP, kLeftButton, wParam, lParam);
      case kRightButtonDown:
        return Tell(window, XPBN_MOUSEDOWN, kRightButton, wParam, lParam);
      case kRightButtonUp:
        return Tell(window, XPBN_MOUSEUP, kRightButton, wParam, lParam);
      case kMiddleButtonDown:
        return Tell(window, XPBN_MOUSEDOWN, kMiddleButton, wParam, lParam);
      case kMiddleButtonUp:
        return Tell(window, XPBN_MOUSEUP, kMiddleButton, wParam, lParam);
      case WM_MOUSEMOVE:
        return Tell(window, XPBN_MOUSEMOVE, HeldButtons(wParam), wParam, lParam);
      case WM_SETFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return Tell(window, XPBN_MOUSEMOVE, 0, 0, Middle(window));
      case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, TRUE);
        return Tell(window, XPBN_POINTERLEFT, 0, 0, 0);
      case WM_KEYDOWN:
        if (wParam == VK_SPACE || wParam == VK_RETURN) return Press(window);
        return 0;
      case vek::framework::VEK_UM_CLICK:
        return Press(window);
      default:
        return WindowBehaviour::Handle(window, message, wParam, lParam);
    }
  }

 private:
  static int HeldButtons(WPARAM keys) {
    return ((keys & kMkLeft) ? kLeftButton : 0) | ((keys & kMkRight) ? kRightButton : 0) |
           ((keys & kMkMiddle) ? kMiddleButton : 0);
  }

  static LPARAM Middle(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2)));
  }

  // A press and release of the left button in the middle, as a click by a person.
  LRESULT Press(HWND window) {
    LPARAM middle = Middle(window);
    Tell(window, XPBN_MOUSEDOWN, kLeftButton, kMkLeft, middle);
    if (IsWindow(window)) Tell(window, XPBN_MOUSEUP, kLeftButton, 0, middle);
    return 0;
  }

  static LRESULT Tell(HWND window, UINT code, int button, WPARAM keys, LPARAM at) {
    HWND form = GetParent(window);
    if (form == nullptr) return 0;
    NMPICTUREMOUSE notice{};
    notice.hdr.hwndFrom = window;
    notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window));
    notice.hdr.code = code;
    notice.button = button;
    notice.shift = ((keys & kMkShift) ? kShiftKey : 0) | ((keys & kMkControl) ? kCtrlKey : 0);
    notice.point = POINT{static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(at))),
                         static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(at)))};
    SendMessageA(form, WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    return 0;
  }

  void Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (m_picture) {
      BITMAP size{};
      GetObjectA(m_picture, sizeof size, &size);
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ previous = SelectObject(memory, m_picture);
      BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
      SelectObject(memory, previous);
      DeleteDC(memory);
    }
    if (GetFocus() == window) {
      // The focus marks, at both ends of the middle row.
      RECT client{};
      GetClientRect(window, &client);
      SIZE mark{};
      GetTextExtentPoint32A(dc, "]", 1, &mark);
      int y = (client.bottom - mark.cy) / 2;
      TextOutA(dc, 0, y, "[", 1);
      TextOutA(dc, client.right - mark.cx, y, "]", 1);
    }
    EndPaint(window, &paint);
  }

  HBITMAP m_picture = nullptr;
};

}  // namespace

void RegisterPictureBoxClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    vek::framework::RegisterWindowClass(kPictureBoxClass, [] { return std::make_unique<PictureBoxBehaviour>(); });
  });
}
