#include "framework/dc.h"

#include <utility>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "framework/wnd.h"

namespace {

// Wrappers handed out by FromHandle, kept for the life of the process like the
// framework's permanent handle maps (there are few: stock objects and system brushes).
template <typename T, typename Handle>
T* Wrapper(Handle handle) {
  static std::mutex lock;
  static std::map<Handle, std::unique_ptr<T>> wrappers;
  if (handle == nullptr) return nullptr;
  std::lock_guard guard(lock);
  auto& slot = wrappers[handle];
  if (!slot) {
    slot = std::make_unique<T>();
    if constexpr (std::is_base_of_v<CGdiObject, T>) slot->m_hObject = handle;
    else slot->m_hDC = handle;
  }
  return slot.get();
}

}  // namespace

BOOL CGdiObject::Attach(HGDIOBJ object) {
  if (m_hObject || !object) return FALSE;
  m_hObject = object;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() { return std::exchange(m_hObject, nullptr); }

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) { return Attach(GetStockObject(index)); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, LPCSTR faceName) {
  return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                              outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* font) { return Attach(::CreateFontIndirectA(font)); }

BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR faceName) {
  LOGFONTA font{};
  font.lfHeight = -(pointSizeTenths * ::GetDeviceCaps(nullptr, LOGPIXELSY) / 720);
  if (faceName) std::strncpy(font.lfFaceName, faceName, sizeof font.lfFaceName - 1);
  return CreateFontIndirect(&font);
}

int CFont::GetLogFont(LOGFONTA* font) const { return ::GetObjectA(m_hObject, sizeof(LOGFONTA), font); }
CFont* CFont::FromHandle(HFONT font) { return Wrapper<CFont>(font); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
BOOL CBrush::CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(GetSysColor(index))); }
CBrush* CBrush::FromHandle(HBRUSH brush) { return Wrapper<CBrush>(brush); }

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }

BOOL CBitmap::LoadBitmap(UINT id) {
  return Attach(::LoadBitmapA(nullptr, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id))));
}
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}
int CBitmap::GetBitmap(BITMAP* info) const { return ::GetObjectA(m_hObject, sizeof(BITMAP), info); }

CDC::~CDC() {
  if (m_owned) DeleteDC();
}

CDC* CDC::FromHandle(HDC dc) { return Wrapper<CDC>(dc); }

BOOL CDC::Attach(HDC dc) {
  if (m_hDC || !dc) return FALSE;
  m_hDC = dc;
  return TRUE;
}

HDC CDC::Detach() {
  m_owned = false;
  return std::exchange(m_hDC, nullptr);
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
  m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  m_owned = m_hDC != nullptr;
  return m_owned;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  m_owned = false;
  return ::DeleteDC(std::exchange(m_hDC, nullptr));
}

CGdiObject* CDC::SelectStockObject(int index) {
  HGDIOBJ previous = ::SelectObject(m_hDC, GetStockObject(index));
  return Wrapper<CGdiObject>(previous);
}

CFont* CDC::SelectObject(CFont* font) { return CFont::FromHandle(::SelectObject(m_hDC, font ? font->m_hObject : nullptr)); }
CBrush* CDC::SelectObject(CBrush* brush) {
  return CBrush::FromHandle(::SelectObject(m_hDC, brush ? brush->m_hObject : nullptr));
}
CPen* CDC::SelectObject(CPen* pen) { return Wrapper<CPen>(::SelectObject(m_hDC, pen ? pen->m_hObject : nullptr)); }
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return Wrapper<CBitmap>(::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr));
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sx, sy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop) {
  return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sx, sy, sw, sh, rop);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  HBRUSH brush = ::CreateSolidBrush(color);
  ::FillRect(m_hDC, rect, brush);
  ::DeleteObject(brush);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
  if (rect == nullptr) return;
  const LONG l = rect->left, t = rect->top, r = rect->right, b = rect->bottom;
  RECT top{l, t, r - 1, t + 1}, left{l, t, l + 1, b - 1}, right{r - 1, t, r, b}, bottom{l, b - 1, r, b};
  FillSolidRect(&top, topLeft);
  FillSolidRect(&left, topLeft);
  FillSolidRect(&right, bottomRight);
  FillSolidRect(&bottom, bottomRight);
}

void CDC::DrawFocusRect(LPCRECT rect) {
  if (rect) ::FrameRect(m_hDC, rect, GetStockObject(BLACK_BRUSH));
}

CPoint CDC::MoveTo(int x, int y) {
  POINT previous{};
  ::MoveToEx(m_hDC, x, y, &previous);
  return CPoint(previous.x, previous.y);
}

CSize CDC::GetTextExtent(LPCSTR text, int length) const {
  SIZE size{};
  ::GetTextExtentPoint32A(m_hDC, text, length, &size);
  return CSize(size.cx, size.cy);
}

CSize CDC::GetTextExtent(const CStringW& text) const {
  SIZE size{};
  ::GetTextExtentPoint32W(m_hDC, text.GetString(), text.GetLength(), &size);
  return CSize(size.cx, size.cy);
}

CPaintDC::CPaintDC(CWnd* window) : m_hWnd(window ? window->m_hWnd : nullptr) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* window) : m_hWnd(window ? window->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
CClientDC::~CClientDC() {
  ::ReleaseDC(m_hWnd, m_hDC);
  m_hDC = nullptr;
}
