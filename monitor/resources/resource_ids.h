// Resource ids of the port monitor: its two dialogs, their controls and its
// pictures. The numbers are fixed: the dialogs' code and templates both use them.
#pragma once

// Dialogs.
inline constexpr int IDD_PORT = 7000;   // Add Port / Configure Port
inline constexpr int IDD_ABOUT = 7002;

// Controls of the port dialog.
inline constexpr int IDC_PROTOCOL_TAB = 7000;
inline constexpr int IDC_REFRESH = 7001;
inline constexpr int IDC_SERVER_LIST = 7002;
inline constexpr int IDC_PORT_NAME_LABEL = 7003;
inline constexpr int IDC_TIMEOUT_LABEL = 7004;
inline constexpr int IDC_PORT_NAME = 7005;
inline constexpr int IDC_TIMEOUT = 7006;
inline constexpr int IDC_SECONDS_LABEL = 7008;
inline constexpr int IDC_ABOUT = 7009;
inline constexpr int IDC_CONFIGURE = 7011;  // hidden, without a function
inline constexpr int IDC_SEARCH_ADDRESS = 7012;
inline constexpr int IDC_SEARCH_ADDRESS_LABEL = 7013;
inline constexpr int IDC_PORT_GROUP = 7014;
inline constexpr int IDC_TIMEOUT_SPIN = 7015;

// Controls of the About dialog.
inline constexpr int IDC_ABOUT_TEXT = 7003;
inline constexpr int IDC_ABOUT_ICON = 7004;

// Pictures, 16 pixels an image, 0xFF00FF where they are transparent.
inline constexpr int IDB_SERVER_ROW = 7001;   // image 1: a print server's row
inline constexpr int IDB_PROTOCOL_TABS = 7005;  // image 0: the transport works, 1: it does not
inline constexpr int IDB_ABOUT = 7006;        // the About dialog's picture

// The port dialog's own message: the first search, once the dialog shows.
inline constexpr unsigned WM_START_SEARCH = 0x0400 + 10;
