// Combo box as a drop-down list: items with data and one selection. CBN_SELCHANGE
// comes from the user's choice only; CB_SETCURSEL changes the selection silently.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/control_support.h"

namespace vek::framework {

class ComboBoxControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Item {
    std::string text;
    LPARAM data = 0;
  };
  LRESULT Insert(HWND window, int index, std::string text);
  LRESULT Find(WPARAM start, const std::string& text, bool exact) const;
  bool Valid(WPARAM index) const { return static_cast<std::size_t>(index) < m_items.size(); }
  void SyncText(HWND window);

  std::vector<Item> m_items;
  int m_selection = -1;
};

}  // namespace vek::framework
