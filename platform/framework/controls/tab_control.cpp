#include "framework/controls/tab_control.h"

#include <type_traits>

#include "kernel/strings.h"

namespace vek::framework {

RECT TabControl::TabRect(std::size_t index) const {
  int left = static_cast<int>(index) * m_tabWidth;
  return RECT{left, 0, left + m_tabWidth, m_tabHeight};
}

template <typename Char>
LRESULT TabControl::Insert(WPARAM index, const TCITEMT<Char>* item) {
  if (item == nullptr) return -1;
  Tab tab;
  if ((item->mask & TCIF_TEXT) && item->pszText) {
    if constexpr (std::is_same_v<Char, char>) tab.text = item->pszText;
    else tab.text = ToNarrow(item->pszText);
  }
  if (item->mask & TCIF_PARAM) tab.data = item->lParam;
  if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
  std::size_t at = std::min(static_cast<std::size_t>(index), m_tabs.size());
  m_tabs.insert(m_tabs.begin() + static_cast<std::ptrdiff_t>(at), std::move(tab));
  if (m_selection < 0) m_selection = 0;
  else if (m_selection >= static_cast<int>(at) && m_tabs.size() > 1) ++m_selection;
  return static_cast<LRESULT>(at);
}

template <typename Char>
LRESULT TabControl::Get(WPARAM index, TCITEMT<Char>* item) const {
  if (item == nullptr || !Valid(index)) return FALSE;
  const Tab& tab = m_tabs[index];
  if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0)
    CopyText(tab.text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
  if (item->mask & TCIF_PARAM) item->lParam = tab.data;
  if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
  return TRUE;
}

LRESULT TabControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TCM_INSERTITEMA: return Insert(wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_INSERTITEMW: return Insert(wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_GETITEMA: return Get(wParam, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_GETITEMW: return Get(wParam, reinterpret_cast<TCITEMW*>(lParam));
    case TCM_SETITEMA:
    case TCM_SETITEMW: {
      if (!Valid(wParam) || lParam == 0) return FALSE;
      Tab& tab = m_tabs[wParam];
      if (message == TCM_SETITEMA) {
        const auto* item = reinterpret_cast<const TCITEMA*>(lParam);
        if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = item->pszText;
        if (item->mask & TCIF_PARAM) tab.data = item->lParam;
      } else {
        const auto* item = reinterpret_cast<const TCITEMW*>(lParam);
        if ((item->mask & TCIF_TEXT) && item->pszText) tab.text = ToNarrow(item->pszText);
        if (item->mask & TCIF_PARAM) tab.data = item->lParam;
      }
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (!Valid(wParam)) return FALSE;
      m_tabs.erase(m_tabs.begin() + static_cast<std::ptrdiff_t>(wParam));
      if (m_selection >= static_cast<int>(m_tabs.size())) m_selection = static_cast<int>(m_tabs.size()) - 1;
      return TRUE;
    case TCM_DELETEALLITEMS:
      m_tabs.clear();
      m_selection = -1;
      return TRUE;
    case TCM_GETITEMCOUNT:
      return static_cast<LRESULT>(m_tabs.size());
    case TCM_GETCURSEL:
      return m_selection;
    case TCM_SETCURSEL: {
      int old = m_selection;
      if (!Valid(wParam)) return -1;
      m_selection = static_cast<int>(wParam);
      InvalidateRect(window, nullptr, TRUE);
      return old;
    }
    case TCM_GETITEMRECT:
      if (!Valid(wParam) || lParam == 0) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(wParam);
      return TRUE;
    case TCM_SETITEMSIZE: {
      LRESULT old = MAKELONG(static_cast<WORD>(m_tabWidth), static_cast<WORD>(m_tabHeight));
      m_tabWidth = LOWORD(static_cast<std::uintptr_t>(lParam));
      m_tabHeight = HIWORD(static_cast<std::uintptr_t>(lParam));
      return old;
    }
    case TCM_SETPADDING:
      return 0;
    case TCM_SETIMAGELIST: {
      HIMAGELIST previous = m_imageList;
      m_imageList = reinterpret_cast<HIMAGELIST>(lParam);
      InvalidateRect(window, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(previous);
    }
    case TCM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(m_imageList);
    case VEK_UM_SELECT: {
      if (!IsWindowEnabled(window) || !Valid(wParam) || static_cast<int>(wParam) == m_selection) return 0;
      NMHDR header{};
      if (Notify(window, header, TCN_SELCHANGING) != 0) return 0;
      m_selection = static_cast<int>(wParam);
      InvalidateRect(window, nullptr, TRUE);
      Notify(window, header, TCN_SELCHANGE);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RIGHT && m_selection + 1 < static_cast<int>(m_tabs.size()))
        Handle(window, VEK_UM_SELECT, static_cast<WPARAM>(m_selection + 1), 0);
      if (wParam == VK_LEFT && m_selection > 0) Handle(window, VEK_UM_SELECT, static_cast<WPARAM>(m_selection - 1), 0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (Style(window) & TCS_OWNERDRAWFIXED) {
        for (std::size_t i = 0; i < m_tabs.size(); ++i) {
          DRAWITEMSTRUCT item{};
          item.CtlType = ODT_TAB;
          item.CtlID = static_cast<UINT>(Id(window));
          item.itemID = static_cast<UINT>(i);
          item.itemAction = ODA_DRAWENTIRE;
          item.itemState = static_cast<int>(i) == m_selection ? ODS_SELECTED : 0;
          item.hwndItem = window;
          item.hDC = dc;
          item.rcItem = TabRect(i);
          item.itemData = static_cast<ULONG_PTR>(m_tabs[i].data);
          if (HWND parent = GetParent(window))
            SendMessageA(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        }
      }
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return ControlBehaviour::Handle(window, message, wParam, lParam);
  }
}

}  // namespace vek::framework
