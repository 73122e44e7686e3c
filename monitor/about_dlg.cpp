#include "about_dlg.h"

#include "monitor_globals.h"
#include "resources/resource_ids.h"

CAboutDLG::CAboutDLG(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

BOOL CAboutDLG::OnInitDialog() {
  CDialog::OnInitDialog();
  // The template's text ("\n\nVersion ") between the name and the number.
  CStringW text;
  GetDlgItemText(IDC_ABOUT_TEXT, text);
  CStringW shown = g_MonitorDisplayName;
  shown += text;
  shown += kMonitorVersion;
  SetDlgItemText(IDC_ABOUT_TEXT, shown.GetString());
  return TRUE;
}
