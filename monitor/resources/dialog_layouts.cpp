// The layouts of the monitor's dialogs: sizes, styles, and each control's class,
// id, place and style. The captions, fonts and texts are the language's
// (dialog_texts_en.cpp).
#include "resources/monitor_resources.h"

#include <iterator>

#include "framework/control_defs.h"
#include "framework/styles.h"
#include "framework/message_box.h"
#include "resources/resource_ids.h"

namespace vek::monitor {
namespace {

using vek::framework::DialogItemTemplate;
using vek::framework::DialogLayout;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

constexpr DialogItemTemplate Text(int id, short x, short y, short cx, short cy, DWORD align = SS_LEFT) {
  return {WC_STATIC, nullptr, id, x, y, cx, cy, kChild | align};
}
constexpr DialogItemTemplate Button(int id, short x, short y, short cx, short cy, DWORD kind = BS_PUSHBUTTON) {
  return {WC_BUTTON, nullptr, id, x, y, cx, cy, kChild | kind | WS_TABSTOP};
}
constexpr DialogItemTemplate Edit(int id, short x, short y, short cx, short cy, DWORD extra = 0) {
  return {WC_EDIT, "", id, x, y, cx, cy, kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | extra};
}

// Add Port and Configure Port: the transport tabs with the controls on them, the
// found print servers, and the new port's name and time-out.
constexpr DialogItemTemplate kPortItems[] = {
    {WC_TABCONTROL, "Tab1", IDC_PROTOCOL_TAB, 6, 6, 240, 165, kChild | TCS_OWNERDRAWFIXED | WS_TABSTOP},
    Text(IDC_SEARCH_ADDRESS_LABEL, 18, 29, 41, 8),
    {"XIPAddressCtrl", "", IDC_SEARCH_ADDRESS, 61, 26, 101, 13, kChild | WS_TABSTOP},
    Button(IDC_REFRESH, 191, 25, 48, 14),
    {WC_LISTVIEW, "List1", IDC_SERVER_LIST, 12, 42, 228, 75,
     kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | WS_BORDER | WS_TABSTOP},
    {WC_BUTTON, nullptr, IDC_PORT_GROUP, 33, 120, 178, 45, kChild | BS_GROUPBOX},
    Text(IDC_PORT_NAME_LABEL, 70, 133, 46, 8),
    Edit(IDC_PORT_NAME, 120, 131, 73, 12),
    Text(IDC_TIMEOUT_LABEL, 41, 149, 75, 8),
    Edit(IDC_TIMEOUT, 120, 147, 28, 12, ES_NUMBER),
    {UPDOWN_CLASS, "Spin1", IDC_TIMEOUT_SPIN, 148, 147, 8, 12, kChild | UDS_ARROWKEYS},
    Text(IDC_SECONDS_LABEL, 162, 149, 36, 8),
    Button(IDOK, 252, 6, 50, 14, BS_DEFPUSHBUTTON),
    Button(IDCANCEL, 252, 24, 50, 14),
    Button(IDC_CONFIGURE, 252, 42, 50, 14),
    Button(IDC_ABOUT, 252, 60, 50, 14),
};

// About: the picture, the monitor's name and version, and OK.
constexpr DialogItemTemplate kAboutItems[] = {
    Button(IDOK, 146, 4, 32, 14, BS_DEFPUSHBUTTON),
    {WC_STATIC, "", IDC_ABOUT_ICON, 11, 9, 20, 20, kChild | SS_BITMAP, 0, IDB_ABOUT},
    Text(IDC_ABOUT_TEXT, 35, 6, 103, 25, SS_CENTER),
};

constexpr DialogLayout kLayouts[] = {
    {IDD_PORT, 0, 0, 308, 177, kDialogStyle, 0, kPortItems, std::size(kPortItems)},
    {IDD_ABOUT, 0, 0, 182, 39, kDialogStyle, 0, kAboutItems, std::size(kAboutItems)},
};

}  // namespace

std::span<const DialogLayout> MonitorDialogLayouts() { return kLayouts; }

}  // namespace vek::monitor
