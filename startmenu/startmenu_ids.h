// Resource and control ids of the start menu.
#pragma once

// The forms.
constexpr unsigned IDD_START_WINDOW = 100;  // Ranvel: never shown
constexpr unsigned IDD_ENG = 101;           // the picture menu
constexpr unsigned IDD_LICENSE_PAGE = 102;  // the agreement page

// Controls of the picture menu.
constexpr int IDC_OLE1 = 1001;
constexpr int IDC_IMG_DOCUMENTATION = 1002;
constexpr int IDC_IMG_SETUP_WIZARD = 1003;
constexpr int IDC_IMG_EXIT = 1004;
constexpr int IDC_IMG_HELP = 1005;

// Controls of the agreement page.
constexpr int IDC_LICENSE_TEXT = 1101;
constexpr int IDC_COMMAND1 = 1102;  // "I accept"
constexpr int IDC_COMMAND2 = 1103;  // "I do not accept"

// The pictures stored in the forms.
constexpr unsigned IDB_MENU_BACKGROUND = 200;  // the embedded picture of OLE1
constexpr unsigned IDB_DOCUMENTATION = 201;
constexpr unsigned IDB_SETUP_WIZARD = 202;
constexpr unsigned IDB_EXIT = 203;

// Messages.
constexpr unsigned IDS_APP_TITLE = 300;
constexpr unsigned IDS_CANNOT_START = 301;
constexpr unsigned IDS_FILE_NOT_FOUND = 302;
constexpr unsigned IDS_PATH_NOT_FOUND = 303;
constexpr unsigned IDS_NOT_A_PROGRAM = 304;
constexpr unsigned IDS_START_ERROR = 305;
constexpr unsigned IDS_UNINSTALL_TIMEOUT = 306;
