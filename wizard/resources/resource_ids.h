// Resource ids of the setup wizard: dialogs, controls, strings and pictures.
// The numbers are fixed: the pages, the discovery threads and the templates all
// refer to them, and several controls keep the same id on many pages (1058 is the
// title banner and 1031 the side-picture frame everywhere). Where one id serves
// different controls on different pages, each use has its own name.
#pragma once

#include "protocol/discovery_ids.h"

// ---------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------
inline constexpr int IDD_WIZARD_WL_SECURITY = 107;  // combined wireless security page
inline constexpr int IDD_WIZARD_WELCOME = 129;
inline constexpr int IDD_WIZARD_SERVER_LIST = 131;
inline constexpr int IDD_SEARCH = 134;  // the search dialog (not a page)
inline constexpr int IDD_WIZARD_TCPIP = 138;
inline constexpr int IDD_WIZARD_PRINTER = 139;
inline constexpr int IDD_WIZARD_SUMMARY = 141;
inline constexpr int IDD_WIZARD_SAVE = 142;
inline constexpr int IDD_WIZARD_FINISH = 148;
inline constexpr int IDD_WIZARD_LOGIN = 160;
inline constexpr int IDD_ADD_PRINTER_GUIDE = 171;  // stands beside the Add Printer wizard
inline constexpr int IDD_WIZARD_WL_BASIC = 181;
inline constexpr int IDD_WIZARD_WL_WEP = 185;
inline constexpr int IDD_WIZARD_WL_8021X = 187;
inline constexpr int IDD_WIZARD_WL_WPAPSK = 188;

// ---------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------
// The search animation: a strip of square frames (see wizard_resources.h).
inline constexpr int IDR_SEARCH_ANIMATION = 133;

// Side pictures, 140 x 420 at 24 bits, painted at (12, 12) by each page's OnPaint.
inline constexpr int IDB_SIDE_WELCOME = 146;
inline constexpr int IDB_SIDE_SERVER_LIST = 150;
inline constexpr int IDB_SIDE_LOGIN = 151;
inline constexpr int IDB_SIDE_PRINTER = 152;
inline constexpr int IDB_SIDE_SUMMARY = 153;
inline constexpr int IDB_SIDE_SAVE = 154;
inline constexpr int IDB_SIDE_FINISH = 155;
inline constexpr int IDB_SIDE_TCPIP = 186;
inline constexpr int IDB_SIDE_WIRELESS = 187;  // all five wireless pages

// Title banners, shown by the bitmap static 1058 of each page.
inline constexpr int IDB_TITLE_SERVER_LIST = 161;
inline constexpr int IDB_TITLE_WELCOME = 162;
inline constexpr int IDB_TITLE_LOGIN = 163;
inline constexpr int IDB_TITLE_TCPIP = 164;
inline constexpr int IDB_TITLE_SAVE = 165;
inline constexpr int IDB_TITLE_PRINTER = 166;
inline constexpr int IDB_TITLE_SUMMARY = 168;
inline constexpr int IDB_TITLE_FINISH = 169;
inline constexpr int IDB_TITLE_WL_BASIC = 182;
inline constexpr int IDB_TITLE_WL_WEP = 184;
inline constexpr int IDB_TITLE_WL_8021X = 189;
inline constexpr int IDB_TITLE_WL_WPAPSK = 190;
inline constexpr int IDB_TITLE_WL_SECURITY = 191;

// ---------------------------------------------------------------------------
// Controls shared by the pages
// ---------------------------------------------------------------------------
inline constexpr int IDC_SIDE_FRAME = 1031;    // hidden black frame: where the side picture goes
inline constexpr int IDC_TITLE_BANNER = 1058;  // bitmap static with the page's banner
// The pages' text statics. Most pages number their texts from 1059 on; the
// page-specific names below say what a text is where the code touches it.
inline constexpr int IDC_TEXT1 = 1059;  // the introduction at the top of every page
inline constexpr int IDC_TEXT2 = 1060;
inline constexpr int IDC_TEXT3 = 1061;
inline constexpr int IDC_TEXT4 = 1062;
inline constexpr int IDC_TEXT5 = 1064;
inline constexpr int IDC_TEXT6 = 1076;
inline constexpr int IDC_TEXT7 = 1077;
inline constexpr int IDC_TEXT8 = 1078;

// Search dialog (134).
inline constexpr int IDC_SEARCH_ANIMATION = 1000;
inline constexpr int IDC_SEARCH_STATUS = PS_SEARCH_STATUS_ID;  // "Found " and the name, written by the discovery thread

// Welcome page (129).
inline constexpr int IDC_WELCOME_VERSION = 1062;

// Server list page (131).
inline constexpr int IDC_SERVER_LIST = 1002;
inline constexpr int IDC_REFRESH = 1003;
inline constexpr int IDC_SERVER_NOTE = 1062;

// Login page (160).
inline constexpr int IDC_LOGIN_NOTE_GROUP = 1060;  // group frame round the password note 1061
inline constexpr int IDC_MODIFY_NO = 1026;
inline constexpr int IDC_MODIFY_YES = 1027;  // first radio of the group
inline constexpr int IDC_PASSWORD = 1028;
inline constexpr int IDC_ZERO_IP_WARNING = 1030;   // read-only edit
inline constexpr int IDC_STATIC_IP_ADVICE = 1036;  // read-only edit
inline constexpr int IDC_PASSWORD_LABEL = 1067;

// TCP/IP page (138).
inline constexpr int IDC_DHCP1 = 1009;  // obtain automatically; first radio of the group
inline constexpr int IDC_DHCP2 = 1010;  // static address
inline constexpr int IDC_IP_ADDRESS = 1011;
inline constexpr int IDC_SUBNET_MASK = 1012;
inline constexpr int IDC_GATEWAY = 1013;
inline constexpr int IDC_IP_ADDRESS_LABEL = 1060;
inline constexpr int IDC_SUBNET_MASK_LABEL = 1061;
inline constexpr int IDC_GATEWAY_LABEL = 1062;

// Save page (142).
inline constexpr int IDC_SETTINGS_LIST = 1002;
inline constexpr int IDC_SAVE_PROGRESS = 1018;
inline constexpr int IDC_SAVE_STATUS = 1029;  // read-only edit
inline constexpr int IDC_PUBLIC_KEY_LINE = 1093;

// Printer page (139).
inline constexpr int IDC_PRINTER_LIST = 1002;
inline constexpr int IDC_ADD_NEW_PRINTER = 1032;

// Summary page (141).
inline constexpr int IDC_SUMMARY_LIST = 1002;
inline constexpr int IDC_SET_DEFAULT_PRINTER = 1015;
inline constexpr int IDC_PRINTER_SETTING_GROUP = 1060;

// Add Printer guide (171): the nine help texts, in order.
inline constexpr int IDC_HELP_ADD_PRINTER1 = 1048;
inline constexpr int IDC_HELP_ADD_PRINTER2 = 1049;
inline constexpr int IDC_HELP_ADD_PRINTER3 = 1050;
inline constexpr int IDC_HELP_ADD_PRINTER4 = 1051;
inline constexpr int IDC_HELP_ADD_PRINTER5 = 1052;
inline constexpr int IDC_HELP_ADD_PRINTER6 = 1053;
inline constexpr int IDC_HELP_ADD_PRINTER7 = 1054;
inline constexpr int IDC_HELP_ADD_PRINTER8 = 1055;
inline constexpr int IDC_HELP_ADD_PRINTER9 = 1056;

// Wireless basic settings page (181).
inline constexpr int IDC_CHANNEL = 1024;
inline constexpr int IDC_RATE = 1025;
inline constexpr int IDC_COMM_TYPE = 1039;
inline constexpr int IDC_SSID = 1040;
inline constexpr int IDC_TX_MODE_LABEL = 1080;
inline constexpr int IDC_TX_MODE = 1081;
inline constexpr int IDC_ADHOC_HELP = 1077;      // shown unless the model lists plain Ad-Hoc
inline constexpr int IDC_ADHOC_HELP_ALT = 1092;  // same place as 1077

// WEP key page (185) and the combined security page (107).
inline constexpr int IDC_WEP_KEY64 = 1032;
inline constexpr int IDC_WEP_KEY128 = 1043;
inline constexpr int IDC_ENABLE_WEP = 1051;
inline constexpr int IDC_KEY_64BIT = 1052;  // first radio of the size group
inline constexpr int IDC_KEY_128BIT = 1053;
inline constexpr int IDC_ENCRYPTION_KEY_LABEL = 1066;
inline constexpr int IDC_KEY_ALPHANUMERIC = 1069;  // first radio of the format group
inline constexpr int IDC_KEY_HEXADECIMAL = 1070;

// Combined security page (107).
inline constexpr int IDC_PSK_HINT = 1061;
inline constexpr int IDC_WEP_HELP64 = 1062;
inline constexpr int IDC_WEP_HELP128 = 1064;
inline constexpr int IDC_WEP_HELP_CHARS = 1076;
inline constexpr int IDC_SECURITY_NOTE = 1077;
inline constexpr int IDC_WPA_HELP = 1078;
inline constexpr int IDC_ENCRYPTION_LABEL = 1082;
inline constexpr int IDC_PSK_LABEL = 1083;
inline constexpr int IDC_AUTH_TYPE = 1084;
inline constexpr int IDC_CIPHER = 1085;
inline constexpr int IDC_PSK = 1086;
inline constexpr int IDC_KEY_FORMAT_LABEL = 1087;
inline constexpr int IDC_KEY_FORMAT = 1088;
inline constexpr int IDC_WEP_KEY_LABEL = 1089;
inline constexpr int IDC_WEP_MODE = 1091;

// 802.1X page (187).
inline constexpr int IDC_8021X_METHOD_LABEL = 1071;
inline constexpr int IDC_8021X_LOGIN_LABEL = 1072;
inline constexpr int IDC_8021X_PASSWORD_LABEL = 1073;
inline constexpr int IDC_8021X_LOGIN = 1074;
inline constexpr int IDC_8021X_PASSWORD = 1075;
inline constexpr int IDC_8021X_METHOD = 1076;

// WPA-PSK page (188).
inline constexpr int IDC_WPAPSK_LABEL = 1078;
inline constexpr int IDC_WPAPSK = 1079;

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------
// List column headers.
inline constexpr int IDS_COL_DEVICE_NAME = 102;
inline constexpr int IDS_COL_MAC_ADDRESS = 103;
inline constexpr int IDS_COL_IP_ADDRESS = 104;
inline constexpr int IDS_COL_VERSION = 105;
inline constexpr int IDS_COL_PRINTER_NAME = 110;
inline constexpr int IDS_COL_PORT = 112;
inline constexpr int IDS_COL_STATUS = 113;

// Search and server list.
inline constexpr int IDS_FOUND = IDS_FOUND_PREFIX;  // "Found ", followed by the server's name
inline constexpr int IDS_STATUS_DOWNLOAD_MODE = 107;
inline constexpr int IDS_STATUS_PAPER_OUT = 108;
inline constexpr int IDS_STATUS_OFFLINE = 109;
inline constexpr int IDS_STATUS_OK = 114;
inline constexpr int IDS_STATUS_BUSY = 115;
inline constexpr int IDS_STATUS_ASKING = 300;   // while the server is asked for its status
inline constexpr int IDS_STATUS_UNKNOWN = 301;  // no status came
inline constexpr int IDS_REFRESH = 144;

// Save page.
inline constexpr int IDS_SAVE_SERVER_NOT_FOUND = 116;  // "Cannot find the print server!"
inline constexpr int IDS_SAVE_DONE = 117;
inline constexpr int IDS_SAVE_SAVING = 118;
inline constexpr int IDS_PUBLIC_KEY = 218;
inline constexpr int IDS_SAVE_SEND_FAILED = 280;  // the device did not take the settings
inline constexpr int IDS_SAVE_NOT_IN_FORCE = 281;  // taken, but not in force after the restarts

// Add Printer guide, statics 1048 to 1056 in order.
inline constexpr int IDS_HELP_ADD_PRINTER1 = 119;
inline constexpr int IDS_HELP_ADD_PRINTER2 = 120;
inline constexpr int IDS_HELP_ADD_PRINTER3 = 121;
inline constexpr int IDS_HELP_ADD_PRINTER4 = 122;
inline constexpr int IDS_HELP_ADD_PRINTER5 = 123;
inline constexpr int IDS_HELP_ADD_PRINTER6 = 124;
inline constexpr int IDS_HELP_ADD_PRINTER7 = 125;
inline constexpr int IDS_HELP_ADD_PRINTER8 = 126;
inline constexpr int IDS_HELP_ADD_PRINTER9 = 127;

// Error messages (caption "Error", stop icon).
inline constexpr int IDS_ERR_SELECT_SERVER = 128;
inline constexpr int IDS_ERR_WRONG_PASSWORD = 129;
inline constexpr int IDS_ERR_NO_SERVER = 130;
inline constexpr int IDS_ERR_SELECT_PRINTER = 131;
inline constexpr int IDS_ERR_SPOOLER = 132;
inline constexpr int IDS_ERR_SUBNET_MASK = 133;
inline constexpr int IDS_ERR_NO_PRINTER_DRIVER = 134;
inline constexpr int IDS_ERR_PING = 135;
inline constexpr int IDS_ERR_DEVICE_KEY = 193;  // login page: the device's key cannot carry the password
// The monitor did not add the port; %lu is the system error.
inline constexpr int IDS_ERR_PORT_NOT_CREATED = 136;
// The registry holding the printers cannot be read; %s names the file and why.
inline constexpr int IDS_ERR_PRINTERS_UNREADABLE = 290;
inline constexpr int IDS_ERR_PSK_LENGTH = 200;  // WPA-PSK page
inline constexpr int IDS_ERR_KEY_LENGTH_5 = 219;
inline constexpr int IDS_ERR_KEY_LENGTH_10 = 220;
inline constexpr int IDS_ERR_KEY_LENGTH_13 = 221;
inline constexpr int IDS_ERR_KEY_LENGTH_26 = 222;
inline constexpr int IDS_ERR_KEY_LENGTH_PSK = 223;
inline constexpr int IDS_ERR_KEY_FORMAT_5 = 224;
inline constexpr int IDS_ERR_KEY_FORMAT_10 = 225;
inline constexpr int IDS_ERR_KEY_FORMAT_13 = 226;
inline constexpr int IDS_ERR_KEY_FORMAT_26 = 227;
inline constexpr int IDS_ERR_KEY_FORMAT_PSK = 228;

// Login page.
inline constexpr int IDS_MODIFY_YES = 145;
inline constexpr int IDS_MODIFY_NO = 146;
inline constexpr int IDS_WARN_ZERO_IP = 151;
inline constexpr int IDS_WARN_STATIC_IP = 152;
inline constexpr int IDS_PASSWORD_LABEL = 184;

// TCP/IP page.
inline constexpr int IDS_DHCP_AUTO = 147;
inline constexpr int IDS_DHCP_STATIC = 148;

// Printer and summary pages.
inline constexpr int IDS_ADD_NEW_PRINTER = 149;
inline constexpr int IDS_SET_DEFAULT_PRINTER = 150;
inline constexpr int IDS_FAILURE = 153;
inline constexpr int IDS_SET_PORT_MANUALLY = 154;

// Wireless values.
inline constexpr int IDS_MODE_INFRASTRUCTURE = 155;
inline constexpr int IDS_MODE_ADHOC = 156;
inline constexpr int IDS_MODE_80211B_ADHOC = 157;
inline constexpr int IDS_RATE_1_2 = 158;
inline constexpr int IDS_RATE_AUTO = 159;
inline constexpr int IDS_DISABLE = 160;
inline constexpr int IDS_WEP_64BIT = 161;
inline constexpr int IDS_WEP_128BIT = 162;
inline constexpr int IDS_RATE_5_5 = 163;
inline constexpr int IDS_RATE_11 = 164;
inline constexpr int IDS_CHANNEL_1 = 165;  // channel n is IDS_CHANNEL_1 + n - 1, up to 14
inline constexpr int IDS_CHANNEL_14 = 178;
constexpr int IdsChannel(int channel) { return IDS_CHANNEL_1 + channel - 1; }
inline constexpr int IDS_ENABLE_WEP = 179;
inline constexpr int IDS_KEY_ALPHANUMERIC = 180;
inline constexpr int IDS_KEY_HEXADECIMAL = 181;
inline constexpr int IDS_WEP_ENABLE_64 = 182;
inline constexpr int IDS_WEP_ENABLE_128 = 183;
inline constexpr int IDS_RATE_6 = 185;  // 185..192: 6, 9, 12, 18, 24, 36, 48, 54 Mbps
inline constexpr int IDS_RATE_9 = 186;
inline constexpr int IDS_RATE_12 = 187;
inline constexpr int IDS_RATE_18 = 188;
inline constexpr int IDS_RATE_24 = 189;
inline constexpr int IDS_RATE_36 = 190;
inline constexpr int IDS_RATE_48 = 191;
inline constexpr int IDS_RATE_54 = 192;
inline constexpr int IDS_8021X_MD5 = 195;
inline constexpr int IDS_8021X_CHAPV2 = 196;
inline constexpr int IDS_ENABLE = 198;
inline constexpr int IDS_NONE = 199;
inline constexpr int IDS_WPAPSK_TKIP = 203;
inline constexpr int IDS_WPAPSK_CCMP = 204;
inline constexpr int IDS_WPA2PSK_TKIP = 206;
inline constexpr int IDS_WPA2PSK_CCMP = 207;
inline constexpr int IDS_TXMODE_B_ONLY = 208;
inline constexpr int IDS_TXMODE_G_ONLY = 209;
inline constexpr int IDS_TXMODE_AUTO = 210;
inline constexpr int IDS_AUTH_WPAPSK = 211;
inline constexpr int IDS_AUTH_WPA2PSK = 212;
inline constexpr int IDS_AUTH_OPEN = 213;
inline constexpr int IDS_AUTH_SHARED = 214;
inline constexpr int IDS_AUTH_BOTH = 215;
inline constexpr int IDS_ENC_WEP64 = 216;
inline constexpr int IDS_ENC_WEP128 = 217;

// Row labels and values of the save page's and the summary page's lists, so that
// the Japanese wizard can show them in Japanese too.
inline constexpr int IDS_SUM_CURRENT_SETTINGS = 230;
inline constexpr int IDS_SUM_SERVER_NAME = 231;
inline constexpr int IDS_SUM_MAC_ADDRESS = 232;
inline constexpr int IDS_SUM_DHCP = 233;
inline constexpr int IDS_SUM_IP_ADDRESS = 234;
inline constexpr int IDS_SUM_SUBNET_MASK = 235;
inline constexpr int IDS_SUM_GATEWAY = 236;
inline constexpr int IDS_SUM_MODE = 237;
inline constexpr int IDS_SUM_ESSID = 238;
inline constexpr int IDS_SUM_RATES = 239;
inline constexpr int IDS_SUM_AUTH_TYPE = 240;
inline constexpr int IDS_SUM_ENCRYPTION = 241;
inline constexpr int IDS_SUM_WEP = 242;
inline constexpr int IDS_SUM_WPAPSK = 243;
inline constexpr int IDS_SUM_8021X = 244;
inline constexpr int IDS_SUM_ENABLED = 245;
inline constexpr int IDS_SUM_DISABLED = 246;
inline constexpr int IDS_SUM_PRINTER_NAME = 247;
inline constexpr int IDS_SUM_PORT_NAME = 248;
inline constexpr int IDS_SUM_PRINTER_IP = 249;
