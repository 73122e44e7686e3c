// The texts, captions and fonts of the wizard's dialogs, English.
#include <iterator>

#include "wizard/resources/tables.h"
#include "wizard/resources/template_items.h"

namespace vek::wizard {
namespace {

using namespace items;
using vek::framework::DialogTexts;
using vek::framework::ItemText;

// The caption names the product and stays as it is in every language.
constexpr const char* kCaption = "VEK Setup Wizard";

constexpr ItemText kWelcome[] = {
    {1059, "This Wizard guides you through the installation of your wireless Tarvex print server."},
    {1060, "Before you proceed, make sure the print server and printer are properly connected and turned on."},
    {1061, "To continue, click Next."},
    {IDC_WELCOME_VERSION, "Version 0.95.01x"},
};

constexpr ItemText kServerList[] = {
    {1059, "The Wizard has found the following print servers on the network.\nSelect a print server from the list."},
    {1060, "Detected print servers on your local network:"},
    {IDC_REFRESH, "Refresh"},
    {1061, "If the print server you want to set up is not displayed, check the connection and click Refresh."},
    {IDC_SERVER_NOTE,
     "Note: If your print server has just been turned on, it may take a few minutes for the print server to initialize "
     "before it can be detected and displayed by the Wizard."},
};

constexpr ItemText kSearch[] = {
    {IDOK, "OK"},
    {IDCANCEL, "Cancel"},
    {IDC_STATIC, "Searching for print servers"},
};

constexpr ItemText kLogin[] = {
    {1059,
     "This Wizard allows the network administrator to change some basic settings of the print server. If you are not "
     "the network administrator, do not change any settings. Incorrect settings may cause faulty behaviour in the "
     "print server."},
    {IDC_MODIFY_YES, "Yes, I want to modify settings."},
    {IDC_MODIFY_NO, "No, I don't want to change settings."},
    {IDC_PASSWORD_LABEL, "Password :"},
    {1061,
     "If you have changed the print server's default password (mivo), you must enter it in the password field. If you "
     "are configuring a wireless print server and it is operating in Diagnostic mode, you do not need to enter a "
     "password."},
};

constexpr ItemText kWirelessBasic[] = {
    {1059,
     "Configure the following wireless settings on the print server. These settings must match your wireless network "
     "for the print server to communicate with all computers over a wireless connection."},
    {1060, "Communication Type :"},
    {1061, "SSID :"},
    {1062, "Channel Number :"},
    {1064, "Data Transmission Rate :"},
    {IDC_TX_MODE_LABEL, "Transmit Mode :"},
    {1076,
     "1.In Infrastructure (Access Point) mode, the wireless print server will communicate with network computers "
     "through an Access Point."},
    {IDC_ADHOC_HELP, "2. In Ad-Hoc mode, wireless devices communicate with each other directly."},
    {IDC_ADHOC_HELP_ALT, "2.In Ad-Hoc mode, wireless devices communicate with each other directly."},
    {1078,
     "If the communication type is 'Infrastructure (Access Point)', you do not need to enter the Channel number used "
     "by the Access Point."},
};

constexpr ItemText kWirelessWep[] = {
    {1059,
     "Configure the following security settings on the print server. These settings must match your wireless network "
     "for the Tarvex print server to communicate with all computers over a wireless connection."},
    {IDC_ENABLE_WEP, "Enable WEP Encryption"},
    {1060, "Type :"},
    {IDC_KEY_64BIT, "64-bit"},
    {IDC_KEY_128BIT, "128-bit"},
    {1061, "Key Format :"},
    {IDC_KEY_ALPHANUMERIC, "Alphanumeric"},
    {IDC_KEY_HEXADECIMAL, "Hexadecimal"},
    {IDC_ENCRYPTION_KEY_LABEL, "Encryption Key :"},
    {1062,
     "1. For 64-bit (sometimes called 40-bit) WEP encryption, enter the key that contains 5 alphanumeric characters or "
     "10 hexadecimal digits (depending on the key format you select)"},
    {1064,
     "2. For 128-bit WEP encryption, enter the key that contains 13 alphanumeric characters or 26 hexadecimal digits "
     "(depending on the key format you select)"},
    {1076,
     "(An alphanumeric character is a through z, A through Z, and 0 through 9. A hexadecimal digit is 0 through 9 and "
     "A through F)"},
    {1077,
     "If your wireless network uses WEP encryption to secure all data communication, you must enable the WEP "
     "encryption setting and enter a key for the print server."},
};

constexpr ItemText kWireless8021x[] = {
    {1059, "This page allows you to configure 802.1X (EAP) settings."},
    {IDC_8021X_LOGIN_LABEL, "Login Name :"},
    {IDC_8021X_PASSWORD_LABEL, "Password :"},
    {IDC_8021X_METHOD_LABEL, "Authentication :"},
    {1077,
     "Select an 802.1X authentication method from the list. If you select  EAP - MD5, please enter your password."},
};

constexpr ItemText kWirelessWpaPsk[] = {
    {1059,
     "If you have defined a WPA Pre-Shared Key in your Access Point, it must also be configured in the print server."},
    {IDC_WPAPSK_LABEL, "Pre-shared Key :"},
    {1061, "(8 to 63 characters)"},
    {1077,
     "Note: The key is case-sensitive. A print server is only accessible if the print server's key matches the Access "
     "Point's key."},
};

constexpr ItemText kWirelessSecurity[] = {
    {1059,
     "This page allows you to set up the print server's security feature for safeguarding the wireless connection."},
    {1060, "Authentication Type :"},
    {IDC_ENCRYPTION_LABEL, "Encryption :"},
    {IDC_KEY_FORMAT_LABEL, "Key Format :"},
    {IDC_WEP_KEY_LABEL, "WEP Key :"},
    {IDC_PSK_LABEL, "Pre-shared Key :"},
    {IDC_PSK_HINT, "(8 to 63 characters)"},
    {IDC_WEP_HELP64,
     "1.For 64-bit (sometimes called 40-bit) WEP encryption, enter the key    which contains 5 alphanumeric character "
     "or 10 hexadecimal digits    (depending on the key format you select)"},
    {IDC_WEP_HELP128,
     "2.For 128-bit WEP encryption, enter the key which contains 13                alphanumeric characters or 26 "
     "hexadecimal digits (depending on      the key format you select)"},
    {IDC_WEP_HELP_CHARS,
     "(An alphanumeric character is a through z, A through Z, and 0 through 9. A hexadecimal digit is 0 through 9 and "
     "A through F)"},
    {IDC_WPA_HELP,
     "Wi-Fi Protected Access (WPA) gives you the enhanced security and brings an immediate security solution to WLANs "
     "in both enterprise and small office/home office environments."},
    {IDC_SECURITY_NOTE,
     "Note: The key is case-sensitive. A print server is accessible if the security settings above all matches Access "
     "Point's settings."},
};

constexpr ItemText kTcpip[] = {
    {1059,
     "Specify TCP/IP settings for the print server. The print server can be configured to either obtain an IP address "
     "from a DHCP server on the network, or to use a static IP address."},
    {IDC_DHCP1, "Obtain an IP address automatically (use DHCP)"},
    {IDC_DHCP2, "Specify an IP address"},
    {IDC_IP_ADDRESS_LABEL, "IP Address"},
    {IDC_SUBNET_MASK_LABEL, "Subnet Mask"},
    {IDC_GATEWAY_LABEL, "Gateway IP Address"},
    {1064,
     "It is highly recommended that you give the print server a static IP address. Make sure the IP address is entered "
     "correctly for the print server to work properly."},
};

constexpr ItemText kPrinter[] = {
    {1059,
     "The Wizard will help you set up the printer that is connected to the print server. You can either select a "
     "printer that has already been installed on this computer or add a new printer."},
    {1060, "Select a printer from the following list"},
    {IDC_ADD_NEW_PRINTER, "Add New Printer"},
    {1061,
     "To add a new printer, you need an appropriate printer driver (found on the printer's installation CD/diskette or "
     "the printer manufacturer's web site)"},
};

constexpr ItemText kSummary[] = {
    {1059, "The Wizard is about to finish the installation. A summary of the settings will be displayed."},
    {IDC_PRINTER_SETTING_GROUP, "Printer Setting"},
    {IDC_SET_DEFAULT_PRINTER, "Use this printer as the default printer"},
    {1061, "Verify all information."},
};

constexpr ItemText kFinish[] = {
    {1059, "The Wizard has successfully installed the Tarvex print server and selected printer on your system."},
};

constexpr ItemText kAddPrinterGuide[] = {
    {IDC_HELP_ADD_PRINTER1,
     "You have chosen to add a new printer. Windows Add Printer Wizard will help you add a new printer on this "
     "computer. Follow the given instructions; the steps may vary slightly between different Windows versions."},
    {IDC_HELP_ADD_PRINTER2,
     "When Windows Add Print Wizard is finished, you must return to the Tarvex Print Server Setup Wizard."},
    {IDC_HELP_ADD_PRINTER3, "1.  When Windows Add Printer Wizard starts, click Next."},
    {IDC_HELP_ADD_PRINTER4, "2.  Click Local Printer (My Computer in Windows NT), then click Next."},
    {IDC_HELP_ADD_PRINTER5, "3.  Select Use the Following Port, then LPT1 and click Next."},
    {IDC_HELP_ADD_PRINTER6,
     "4.  Follow the instructions to finish the printer setup: select printer manufacturer/model and name the "
     "printer."},
    {IDC_HELP_ADD_PRINTER7, "5.  Do not print a test page."},
    {IDC_HELP_ADD_PRINTER8, "6.  Click Finish to complete the Windows Add Printer Wizard."},
    {IDC_HELP_ADD_PRINTER9, "7.  Now return to Tarvex VEK Wizard and continue the setup."},
};

constexpr DialogTexts Page(int id) { return {static_cast<UINT>(id), kCaption, kPageFont, kPageFontSize, nullptr, 0}; }

template <std::size_t N>
constexpr DialogTexts Page(int id, const ItemText (&texts)[N]) {
  return {static_cast<UINT>(id), kCaption, kPageFont, kPageFontSize, texts, N};
}

constexpr DialogTexts kTexts[] = {
    Page(IDD_WIZARD_WELCOME, kWelcome),
    Page(IDD_WIZARD_SERVER_LIST, kServerList),
    Page(IDD_WIZARD_LOGIN, kLogin),
    Page(IDD_WIZARD_WL_BASIC, kWirelessBasic),
    Page(IDD_WIZARD_WL_WEP, kWirelessWep),
    Page(IDD_WIZARD_WL_8021X, kWireless8021x),
    Page(IDD_WIZARD_WL_WPAPSK, kWirelessWpaPsk),
    Page(IDD_WIZARD_WL_SECURITY, kWirelessSecurity),
    Page(IDD_WIZARD_TCPIP, kTcpip),
    Page(IDD_WIZARD_SAVE),  // the page writes every text itself
    Page(IDD_WIZARD_PRINTER, kPrinter),
    Page(IDD_WIZARD_SUMMARY, kSummary),
    Page(IDD_WIZARD_FINISH, kFinish),
    {IDD_SEARCH, "", "Arial", 8, kSearch, std::size(kSearch)},
    {IDD_ADD_PRINTER_GUIDE, "Adding A New Printer Help", "Verdana", 9, kAddPrinterGuide, std::size(kAddPrinterGuide)},
};

}  // namespace

std::span<const DialogTexts> EnglishDialogTexts() { return kTexts; }

}  // namespace vek::wizard
