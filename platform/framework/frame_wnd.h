// A top-level frame window; the object deletes itself when its window is destroyed.
#pragma once

#include "framework/wnd.h"

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)

 public:
  using CWnd::Create;
  BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW, const RECT& rect = kDefaultRect,
              CWnd* parent = nullptr, LPCSTR menuName = nullptr, DWORD exStyle = 0);

  static constexpr RECT kDefaultRect = {0, 0, 0, 0};

 protected:
  void PostNcDestroy() override;

  DECLARE_MESSAGE_MAP()
};
