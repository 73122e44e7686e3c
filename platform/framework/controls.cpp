#include "framework/controls.h"

#include "kernel/strings.h"

namespace {
std::string Utf8(LPCWSTR text) { return text ? vek::ToNarrow(text) : std::string(); }
}  // namespace

void CEdit::SetSel(int start, int end, BOOL) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(static_cast<std::intptr_t>(start)), end);
}

void CEdit::GetSel(int& start, int& end) {
  DWORD s = 0, e = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
  start = static_cast<int>(s);
  end = static_cast<int>(e);
}

void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo) { SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text)); }

void CEdit::ReplaceSel(LPCWSTR text, BOOL canUndo) {
  std::string narrow = Utf8(text);
  ReplaceSel(narrow.c_str(), canUndo);
}

int CComboBox::AddString(LPCWSTR text) {
  std::string narrow = Utf8(text);
  return AddString(narrow.c_str());
}

int CComboBox::InsertString(int index, LPCWSTR text) {
  std::string narrow = Utf8(text);
  return InsertString(index, narrow.c_str());
}

void CComboBox::GetLBText(int index, CStringA& text) {
  int length = GetLBTextLen(index);
  if (length < 0) {
    text.Empty();
    return;
  }
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
  text.ReleaseBuffer();
}

void CComboBox::GetLBText(int index, CStringW& text) {
  CStringA narrow;
  GetLBText(index, narrow);
  text = narrow.GetString();
}

int CListCtrl::InsertColumn(int index, LPCSTR heading, int format, int width, int subItem) {
  LVCOLUMNA column{LVCF_TEXT | LVCF_FMT, format, width, const_cast<char*>(heading), 0, subItem};
  if (width >= 0) column.mask |= LVCF_WIDTH;
  if (subItem >= 0) column.mask |= LVCF_SUBITEM;
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertColumn(int index, LPCWSTR heading, int format, int width, int subItem) {
  std::string narrow = Utf8(heading);
  return InsertColumn(index, narrow.c_str(), format, width, subItem);
}

int CListCtrl::InsertItem(int index, LPCSTR text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(text);
  return InsertItem(&item);
}

int CListCtrl::InsertItem(int index, LPCWSTR text) {
  std::string narrow = Utf8(text);
  return InsertItem(index, narrow.c_str());
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
  LVITEMA change{};
  change.iSubItem = subItem;
  change.pszText = const_cast<char*>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&change)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCWSTR text) {
  std::string narrow = Utf8(text);
  return SetItemText(item, subItem, narrow.c_str());
}

CStringA CListCtrl::GetItemText(int item, int subItem) {
  char buffer[1024] = {};
  LVITEMA query{};
  query.iSubItem = subItem;
  query.pszText = buffer;
  query.cchTextMax = sizeof buffer;
  SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&query));
  return CStringA(buffer);
}

CStringW CListCtrl::GetItemTextW(int item, int subItem) { return CStringW(GetItemText(item, subItem)); }

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA change{};
  change.state = state;
  change.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(static_cast<std::intptr_t>(item)),
                                       reinterpret_cast<LPARAM>(&change)));
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
  LVITEMA change{};
  change.mask = LVIF_PARAM;
  change.iItem = item;
  change.lParam = static_cast<LPARAM>(data);
  return SetItem(&change);
}

DWORD_PTR CListCtrl::GetItemData(int item) {
  LVITEMA query{};
  query.mask = LVIF_PARAM;
  query.iItem = item;
  return GetItem(&query) ? static_cast<DWORD_PTR>(query.lParam) : 0;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() {
  int first = GetNextItem(-1, LVNI_SELECTED);
  return reinterpret_cast<POSITION>(static_cast<std::intptr_t>(first + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& position) {
  int item = static_cast<int>(reinterpret_cast<std::intptr_t>(position)) - 1;
  int next = GetNextItem(item, LVNI_SELECTED);
  position = reinterpret_cast<POSITION>(static_cast<std::intptr_t>(next + 1));
  return item;
}

int CListCtrl::InsertItem(UINT mask, int index, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param) {
  LVITEMA item{};
  item.mask = mask;
  item.iItem = index;
  item.pszText = const_cast<char*>(text);
  item.state = state;
  item.stateMask = stateMask;
  item.iImage = image;
  item.lParam = param;
  return InsertItem(&item);
}

int CListCtrl::InsertItem(UINT mask, int index, LPCWSTR text, UINT state, UINT stateMask, int image, LPARAM param) {
  std::string narrow = Utf8(text);
  return InsertItem(mask, index, narrow.c_str(), state, stateMask, image, param);
}

CImageList* CListCtrl::SetImageList(CImageList* list, int kind) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(
      LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr))));
}

CImageList* CListCtrl::GetImageList(int kind) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(kind), 0)));
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) {
  if (rect == nullptr) return FALSE;
  rect->left = static_cast<LONG>(code);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
}

void CListCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != WM_DRAWITEM) return FALSE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}

LONG CTabCtrl::InsertItem(UINT mask, int index, LPCSTR text, int image, LPARAM param) {
  TCITEMA item{};
  item.mask = mask;
  item.pszText = const_cast<char*>(text);
  item.iImage = image;
  item.lParam = param;
  return InsertItem(index, &item);
}

LONG CTabCtrl::InsertItem(UINT mask, int index, LPCWSTR text, int image, LPARAM param) {
  std::string narrow = Utf8(text);
  return InsertItem(mask, index, narrow.c_str(), image, param);
}

CImageList* CTabCtrl::SetImageList(CImageList* list) {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
      SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr))));
}

CImageList* CTabCtrl::GetImageList() {
  return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST, 0, 0)));
}

void CTabCtrl::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CTabCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message != WM_DRAWITEM) return FALSE;
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}

LONG CTabCtrl::InsertItem(int index, LPCSTR text) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<char*>(text);
  return InsertItem(index, &item);
}

LONG CTabCtrl::InsertItem(int index, LPCWSTR text) {
  std::string narrow = Utf8(text);
  return InsertItem(index, narrow.c_str());
}

CSize CTabCtrl::SetItemSize(CSize size) {
  auto old = static_cast<std::uintptr_t>(
      SendMessage(TCM_SETITEMSIZE, 0, MAKELONG(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy))));
  return CSize(LOWORD(old), HIWORD(old));
}

int CIPAddressCtrl::GetAddress(BYTE& b1, BYTE& b2, BYTE& b3, BYTE& b4) {
  DWORD address = 0;
  int filled = GetAddress(address);
  b1 = FIRST_IPADDRESS(address);
  b2 = SECOND_IPADDRESS(address);
  b3 = THIRD_IPADDRESS(address);
  b4 = FOURTH_IPADDRESS(address);
  return filled;
}

BOOL CImageList::Create(int cx, int cy, UINT, int, int) {
  m_created = true;
  m_cx = cx;
  m_cy = cy;
  return TRUE;
}

BOOL CImageList::Create(UINT bitmapId, int cx, int, COLORREF) {
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId)) return FALSE;
  BITMAP info{};
  bitmap.GetBitmap(&info);
  Create(cx, info.bmHeight, 0, 0, 0);
  return Add(&bitmap, 0) >= 0;
}

int CImageList::Add(CBitmap* bitmap, COLORREF) {
  if (!m_created || bitmap == nullptr || m_cx <= 0) return -1;
  BITMAP info{};
  if (!bitmap->GetBitmap(&info)) return -1;
  // The picture's resource id travels with the strip, for what a paint records.
  UINT id = vek::framework::BitmapResourceId(bitmap->m_hObject);
  int images = std::max(1, static_cast<int>(info.bmWidth) / m_cx);
  m_strips.push_back(Strip{id, m_count, images});
  int first = m_count;
  m_count += images;
  return first;
}

BOOL CImageList::GetImageInfo(int image, IMAGEINFO* info) const {
  if (info == nullptr || !m_created || image < 0 || image >= m_count) return FALSE;
  *info = IMAGEINFO{};
  for (const Strip& strip : m_strips) {
    if (image < strip.first || image >= strip.first + strip.count) continue;
    int x = (image - strip.first) * m_cx;
    info->rcImage = RECT{x, 0, x + m_cx, m_cy};
    return TRUE;
  }
  return FALSE;
}

BOOL CImageList::Draw(CDC* dc, int image, POINT at, UINT) {
  if (dc == nullptr || image < 0 || image >= m_count) return FALSE;
  for (const Strip& strip : m_strips) {
    if (image < strip.first || image >= strip.first + strip.count) continue;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap bitmap;
    if (strip.bitmapId) bitmap.LoadBitmap(strip.bitmapId);
    if (bitmap.m_hObject) memory.SelectObject(&bitmap);
    return dc->BitBlt(at.x, at.y, m_cx, m_cy, &memory, (image - strip.first) * m_cx, 0, SRCCOPY);
  }
  return FALSE;
}

BOOL CImageList::DeleteImageList() {
  m_created = false;
  m_strips.clear();
  m_count = 0;
  return TRUE;
}

namespace vek::framework {

std::unique_ptr<CWnd> MakeTemporaryWnd(const std::string& className) {
  auto is = [&](const char* name) { return vek::CompareNoCase(className, name) == 0; };
  if (is(WC_STATIC)) return std::make_unique<CStatic>();
  if (is(WC_EDIT)) return std::make_unique<CEdit>();
  if (is(WC_BUTTON)) return std::make_unique<CButton>();
  if (is(WC_COMBOBOX)) return std::make_unique<CComboBox>();
  if (is(WC_LISTVIEW)) return std::make_unique<CListCtrl>();
  if (is(PROGRESS_CLASS)) return std::make_unique<CProgressCtrl>();
  if (is(ANIMATE_CLASS)) return std::make_unique<CAnimateCtrl>();
  if (is(WC_TABCONTROL)) return std::make_unique<CTabCtrl>();
  if (is(UPDOWN_CLASS)) return std::make_unique<CSpinButtonCtrl>();
  if (is(WC_IPADDRESS)) return std::make_unique<CIPAddressCtrl>();
  return std::make_unique<CWnd>();
}

}  // namespace vek::framework
