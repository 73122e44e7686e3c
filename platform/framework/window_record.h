// One entry of the window table. Fields other than the behaviour are guarded by the
// table's lock; the behaviour and the CWnd are used only on the owning thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/window_class.h"

class CWnd;

namespace vek::framework {

struct WindowRecord {
  HWND hwnd = nullptr;
  DWORD threadId = 0;
  HWND parent = nullptr;  // child windows only
  HWND owner = nullptr;   // the window a pop-up belongs to
  std::vector<HWND> children;  // in creation order
  int id = 0;
  std::string className;
  std::string text;  // UTF-8
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  LONG userData = 0;
  void* font = nullptr;
  bool destroying = false;
  std::unique_ptr<WindowBehaviour> behaviour;
  CWnd* wnd = nullptr;                  // the attached CWnd, if any
  std::unique_ptr<CWnd> temporaryWnd;   // made by CWnd::FromHandle for an unattached window
};

}  // namespace vek::framework
