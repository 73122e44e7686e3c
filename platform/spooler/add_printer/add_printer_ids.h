// Dialog and control ids of the Add Printer wizard.
#pragma once

namespace vek::spooler {

inline constexpr unsigned IDD_ADD_PRINTER_WELCOME = 200;
inline constexpr unsigned IDD_ADD_PRINTER_LOCAL = 201;
inline constexpr unsigned IDD_ADD_PRINTER_PORT = 202;
inline constexpr unsigned IDD_ADD_PRINTER_MODEL = 203;
inline constexpr unsigned IDD_ADD_PRINTER_TEST = 204;

inline constexpr int IDC_AP_TITLE = 100;
inline constexpr int IDC_AP_TEXT = 101;
inline constexpr int IDC_AP_TEXT2 = 102;
inline constexpr int IDC_AP_LOCAL = 110;  // first radio of the group
inline constexpr int IDC_AP_NETWORK = 111;
inline constexpr int IDC_AP_PORT_LABEL = 120;
inline constexpr int IDC_AP_PORT = 121;
inline constexpr int IDC_AP_MAKER_LABEL = 130;
inline constexpr int IDC_AP_MAKER = 131;
inline constexpr int IDC_AP_MODEL_LABEL = 132;
inline constexpr int IDC_AP_MODEL = 133;
inline constexpr int IDC_AP_NAME_LABEL = 134;
inline constexpr int IDC_AP_NAME = 135;
inline constexpr int IDC_AP_TEST_YES = 140;  // first radio of the group
inline constexpr int IDC_AP_TEST_NO = 141;

}  // namespace vek::spooler
