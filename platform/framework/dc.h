// The framework's device-context and drawing-object classes.
#pragma once

#include "framework/cstring.h"
#include "framework/gdi.h"
#include "framework/geometry.h"

class CWnd;

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  HGDIOBJ m_hObject = nullptr;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  BOOL Attach(HGDIOBJ object);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  BOOL CreateStockObject(int index);
};

class CFont : public CGdiObject {
 public:
  operator HFONT() const { return m_hObject; }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                  BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                  BYTE pitchAndFamily, LPCSTR faceName);
  BOOL CreateFontIndirect(const LOGFONTA* font);
  BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName);
  int GetLogFont(LOGFONTA* font) const;
  static CFont* FromHandle(HFONT font);
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  operator HBRUSH() const { return m_hObject; }
  BOOL CreateSolidBrush(COLORREF color);
  BOOL CreateSysColorBrush(int index);
  static CBrush* FromHandle(HBRUSH brush);
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
  operator HPEN() const { return m_hObject; }
  BOOL CreatePen(int style, int width, COLORREF color);
};

class CBitmap : public CGdiObject {
 public:
  operator HBITMAP() const { return m_hObject; }
  BOOL LoadBitmap(UINT id);
  BOOL CreateCompatibleBitmap(class CDC* dc, int width, int height);
  int GetBitmap(BITMAP* info) const;
};

class CDC {
 public:
  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  HDC m_hDC = nullptr;
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC dc);
  BOOL Attach(HDC dc);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();

  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  CGdiObject* SelectStockObject(int index);
  CFont* SelectObject(CFont* font);
  CBrush* SelectObject(CBrush* brush);
  CPen* SelectObject(CPen* pen);
  CBitmap* SelectObject(CBitmap* bitmap);
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, int sw, int sh, DWORD rop);
  BOOL TextOut(int x, int y, LPCSTR text, int length) { return ::TextOutA(m_hDC, x, y, text, length); }
  BOOL TextOut(int x, int y, LPCWSTR text, int length) { return ::TextOutW(m_hDC, x, y, text, length); }
  BOOL TextOut(int x, int y, const CStringA& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }
  BOOL TextOut(int x, int y, const CStringW& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }
  int DrawText(LPCSTR text, int length, LPRECT rect, UINT format) { return ::DrawTextA(m_hDC, text, length, rect, format); }
  int DrawText(LPCWSTR text, int length, LPRECT rect, UINT format) { return ::DrawTextW(m_hDC, text, length, rect, format); }
  int DrawText(const CStringA& text, LPRECT rect, UINT format) { return DrawText(text.GetString(), text.GetLength(), rect, format); }
  int DrawText(const CStringW& text, LPRECT rect, UINT format) { return DrawText(text.GetString(), text.GetLength(), rect, format); }
  void FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(m_hDC, rect, brush ? brush->m_hObject : nullptr); }
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FrameRect(LPCRECT rect, CBrush* brush) { ::FrameRect(m_hDC, rect, brush ? brush->m_hObject : nullptr); }
  // A frame of one-pixel lines: the top and left in one colour, the bottom and right in another.
  void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
  // The dotted frame of the item with the focus (recorded as a frame).
  void DrawFocusRect(LPCRECT rect);
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
  CPoint MoveTo(int x, int y);
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
  CSize GetTextExtent(LPCSTR text, int length) const;
  CSize GetTextExtent(const CStringW& text) const;

 protected:
  bool m_owned = false;  // DeleteDC on destruction
};

// The device context of a paint: BeginPaint at construction, EndPaint at destruction.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* window);
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};

class CWindowDC : public CClientDC {
 public:
  using CClientDC::CClientDC;
};
