#include "wizard/wizard_settings.h"

namespace WizardSettings {

int m_SelectedRow = 0;
CPrintServer* m_pSelectedPS = nullptr;
int m_PortID = 0;
int m_NoModify = 0;

BYTE m_NewIPAddress[4] = {};
BYTE m_SubnetMask[4] = {};
BYTE m_Gateway[4] = {};
int m_DHCP = 0;

int m_Wireless = 0;
BYTE m_NoPassword = 0;
int m_SecureConfig = 0;
int m_HasSecurityPage = 0;
int m_HasWPAPSK = 0;
int m_Has8021X = 0;
int m_HasGRates = 0;
int m_HasTxMode = 0;
int m_HasWirelessOption = 0;
int m_WirelessOption = 0;
BYTE m_ModelCode = 0;
int m_CommType = 0;
CStringA m_SSID;
int m_RegDomain = 0;
CStringA m_Channel;
int m_RateIndex = 0;
BYTE m_TxMode = 0;
BYTE m_AuthType = 0;
BYTE m_Encryption = 0;
int m_WEPMode = 0;
int m_WEPKeyFormat = 0;
int m_WEPKeySlot = 0;
CStringA m_WEPKey64;
CStringA m_WEPKey128;
int m_WEPEnabled = 0;
int m_8021XMethod = 0;
CStringA m_8021XLogin;
CStringA m_8021XPassword;
CStringA m_WPAPSK;

int m_PortCreated = 0;
char m_PortName[20] = {};
CStringA m_PrinterName;
int m_AddPrinterRunning = 0;

}  // namespace WizardSettings
