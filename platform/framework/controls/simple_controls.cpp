#include "framework/controls/simple_controls.h"

#include <utility>
#include <algorithm>
#include <string>

namespace vek::framework {

LRESULT ProgressControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto clamp = [&](int v) { return std::clamp(v, std::min(m_low, m_high), std::max(m_low, m_high)); };
  switch (message) {
    case PBM_SETRANGE: {
      LRESULT old = MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high));
      m_low = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam)));
      m_high = static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam)));
      m_position = clamp(m_position);
      InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case PBM_SETRANGE32: {
      LRESULT old = MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high));
      m_low = static_cast<int>(wParam);
      m_high = static_cast<int>(lParam);
      m_position = clamp(m_position);
      InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case PBM_GETRANGE:
      return wParam ? m_low : m_high;
    case PBM_SETPOS: {
      int old = m_position;
      m_position = clamp(static_cast<int>(wParam));
      InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case PBM_DELTAPOS: {
      int old = m_position;
      m_position = clamp(m_position + static_cast<int>(wParam));
      InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case PBM_SETSTEP:
      return std::exchange(m_step, static_cast<int>(wParam));
    case PBM_STEPIT: {
      int old = m_position;
      m_position += m_step;
      if (m_position > m_high) m_position = m_low + (m_position - m_high);  // a full bar starts again
      m_position = clamp(m_position);
      InvalidateRect(window, nullptr, FALSE);
      return old;
    }
    case PBM_GETPOS:
      return m_position;
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

LRESULT AnimationControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case ACM_OPENA:
    case ACM_OPENW:
      m_clip = static_cast<UINT>(lParam);
      m_playing = m_clip != 0 && (Style(window) & ACS_AUTOPLAY);
      return m_clip != 0;
    case ACM_PLAY:
      m_playing = m_clip != 0;
      return m_playing;
    case ACM_STOP:
      m_playing = false;
      return TRUE;
    case ACM_ISPLAYING:
      return m_playing;
    case WM_USER + 200:  // the clip opened, for the front ends
      return static_cast<LRESULT>(m_clip);
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

void UpDownControl::ShowInBuddy() {
  if (m_buddy && (Style(m_self) & UDS_SETBUDDYINT)) SetWindowTextA(m_buddy, std::to_string(m_position).c_str());
}

LRESULT UpDownControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  m_self = window;
  switch (message) {
    case UDM_SETRANGE:
      m_high = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam)));
      m_low = static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam)));
      return 0;
    case UDM_SETRANGE32:
      m_low = static_cast<int>(wParam);
      m_high = static_cast<int>(lParam);
      return 0;
    case UDM_GETRANGE:
      return MAKELONG(static_cast<WORD>(m_high), static_cast<WORD>(m_low));
    case UDM_SETPOS: {
      int old = m_position;
      int low = std::min(m_low, m_high), high = std::max(m_low, m_high);
      m_position = std::clamp(static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam)))), low, high);
      ShowInBuddy();
      return old;
    }
    case UDM_GETPOS:
      return MAKELONG(static_cast<WORD>(m_position), 0);
    case UDM_SETBUDDY:
      m_buddy = reinterpret_cast<HWND>(wParam);
      ShowInBuddy();
      return 0;
    case UDM_GETBUDDY:
      return reinterpret_cast<LRESULT>(m_buddy);
    case VEK_UM_SPIN: {
      if (!IsWindowEnabled(window)) return 0;
      // The arrow that points up increases the position on a range that runs upwards.
      int delta = static_cast<int>(static_cast<std::intptr_t>(wParam)) > 0 ? 1 : -1;
      if (m_low > m_high) delta = -delta;
      NMUPDOWN change{};
      change.iPos = m_position;
      change.iDelta = delta;
      if (Notify(window, change.hdr, UDN_DELTAPOS) != 0) return 0;  // the parent refused
      int low = std::min(m_low, m_high), high = std::max(m_low, m_high);
      int next = m_position + change.iDelta;
      if (Style(window) & UDS_WRAP) {
        if (next > high) next = low;
        if (next < low) next = high;
      }
      m_position = std::clamp(next, low, high);
      ShowInBuddy();
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_UP) Handle(window, VEK_UM_SPIN, 1, 0);
      if (wParam == VK_DOWN) Handle(window, VEK_UM_SPIN, static_cast<WPARAM>(-1), 0);
      return 0;
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
