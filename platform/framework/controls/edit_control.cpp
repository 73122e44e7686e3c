#include "framework/controls/edit_control.h"

#include <algorithm>

#include "kernel/strings.h"

namespace vek::framework {

std::u16string EditControl::Wide(HWND window) const { return ToWide(Text(window)); }

void EditControl::Replace(HWND window, std::u16string text, std::size_t caret) {
  std::string narrow = ToNarrow(text);
  ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(narrow.c_str()));
  m_selStart = m_selEnd = std::min(caret, text.size());
  m_modified = true;
  NotifyCommand(window, EN_UPDATE);
  NotifyCommand(window, EN_CHANGE);
}

void EditControl::InsertByUser(HWND window, std::u16string typed) {
  DWORD style = Style(window);
  if (style & ES_READONLY) return;
  std::u16string filtered;
  for (char16_t c : typed) {
    if (c < 0x20) continue;
    if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) continue;
    if ((style & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if ((style & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    filtered.push_back(c);
  }
  std::u16string text = Wide(window);
  std::size_t start = std::min(m_selStart, text.size()), end = std::min(m_selEnd, text.size());
  if (start > end) std::swap(start, end);
  std::size_t room = m_limit - std::min(m_limit, text.size() - (end - start));
  if (filtered.size() > room) filtered.resize(room);  // the limit bounds what the user types
  if (filtered.empty() && start == end) return;
  text.replace(start, end - start, filtered);
  Replace(window, std::move(text), start + filtered.size());
}

LRESULT EditControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (Style(window) & ES_PASSWORD) m_passwordChar = u'*';
      return 0;
    case WM_SETTEXT: {
      LRESULT result = ControlBehaviour::Handle(window, message, wParam, lParam);
      m_selStart = m_selEnd = 0;
      m_modified = false;
      NotifyCommand(window, EN_UPDATE);
      NotifyCommand(window, EN_CHANGE);
      return result;
    }
    case EM_LIMITTEXT:
      m_limit = wParam == 0 ? 0x7FFFFFFE : static_cast<std::size_t>(wParam);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(m_limit);
    case EM_SETSEL: {
      std::size_t length = Wide(window).size();
      auto position = [&](WPARAM v) {
        auto s = static_cast<std::intptr_t>(v);
        return s < 0 ? length : std::min(static_cast<std::size_t>(s), length);
      };
      if (static_cast<std::intptr_t>(wParam) == -1) {
        m_selStart = m_selEnd = std::min(m_selEnd, length);  // -1 removes the selection
      } else {
        m_selStart = position(wParam);
        m_selEnd = position(static_cast<WPARAM>(lParam));
      }
      return 0;
    }
    case EM_GETSEL: {
      std::size_t start = std::min(m_selStart, m_selEnd), end = std::max(m_selStart, m_selEnd);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
      return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
    }
    case EM_REPLACESEL: {
      std::u16string text = Wide(window);
      std::u16string inserted = lParam ? ToWide(reinterpret_cast<const char*>(lParam)) : u"";
      std::size_t start = std::min({m_selStart, m_selEnd, text.size()});
      std::size_t end = std::min(std::max(m_selStart, m_selEnd), text.size());
      text.replace(start, end - start, inserted);
      Replace(window, std::move(text), start + inserted.size());
      return 0;
    }
    case EM_SETREADONLY: {
      DWORD style = Style(window);
      SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
      return TRUE;
    }
    case EM_SETPASSWORDCHAR:
      m_passwordChar = static_cast<char16_t>(wParam);
      m_passwordSet = true;
      return 0;
    case EM_GETPASSWORDCHAR:
      return m_passwordChar;
    case EM_GETMODIFY:
      return m_modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      m_modified = wParam != 0;
      return 0;
    case EM_SCROLLCARET:
      return TRUE;
    case EM_CHARFROMPOS: {
      // Characters are laid out 6 pixels apart from a 2-pixel margin.
      int x = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam)));
      std::size_t length = Wide(window).size();
      std::size_t index = x <= 2 ? 0 : std::min(static_cast<std::size_t>((x - 2 + 3) / 6), length);
      return static_cast<LRESULT>(index);
    }
    case WM_CHAR:
      if (wParam == VK_BACK) {
        if (Style(window) & ES_READONLY) return 0;
        std::u16string text = Wide(window);
        std::size_t start = std::min({m_selStart, m_selEnd, text.size()});
        std::size_t end = std::min(std::max(m_selStart, m_selEnd), text.size());
        if (start == end && start == 0) return 0;
        if (start == end) --start;
        text.erase(start, end - start);
        Replace(window, std::move(text), start);
        return 0;
      }
      InsertByUser(window, std::u16string(1, static_cast<char16_t>(wParam)));
      return 0;
    case VEK_UM_PASTE:
      if (lParam) InsertByUser(window, ToWide(reinterpret_cast<const char*>(lParam)));
      return 0;
    case VEK_UM_CARET:
      m_selStart = m_selEnd = std::min(static_cast<std::size_t>(wParam), Wide(window).size());
      return 0;
    case WM_KEYDOWN: {
      std::u16string text = Wide(window);
      std::size_t caret = std::min(m_selEnd, text.size());
      switch (wParam) {
        case VK_LEFT: caret = caret ? caret - 1 : 0; break;
        case VK_RIGHT: caret = std::min(caret + 1, text.size()); break;
        case VK_HOME: caret = 0; break;
        case VK_END: caret = text.size(); break;
        case VK_DELETE: {
          if (Style(window) & ES_READONLY) return 0;
          std::size_t start = std::min({m_selStart, m_selEnd, text.size()});
          std::size_t end = std::min(std::max(m_selStart, m_selEnd), text.size());
          if (start == end && end < text.size()) ++end;
          if (start == end) return 0;
          text.erase(start, end - start);
          Replace(window, std::move(text), start);
          return 0;
        }
        default: return 0;
      }
      m_selStart = m_selEnd = caret;
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      AskColours(window, dc, (Style(window) & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
