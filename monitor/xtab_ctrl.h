// XTabCtrl: the port dialog's transport tabs. It draws its own labels: an image
// and the text centred together, the selected tab's label in its own colour on
// the face colour. The owner sets both colours before the control is drawn.
#pragma once

#include "framework/controls.h"
#include "framework/dc.h"

class XTabCtrl : public CTabCtrl {
 public:
  XTabCtrl();

  // Keeps a copy of the font to draw the labels with, and gives the control the
  // font itself.
  void SetFont(CFont* font, BOOL redraw = TRUE);
  void DrawItem(LPDRAWITEMSTRUCT item) override;

  CFont m_Font;
  COLORREF m_TextColor;
  COLORREF m_SelectedTextColor;

 protected:
  int OnCreate(LPCREATESTRUCT create);
  void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
