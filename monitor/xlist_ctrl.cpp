#include "xlist_ctrl.h"

#include "framework/message_map_window.h"

BEGIN_MESSAGE_MAP(XListCtrl, CListCtrl)
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

namespace {

constexpr int kLabelInsetLeft = 1;
constexpr int kLabelInsetRight = 3;
constexpr int kCellInset = 3;
constexpr int kColumnAlignment = 0x0003;  // the column format's justification bits

UINT Alignment(int format) {
  switch (format & kColumnAlignment) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

void XListCtrl::DrawItem(LPDRAWITEMSTRUCT d) {
  if (d == nullptr) return;
  CDC dc;
  dc.Attach(d->hDC);
  const int saved = dc.SaveDC();
  const int index = static_cast<int>(d->itemID);
  LVITEMW item{};
  item.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  item.iItem = index;
  item.stateMask = 0xFFFF;
  GetItem(&item);

  const bool focus = ::GetFocus() == m_hWnd;
  const bool highlighted =
      (item.state & LVIS_DROPHILITED) || ((item.state & LVIS_SELECTED) && (focus || (GetStyle() & LVS_SHOWSELALWAYS)));
  CRect bounds, label, icon;
  GetItemRect(index, &bounds, LVIR_BOUNDS);
  GetItemRect(index, &label, LVIR_LABEL);
  GetItemRect(index, &icon, LVIR_ICON);
  CRect highlight = bounds;
  highlight.left = label.left;

  // The row's own colour wins over the system's, highlighted or not.
  const auto color = static_cast<COLORREF>(item.lParam);
  if (highlighted) {
    dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    dc.SetBkColor(GetSysColor(COLOR_HIGHLIGHT));
    if (color) dc.SetTextColor(color);
    dc.FillRect(&highlight, CBrush::FromHandle(GetSysColorBrush(COLOR_HIGHLIGHT)));
  } else {
    if (color) dc.SetTextColor(color);
    dc.FillRect(&highlight, CBrush::FromHandle(GetSysColorBrush(COLOR_WINDOW)));
  }

  // The first column: its images and its text.
  CRect firstColumn = bounds;
  firstColumn.right = firstColumn.left + GetColumnWidth(0);
  dc.IntersectClipRect(&firstColumn);
  if (item.state & LVIS_STATEIMAGEMASK) {
    if (CImageList* states = GetImageList(LVSIL_STATE))
      states->Draw(&dc, static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12) - 1, CPoint(bounds.left, bounds.top),
                   ILD_TRANSPARENT);
  }
  if (CImageList* small = GetImageList(LVSIL_SMALL)) {
    UINT style = ILD_TRANSPARENT | (item.state & LVIS_OVERLAYMASK);
    if (highlighted) style |= ILD_BLEND50;
    small->Draw(&dc, item.iImage, CPoint(icon.left, icon.top), style);
  }
  CRect labelText = label;
  labelText.left += kLabelInsetLeft;
  labelText.right -= kLabelInsetRight;
  CStringW text = GetItemTextW(index, 0);
  dc.DrawText(text, &labelText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP | DT_END_ELLIPSIS);

  // The further columns, each in its cell and alignment.
  ::SelectClipRgn(dc.m_hDC, nullptr);
  dc.IntersectClipRect(&bounds);
  CRect cell = firstColumn;
  LVCOLUMNW column{};
  column.mask = LVCF_FMT | LVCF_WIDTH;
  for (int c = 1; GetColumn(c, &column); ++c) {
    cell.left = cell.right;
    cell.right += column.cx;
    text = GetItemTextW(index, c);
    if (text.IsEmpty()) continue;
    CRect inset = cell;
    inset.DeflateRect(kCellInset, 0);
    dc.DrawText(text, &inset, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | Alignment(column.fmt));
  }

  if ((item.state & LVIS_FOCUSED) && focus) dc.DrawFocusRect(&highlight);
  dc.RestoreDC(saved);
  dc.Detach();
}

void XListCtrl::RepaintSelectedItems() {
  int focused = GetNextItem(-1, LVNI_FOCUSED);
  if (focused < 0) return;
  CRect bounds, label;
  GetItemRect(focused, &bounds, LVIR_BOUNDS);
  GetItemRect(focused, &label, LVIR_LABEL);
  bounds.left = label.left;
  ::InvalidateRect(m_hWnd, &bounds, FALSE);
  UpdateWindow();
}

void XListCtrl::OnSetFocus(CWnd* oldWindow) {
  Default();
  OnFocusChange(oldWindow);
}

void XListCtrl::OnKillFocus(CWnd* newWindow) {
  Default();
  OnFocusChange(newWindow);
}

void XListCtrl::OnFocusChange(CWnd* otherWindow) {
  // Focus moving within the list (to an edit of its own) changes nothing shown.
  if (otherWindow && ::GetParent(otherWindow->m_hWnd) == m_hWnd) return;
  if ((GetStyle() & LVS_TYPEMASK) == LVS_REPORT) RepaintSelectedItems();
}
