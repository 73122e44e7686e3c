#include "wizard/settings_write_back.h"

#include <cstring>

#include "protocol/print_server.h"
#include "wizard/wizard_settings.h"

namespace {

// Models from this code on have one ad-hoc mode only, which they call 2; the
// wizard lists it as its "Ad-Hoc", 1.
constexpr BYTE kSingleAdHocModels = 21;
constexpr int kCommAdHoc = 1;
constexpr int kCommAdHocOnly = 2;
// Rate indexes above this one are the 802.11g rates (Auto and 6 to 54 Mbps).
constexpr int kLastBRateIndex = 2;
constexpr int kAuthOpen = 0;
constexpr int kAuthWPAPSK = 3;

// The wireless page's channel text: TRUE with *channel for a decimal number of
// 1 to 255; anything else leaves the record's channel as it is.
BOOL ParseChannelText(const char* text, int* channel) {
  if (text == NULL || *text == 0) return FALSE;
  int value = 0;
  for (const char* p = text; *p; p++) {
    if (*p < '0' || *p > '9') return FALSE;
    value = value * 10 + (*p - '0');
    if (value > 255) return FALSE;
  }
  if (value < 1) return FALSE;
  *channel = value;
  return TRUE;
}

void WriteWireless(CPrintServer& ps) {
  using namespace WizardSettings;
  if (m_HasWirelessOption) ps.SetWirelessOption(m_WirelessOption);
  // Remapped on a copy: the wireless page shows m_CommType as the user chose it.
  int commType = m_CommType;
  if (m_ModelCode >= kSingleAdHocModels && commType == kCommAdHoc) commType = kCommAdHocOnly;
  ps.SetCommType(commType);
  ps.SetSSID(m_SSID.GetString());
  int channel = 0;
  if (ParseChannelText(m_Channel.GetString(), &channel)) ps.SetChannel(channel);
  if (ps.HasGRates() && m_RateIndex > kLastBRateIndex) {
    ps.SetTxRateG(m_RateIndex);
    ps.SetTxRate(0);
  } else {
    ps.SetTxRateG(0);
    ps.SetTxRate(m_RateIndex);
  }
  if (m_HasTxMode) ps.SetTxMode(m_TxMode);
  if (m_HasSecurityPage) {
    ps.SetAuthType(m_AuthType);
    ps.SetEncryption(m_Encryption);
    ps.SetWPAPSK(m_WPAPSK.GetString());
  }
  // The WEP key bytes themselves were written into the record by the wireless
  // pages.
  ps.SetWEPMode(m_WEPMode);
  ps.SetWEPKeyFormat(m_WEPKeyFormat);
  if (m_Has8021X) {
    ps.Set8021XMethod(m_8021XMethod);
    ps.Set8021XUser(m_8021XLogin.GetString());
    ps.Set8021XPassword(m_8021XPassword.GetString());
  }
  if (m_HasWPAPSK && !m_HasSecurityPage) {
    ps.SetWPAPSK(m_WPAPSK.GetString());
    ps.SetAuthType(m_WPAPSK.GetLength() >= kShortestPSK ? kAuthWPAPSK : kAuthOpen);
  }
}

void CopyAddress(BYTE* field, const BYTE* value) {
  if (field != NULL) std::memcpy(field, value, 4);
}

}  // namespace

void WriteBackSettings(CPrintServer& ps) {
  using namespace WizardSettings;
  if (m_Wireless) WriteWireless(ps);
  // The typed addresses go in with DHCP on as well; the device then takes its
  // address from DHCP.
  CopyAddress(ps.GetIPAddress(), m_NewIPAddress);
  CopyAddress(ps.GetSubnetMask(), m_SubnetMask);
  CopyAddress(ps.GetGateway(), m_Gateway);
  if (ps.HasDHCPSwitch()) ps.SetDHCP(m_DHCP);
}
