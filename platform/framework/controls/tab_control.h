// Tab control: a row of tabs with texts and data. TCN_SELCHANGING (which the parent
// may refuse) and TCN_SELCHANGE follow the user's choice; TCM_SETCURSEL is silent.
// Owner-drawn tabs are drawn by the parent (WM_DRAWITEM) when the control paints.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/control_support.h"
#include "framework/owner_draw.h"

namespace vek::framework {

class TabControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Tab {
    std::string text;
    LPARAM data = 0;
    int image = -1;
  };
  RECT TabRect(std::size_t index) const;
  template <typename Char>
  LRESULT Insert(WPARAM index, const TCITEMT<Char>* item);
  template <typename Char>
  LRESULT Get(WPARAM index, TCITEMT<Char>* item) const;
  bool Valid(WPARAM index) const { return static_cast<std::size_t>(index) < m_tabs.size(); }

  std::vector<Tab> m_tabs;
  int m_selection = -1;
  int m_tabWidth = 60;
  int m_tabHeight = 20;
  HIMAGELIST m_imageList = nullptr;
};

}  // namespace vek::framework
