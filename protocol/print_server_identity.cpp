// CPrintServer: identity, address, password, port types and the device's key.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "protocol/generation.h"
#include "protocol/print_server.h"

namespace {

const PSFixedLayout* FixedLayout(int generation) {
  if (generation == PS_GENERATION_QIM) return &PS_LAYOUT_QIM;
  if (generation == PS_GENERATION_QIM_SETUP) return &PS_LAYOUT_QIM_SETUP;
  return NULL;
}

}  // namespace

BYTE CPrintServer::GetFirmwareMajor() const {
  const PSFixedLayout* layout = FixedLayout(m_Generation);
  const BYTE* p = m_Generation == PS_GENERATION_NET ? ReplyField(PSField::FirmwareMajor, 1)
                  : layout                         ? ReplyField(layout->FirmwareMajor, 1)
                                                   : NULL;
  return p ? *p : 0;
}

BYTE CPrintServer::GetFirmwareMinor() const {
  const PSFixedLayout* layout = FixedLayout(m_Generation);
  const BYTE* p = m_Generation == PS_GENERATION_NET ? ReplyField(PSField::FirmwareMinor, 1)
                  : layout                         ? ReplyField(layout->FirmwareMinor, 1)
                                                   : NULL;
  return p ? *p : 0;
}

LPCSTR CPrintServer::GetVersionText() {
  std::memset(m_VersionText, 0, sizeof(m_VersionText));
  if (m_Generation == PS_GENERATION_NONE) return m_VersionText;
  if (IsExtended()) {
    const BYTE* text = SectionField(m_pSystem, PSField::VersionText, PSField::VersionTextWidth);
    if (text != NULL && text[0] != 0) return FormatText(m_VersionText, sizeof(m_VersionText), text, PSField::VersionTextWidth);
  }
  std::snprintf(m_VersionText, sizeof(m_VersionText), "%d.%2.2x", GetFirmwareMajor(), GetFirmwareMinor());
  return m_VersionText;
}

BYTE CPrintServer::GetModelCode() const {
  if (m_Generation == PS_GENERATION_NET) {
    const BYTE* p = ReplyField(PSField::PortsAndModel, 1);
    return p ? static_cast<BYTE>(*p & 0x3F) : 0;
  }
  const PSFixedLayout* layout = FixedLayout(m_Generation);
  const BYTE* p = layout ? ReplyField(layout->ModelCode, 1) : NULL;
  return p ? *p : 0;
}

LPCSTR CPrintServer::GetNodeIDText() {
  std::memset(m_NodeIDText, 0, sizeof(m_NodeIDText));
  std::snprintf(m_NodeIDText, sizeof(m_NodeIDText), "%2.2x:%2.2x:%2.2x:%2.2x:%2.2x:%2.2x", m_NodeID[0], m_NodeID[1],
                m_NodeID[2], m_NodeID[3], m_NodeID[4], m_NodeID[5]);
  for (char& c : m_NodeIDText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return m_NodeIDText;
}

const BYTE* CPrintServer::FixedName() const {
  if (m_Generation == PS_GENERATION_NET) return ReplyField(PSField::Name, PSField::NameWidth);
  const PSFixedLayout* layout = FixedLayout(m_Generation);
  return layout ? ReplyField(layout->Name, PSField::NameWidth) : NULL;
}

LPCSTR CPrintServer::GetName() {
  return FormatText(m_NameText, sizeof(m_NameText), FixedName(), PSField::NameWidth);
}

BOOL CPrintServer::SetName(LPCSTR name) {
  BYTE* field = const_cast<BYTE*>(FixedName());
  if (field == NULL) return FALSE;
  WriteText(field, PSField::NameWidth, name);
  return TRUE;
}

int CPrintServer::GetPortCount() const {
  if (m_Generation == PS_GENERATION_NET) {
    const BYTE* p = ReplyField(PSField::PortsAndModel, 1);
    return p ? (*p >> 6) & 0x3 : 0;
  }
  if (m_Generation == PS_GENERATION_QIM) return 1;
  if (m_Generation == PS_GENERATION_QIM_SETUP) {
    switch (GetModelCode()) {
      case 3:
      case 4:
      case 6:
      case 7:
        return 3;
      default:
        return 1;
    }
  }
  return 0;
}

LPCSTR CPrintServer::GetPassword() {
  const BYTE* field = IsExtended() ? SectionField(m_pSystem, PSField::Password, PSField::PasswordWidth) : NULL;
  return FormatText(m_ScratchText, sizeof(m_ScratchText), field, PSField::PasswordWidth - 1);
}

BOOL CPrintServer::SetPassword(LPCSTR password) {
  BYTE* field = IsExtended() ? SectionField(m_pSystem, PSField::Password, PSField::PasswordWidth) : NULL;
  if (field == NULL) return FALSE;
  // Keeps the terminator: 8 characters at most.
  WriteText(field, PSField::PasswordWidth, NULL);
  WriteText(field, PSField::PasswordWidth - 1, password);
  return TRUE;
}

BOOL CPrintServer::HasIPSettings() const {
  if (m_Generation == PS_GENERATION_QIM_SETUP) return ReplyField(PS_QIM_SETUP_ADDRESS, 4) != NULL;
  return m_Generation == PS_GENERATION_NET && m_pIP != NULL && m_pIP[0] != 0;
}

BYTE* CPrintServer::GetIPAddress() {
  if (!HasIPSettings()) return NULL;
  if (m_Generation == PS_GENERATION_QIM_SETUP) return ReplyField(PS_QIM_SETUP_ADDRESS, 4);
  return ReplyField(PSField::IPAddress, 4);
}

BYTE* CPrintServer::GetSubnetMask() {
  if (!HasIPSettings()) return NULL;
  if (m_Generation == PS_GENERATION_QIM_SETUP) return ReplyField(PS_QIM_SETUP_SUBNET, 4);
  return SectionField(m_pIP, PSField::SubnetMask, 4);
}

BYTE* CPrintServer::GetGateway() {
  if (!HasIPSettings()) return NULL;
  if (m_Generation == PS_GENERATION_QIM_SETUP) return ReplyField(PS_QIM_SETUP_GATEWAY, 4);
  return SectionField(m_pIP, PSField::Gateway, 4);
}

BOOL CPrintServer::HasDHCPSwitch() const {
  if (m_Generation == PS_GENERATION_QIM_SETUP) return ReplyField(PS_QIM_SETUP_DHCP, 1) != NULL;
  return m_Generation == PS_GENERATION_NET && SectionField(m_pIP, PSField::DHCP, 1) != NULL;
}

int CPrintServer::GetDHCP() const {
  if (!HasDHCPSwitch()) return 0;
  if (m_Generation == PS_GENERATION_QIM_SETUP) return (*ReplyField(PS_QIM_SETUP_DHCP, 1) & PS_QIM_SETUP_DHCP_BIT) ? 1 : 0;
  return *SectionField(m_pIP, PSField::DHCP, 1) != 0 ? 1 : 0;
}

BOOL CPrintServer::SetDHCP(int on) {
  if (!HasDHCPSwitch()) return FALSE;
  if (m_Generation == PS_GENERATION_QIM_SETUP) {
    BYTE* p = ReplyField(PS_QIM_SETUP_DHCP, 1);
    *p = static_cast<BYTE>(on ? (*p | PS_QIM_SETUP_DHCP_BIT) : (*p & ~PS_QIM_SETUP_DHCP_BIT));
  } else {
    *SectionField(m_pIP, PSField::DHCP, 1) = on ? 1 : 0;
  }
  return TRUE;
}

LPCSTR CPrintServer::GetPortTypes() {
  std::memset(m_ScratchText, ' ', PS_PORT_TYPES_TEXT);
  m_ScratchText[PS_PORT_TYPES_TEXT] = 0;
  const BYTE* types = SectionField(m_pPortTypes, PSField::PortTypes, 1);
  const BYTE* digits = SectionField(m_pPortTypes, PSField::PortDigits, 1);
  const int ports = GetPortCount();
  for (int i = 0; i < ports && i < PS_MAX_PORTS; i++) {
    const int type = types ? (*types >> (2 * i)) & 0x3 : 0;
    const int digit = digits ? (*digits >> (2 * i)) & 0x3 : 0;
    char* slot = m_ScratchText + PS_PORT_TYPE_SLOT * i;
    const char digitChar = digit != 0 ? static_cast<char>('0' + digit) : ' ';
    if (type == 1 || type == 2) {
      slot[0] = type == 1 ? 'P' : 'U';
      slot[1] = digitChar;
    } else {
      slot[0] = digitChar;
    }
  }
  return m_ScratchText;
}

BYTE* CPrintServer::GetRSAModulus(int* pLength) {
  if (pLength != NULL) *pLength = 0;
  if (!HasSecureConfig() || m_pKey == NULL) return NULL;
  const int L = m_pKey[0];
  BYTE* modulus = SectionField(m_pKey, PSField::Modulus, L);
  if (modulus != NULL && pLength != NULL) *pLength = L;
  return modulus;
}
