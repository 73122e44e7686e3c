// CPrintServer: the wireless and security settings. Indexes of the rate and mode
// getters and setters are those of the wizard's lists.
#include <cstring>

#include "protocol/print_server.h"

namespace {

// Clamps *p in place when it is above limit (a later upload sends the clamped
// value) and returns it.
int ClampInPlace(BYTE* p, int limit, BYTE replacement) {
  if (*p > limit) *p = replacement;
  return *p;
}

}  // namespace

int CPrintServer::GetCommType() {
  BYTE* p = WirelessField(PSField::CommType);
  return p ? ClampInPlace(p, 2, 1) : 1;
}

BOOL CPrintServer::SetCommType(int type) {
  BYTE* p = WirelessField(PSField::CommType);
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(type) > 2 ? 1 : static_cast<BYTE>(type);
  return TRUE;
}

LPCSTR CPrintServer::GetSSID() {
  return FormatText(m_ScratchText, sizeof(m_ScratchText), WirelessField(PSField::SSID, PSField::SSIDWidth),
                    PSField::SSIDWidth);
}

BOOL CPrintServer::SetSSID(LPCSTR ssid) {
  BYTE* p = WirelessField(PSField::SSID, PSField::SSIDWidth);
  if (p == NULL) return FALSE;
  WriteText(p, PSField::SSIDWidth, ssid);
  return TRUE;
}

int CPrintServer::GetDomain() const {
  const BYTE* p = WirelessField(PSField::Domain);
  return p ? *p : 0;
}

int CPrintServer::GetChannel() const {
  const BYTE* p = WirelessField(PSField::Channel);
  return p ? *p : 0;
}

BOOL CPrintServer::SetChannel(int channel) {
  BYTE* p = WirelessField(PSField::Channel);
  if (p == NULL) return FALSE;
  *p = static_cast<BYTE>(channel);
  return TRUE;
}

// 802.11b rate masks by list index: 1-2, 5.5, 11 Mbit/s and all.
static const BYTE kTxRateMasks[] = {3, 4, 8, 15};

int CPrintServer::GetTxRate() const {
  const BYTE* p = WirelessField(PSField::TxRate);
  if (p == NULL) return 2;
  for (int i = 0; i < 3; i++)
    if (*p == kTxRateMasks[i]) return i;
  return 3;
}

BOOL CPrintServer::SetTxRate(int index) {
  BYTE* p = WirelessField(PSField::TxRate);
  if (p == NULL || index < 0 || index > 3) return FALSE;
  *p = kTxRateMasks[index];
  return TRUE;
}

int CPrintServer::GetAuthType() const {
  const BYTE* p = WirelessField(PSField::AuthType);
  if (p == NULL) return 0;
  return *p >= 2 && *p <= 5 ? *p - 1 : 0;
}

BOOL CPrintServer::SetAuthType(int type) {
  BYTE* p = WirelessField(PSField::AuthType);
  if (p == NULL) return FALSE;
  *p = static_cast<BYTE>(type + 1);
  return TRUE;
}

int CPrintServer::GetWEPMode() {
  BYTE* p = WirelessField(PSField::WEPMode);
  return p ? ClampInPlace(p, 2, 1) : 1;
}

BOOL CPrintServer::SetWEPMode(int mode) {
  BYTE* p = WirelessField(PSField::WEPMode);
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(mode) > 2 ? 1 : static_cast<BYTE>(mode);
  return TRUE;
}

int CPrintServer::GetWEPKeyIndex() {
  BYTE* p = WirelessField(PSField::WEPKeyIndex);
  return p ? ClampInPlace(p, 4, 0) : 0;
}

BOOL CPrintServer::SetWEPKeyIndex(int index) {
  BYTE* p = WirelessField(PSField::WEPKeyIndex);
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(index) > 4 ? 0 : static_cast<BYTE>(index);
  return TRUE;
}

BYTE* CPrintServer::GetWEPKey64() { return GetWEPKey64Slot(0); }

BYTE* CPrintServer::GetWEPKey64Slot(int slot) {
  if (slot < 0 || slot > 3) return NULL;
  return WirelessField(PSField::WEPKey64 + slot * PSField::WEPKey64Slot, PSField::WEPKey64Width);
}

BYTE* CPrintServer::GetWEPKey128() { return WirelessField(PSField::WEPKey128, PSField::WEPKey128Width); }

BYTE* CPrintServer::GetWEPKeyText64() { return WirelessField(PSField::WEPKey64, PSField::WEPKey64Width + 1); }

BYTE* CPrintServer::GetWEPKeyText128() { return WirelessField(PSField::WEPKey128, PSField::WEPKey128Width + 1); }

int CPrintServer::GetWEPKeyFormat() {
  BYTE* p = WirelessField(PSField::WEPKeyFormat);
  return p ? ClampInPlace(p, 1, 0) : 1;
}

BOOL CPrintServer::SetWEPKeyFormat(int format) {
  BYTE* p = WirelessField(PSField::WEPKeyFormat);
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(format) > 1 ? 0 : static_cast<BYTE>(format);
  return TRUE;
}

int CPrintServer::GetLoginMode() {
  BYTE* p = WirelessField(PSField::LoginMode);
  return p ? ClampInPlace(p, 1, 0) : 0;
}

int CPrintServer::GetWirelessOption() {
  BYTE* p = HasWirelessOption() ? WirelessField(PSField::WirelessOption) : NULL;
  return p ? ClampInPlace(p, 1, 0) : 0;
}

BOOL CPrintServer::SetWirelessOption(int option) {
  BYTE* p = HasWirelessOption() ? WirelessField(PSField::WirelessOption) : NULL;
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(option) > 2 ? 1 : static_cast<BYTE>(option);
  return TRUE;
}

// Security section -----------------------------------------------------------------

int CPrintServer::GetTxRateG() const {
  const BYTE* p = SecurityField(HasGRates(), PSField::TxRateG);
  if (p == NULL) return 0;
  if (*p == 0) return 2;
  // One rate bit: bit n gives index 4 + n.
  for (int bit = 0; bit < 8; bit++)
    if (*p == (1 << bit)) return 4 + bit;
  return 3;  // 255, auto, and anything else
}

BOOL CPrintServer::SetTxRateG(int index) {
  BYTE* p = SecurityField(HasGRates(), PSField::TxRateG);
  if (p == NULL) return FALSE;
  if (index == 0) {
    *p = 0;
  } else if (index == 3) {
    *p = 255;
  } else if (index >= 4 && index <= 11) {
    *p = static_cast<BYTE>(1 << (index - 4));
  } else {
    return FALSE;
  }
  return TRUE;
}

int CPrintServer::Get8021XMethod() {
  BYTE* p = SecurityField(Has8021X(), PSField::Method8021X);
  return p ? ClampInPlace(p, 2, 0) : 0;
}

BOOL CPrintServer::Set8021XMethod(int method) {
  BYTE* p = SecurityField(Has8021X(), PSField::Method8021X);
  if (p == NULL) return FALSE;
  *p = static_cast<unsigned>(method) > 2 ? 0 : static_cast<BYTE>(method);
  return TRUE;
}

LPCSTR CPrintServer::Get8021XUser() {
  return FormatText(m_ScratchText, sizeof(m_ScratchText),
                    SecurityField(Has8021X(), PSField::User8021X, PSField::Width8021X), PSField::Width8021X);
}

BOOL CPrintServer::Set8021XUser(LPCSTR user) {
  BYTE* p = SecurityField(Has8021X(), PSField::User8021X, PSField::Width8021X);
  if (p == NULL) return FALSE;
  WriteText(p, PSField::Width8021X, user);
  return TRUE;
}

LPCSTR CPrintServer::Get8021XPassword() {
  return FormatText(m_ScratchText, sizeof(m_ScratchText),
                    SecurityField(Has8021X(), PSField::Password8021X, PSField::Width8021X), PSField::Width8021X);
}

BOOL CPrintServer::Set8021XPassword(LPCSTR password) {
  BYTE* p = SecurityField(Has8021X(), PSField::Password8021X, PSField::Width8021X);
  if (p == NULL) return FALSE;
  WriteText(p, PSField::Width8021X, password);
  return TRUE;
}

LPCSTR CPrintServer::GetWPAPSK() {
  return FormatText(m_ScratchText, sizeof(m_ScratchText),
                    SecurityField(HasWPAPSK() || HasWPA2PSK(), PSField::WPAPSK, PSField::WPAPSKWidth),
                    PSField::WPAPSKWidth);
}

BOOL CPrintServer::SetWPAPSK(LPCSTR key) {
  BYTE* p = SecurityField(HasWPAPSK() || HasWPA2PSK(), PSField::WPAPSK, PSField::WPAPSKWidth);
  if (p == NULL) return FALSE;
  WriteText(p, PSField::WPAPSKWidth, key);
  return TRUE;
}

int CPrintServer::GetTxMode() const {
  const BYTE* p = SecurityField(HasTxMode(), PSField::TxMode);
  if (p == NULL) return 2;
  if (*p == 1) return 0;  // B only
  if (*p == 2) return 1;  // G only
  return 2;               // auto
}

BOOL CPrintServer::SetTxMode(int index) {
  BYTE* p = SecurityField(HasTxMode(), PSField::TxMode);
  if (p == NULL) return FALSE;
  *p = index == 0 ? 1 : index == 1 ? 2 : 0;
  return TRUE;
}

int CPrintServer::GetEncryption() const {
  const BYTE* p = SecurityField(HasWireless(), PSField::Encryption);
  return p && *p == 1 ? 1 : 0;
}

BOOL CPrintServer::SetEncryption(int on) {
  BYTE* p = SecurityField(HasWireless(), PSField::Encryption);
  if (p == NULL) return FALSE;
  *p = static_cast<BYTE>(on);
  return TRUE;
}
