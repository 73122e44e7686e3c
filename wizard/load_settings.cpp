#include "wizard/load_settings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/print_server_list.h"
#include "wizard/resources/resource_ids.h"
#include "wizard/wizard_page.h"
#include "wizard/wizard_settings.h"

namespace {

// A stored reply with this command word sends the wizard straight to the printer
// page: the server's settings are not to be changed here.
constexpr WORD kNoSetupReplyWord = 0x0184;
// From this model on, the device has no 802.11b Ad-Hoc mode of its own.
constexpr BYTE kFirstModelWithoutBAdHoc = 21;
constexpr int kCommType80211bAdHoc = 2;
constexpr int kCommTypeAdHoc = 1;
// GetTxRateG's index when the device reports no 802.11g rate.
constexpr int kNoGRate = 2;

// A key field read as text: up to its first zero byte, at most width characters.
CStringA KeyText(const BYTE* key, int width) {
  if (key == NULL) return CStringA();
  int n = 0;
  while (n < width && key[n] != 0) n++;
  return CStringA(reinterpret_cast<const char*>(key), n);
}

// A key field as upper-case hexadecimal digits, two per byte.
CStringA KeyHex(const BYTE* key, int width) {
  CStringA text;
  if (key == NULL) return text;
  char digits[3];
  for (int i = 0; i < width; i++) {
    std::snprintf(digits, sizeof(digits), "%02X", key[i]);
    text += digits;
  }
  return text;
}

void LoadWireless(CPrintServer& ps) {
  using namespace WizardSettings;
  m_NoPassword = static_cast<BYTE>(ps.GetLoginMode());
  m_HasWirelessOption = ps.HasWirelessOption();
  if (m_HasWirelessOption) m_WirelessOption = ps.GetWirelessOption();
  m_CommType = ps.GetCommType();
  m_ModelCode = ps.GetModelCode();
  if (m_ModelCode >= kFirstModelWithoutBAdHoc && m_CommType == kCommType80211bAdHoc) m_CommType = kCommTypeAdHoc;
  m_SSID = ps.GetSSID();
  m_RegDomain = ps.GetDomain();
  m_Channel.Format("%d", ps.GetChannel());

  m_HasGRates = ps.HasGRates();
  m_Has8021X = ps.Has8021X();
  m_HasWPAPSK = ps.HasWPAPSK();
  m_HasSecurityPage = ps.HasWPA2PSK();
  m_HasTxMode = ps.HasTxMode();
  m_SecureConfig = ps.HasSecureConfig();

  if (m_HasGRates) {
    const int rate = ps.GetTxRateG();
    m_RateIndex = rate == kNoGRate ? ps.GetTxRate() : rate;
  } else {
    m_RateIndex = ps.GetTxRate();
  }
  if (m_HasTxMode) m_TxMode = static_cast<BYTE>(ps.GetTxMode());
  m_AuthType = static_cast<BYTE>(ps.GetAuthType());
  if (m_HasSecurityPage) m_Encryption = static_cast<BYTE>(ps.GetEncryption());

  if (m_SecureConfig) {
    // The modulus as long as the device's key section says, never more.
    int length = 0;
    const BYTE* modulus = ps.GetRSAModulus(&length);
    if (modulus != NULL) {
      if (length > static_cast<int>(sizeof(m_DeviceKey))) length = sizeof(m_DeviceKey);
      std::memcpy(m_DeviceKey, modulus, static_cast<size_t>(length));
    }
  }

  m_WEPMode = ps.GetWEPMode();
  m_WEPKeySlot = ps.GetWEPKeyIndex();
  m_WEPKeyFormat = ps.GetWEPKeyFormat();
  if (m_WEPKeyFormat == 0) {
    m_WEPKey64 = KeyText(ps.GetWEPKey64(), PSField::WEPKey64Width);
    m_WEPKey128 = KeyText(ps.GetWEPKey128(), PSField::WEPKey128Width);
  } else {
    m_WEPKey64 = KeyHex(ps.GetWEPKey64(), PSField::WEPKey64Width);
    m_WEPKey128 = KeyHex(ps.GetWEPKey128(), PSField::WEPKey128Width);
  }

  if (m_Has8021X) {
    m_8021XMethod = ps.Get8021XMethod();
    m_8021XLogin = ps.Get8021XUser();
    m_8021XPassword = ps.Get8021XPassword();
  }
  if (m_HasWPAPSK || m_HasSecurityPage) m_WPAPSK = ps.GetWPAPSK();
}

// Six hexadecimal numbers separated by colons; each number's low byte.
BOOL ReadNodeID(const CStringA& text, BYTE* nodeID) {
  unsigned parts[6];
  if (std::sscanf(text.GetString(), "%x:%x:%x:%x:%x:%x", &parts[0], &parts[1], &parts[2], &parts[3], &parts[4],
                  &parts[5]) != 6)
    return FALSE;
  for (int i = 0; i < 6; i++) nodeID[i] = static_cast<BYTE>(parts[i] & 0xFF);
  return TRUE;
}

}  // namespace

void ResetDeviceSettings() {
  using namespace WizardSettings;
  m_NoPassword = 0;
  m_HasWirelessOption = m_WirelessOption = m_CommType = 0;
  m_ModelCode = 0;
  m_RegDomain = m_RateIndex = 0;
  m_TxMode = 0;
  m_HasGRates = m_Has8021X = m_HasWPAPSK = m_HasSecurityPage = m_HasTxMode = m_SecureConfig = 0;
  m_AuthType = m_Encryption = 0;
  m_WEPMode = m_WEPKeySlot = m_WEPKeyFormat = m_WEPEnabled = 0;
  m_8021XMethod = 0;
  std::memset(m_DeviceKey, 0, sizeof(m_DeviceKey));
  m_SSID.Empty();
  m_Channel.Empty();
  m_WEPKey64.Empty();
  m_WEPKey128.Empty();
  m_8021XLogin.Empty();
  m_8021XPassword.Empty();
  m_WPAPSK.Empty();
}

int PortIDFromColumn(LPCSTR text) {
  if (text == NULL) return 0;
  const unsigned char first = static_cast<unsigned char>(text[0]);
  if (std::isdigit(first)) return first - '0';
  if ((first == 'P' || first == 'U') && std::isdigit(static_cast<unsigned char>(text[1]))) return text[1] - '0';
  return 0;
}

LRESULT LoadServerSettings(CPrintServer* ps) {
  using namespace WizardSettings;
  m_pSelectedPS = ps;
  // A server without an address, or without a record, reads as 0.0.0.0.
  const BYTE* address = ps ? ps->GetIPAddress() : NULL;
  if (address != NULL) std::memcpy(m_ServerIPAddress, address, sizeof(m_ServerIPAddress));
  else std::memset(m_ServerIPAddress, 0, sizeof(m_ServerIPAddress));
  if (ps == NULL) {
    m_Wireless = 0;
    return IDD_WIZARD_LOGIN;
  }

  if (ps->m_pReply != NULL && ps->m_ReplyLength >= PS_HEADER_LENGTH &&
      PSGetWord(ps->m_pReply + 4) == kNoSetupReplyWord)
    return IDD_WIZARD_PRINTER;

  m_Wireless = ps->HasWireless();
  if (m_Wireless) LoadWireless(*ps);
  return IDD_WIZARD_LOGIN;
}

LRESULT LoadSettings(CListCtrl& list, WizardPage& page) {
  using namespace WizardSettings;
  ResetDeviceSettings();
  POSITION position = list.GetFirstSelectedItemPosition();
  const int row = position != NULL ? list.GetNextSelectedItem(position) : -1;
  if (row < 0) {
    m_SelectedRow = -1;
    page.ShowError(IDS_ERR_SELECT_SERVER);
    return IDD_WIZARD_SERVER_LIST;
  }
  m_SelectedRow = row;

  // The port column gives the device's port number; a row whose column has none
  // carries it as its item data.
  int port = PortIDFromColumn(list.GetItemText(row, SERVER_COLUMN_PORT).GetString());
  if (port == 0) port = static_cast<int>(list.GetItemData(row));
  if (port != 0) m_PortID = port;

  CPrintServer* ps = NULL;
  if (ReadNodeID(list.GetItemText(row, SERVER_COLUMN_MAC), m_ServerNodeID)) ps = FindPrintServer(m_ServerNodeID);
  if (ps == NULL) {
    // The row's server is gone from the list: nothing of it can be set up.
    LoadServerSettings(NULL);
    m_pSelectedPS = NULL;
    m_SelectedRow = -1;
    page.ShowError(IDS_ERR_SELECT_SERVER);
    return IDD_WIZARD_SERVER_LIST;
  }
  return LoadServerSettings(ps);
}
