// The layouts of the wizard's dialogs, the same in every language: sizes,
// styles, and each control's class, id, place and style. The texts, captions
// and fonts are each language's (dialog_texts_en.cpp, dialog_texts_ja.cpp).
#include <iterator>

#include "wizard/resources/tables.h"
#include "wizard/resources/template_items.h"

namespace vek::wizard {
namespace {

using namespace items;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogLayout;

constexpr DialogItemTemplate kWelcome[] = {
    Banner(IDB_TITLE_WELCOME),
    Text(1059, kLeft, 46, 260, 24),
    Text(1060, kLeft, 80, 260, 24),
    Text(1061, kLeft, 114, 260, 10),
    Text(IDC_WELCOME_VERSION, kLeft, 280, 260, 10),
    SideFrame(),
};

constexpr DialogItemTemplate kServerList[] = {
    Banner(IDB_TITLE_SERVER_LIST),
    Text(1059, kLeft, 46, 260, 20),
    Text(1060, kLeft, 74, 260, 10),
    ReportList(IDC_SERVER_LIST, kLeft, 86, 260, 96, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_REFRESH, 334, 186, 50, 14),
    Text(1061, kLeft, 206, 260, 20),
    Frame(IDC_STATIC, kLeft, 232, 260, 61),
    Text(IDC_SERVER_NOTE, 132, 243, 244, 44),
    SideFrame(),
};

// The search dialog's buttons exist only so that the dialog has an OK and a Cancel;
// they stay hidden, and the dialog ends itself.
constexpr DialogItemTemplate kSearch[] = {
    DefPushButton(IDOK, 84, 32, 50, 12, 0),         // hidden
    PushButton(IDCANCEL, 140, 32, 50, 12, 0),       // hidden
    Animation(IDC_SEARCH_ANIMATION, 6, 5, 36, 36),  // plays the search clip once opened
    Text(IDC_STATIC, 48, 10, 142, 10),
    Blank(IDC_SEARCH_STATUS, 48, 26, 142, 10),  // the discovery thread writes "Found " and a name here
};

constexpr DialogItemTemplate kLogin[] = {
    Banner(IDB_TITLE_LOGIN),
    Text(1059, kLeft, 42, 260, 42),
    FirstRadio(IDC_MODIFY_YES, 134, 90, 240, 10),
    Radio(IDC_MODIFY_NO, 134, 104, 240, 10),
    Text(IDC_PASSWORD_LABEL, 134, 124, 56, 10),
    PasswordEdit(IDC_PASSWORD, 192, 122, 90, 13),
    StatusLine(IDC_ZERO_IP_WARNING, kLeft, 146, 260, 10),
    StatusLine(IDC_STATIC_IP_ADVICE, kLeft, 158, 260, 10),
    Frame(IDC_LOGIN_NOTE_GROUP, kLeft, 226, 260, 67),
    Text(1061, 132, 237, 244, 50),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessBasic[] = {
    Banner(IDB_TITLE_WL_BASIC),
    Text(1059, kLeft, 46, 245, 33),
    Text(1060, kLeft, 98, 97, 10),
    DropList(IDC_COMM_TYPE, 223, 97, 69, 68),
    Text(1061, kLeft, 113, 97, 10),
    Edit(IDC_SSID, 223, 112, 69, 12),
    Text(1062, kLeft, 128, 97, 10),
    DropList(IDC_CHANNEL, 223, 127, 27, 186),
    Text(1064, kLeft, 143, 97, 10),
    DropList(IDC_RATE, 223, 142, 69, 60),
    Text(IDC_TX_MODE_LABEL, kLeft, 159, 97, 10),
    DropList(IDC_TX_MODE, 223, 157, 69, 60),
    Text(1076, kLeft, 176, 245, 30),
    Text(IDC_ADHOC_HELP, kLeft, 213, 245, 29),
    Text(IDC_ADHOC_HELP_ALT, kLeft, 213, 245, 29),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(1078, 132, 252, 245, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWep[] = {
    Banner(IDB_TITLE_WL_WEP),
    Text(1059, kLeft, 57, 248, 28),
    CheckBox(IDC_ENABLE_WEP, kLeft, 95, 98, 9),
    Text(1060, 136, 109, 58, 9),
    FirstRadio(IDC_KEY_64BIT, 197, 109, 50, 8),
    Radio(IDC_KEY_128BIT, 255, 109, 50, 8),
    Text(1061, 136, 122, 58, 9),
    FirstRadio(IDC_KEY_ALPHANUMERIC, 197, 123, 71, 8),
    Radio(IDC_KEY_HEXADECIMAL, 273, 123, 71, 8),
    Text(IDC_ENCRYPTION_KEY_LABEL, 136, 135, 58, 9),
    PasswordEdit(IDC_WEP_KEY64, 197, 135, 98, 11),
    PasswordEdit(IDC_WEP_KEY128, 197, 135, 98, 11, 0),  // shares the place of 1032, not a tab stop
    Text(1062, kLeft, 153, 248, 30),
    Text(1064, kLeft, 187, 248, 32),
    Text(1076, kLeft, 221, 248, 20),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(1077, 129, 251, 248, 36),
    SideFrame(),
};

// Controls are in the order 1074, 1075, 1076 so that the tab order runs login,
// password, method.
constexpr DialogItemTemplate kWireless8021x[] = {
    Banner(IDB_TITLE_WL_8021X),
    Text(1059, kLeft, 54, 248, 28),
    Text(IDC_8021X_LOGIN_LABEL, kLeft, 112, 58, 9),
    Edit(IDC_8021X_LOGIN, 190, 110, 80, 14),
    Text(IDC_8021X_PASSWORD_LABEL, kLeft, 129, 58, 9),
    PasswordEdit(IDC_8021X_PASSWORD, 190, 127, 80, 14),
    Text(IDC_8021X_METHOD_LABEL, kLeft, 96, 58, 9),
    DropList(IDC_8021X_METHOD, 190, 94, 80, 48),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(1077, 129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWpaPsk[] = {
    Banner(IDB_TITLE_WL_WPAPSK),
    Text(1059, kLeft, 54, 248, 62),
    Text(IDC_WPAPSK_LABEL, kLeft, 126, 68, 9),
    PasswordEdit(IDC_WPAPSK, 195, 124, 80, 14),
    Text(1061, 282, 126, 90, 9),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(1077, 129, 252, 248, 36),
    SideFrame(),
};

// Pairs of controls share a place (1085/1091, 1087-1088/1083-1086, 1032/1043,
// 1062/1078); the page shows one of each. The order gives the tab order 1084,
// 1085, 1088, 1032, 1086, 1043, 1091.
constexpr DialogItemTemplate kWirelessSecurity[] = {
    Banner(IDB_TITLE_WL_SECURITY),
    Text(1059, kLeft, 46, 245, 33),
    Text(1060, kLeft, 84, 79, 10),
    DropList(IDC_AUTH_TYPE, 210, 83, 90, 60),
    Text(IDC_ENCRYPTION_LABEL, kLeft, 100, 79, 10),
    DropList(IDC_CIPHER, 210, 99, 90, 60),
    Text(IDC_KEY_FORMAT_LABEL, kLeft, 116, 79, 10),
    DropList(IDC_KEY_FORMAT, 210, 115, 90, 45),
    Text(IDC_WEP_KEY_LABEL, kLeft, 132, 79, 10),
    PasswordEdit(IDC_WEP_KEY64, 210, 131, 90, 12),
    Text(IDC_PSK_LABEL, kLeft, 116, 79, 10),
    PasswordEdit(IDC_PSK, 210, 115, 90, 12),
    Text(IDC_PSK_HINT, 303, 116, 80, 9),
    PasswordEdit(IDC_WEP_KEY128, 210, 131, 90, 12),
    DropList(IDC_WEP_MODE, 210, 99, 90, 60),
    Text(IDC_WEP_HELP64, kLeft, 149, 248, 30),
    Text(IDC_WEP_HELP128, kLeft, 183, 248, 29),
    Text(IDC_WEP_HELP_CHARS, kLeft, 217, 248, 26),
    Text(IDC_WPA_HELP, kLeft, 149, 248, 50),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(IDC_SECURITY_NOTE, 129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kTcpip[] = {
    Banner(IDB_TITLE_TCPIP),
    Text(1059, kLeft, 46, 260, 34),
    FirstRadio(IDC_DHCP1, 134, 88, 240, 10),
    Radio(IDC_DHCP2, 134, 102, 240, 10),
    Text(IDC_IP_ADDRESS_LABEL, 146, 122, 80, 10),
    IpAddress(IDC_IP_ADDRESS, 230, 120, 100, 13),
    Text(IDC_SUBNET_MASK_LABEL, 146, 139, 80, 10),
    IpAddress(IDC_SUBNET_MASK, 230, 137, 100, 13),
    Text(IDC_GATEWAY_LABEL, 146, 156, 80, 10),
    IpAddress(IDC_GATEWAY, 230, 154, 100, 13),
    Frame(IDC_STATIC, kLeft, 236, 260, 57),
    Text(1064, 132, 247, 244, 40),
    SideFrame(),
};

// The status line and the progress bar stay hidden until the save runs.
constexpr DialogItemTemplate kSave[] = {
    Banner(IDB_TITLE_SAVE),
    ReportList(IDC_SETTINGS_LIST, kLeft, 46, 260, 176, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    Blank(IDC_PUBLIC_KEY_LINE, kLeft, 228, 260, 10),
    StatusLine(IDC_SAVE_STATUS, kLeft, 244, 260, 10, 0),
    Progress(IDC_SAVE_PROGRESS, kLeft, 260, 260, 12, 0),
    SideFrame(),
};

constexpr DialogItemTemplate kPrinter[] = {
    Banner(IDB_TITLE_PRINTER),
    Text(1059, kLeft, 46, 260, 34),
    Text(1060, kLeft, 86, 260, 10),
    ReportList(IDC_PRINTER_LIST, kLeft, 98, 260, 104, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_ADD_NEW_PRINTER, 304, 206, 80, 14),
    Frame(IDC_STATIC, kLeft, 236, 260, 57),
    Text(1061, 132, 247, 244, 40),
    SideFrame(),
};

constexpr DialogItemTemplate kSummary[] = {
    Banner(IDB_TITLE_SUMMARY),
    Text(1059, kLeft, 46, 260, 24),
    ReportList(IDC_SUMMARY_LIST, kLeft, 76, 260, 70, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    GroupBox(IDC_PRINTER_SETTING_GROUP, kLeft, 156, 260, 34),
    CheckBox(IDC_SET_DEFAULT_PRINTER, 134, 170, 240, 10),
    Frame(IDC_STATIC, kLeft, 243, 260, 50),
    Text(1061, 132, 262, 244, 12),
    SideFrame(),
};

constexpr DialogItemTemplate kFinish[] = {
    Banner(IDB_TITLE_FINISH),
    Text(1059, kLeft, 46, 260, 34),
    SideFrame(),
};

// The page sets the guide's texts from the string table; the template carries the
// same texts so that the dialog reads right before that.
constexpr DialogItemTemplate kAddPrinterGuide[] = {
    Text(IDC_HELP_ADD_PRINTER1, 7, 7, 196, 40),   Text(IDC_HELP_ADD_PRINTER2, 7, 50, 196, 24),
    Text(IDC_HELP_ADD_PRINTER3, 7, 78, 196, 10),  Text(IDC_HELP_ADD_PRINTER4, 7, 92, 196, 18),
    Text(IDC_HELP_ADD_PRINTER5, 7, 114, 196, 18), Text(IDC_HELP_ADD_PRINTER6, 7, 136, 196, 26),
    Text(IDC_HELP_ADD_PRINTER7, 7, 166, 196, 10), Text(IDC_HELP_ADD_PRINTER8, 7, 180, 196, 18),
    Text(IDC_HELP_ADD_PRINTER9, 7, 202, 196, 18),
};

template <std::size_t N>
constexpr DialogLayout Page(int id, const DialogItemTemplate (&items)[N]) {
  return {static_cast<UINT>(id), 0, 0, kPageWidth, kPageHeight, kPageStyle, 0, items, N};
}

constexpr DialogLayout kLayouts[] = {
    Page(IDD_WIZARD_WELCOME, kWelcome),
    Page(IDD_WIZARD_SERVER_LIST, kServerList),
    Page(IDD_WIZARD_LOGIN, kLogin),
    Page(IDD_WIZARD_WL_BASIC, kWirelessBasic),
    Page(IDD_WIZARD_WL_WEP, kWirelessWep),
    Page(IDD_WIZARD_WL_8021X, kWireless8021x),
    Page(IDD_WIZARD_WL_WPAPSK, kWirelessWpaPsk),
    Page(IDD_WIZARD_WL_SECURITY, kWirelessSecurity),
    Page(IDD_WIZARD_TCPIP, kTcpip),
    Page(IDD_WIZARD_SAVE, kSave),
    Page(IDD_WIZARD_PRINTER, kPrinter),
    Page(IDD_WIZARD_SUMMARY, kSummary),
    Page(IDD_WIZARD_FINISH, kFinish),
    // A borderless tool window without caption; the user cannot close it.
    {IDD_SEARCH, 0, 0, 196, 46, DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP, WS_EX_TOOLWINDOW, kSearch,
     std::size(kSearch)},
    // Placed by the page beside the Add Printer window; no buttons, no system
    // menu.
    {IDD_ADD_PRINTER_GUIDE, 0, 0, 210, 226, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, kAddPrinterGuide,
     std::size(kAddPrinterGuide)},
};

}  // namespace

std::span<const DialogLayout> DialogLayouts() { return kLayouts; }

}  // namespace vek::wizard
