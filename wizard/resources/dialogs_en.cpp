// The wizard's dialog templates, English.
#include <iterator>

#include "kernel/version.h"
#include "wizard/resources/tables.h"
#include "wizard/resources/template_items.h"

namespace vek::wizard {
namespace {

using namespace items;
using vek::framework::DialogItemTemplate;
using vek::framework::DialogTemplate;

constexpr const char* kCaption = "VEK Setup Wizard";

constexpr DialogItemTemplate kWelcome[] = {
    Banner(IDB_TITLE_WELCOME),
    Text(1059, "This Wizard guides you through the installation of your wireless Tarvex print server.", kLeft, 46, 260,
         24),
    Text(1060, "Before you proceed, make sure the print server and printer are properly connected and turned on.",
         kLeft, 80, 260, 24),
    Text(1061, "To continue, click Next.", kLeft, 114, 260, 10),
    Text(IDC_WELCOME_VERSION, "Version 0.95.01x", kLeft, 280, 260, 10),
    SideFrame(),
};

constexpr DialogItemTemplate kServerList[] = {
    Banner(IDB_TITLE_SERVER_LIST),
    Text(1059,
         "The Wizard has found the following print servers on the network.\n"
         "Select a print server from the list.",
         kLeft, 46, 260, 20),
    Text(1060, "Detected print servers on your local network:", kLeft, 74, 260, 10),
    ReportList(IDC_SERVER_LIST, kLeft, 86, 260, 96, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_REFRESH, "Refresh", 334, 186, 50, 14),
    Text(1061, "If the print server you want to set up is not displayed, check the connection and click Refresh.",
         kLeft, 206, 260, 20),
    GroupBox(IDC_STATIC, "", kLeft, 232, 260, 61),
    Text(IDC_SERVER_NOTE,
         "Note: If your print server has just been turned on, it may take a few minutes for the print server to "
         "initialize before it can be detected and displayed by the Wizard.",
         132, 243, 244, 44),
    SideFrame(),
};

// The search dialog's buttons exist only so that the dialog has an OK and a Cancel;
// they stay hidden, and the dialog ends itself.
constexpr DialogItemTemplate kSearch[] = {
    DefPushButton(IDOK, "OK", 84, 32, 50, 12, 0),        // hidden
    PushButton(IDCANCEL, "Cancel", 140, 32, 50, 12, 0),  // hidden
    Animation(IDC_SEARCH_ANIMATION, 6, 5, 36, 36),       // plays the search clip once opened
    Text(IDC_STATIC, "Searching for print servers", 48, 10, 142, 10),
    Text(IDC_SEARCH_STATUS, "", 48, 26, 142, 10),  // the discovery thread writes "Found " and a name here
};

constexpr DialogItemTemplate kLogin[] = {
    Banner(IDB_TITLE_LOGIN),
    Text(1059,
         "This Wizard allows the network administrator to change some basic settings of the print server. If you "
         "are not the network administrator, do not change any settings. Incorrect settings may cause faulty "
         "behaviour in the print server.",
         kLeft, 42, 260, 42),
    FirstRadio(IDC_MODIFY_YES, "Yes, I want to modify settings.", 134, 90, 240, 10),
    Radio(IDC_MODIFY_NO, "No, I don't want to change settings.", 134, 104, 240, 10),
    Text(IDC_PASSWORD_LABEL, "Password :", 134, 124, 56, 10),
    PasswordEdit(IDC_PASSWORD, 192, 122, 90, 13),
    StatusLine(IDC_ZERO_IP_WARNING, kLeft, 146, 260, 10),
    StatusLine(IDC_STATIC_IP_ADVICE, kLeft, 158, 260, 10),
    GroupBox(IDC_LOGIN_NOTE_GROUP, "", kLeft, 226, 260, 67),
    Text(1061,
         "If you have changed the print server's default password (mivo), you must enter it in the password "
         "field. If you are configuring a wireless print server and it is operating in Diagnostic mode, you do "
         "not need to enter a password.",
         132, 237, 244, 50),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessBasic[] = {
    Banner(IDB_TITLE_WL_BASIC),
    Text(1059,
         "Configure the following wireless settings on the print server. These settings must match your wireless "
         "network for the print server to communicate with all computers over a wireless connection.",
         kLeft, 46, 245, 33),
    Text(1060, "Communication Type :", kLeft, 98, 97, 10),
    DropList(IDC_COMM_TYPE, 223, 97, 69, 68),
    Text(1061, "SSID :", kLeft, 113, 97, 10),
    Edit(IDC_SSID, 223, 112, 69, 12),
    Text(1062, "Channel Number :", kLeft, 128, 97, 10),
    DropList(IDC_CHANNEL, 223, 127, 27, 186),
    Text(1064, "Data Transmission Rate :", kLeft, 143, 97, 10),
    DropList(IDC_RATE, 223, 142, 69, 60),
    Text(IDC_TX_MODE_LABEL, "Transmit Mode :", kLeft, 159, 97, 10),
    DropList(IDC_TX_MODE, 223, 157, 69, 60),
    Text(1076,
         "1.In Infrastructure (Access Point) mode, the wireless print server will communicate with network "
         "computers through an Access Point.",
         kLeft, 176, 245, 30),
    Text(IDC_ADHOC_HELP, "2. In Ad-Hoc mode, wireless devices communicate with each other directly.", kLeft, 213, 245,
         29),
    Text(IDC_ADHOC_HELP_ALT, "2.In Ad-Hoc mode, wireless devices communicate with each other directly.", kLeft, 213,
         245, 29),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1078,
         "If the communication type is 'Infrastructure (Access Point)', you do not need to enter the Channel "
         "number used by the Access Point.",
         132, 252, 245, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWep[] = {
    Banner(IDB_TITLE_WL_WEP),
    Text(1059,
         "Configure the following security settings on the print server. These settings must match your wireless "
         "network for the Tarvex print server to communicate with all computers over a wireless connection.",
         kLeft, 57, 248, 28),
    CheckBox(IDC_ENABLE_WEP, "Enable WEP Encryption", kLeft, 95, 98, 9),
    Text(1060, "Type :", 136, 109, 58, 9),
    FirstRadio(IDC_KEY_64BIT, "64-bit", 197, 109, 50, 8),
    Radio(IDC_KEY_128BIT, "128-bit", 255, 109, 50, 8),
    Text(1061, "Key Format :", 136, 122, 58, 9),
    FirstRadio(IDC_KEY_ALPHANUMERIC, "Alphanumeric", 197, 123, 71, 8),
    Radio(IDC_KEY_HEXADECIMAL, "Hexadecimal", 273, 123, 71, 8),
    Text(IDC_ENCRYPTION_KEY_LABEL, "Encryption Key :", 136, 135, 58, 9),
    PasswordEdit(IDC_WEP_KEY64, 197, 135, 98, 11),
    PasswordEdit(IDC_WEP_KEY128, 197, 135, 98, 11, 0),  // shares the place of 1032, not a tab stop
    Text(1062,
         "1. For 64-bit (sometimes called 40-bit) WEP encryption, enter the key that contains 5 alphanumeric "
         "characters or 10 hexadecimal digits (depending on the key format you select)",
         kLeft, 153, 248, 30),
    Text(1064,
         "2. For 128-bit WEP encryption, enter the key that contains 13 alphanumeric characters or 26 hexadecimal "
         "digits (depending on the key format you select)",
         kLeft, 187, 248, 32),
    Text(1076,
         "(An alphanumeric character is a through z, A through Z, and 0 through 9. A hexadecimal digit is 0 "
         "through 9 and A through F)",
         kLeft, 221, 248, 20),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "If your wireless network uses WEP encryption to secure all data communication, you must enable the WEP "
         "encryption setting and enter a key for the print server.",
         129, 251, 248, 36),
    SideFrame(),
};

// Controls are in the order 1074, 1075, 1076 so that the tab order runs login,
// password, method.
constexpr DialogItemTemplate kWireless8021x[] = {
    Banner(IDB_TITLE_WL_8021X),
    Text(1059, "This page allows you to configure 802.1X (EAP) settings.", kLeft, 54, 248, 28),
    Text(IDC_8021X_LOGIN_LABEL, "Login Name :", kLeft, 112, 58, 9),
    Edit(IDC_8021X_LOGIN, 190, 110, 80, 14),
    Text(IDC_8021X_PASSWORD_LABEL, "Password :", kLeft, 129, 58, 9),
    PasswordEdit(IDC_8021X_PASSWORD, 190, 127, 80, 14),
    Text(IDC_8021X_METHOD_LABEL, "Authentication :", kLeft, 96, 58, 9),
    DropList(IDC_8021X_METHOD, 190, 94, 80, 48),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "Select an 802.1X authentication method from the list. If you select  EAP - MD5, please enter your "
         "password.",
         129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kWirelessWpaPsk[] = {
    Banner(IDB_TITLE_WL_WPAPSK),
    Text(1059,
         "If you have defined a WPA Pre-Shared Key in your Access Point, it must also be configured in the print "
         "server.",
         kLeft, 54, 248, 62),
    Text(IDC_WPAPSK_LABEL, "Pre-shared Key :", kLeft, 126, 68, 9),
    PasswordEdit(IDC_WPAPSK, 195, 124, 80, 14),
    Text(1061, "(8 to 63 characters)", 282, 126, 90, 9),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1077,
         "Note: The key is case-sensitive. A print server is only accessible if the print server's key matches "
         "the Access Point's key.",
         129, 252, 248, 36),
    SideFrame(),
};

// Pairs of controls share a place (1085/1091, 1087-1088/1083-1086, 1032/1043,
// 1062/1078); the page shows one of each. The order gives the tab order 1084,
// 1085, 1088, 1032, 1086, 1043, 1091.
constexpr DialogItemTemplate kWirelessSecurity[] = {
    Banner(IDB_TITLE_WL_SECURITY),
    Text(1059,
         "This page allows you to set up the print server's security feature for safeguarding the wireless "
         "connection.",
         kLeft, 46, 245, 33),
    Text(1060, "Authentication Type :", kLeft, 84, 79, 10),
    DropList(IDC_AUTH_TYPE, 210, 83, 90, 60),
    Text(IDC_ENCRYPTION_LABEL, "Encryption :", kLeft, 100, 79, 10),
    DropList(IDC_CIPHER, 210, 99, 90, 60),
    Text(IDC_KEY_FORMAT_LABEL, "Key Format :", kLeft, 116, 79, 10),
    DropList(IDC_KEY_FORMAT, 210, 115, 90, 45),
    Text(IDC_WEP_KEY_LABEL, "WEP Key :", kLeft, 132, 79, 10),
    PasswordEdit(IDC_WEP_KEY64, 210, 131, 90, 12),
    Text(IDC_PSK_LABEL, "Pre-shared Key :", kLeft, 116, 79, 10),
    PasswordEdit(IDC_PSK, 210, 115, 90, 12),
    Text(IDC_PSK_HINT, "(8 to 63 characters)", 303, 116, 80, 9),
    PasswordEdit(IDC_WEP_KEY128, 210, 131, 90, 12),
    DropList(IDC_WEP_MODE, 210, 99, 90, 60),
    Text(IDC_WEP_HELP64,
         "1.For 64-bit (sometimes called 40-bit) WEP encryption, enter the key    which contains 5 alphanumeric "
         "character or 10 hexadecimal digits    (depending on the key format you select)",
         kLeft, 149, 248, 30),
    Text(IDC_WEP_HELP128,
         "2.For 128-bit WEP encryption, enter the key which contains 13                alphanumeric characters or "
         "26 hexadecimal digits (depending on      the key format you select)",
         kLeft, 183, 248, 29),
    Text(IDC_WEP_HELP_CHARS,
         "(An alphanumeric character is a through z, A through Z, and 0 through 9. A hexadecimal digit is 0 "
         "through 9 and A through F)",
         kLeft, 217, 248, 26),
    Text(IDC_WPA_HELP,
         "Wi-Fi Protected Access (WPA) gives you the enhanced security and brings an immediate security solution "
         "to WLANs in both enterprise and small office/home office environments.",
         kLeft, 149, 248, 50),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(IDC_SECURITY_NOTE,
         "Note: The key is case-sensitive. A print server is accessible if the security settings above all "
         "matches Access Point's settings.",
         129, 252, 248, 36),
    SideFrame(),
};

constexpr DialogItemTemplate kTcpip[] = {
    Banner(IDB_TITLE_TCPIP),
    Text(1059,
         "Specify TCP/IP settings for the print server. The print server can be configured to either obtain an "
         "IP address from a DHCP server on the network, or to use a static IP address.",
         kLeft, 46, 260, 34),
    FirstRadio(IDC_DHCP1, "Obtain an IP address automatically (use DHCP)", 134, 88, 240, 10),
    Radio(IDC_DHCP2, "Specify an IP address", 134, 102, 240, 10),
    Text(IDC_IP_ADDRESS_LABEL, "IP Address", 146, 122, 80, 10),
    IpAddress(IDC_IP_ADDRESS, 230, 120, 100, 13),
    Text(IDC_SUBNET_MASK_LABEL, "Subnet Mask", 146, 139, 80, 10),
    IpAddress(IDC_SUBNET_MASK, 230, 137, 100, 13),
    Text(IDC_GATEWAY_LABEL, "Gateway IP Address", 146, 156, 80, 10),
    IpAddress(IDC_GATEWAY, 230, 154, 100, 13),
    GroupBox(IDC_STATIC, "", kLeft, 236, 260, 57),
    Text(1064,
         "It is highly recommended that you give the print server a static IP address. Make sure the IP address "
         "is entered correctly for the print server to work properly.",
         132, 247, 244, 40),
    SideFrame(),
};

// The status line and the progress bar stay hidden until the save runs.
constexpr DialogItemTemplate kSave[] = {
    Banner(IDB_TITLE_SAVE),
    ReportList(IDC_SETTINGS_LIST, kLeft, 46, 260, 176, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    Text(IDC_PUBLIC_KEY_LINE, "", kLeft, 228, 260, 10),
    StatusLine(IDC_SAVE_STATUS, kLeft, 244, 260, 10, 0),
    Progress(IDC_SAVE_PROGRESS, kLeft, 260, 260, 12, 0),
    SideFrame(),
};

constexpr DialogItemTemplate kPrinter[] = {
    Banner(IDB_TITLE_PRINTER),
    Text(1059,
         "The Wizard will help you set up the printer that is connected to the print server. You can either "
         "select a printer that has already been installed on this computer or add a new printer.",
         kLeft, 46, 260, 34),
    Text(1060, "Select a printer from the following list", kLeft, 86, 260, 10),
    ReportList(IDC_PRINTER_LIST, kLeft, 98, 260, 104, LVS_SINGLESEL | LVS_SHOWSELALWAYS),
    PushButton(IDC_ADD_NEW_PRINTER, "Add New Printer", 304, 206, 80, 14),
    GroupBox(IDC_STATIC, "", kLeft, 236, 260, 57),
    Text(1061,
         "To add a new printer, you need an appropriate printer driver (found on the printer's installation "
         "CD/diskette or the printer manufacturer's web site)",
         132, 247, 244, 40),
    SideFrame(),
};

constexpr DialogItemTemplate kSummary[] = {
    Banner(IDB_TITLE_SUMMARY),
    Text(1059, "The Wizard is about to finish the installation. A summary of the settings will be displayed.", kLeft,
         46, 260, 24),
    ReportList(IDC_SUMMARY_LIST, kLeft, 76, 260, 70, LVS_NOCOLUMNHEADER | LVS_SINGLESEL | WS_DISABLED),
    GroupBox(IDC_PRINTER_SETTING_GROUP, "Printer Setting", kLeft, 156, 260, 34),
    CheckBox(IDC_SET_DEFAULT_PRINTER, "Use this printer as the default printer", 134, 170, 240, 10),
    GroupBox(IDC_STATIC, "", kLeft, 243, 260, 50),
    Text(1061, "Verify all information.", 132, 262, 244, 12),
    SideFrame(),
};

constexpr DialogItemTemplate kFinish[] = {
    Banner(IDB_TITLE_FINISH),
    Text(1059, "The Wizard has successfully installed the Tarvex print server and selected printer on your system.",
         kLeft, 46, 260, 34),
    SideFrame(),
};

// The page sets the guide's texts from the string table; the template carries the
// same texts so that the dialog reads right before that.
constexpr DialogItemTemplate kAddPrinterGuide[] = {
    Text(IDC_HELP_ADD_PRINTER1,
         "You have chosen to add a new printer. Windows Add Printer Wizard will help you add a new printer on this "
         "computer. Follow the given instructions; the steps may vary slightly between different Windows versions.",
         7, 7, 196, 40),
    Text(IDC_HELP_ADD_PRINTER2,
         "When Windows Add Print Wizard is finished, you must return to the Tarvex Print Server Setup Wizard.", 7, 50,
         196, 24),
    Text(IDC_HELP_ADD_PRINTER3, "1.  When Windows Add Printer Wizard starts, click Next.", 7, 78, 196, 10),
    Text(IDC_HELP_ADD_PRINTER4, "2.  Click Local Printer (My Computer in Windows NT), then click Next.", 7, 92, 196,
         18),
    Text(IDC_HELP_ADD_PRINTER5, "3.  Select Use the Following Port, then LPT1 and click Next.", 7, 114, 196, 18),
    Text(IDC_HELP_ADD_PRINTER6,
         "4.  Follow the instructions to finish the printer setup: select printer manufacturer/model and name the "
         "printer.",
         7, 136, 196, 26),
    Text(IDC_HELP_ADD_PRINTER7, "5.  Do not print a test page.", 7, 166, 196, 10),
    Text(IDC_HELP_ADD_PRINTER8, "6.  Click Finish to complete the Windows Add Printer Wizard.", 7, 180, 196, 18),
    Text(IDC_HELP_ADD_PRINTER9, "7.  Now return to Tarvex VEK Wizard and continue the setup.", 7, 202, 196, 18),
};

template <std::size_t N>
constexpr DialogTemplate Page(int id, const DialogItemTemplate (&items)[N]) {
  return {static_cast<UINT>(id), LANG_ENGLISH, 0, 0, kPageWidth, kPageHeight, kPageStyle, 0, kCaption, kPageFont,
          kPageFontSize,         items,        N};
}

constexpr DialogTemplate kDialogs[] = {
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
    {IDD_SEARCH, LANG_ENGLISH, 0, 0, 196, 46, DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP, WS_EX_TOOLWINDOW, "",
     "Arial", 8, kSearch, std::size(kSearch)},
    // Placed by the page beside the Add Printer window; no buttons, no system menu.
    {IDD_ADD_PRINTER_GUIDE, LANG_ENGLISH, 0, 0, 210, 226, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
     "Adding A New Printer Help", "Verdana", 9, kAddPrinterGuide, std::size(kAddPrinterGuide)},
};

}  // namespace

std::span<const DialogTemplate> EnglishDialogs() { return kDialogs; }

}  // namespace vek::wizard
