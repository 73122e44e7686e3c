#include "framework/frame_wnd.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
END_MESSAGE_MAP()

BOOL CFrameWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, LPCSTR,
                       DWORD exStyle) {
  return CreateEx(exStyle, className, windowName, style & ~WS_CHILD, rect, parent, 0);
}

void CFrameWnd::PostNcDestroy() { delete this; }
