// The wizard's shared state: the chosen print server and the user's answers, handed
// from page to page. Plain process-wide values, filled from the chosen server's
// record when the user leaves the server list and written back when the settings
// are saved.
//
// The fields the protocol code uses as well (the search state, the chosen
// server's MAC and address, the device key) are declared in
// protocol/shared_settings.h.
#pragma once

#include "framework/cstring.h"
#include "kernel/types.h"
#include "protocol/shared_settings.h"

class CPrintServer;

namespace WizardSettings {

// Selection and run state.
extern int m_SelectedRow;        // chosen row of the server list, -1 for none
extern CPrintServer* m_pSelectedPS;
extern int m_PortID;
extern int m_NoModify;           // the login page's answer: 1 = keep the settings

// TCP/IP. The address typed on the TCP/IP page is kept apart from
// m_ServerIPAddress, the address the server answers at now, which the login and
// the re-location still need; the save writes it into the record.
extern BYTE m_NewIPAddress[4];
extern BYTE m_SubnetMask[4];
extern BYTE m_Gateway[4];
extern int m_DHCP;

// Wireless settings and what the server offers.
extern int m_Wireless;
extern BYTE m_NoPassword;
extern int m_SecureConfig;
extern int m_HasSecurityPage;
extern int m_HasWPAPSK;
extern int m_Has8021X;
extern int m_HasGRates;
extern int m_HasTxMode;
extern int m_HasWirelessOption;
extern int m_WirelessOption;
extern BYTE m_ModelCode;
extern int m_CommType;
extern CStringA m_SSID;
extern int m_RegDomain;
extern CStringA m_Channel;
extern int m_RateIndex;
extern BYTE m_TxMode;
extern BYTE m_AuthType;
extern BYTE m_Encryption;
extern int m_WEPMode;
extern int m_WEPKeyFormat;
extern int m_WEPKeySlot;
extern CStringA m_WEPKey64;
extern CStringA m_WEPKey128;
extern int m_WEPEnabled;
extern int m_8021XMethod;
extern CStringA m_8021XLogin;
extern CStringA m_8021XPassword;
extern CStringA m_WPAPSK;
// A pre-shared key holds 8 to 63 characters; a shorter one switches WPA-PSK off.
constexpr int kShortestPSK = 8;
constexpr int kLongestPSK = 63;

// The printer and the port handed over.
extern int m_PortCreated;
extern char m_PortName[20];
extern CStringA m_PrinterName;  // any length: printer names are the spooler's
extern int m_AddPrinterRunning;

}  // namespace WizardSettings
