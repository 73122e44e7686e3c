#include "framework/controls/combo_box_control.h"

#include <algorithm>

#include "kernel/strings.h"

namespace vek::framework {

// The window text of a drop-down list is its selected item.
void ComboBoxControl::SyncText(HWND window) {
  std::string text = m_selection >= 0 ? m_items[static_cast<std::size_t>(m_selection)].text : "";
  ControlBehaviour::Handle(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT ComboBoxControl::Insert(HWND window, int index, std::string text) {
  std::size_t at;
  if (index < 0 && (Style(window) & CBS_SORT)) {
    at = 0;
    while (at < m_items.size() && CompareNoCase(m_items[at].text, text) <= 0) ++at;
  } else {
    at = index < 0 ? m_items.size() : static_cast<std::size_t>(index);
    if (at > m_items.size()) return CB_ERR;
  }
  m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), Item{std::move(text)});
  if (m_selection >= static_cast<int>(at)) ++m_selection;
  return static_cast<LRESULT>(at);
}

LRESULT ComboBoxControl::Find(WPARAM start, const std::string& text, bool exact) const {
  std::size_t n = m_items.size();
  std::size_t first = static_cast<std::intptr_t>(start) < 0 || start >= n ? 0 : start + 1;
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t i = (first + k) % n;
    const std::string& item = m_items[i].text;
    bool match = exact ? CompareNoCase(item, text) == 0
                       : item.size() >= text.size() && CompareNoCase(item.substr(0, text.size()), text) == 0;
    if (match) return static_cast<LRESULT>(i);
  }
  return CB_ERR;
}

LRESULT ComboBoxControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto text = [&] { return lParam ? std::string(reinterpret_cast<const char*>(lParam)) : std::string(); };
  switch (message) {
    case CB_ADDSTRING:
      return Insert(window, -1, text());
    case CB_INSERTSTRING:
      return Insert(window, static_cast<int>(static_cast<std::intptr_t>(wParam)), text());
    case CB_DELETESTRING:
      if (!Valid(wParam)) return CB_ERR;
      m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (m_selection == static_cast<int>(wParam)) {
        m_selection = -1;
        SyncText(window);
      } else if (m_selection > static_cast<int>(wParam)) {
        --m_selection;
      }
      return static_cast<LRESULT>(m_items.size());
    case CB_RESETCONTENT:
      m_items.clear();
      m_selection = -1;
      SyncText(window);
      return 0;
    case CB_GETCOUNT:
      return static_cast<LRESULT>(m_items.size());
    case CB_GETCURSEL:
      return m_selection;
    case CB_SETCURSEL:
      m_selection = Valid(wParam) ? static_cast<int>(wParam) : -1;
      SyncText(window);
      return Valid(wParam) ? static_cast<LRESULT>(wParam) : CB_ERR;
    case CB_GETLBTEXT:
      return Valid(wParam) ? CopyText(m_items[wParam].text, reinterpret_cast<char*>(lParam), 0x7FFFFFFF) : CB_ERR;
    case CB_GETLBTEXTLEN:
      return Valid(wParam) ? static_cast<LRESULT>(m_items[wParam].text.size()) : CB_ERR;
    case CB_SETITEMDATA:
      if (!Valid(wParam)) return CB_ERR;
      m_items[wParam].data = lParam;
      return TRUE;
    case CB_GETITEMDATA:
      return Valid(wParam) ? m_items[wParam].data : CB_ERR;
    case CB_FINDSTRING:
      return Find(wParam, text(), false);
    case CB_FINDSTRINGEXACT:
      return Find(wParam, text(), true);
    case CB_SELECTSTRING: {
      LRESULT found = Find(wParam, text(), false);
      if (found != CB_ERR) {
        m_selection = static_cast<int>(found);
        SyncText(window);
      }
      return found;
    }
    case CB_SHOWDROPDOWN:
    case CB_LIMITTEXT:
      return TRUE;
    case VEK_UM_SELECT:
      if (!IsWindowEnabled(window) || !Valid(wParam)) return 0;
      m_selection = static_cast<int>(wParam);
      SyncText(window);
      NotifyCommand(window, CBN_SELCHANGE);
      return 0;
    case WM_KEYDOWN: {
      int next = m_selection;
      if (wParam == VK_DOWN) next = std::min(m_selection + 1, static_cast<int>(m_items.size()) - 1);
      if (wParam == VK_UP) next = std::max(m_selection - 1, 0);
      if (next != m_selection && next >= 0) Handle(window, VEK_UM_SELECT, static_cast<WPARAM>(next), 0);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      AskColours(window, dc, WM_CTLCOLOREDIT);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
