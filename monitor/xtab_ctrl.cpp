#include "xtab_ctrl.h"

#include "framework/message_map.h"

namespace {

constexpr int kLabelLength = 186;
constexpr int kImageGap = 4;

}  // namespace

BEGIN_MESSAGE_MAP(XTabCtrl, CTabCtrl)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

XTabCtrl::XTabCtrl() : m_TextColor(0), m_SelectedTextColor(0) {}

void XTabCtrl::SetFont(CFont* font, BOOL redraw) {
  m_Font.DeleteObject();
  LOGFONTA description{};
  if (font && font->GetLogFont(&description)) m_Font.CreateFontIndirect(&description);
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

int XTabCtrl::OnCreate(LPCREATESTRUCT) {
  if (Default() == -1) return -1;
  ModifyStyle(0, TCS_OWNERDRAWFIXED);
  return 0;
}

void XTabCtrl::OnDestroy() {
  Default();
  m_Font.DeleteObject();
}

void XTabCtrl::DrawItem(LPDRAWITEMSTRUCT d) {
  if (d == nullptr) return;
  WCHAR label[kLabelLength + 1] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = label;
  item.cchTextMax = kLabelLength;
  GetItem(static_cast<int>(d->itemID), &item);

  CRect r(d->rcItem);
  CImageList* images = GetImageList();
  CSize imageSize(16, 16);
  IMAGEINFO info{};
  if (images && images->GetImageInfo(static_cast<int>(d->itemID), &info))
    imageSize = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);

  const bool bottom = (GetStyle() & TCS_BOTTOM) != 0;
  const bool selected = d->itemState == ODS_SELECTED;
  if (selected) {
    // The selected tab stands out of the row: its face fills it, a little in.
    r.left += 2;
    r.right -= 2;
    if (bottom) r.bottom -= 2;
    else r.top += 2;
    ::FillRect(d->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    r.top -= bottom ? 5 : 6;
  } else if (bottom) {
    r.top -= 6;
  }

  CDC* dc = CDC::FromHandle(d->hDC);
  CFont* oldFont = m_Font.m_hObject ? dc->SelectObject(&m_Font) : nullptr;
  CStringW text;
  text.Format(u"%s", label);
  CSize textSize = dc->GetTextExtent(text);
  int x;
  if (images) {
    x = r.left + (r.Width() - textSize.cx - imageSize.cx - kImageGap) / 2;
    images->Draw(dc, item.iImage, CPoint(x, r.top + (r.Height() - imageSize.cy) / 2 + 2), ILD_NORMAL);
    x += imageSize.cx + kImageGap;
  } else {
    x = r.left + (r.Width() - textSize.cx) / 2;
  }
  int y = r.top + (r.Height() - textSize.cy) / 2 + 2;
  dc->SetBkColor(GetSysColor(COLOR_BTNFACE));
  dc->SetTextColor(selected ? m_SelectedTextColor : m_TextColor);
  dc->TextOut(x, y, text);
  if (oldFont) dc->SelectObject(oldFont);
}
