// The framework's control classes: thin wrappers that send the controls' messages.
// Texts may be narrow (UTF-8) or wide; wide ones are converted.
#pragma once

#include <memory>
#include <string>

#include "framework/control_defs.h"
#include "framework/dc.h"
#include "framework/owner_draw.h"
#include "framework/ptr_list.h"
#include "framework/wnd.h"

class CStatic : public CWnd {
 public:
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
  HBITMAP GetBitmap() { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0)); }
};

class CEdit : public CWnd {
 public:
  void SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max, 0); }
  void LimitText(int max = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(max), 0); }
  UINT GetLimitText() { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT, 0, 0)); }
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void GetSel(int& start, int& end);
  DWORD GetSel() { return static_cast<DWORD>(SendMessage(EM_GETSEL, 0, 0)); }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
  void ReplaceSel(LPCWSTR text, BOOL canUndo = FALSE);
  BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly, 0)); }
  void SetPasswordChar(WCHAR c) { SendMessage(EM_SETPASSWORDCHAR, c, 0); }
  int CharFromPos(CPoint point) {
    return static_cast<int>(SendMessage(EM_CHARFROMPOS, 0, MAKELONG(static_cast<WORD>(point.x), static_cast<WORD>(point.y))));
  }
  BOOL GetModify() { return static_cast<BOOL>(SendMessage(EM_GETMODIFY, 0, 0)); }
  void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified, 0); }
};

class CButton : public CWnd {
 public:
  int GetCheck() { return static_cast<int>(SendMessage(BM_GETCHECK, 0, 0)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check), 0); }
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
};

class CComboBox : public CWnd {
 public:
  int AddString(LPCSTR text) { return Int(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  int AddString(LPCWSTR text);
  int InsertString(int index, LPCSTR text) {
    return Int(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
  int InsertString(int index, LPCWSTR text);
  int DeleteString(UINT index) { return Int(SendMessage(CB_DELETESTRING, index, 0)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT, 0, 0); }
  int GetCount() { return Int(SendMessage(CB_GETCOUNT, 0, 0)); }
  int GetCurSel() { return Int(SendMessage(CB_GETCURSEL, 0, 0)); }
  int SetCurSel(int index) { return Int(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index), 0)); }
  int GetLBTextLen(int index) { return Int(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0)); }
  void GetLBText(int index, CStringA& text);
  void GetLBText(int index, CStringW& text);
  int SetItemData(int index, DWORD_PTR data) {
    return Int(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
  }
  DWORD_PTR GetItemData(int index) { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index), 0)); }
  int FindStringExact(int start, LPCSTR text) {
    return Int(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text)));
  }
  int SelectString(int start, LPCSTR text) {
    return Int(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text)));
  }

 private:
  static int Int(LRESULT r) { return static_cast<int>(r); }
};

class CListCtrl : public CWnd {
 public:
  int InsertColumn(int index, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  int InsertColumn(int index, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  BOOL DeleteColumn(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(index), 0)); }
  BOOL SetColumnWidth(int column, int width) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELONG(static_cast<WORD>(width), 0)));
  }
  int InsertItem(int index, LPCSTR text);
  int InsertItem(int index, LPCWSTR text);
  int InsertItem(const LVITEMA* item) { return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(item))); }
  BOOL SetItemText(int item, int subItem, LPCSTR text);
  BOOL SetItemText(int item, int subItem, LPCWSTR text);
  CStringA GetItemText(int item, int subItem);
  CStringW GetItemTextW(int item, int subItem);
  BOOL SetItem(const LVITEMA* item) { return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(item))); }
  BOOL GetItem(LVITEMA* item) { return static_cast<BOOL>(SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(item))); }
  BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item), 0)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS, 0, 0)); }
  int GetItemCount() { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT, 0, 0)); }
  int GetNextItem(int item, int flags) {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), flags));
  }
  UINT GetSelectedCount() { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT, 0, 0)); }
  BOOL SetItemState(int item, UINT state, UINT mask);
  UINT GetItemState(int item, UINT mask) { return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask)); }
  BOOL SetItemData(int item, DWORD_PTR data);
  DWORD_PTR GetItemData(int item);
  DWORD SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
  }
  DWORD GetExtendedStyle() { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)); }
  BOOL EnsureVisible(int item, BOOL partialOk) {
    return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk));
  }
  // Walks the selected items: the position is the item index plus one, 0 at the end.
  POSITION GetFirstSelectedItemPosition();
  int GetNextSelectedItem(POSITION& position);

  int InsertItem(UINT mask, int index, LPCSTR text, UINT state, UINT stateMask, int image, LPARAM param);
  int InsertItem(UINT mask, int index, LPCWSTR text, UINT state, UINT stateMask, int image, LPARAM param);
  BOOL GetItem(LVITEMW* item) { return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  // kind: LVSIL_SMALL, LVSIL_STATE or LVSIL_NORMAL. The previous list, or null.
  CImageList* SetImageList(CImageList* list, int kind);
  CImageList* GetImageList(int kind);
  // code: LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS, in client pixels.
  BOOL GetItemRect(int item, LPRECT rect, UINT code);
  BOOL GetColumn(int column, LVCOLUMNA* info) {
    return static_cast<BOOL>(SendMessage(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(info)));
  }
  BOOL GetColumn(int column, LVCOLUMNW* info) {
    return static_cast<BOOL>(SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(info)));
  }
  int GetColumnWidth(int column) {
    return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  // The width of a text in the list's font.
  int GetStringWidth(LPCSTR text) {
    return static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetStringWidth(LPCWSTR text) {
    return static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
  }
  BOOL RedrawItems(int first, int last) {
    return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
  }

  // An owner-drawn list (LVS_OWNERDRAWFIXED) draws each row here when its parent
  // hands WM_DRAWITEM back to it.
  virtual void DrawItem(LPDRAWITEMSTRUCT item);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short low, short high) {
    SendMessage(PBM_SETRANGE, 0, MAKELONG(static_cast<WORD>(low), static_cast<WORD>(high)));
  }
  void SetRange32(int low, int high) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
  int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0)); }
  int GetPos() { return static_cast<int>(SendMessage(PBM_GETPOS, 0, 0)); }
  int OffsetPos(int delta) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(delta), 0)); }
  int SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step), 0)); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT, 0, 0)); }
  void GetRange(int& low, int& high) {
    low = static_cast<int>(SendMessage(PBM_GETRANGE, TRUE, 0));
    high = static_cast<int>(SendMessage(PBM_GETRANGE, FALSE, 0));
  }
};

class CAnimateCtrl : public CWnd {
 public:
  BOOL Open(UINT clipId) { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, static_cast<LPARAM>(clipId))); }
  BOOL Play(UINT from, UINT to, UINT repeat) {
    return static_cast<BOOL>(SendMessage(ACM_PLAY, repeat, MAKELONG(static_cast<WORD>(from), static_cast<WORD>(to))));
  }
  BOOL Stop() { return static_cast<BOOL>(SendMessage(ACM_STOP, 0, 0)); }
  BOOL Close() { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, 0)); }
};

class CTabCtrl : public CWnd {
 public:
  LONG InsertItem(int index, LPCSTR text);
  LONG InsertItem(int index, LPCWSTR text);
  LONG InsertItem(int index, const TCITEMA* item) {
    return static_cast<LONG>(SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  BOOL GetItem(int index, TCITEMA* item) {
    return static_cast<BOOL>(SendMessage(TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  BOOL GetItem(int index, TCITEMW* item) {
    return static_cast<BOOL>(SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
  }
  int GetCurSel() { return static_cast<int>(SendMessage(TCM_GETCURSEL, 0, 0)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index), 0)); }
  int GetItemCount() { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT, 0, 0)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS, 0, 0)); }
  BOOL GetItemRect(int index, LPRECT rect) {
    return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
  }
  CSize SetItemSize(CSize size);
  void SetPadding(CSize size) { SendMessage(TCM_SETPADDING, 0, MAKELONG(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy))); }
  LONG InsertItem(UINT mask, int index, LPCSTR text, int image, LPARAM param);
  LONG InsertItem(UINT mask, int index, LPCWSTR text, int image, LPARAM param);
  // The previous list, or null.
  CImageList* SetImageList(CImageList* list);
  CImageList* GetImageList();

  // An owner-drawn tab row (TCS_OWNERDRAWFIXED) draws each tab here when its
  // parent hands WM_DRAWITEM back to it.
  virtual void DrawItem(LPDRAWITEMSTRUCT item);
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange(short low, short high) {
    SendMessage(UDM_SETRANGE, 0, MAKELONG(static_cast<WORD>(high), static_cast<WORD>(low)));
  }
  void SetRange32(int low, int high) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(low), high); }
  int SetPos(int position) {
    return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELONG(static_cast<WORD>(position), 0)));
  }
  int GetPos() { return static_cast<int>(static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(SendMessage(UDM_GETPOS, 0, 0))))); }
  CWnd* SetBuddy(CWnd* buddy) {
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy ? buddy->m_hWnd : nullptr), 0)));
  }
};

class CIPAddressCtrl : public CWnd {
 public:
  void SetAddress(BYTE b1, BYTE b2, BYTE b3, BYTE b4) { SetAddress(MAKEIPADDRESS(b1, b2, b3, b4)); }
  void SetAddress(DWORD address) { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
  int GetAddress(BYTE& b1, BYTE& b2, BYTE& b3, BYTE& b4);
  int GetAddress(DWORD& address) { return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address))); }
  void ClearAddress() { SendMessage(IPM_CLEARADDRESS, 0, 0); }
  BOOL IsBlank() { return static_cast<BOOL>(SendMessage(IPM_ISBLANK, 0, 0)); }
};

// A list of same-sized pictures; drawing one records a copy of its bitmap.
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;

class CImageList {
 public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
  int Add(CBitmap* bitmap, COLORREF mask);
  int GetImageCount() const { return m_count; }
  // Where the image lies in its picture; FALSE for an image the list lacks.
  BOOL GetImageInfo(int image, IMAGEINFO* info) const;
  BOOL Draw(CDC* dc, int image, POINT at, UINT style);
  BOOL DeleteImageList();
  operator bool() const { return m_created; }
  HIMAGELIST GetSafeHandle() const { return m_created ? reinterpret_cast<HIMAGELIST>(const_cast<CImageList*>(this)) : nullptr; }
  operator HIMAGELIST() const { return GetSafeHandle(); }
  static CImageList* FromHandle(HIMAGELIST list) { return reinterpret_cast<CImageList*>(list); }

 private:
  struct Strip {
    UINT bitmapId;
    int first;
    int count;
  };
  bool m_created = false;
  int m_cx = 0;
  int m_cy = 0;
  int m_count = 0;
  std::vector<Strip> m_strips;
};

namespace vek::framework {
// A framework object of the class that matches a window class ("Edit" gives a
// CEdit, ...; any other a plain CWnd), for windows no object is attached to.
std::unique_ptr<CWnd> MakeTemporaryWnd(const std::string& className);
}  // namespace vek::framework
