#include "framework/controls/list_view_control.h"

#include <type_traits>

#include "framework/controls.h"
#include "kernel/strings.h"

namespace vek::framework {
namespace {

template <typename Char>
std::string ToUtf8(const Char* text) {
  if (text == nullptr) return {};
  if constexpr (std::is_same_v<Char, char>) return text;
  else return ToNarrow(text);
}

}  // namespace

template <typename Char>
LRESULT ListViewControl::InsertItem(HWND window, const LVITEMT<Char>* item) {
  if (item == nullptr) return -1;
  std::size_t at = item->iItem < 0 ? m_rows.size() : std::min(static_cast<std::size_t>(item->iItem), m_rows.size());
  Row row;
  row.texts.resize(std::max<std::size_t>(1, m_columns.size()));
  if (item->mask & LVIF_TEXT) row.texts[0] = ToUtf8(item->pszText);
  if (item->mask & LVIF_PARAM) row.data = item->lParam;
  if (item->mask & LVIF_IMAGE) row.image = item->iImage;
  m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
  if ((item->mask & LVIF_STATE) && item->stateMask) ChangeState(window, at, item->state, item->stateMask);
  InvalidateRect(window, nullptr, TRUE);
  return static_cast<LRESULT>(at);
}

template <typename Char>
LRESULT ListViewControl::SetItem(HWND window, const LVITEMT<Char>* item) {
  if (item == nullptr || !Valid(static_cast<WPARAM>(item->iItem)) || item->iSubItem < 0) return FALSE;
  Row& row = m_rows[static_cast<std::size_t>(item->iItem)];
  if (item->mask & LVIF_TEXT) {
    auto sub = static_cast<std::size_t>(item->iSubItem);
    if (row.texts.size() <= sub) row.texts.resize(sub + 1);
    row.texts[sub] = ToUtf8(item->pszText);
  }
  if (item->iSubItem == 0) {
    if (item->mask & LVIF_PARAM) row.data = item->lParam;
    if (item->mask & LVIF_IMAGE) row.image = item->iImage;
    if (item->mask & LVIF_STATE) ChangeState(window, static_cast<std::size_t>(item->iItem), item->state, item->stateMask);
  }
  InvalidateRect(window, nullptr, TRUE);
  return TRUE;
}

template <typename Char>
LRESULT ListViewControl::GetItem(const LVITEMT<Char>* item) const {
  auto* out = const_cast<LVITEMT<Char>*>(item);
  if (out == nullptr || !Valid(static_cast<WPARAM>(out->iItem))) return FALSE;
  const Row& row = m_rows[static_cast<std::size_t>(out->iItem)];
  if (out->mask & LVIF_TEXT) GetItemText(static_cast<WPARAM>(out->iItem), out);
  if (out->mask & LVIF_PARAM) out->lParam = row.data;
  if (out->mask & LVIF_IMAGE) out->iImage = row.image;
  if (out->mask & LVIF_STATE) out->state = row.state & out->stateMask;
  return TRUE;
}

template <typename Char>
LRESULT ListViewControl::GetItemText(WPARAM index, const LVITEMT<Char>* item) const {
  if (item == nullptr || !Valid(index) || item->pszText == nullptr || item->cchTextMax <= 0) return 0;
  const Row& row = m_rows[index];
  auto sub = static_cast<std::size_t>(item->iSubItem);
  std::string text = sub < row.texts.size() ? row.texts[sub] : std::string();
  return CopyText(text, item->pszText, static_cast<std::size_t>(item->cchTextMax));
}

template <typename Char>
LRESULT ListViewControl::InsertColumn(WPARAM index, const LVCOLUMNT<Char>* column) {
  if (column == nullptr) return -1;
  std::size_t at = std::min(static_cast<std::size_t>(index), m_columns.size());
  Column c;
  if (column->mask & LVCF_TEXT) c.text = ToUtf8(column->pszText);
  if (column->mask & LVCF_WIDTH) c.width = column->cx;
  if (column->mask & LVCF_FMT) c.format = column->fmt;
  m_columns.insert(m_columns.begin() + static_cast<std::ptrdiff_t>(at), std::move(c));
  for (Row& row : m_rows)
    if (row.texts.size() < m_columns.size()) row.texts.resize(m_columns.size());
  return static_cast<LRESULT>(at);
}

RECT ListViewControl::ItemRect(std::size_t index, int code) const {
  int top = kHeaderHeight + static_cast<int>(index) * kRowHeight;
  int width = 0;
  for (const Column& column : m_columns) width += column.width;
  int iconWidth = 0;
  if (m_imageLists[LVSIL_SMALL]) {
    IMAGEINFO info{};
    iconWidth = CImageList::FromHandle(m_imageLists[LVSIL_SMALL])->GetImageInfo(0, &info)
                    ? static_cast<int>(info.rcImage.right - info.rcImage.left)
                    : 16;
  }
  int firstColumn = m_columns.empty() ? width : m_columns.front().width;
  switch (code) {
    case LVIR_ICON: return RECT{0, top, iconWidth, top + kRowHeight};
    case LVIR_LABEL: return RECT{iconWidth, top, std::max(iconWidth, firstColumn), top + kRowHeight};
    case LVIR_SELECTBOUNDS: return RECT{iconWidth, top, width, top + kRowHeight};
    default: return RECT{0, top, width, top + kRowHeight};
  }
}

void ListViewControl::ChangeState(HWND window, std::size_t index, UINT state, UINT mask) {
  if (index >= m_rows.size()) return;
  // One selected item at most in a single-selection list.
  if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && (Style(window) & LVS_SINGLESEL)) {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
      if (i != index && (m_rows[i].state & LVIS_SELECTED)) ChangeState(window, i, 0, LVIS_SELECTED);
  }
  if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED)) {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
      if (i != index && (m_rows[i].state & LVIS_FOCUSED)) ChangeState(window, i, 0, LVIS_FOCUSED);
  }
  Row& row = m_rows[index];
  UINT old = row.state;
  row.state = (row.state & ~mask) | (state & mask);
  if (row.state == old) return;
  NMLISTVIEW change{};
  change.iItem = static_cast<int>(index);
  change.uNewState = row.state;
  change.uOldState = old;
  change.uChanged = LVIF_STATE;
  change.lParam = row.data;
  Notify(window, change.hdr, LVN_ITEMCHANGED);
  InvalidateRect(window, nullptr, TRUE);
}

void ListViewControl::SelectByUser(HWND window, std::size_t index) {
  if (!IsWindowEnabled(window) || index >= m_rows.size()) return;
  if (!(Style(window) & LVS_SINGLESEL)) {
    for (std::size_t i = 0; i < m_rows.size(); ++i)
      if (i != index && (m_rows[i].state & LVIS_SELECTED)) ChangeState(window, i, 0, LVIS_SELECTED);
  }
  ChangeState(window, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  NMHDR click{};
  Notify(window, click, NM_CLICK);
}

LRESULT ListViewControl::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case LVM_INSERTITEMA: return InsertItem(window, reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_INSERTITEMW: return InsertItem(window, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_SETITEMA: return SetItem(window, reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_SETITEMW: return SetItem(window, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_GETITEMA: return GetItem(reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_GETITEMW: return GetItem(reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_SETITEMTEXTA:
    case LVM_SETITEMTEXTW: {
      if (!Valid(wParam) || lParam == 0) return FALSE;
      if (message == LVM_SETITEMTEXTA) {
        LVITEMA item = *reinterpret_cast<const LVITEMA*>(lParam);
        item.iItem = static_cast<int>(wParam);
        item.mask = LVIF_TEXT;
        return SetItem(window, &item);
      }
      LVITEMW item = *reinterpret_cast<const LVITEMW*>(lParam);
      item.iItem = static_cast<int>(wParam);
      item.mask = LVIF_TEXT;
      return SetItem(window, &item);
    }
    case LVM_GETITEMTEXTA: return GetItemText(wParam, reinterpret_cast<const LVITEMA*>(lParam));
    case LVM_GETITEMTEXTW: return GetItemText(wParam, reinterpret_cast<const LVITEMW*>(lParam));
    case LVM_DELETEITEM:
      if (!Valid(wParam)) return FALSE;
      m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(wParam));
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case LVM_DELETEALLITEMS:
      m_rows.clear();
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case LVM_GETITEMCOUNT:
      return static_cast<LRESULT>(m_rows.size());
    case LVM_GETNEXTITEM: {
      auto start = static_cast<std::intptr_t>(wParam);
      UINT flags = static_cast<UINT>(lParam);
      for (std::size_t i = start < 0 ? 0 : static_cast<std::size_t>(start) + 1; i < m_rows.size(); ++i) {
        UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED);
        if ((m_rows[i].state & want) == want) return static_cast<LRESULT>(i);
      }
      return -1;
    }
    case LVM_SETITEMSTATE: {
      const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
      if (item == nullptr) return FALSE;
      if (static_cast<std::intptr_t>(wParam) == -1) {
        for (std::size_t i = 0; i < m_rows.size(); ++i) ChangeState(window, i, item->state, item->stateMask);
        return TRUE;
      }
      if (!Valid(wParam)) return FALSE;
      ChangeState(window, wParam, item->state, item->stateMask);
      return TRUE;
    }
    case LVM_GETITEMSTATE:
      return Valid(wParam) ? static_cast<LRESULT>(m_rows[wParam].state & static_cast<UINT>(lParam)) : 0;
    case LVM_GETSELECTEDCOUNT: {
      LRESULT count = 0;
      for (const Row& row : m_rows) count += (row.state & LVIS_SELECTED) ? 1 : 0;
      return count;
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD old = m_extendedStyle;
      DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
      m_extendedStyle = (m_extendedStyle & ~mask) | (static_cast<DWORD>(lParam) & mask);
      return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
      return m_extendedStyle;
    case LVM_INSERTCOLUMNA: return InsertColumn(wParam, reinterpret_cast<const LVCOLUMNA*>(lParam));
    case LVM_INSERTCOLUMNW: return InsertColumn(wParam, reinterpret_cast<const LVCOLUMNW*>(lParam));
    case LVM_DELETECOLUMN:
      if (wParam >= m_columns.size()) return FALSE;
      m_columns.erase(m_columns.begin() + static_cast<std::ptrdiff_t>(wParam));
      return TRUE;
    case LVM_SETCOLUMNWIDTH:
      if (wParam >= m_columns.size()) return FALSE;
      m_columns[wParam].width = static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
      return TRUE;
    case LVM_GETCOLUMNWIDTH:
      return wParam < m_columns.size() ? m_columns[wParam].width : 0;
    case LVM_GETCOLUMNA:
    case LVM_GETCOLUMNW: {
      if (wParam >= m_columns.size() || lParam == 0) return FALSE;
      const Column& c = m_columns[wParam];
      if (message == LVM_GETCOLUMNA) {
        auto* out = reinterpret_cast<LVCOLUMNA*>(lParam);
        if ((out->mask & LVCF_TEXT) && out->pszText) CopyText(c.text, out->pszText, static_cast<std::size_t>(out->cchTextMax));
        out->cx = c.width;
        out->fmt = c.format;
      } else {
        auto* out = reinterpret_cast<LVCOLUMNW*>(lParam);
        if ((out->mask & LVCF_TEXT) && out->pszText) CopyText(c.text, out->pszText, static_cast<std::size_t>(out->cchTextMax));
        out->cx = c.width;
        out->fmt = c.format;
      }
      return TRUE;
    }
    case LVM_ENSUREVISIBLE:
      return TRUE;
    case LVM_SETIMAGELIST:
    case LVM_GETIMAGELIST: {
      if (wParam > LVSIL_STATE) return 0;
      HIMAGELIST previous = m_imageLists[wParam];
      if (message == LVM_SETIMAGELIST) {
        m_imageLists[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(window, nullptr, TRUE);
      }
      return reinterpret_cast<LRESULT>(previous);
    }
    case LVM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (rect == nullptr || !Valid(wParam)) return FALSE;
      *rect = ItemRect(wParam, static_cast<int>(rect->left));
      return TRUE;
    }
    case LVM_GETSTRINGWIDTHA:
    case LVM_GETSTRINGWIDTHW: {
      if (lParam == 0) return 0;
      SIZE size{};
      HDC dc = GetDC(window);
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
      if (message == LVM_GETSTRINGWIDTHA) GetTextExtentPoint32A(dc, reinterpret_cast<LPCSTR>(lParam), -1, &size);
      else GetTextExtentPoint32W(dc, reinterpret_cast<LPCWSTR>(lParam), -1, &size);
      ReleaseDC(window, dc);
      return size.cx;
    }
    case LVM_REDRAWITEMS:
      InvalidateRect(window, nullptr, TRUE);
      return TRUE;
    case VEK_UM_SELECT:
      SelectByUser(window, wParam);
      return 0;
    case WM_KEYDOWN: {
      if (m_rows.empty()) return 0;
      LRESULT current = Handle(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
      std::size_t next = current < 0 ? 0 : static_cast<std::size_t>(current);
      if (wParam == VK_DOWN && current >= 0 && next + 1 < m_rows.size()) ++next;
      if (wParam == VK_UP && next > 0) --next;
      if (wParam == VK_DOWN || wParam == VK_UP || wParam == VK_SPACE) SelectByUser(window, next);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      if (Style(window) & LVS_OWNERDRAWFIXED) {
        RECT client;
        GetClientRect(window, &client);
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
          DRAWITEMSTRUCT item{};
          item.CtlType = ODT_LISTVIEW;
          item.CtlID = static_cast<UINT>(Id(window));
          item.itemID = static_cast<UINT>(i);
          item.itemAction = ODA_DRAWENTIRE;
          item.itemState = (m_rows[i].state & LVIS_SELECTED) ? ODS_SELECTED : 0;
          if ((m_rows[i].state & LVIS_FOCUSED) && GetFocus() == window) item.itemState |= ODS_FOCUS;
          item.hwndItem = window;
          item.hDC = dc;
          int top = kHeaderHeight + static_cast<int>(i) * kRowHeight;
          item.rcItem = RECT{0, top, client.right, top + kRowHeight};
          item.itemData = static_cast<ULONG_PTR>(m_rows[i].data);
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
