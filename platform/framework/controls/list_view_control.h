// List view in report mode: columns, rows of sub-item texts, item data, selection.
// LVN_ITEMCHANGED follows every change of an item's state, by the user or by code;
// an owner-drawn list asks its parent to draw each row (WM_DRAWITEM) when it paints.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/control_support.h"
#include "framework/owner_draw.h"

namespace vek::framework {

class ListViewControl : public ControlBehaviour {
 public:
  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  static constexpr int kRowHeight = 16;
  static constexpr int kHeaderHeight = 18;

 private:
  struct Column {
    std::string text;
    int width = 0;
    int format = 0;
  };
  struct Row {
    std::vector<std::string> texts;  // sub-item 0 is the item itself
    UINT state = 0;
    LPARAM data = 0;
    int image = 0;
  };
  template <typename Char>
  LRESULT InsertItem(HWND window, const LVITEMT<Char>* item);
  template <typename Char>
  LRESULT SetItem(HWND window, const LVITEMT<Char>* item);
  template <typename Char>
  LRESULT GetItem(const LVITEMT<Char>* item) const;
  template <typename Char>
  LRESULT GetItemText(WPARAM index, const LVITEMT<Char>* item) const;
  template <typename Char>
  LRESULT InsertColumn(WPARAM index, const LVCOLUMNT<Char>* column);
  // Changes an item's state under the mask, telling the parent when it changed.
  void ChangeState(HWND window, std::size_t index, UINT state, UINT mask);
  void SelectByUser(HWND window, std::size_t index);
  bool Valid(WPARAM index) const { return static_cast<std::size_t>(index) < m_rows.size(); }
  // The rectangles of a row (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL), in client pixels.
  RECT ItemRect(std::size_t index, int code) const;

  std::vector<Column> m_columns;
  std::vector<Row> m_rows;
  DWORD m_extendedStyle = 0;
  HIMAGELIST m_imageLists[3] = {};  // LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE
};

}  // namespace vek::framework
