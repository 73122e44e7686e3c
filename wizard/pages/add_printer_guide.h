// The Add Printer guide: a dialog of step-by-step help that stands beside the
// platform's Add Printer wizard while it runs, and closes itself when that
// program ends.
#pragma once

#include "framework/framework.h"

class CAddPrinterGuideDlg : public CDialog {
  DECLARE_DYNAMIC(CAddPrinterGuideDlg)

 public:
  // Without a parent: the wizard's sheet, the active window, becomes its owner.
  CAddPrinterGuideDlg();
  BOOL OnInitDialog() override;

  static constexpr UINT_PTR kWatchTimer = 1024;

 protected:
  void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()
};
