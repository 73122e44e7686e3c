// XListCtrl: the port dialog's list of found print servers. A report-view list
// that draws whole rows: the full row of the selected item highlighted, and each
// row's text in the colour its item data holds (0: the system's colour).
#pragma once

#include "framework/controls.h"

class XListCtrl : public CListCtrl {
 public:
  void DrawItem(LPDRAWITEMSTRUCT item) override;
  // Invalidates the focused row, without erasing, and updates the window at once.
  void RepaintSelectedItems();

 protected:
  void OnSetFocus(CWnd* oldWindow);
  void OnKillFocus(CWnd* newWindow);
  void OnFocusChange(CWnd* otherWindow);
  DECLARE_MESSAGE_MAP()
};
