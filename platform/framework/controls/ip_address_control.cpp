#include "framework/controls/ip_address_control.h"

#include "framework/controls/ip_address_range.h"

#include <cstdio>
#include <string>

namespace vek::framework {

std::string IpAddressControl::Dotted() const {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (i) text += '.';
    if (m_fields[i] >= 0) text += std::to_string(m_fields[i]);
  }
  return text;
}

std::pair<int, int> IpAddressControl::CurrentField() const {
  auto length = [this](int field) {
    return m_fields[field] < 0 ? 0 : static_cast<int>(std::to_string(m_fields[field]).size());
  };
  int start = 0;
  for (int i = 0; i < m_current; ++i) start += length(i) + 1;  // and its dot
  return {start, start + length(m_current)};
}

void IpAddressControl::Changed(HWND window) {
  std::string text = Dotted();
  ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  NotifyCommand(window, EN_CHANGE);
}

void IpAddressControl::TypeByUser(HWND window, char16_t c) {
  if (c == u'.' || c == u' ') {
    if (m_current < 3 && m_digits > 0) {
      ++m_current;
      m_digits = 0;
    }
    return;
  }
  if (c == VK_BACK) {
    if (m_fields[m_current] < 0 && m_current > 0) --m_current;
    int& field = m_fields[m_current];
    field = field >= 10 ? field / 10 : -1;
    m_digits = field < 0 ? 0 : static_cast<int>(std::to_string(field).size());
    Changed(window);
    return;
  }
  if (c < u'0' || c > u'9') return;
  int& field = m_fields[m_current];
  if (m_digits == 0) field = 0;
  field = field * 10 + (c - u'0');
  // The control holds a field at its largest value, and says so.
  const int typed = field;
  if (field > 255) field = 255;
  if (++m_digits == 3 && m_current < 3) {
    ++m_current;
    m_digits = 0;
  }
  Changed(window);
  if (typed > 255) TellIpFieldRange(window, typed);
}

LRESULT IpAddressControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      m_fields = {-1, -1, -1, -1};
      const char* text = reinterpret_cast<const char*>(lParam);
      int field = 0;
      for (const char* p = text ? text : ""; *p && field < 4; ++p) {
        if (*p == '.') {
          ++field;
          continue;
        }
        if (*p < '0' || *p > '9') continue;
        int& value = m_fields[field];
        value = std::min((value < 0 ? 0 : value) * 10 + (*p - '0'), 255);
      }
      m_current = 0;
      m_digits = 0;
      std::string dotted = Dotted();
      ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dotted.c_str()));
      return TRUE;
    }
    case IPM_SETADDRESS: {
      auto address = static_cast<DWORD>(lParam);
      m_fields = {FIRST_IPADDRESS(address), SECOND_IPADDRESS(address), THIRD_IPADDRESS(address),
                  FOURTH_IPADDRESS(address)};
      std::string dotted = Dotted();
      ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dotted.c_str()));
      return TRUE;
    }
    case IPM_GETADDRESS: {
      DWORD address = 0;
      int filled = 0;
      for (int i = 0; i < 4; ++i) {
        address = (address << 8) | static_cast<DWORD>(m_fields[i] < 0 ? 0 : m_fields[i]);
        filled += m_fields[i] >= 0 ? 1 : 0;
      }
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = address;
      return filled;
    }
    case IPM_CLEARADDRESS:
      m_fields = {-1, -1, -1, -1};
      ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("..."));
      return 0;
    case IPM_ISBLANK:
      return m_fields[0] < 0 && m_fields[1] < 0 && m_fields[2] < 0 && m_fields[3] < 0;
    case WM_SETFOCUS:
      // Coming into the control, typing starts again at the first field.
      m_current = 0;
      m_digits = 0;
      return ControlBehaviour::Handle(window, message, wParam, lParam);
    case IPM_SETFOCUS:
      SetFocus(window);
      m_current = static_cast<int>(std::min<WPARAM>(wParam, 3));
      m_digits = 0;
      return 0;
    case WM_CHAR:
      if (IsWindowEnabled(window)) TypeByUser(window, static_cast<char16_t>(wParam));
      return 0;
    case EM_GETSEL: {
      auto [start, end] = CurrentField();
      if (m_digits > 0) start = end;
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
      return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case VEK_UM_PASTE:
      if (lParam)
        for (const char* p = reinterpret_cast<const char*>(lParam); *p; ++p) TypeByUser(window, static_cast<char16_t>(*p));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_LEFT && m_current > 0) --m_current, m_digits = 0;
      if (wParam == VK_RIGHT && m_current < 3) ++m_current, m_digits = 0;
      return 0;
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
