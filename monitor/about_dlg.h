// CAboutDLG: the port dialog's About box: the monitor's display name (the
// "PrintMonitor" value) and its version.
#pragma once

#include "framework/dialog.h"

// The monitor's version as the About box shows it.
inline constexpr char16_t kMonitorVersion[] = u"4.03.17";

class CAboutDLG : public CDialog {
 public:
  explicit CAboutDLG(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
};
