// CPrintServer: construction, reset, taking a reply, the capability tests and the
// bounds of every field.
#include "protocol/print_server.h"

#include <cstring>

#include "kernel/clock.h"
#include "kernel/memory.h"
#include "protocol/counted_memory.h"
#include "protocol/generation.h"

CPrintServer::CPrintServer() : m_Transport(0), m_pReply(NULL) {
  std::memset(m_Network, 0, sizeof(m_Network));
  std::memset(m_NodeID, 0, sizeof(m_NodeID));
  std::memset(m_IPAddress, 0, sizeof(m_IPAddress));
  Reset();
}

CPrintServer::~CPrintServer() { Reset(); }

void CPrintServer::Reset() {
  m_Generation = 0;
  if (m_pReply != NULL) CountedGlobalFree(m_pReply);
  m_pReply = NULL;
  m_ReplyLength = 0;
  m_Extended = 0;
  m_PortStatus = 0;
  m_PortStatus2 = 0;
  m_StatusTick = GetTickCount();
  m_PortInfoRead = 0;
  for (auto& port : m_PortInfo)
    for (std::string& text : port) text.clear();

  std::memset(m_NameText, 0, sizeof(m_NameText));
  std::memset(m_VersionText, 0, sizeof(m_VersionText));
  std::memset(m_NodeIDText, 0, sizeof(m_NodeIDText));
  std::memset(m_StatusText, 0, sizeof(m_StatusText));
  std::memset(m_ScratchText, 0, sizeof(m_ScratchText));

  m_pGeneration3 = m_pGeneration4 = m_pGeneration5 = NULL;
  m_pIdentity = m_pSystem = NULL;
  m_pGeneral = m_pIP = m_pNames = m_pPort = m_pKeyText = m_pSixth = NULL;
  m_pWireless = m_pPortTypes = m_pSecurity = m_pText = m_pKey = NULL;
  m_pGeneralValue = m_pGeneralLength1 = m_pGeneralText1 = NULL;
  m_pGeneralLength2 = m_pGeneralText2 = NULL;
  m_pKeyTextData = NULL;
  std::memset(m_DefaultPortTypes, 0, sizeof(m_DefaultPortTypes));
}

BOOL CPrintServer::ParseReply(const BYTE* reply, int length) {
  Reset();
  if (reply == NULL || length <= 0) return FALSE;
  m_pReply = static_cast<BYTE*>(CountedGlobalAlloc(length, GMEM_ZEROINIT));
  if (m_pReply == NULL) return FALSE;
  std::memcpy(m_pReply, reply, static_cast<size_t>(length));

  const int generation = PSReplyGeneration(m_pReply, length);
  // A "NET" reply must hold the MAC and the system-section length.
  if (generation == PS_GENERATION_NONE || (generation == PS_GENERATION_NET && length < PS_MIN_NET_REPLY)) {
    Reset();
    return FALSE;
  }
  m_Generation = generation;
  m_ReplyLength = length;
  if (generation == PS_GENERATION_QIM) {
    m_pGeneration3 = m_pReply;
    return TRUE;
  }
  if (generation == PS_GENERATION_QIM_SETUP) {
    m_pGeneration4 = m_pReply;
    return TRUE;
  }

  m_pGeneration5 = m_pReply;
  m_pIdentity = m_pReply + PS_IDENTITY_OFFSET;
  std::memcpy(m_NodeID, m_pIdentity, sizeof(m_NodeID));
  m_pSystem = m_pReply + PS_SYSTEM_OFFSET;
  m_Extended = m_pSystem[0] > 3 ? 1 : 0;

  PSSectionMap map;
  PSWalkSections(m_pReply, length, &map);
  auto view = [this](int offset) { return offset == PS_NO_OFFSET ? NULL : m_pReply + offset; };
  m_pGeneral = view(map.Section[PS_SECTION_GENERAL]);
  m_pIP = view(map.Section[PS_SECTION_IP]);
  m_pNames = view(map.Section[PS_SECTION_NAMES]);
  m_pPort = view(map.Section[PS_SECTION_PORT]);
  m_pKeyText = view(map.Section[PS_SECTION_KEY_TEXT]);
  m_pSixth = view(map.Section[PS_SECTION_SIXTH]);
  m_pWireless = view(map.Section[PS_SECTION_WIRELESS]);
  m_pPortTypes = view(map.Section[PS_SECTION_PORT_TYPES]);
  m_pSecurity = view(map.Section[PS_SECTION_SECURITY]);
  m_pText = view(map.Section[PS_SECTION_TEXT]);
  m_pKey = view(map.Section[PS_SECTION_KEY]);
  m_pGeneralValue = view(map.GeneralValue);
  m_pGeneralLength1 = view(map.GeneralLength1);
  m_pGeneralText1 = view(map.GeneralText1);
  m_pGeneralLength2 = view(map.GeneralLength2);
  m_pGeneralText2 = view(map.GeneralText2);
  m_pKeyTextData = view(map.KeyTextData);
  if (map.DefaultPortTypesOutside) {
    std::memcpy(m_DefaultPortTypes, PS_DEFAULT_PORT_TYPES, sizeof(m_DefaultPortTypes));
    m_pPortTypes = m_DefaultPortTypes;
  }
  return TRUE;
}

// Capability tests ---------------------------------------------------------------

PSCapabilities CPrintServer::GetCapabilities() const {
  if (IsExtended()) return PSCapabilities::FromReply(m_pReply, m_ReplyLength);
  PSCapabilities caps;
  if (m_Generation == PS_GENERATION_QIM_SETUP || m_Generation == PS_GENERATION_NET) caps.m_Bits = PSCAP_FEATURE7;
  return caps;
}

BOOL CPrintServer::IsExtended() const { return m_Generation == PS_GENERATION_NET && m_Extended ? TRUE : FALSE; }

BOOL CPrintServer::HasWireless() const { return IsExtended() && GetCapabilities().IsSet(PSCAP_WIRELESS); }

BOOL CPrintServer::HasWirelessOption() const {
  return HasWireless() && GetCapabilities().IsSet(PSCAP_WIRELESS_OPTION);
}

BOOL CPrintServer::HasGRates() const { return HasWireless() && GetCapabilities().IsSet(PSCAP_G_RATES); }
BOOL CPrintServer::Has8021X() const { return HasWireless() && GetCapabilities().IsSet(PSCAP_8021X); }
BOOL CPrintServer::HasWPAPSK() const { return HasWireless() && GetCapabilities().IsSet(PSCAP_WPA_PSK); }
BOOL CPrintServer::HasWPA2PSK() const { return HasWireless() && GetCapabilities().IsSet(PSCAP_WPA2_PSK); }
BOOL CPrintServer::HasTxMode() const { return HasWireless() && GetCapabilities().IsSet(PSCAP_TX_MODE); }
BOOL CPrintServer::HasSecureConfig() const { return IsExtended() && GetCapabilities().IsSet(PSCAP_SECURE_CONFIG); }

// Field bounds -------------------------------------------------------------------

BYTE* CPrintServer::SectionField(BYTE* section, int offset, int width) const {
  if (section == NULL || offset < 1 || width < 1) return NULL;
  const int L = section[0];
  if (L == 0 || offset + width - 1 > L) return NULL;
  if (section == m_DefaultPortTypes) return offset + width <= static_cast<int>(sizeof(m_DefaultPortTypes)) ? section + offset : NULL;
  const int start = static_cast<int>(section - m_pReply);
  return ReplyField(start + offset, width);
}

BYTE* CPrintServer::ReplyField(int offset, int width) const {
  if (m_pReply == NULL || offset < 0 || width < 1 || offset + width > m_ReplyLength) return NULL;
  return m_pReply + offset;
}

BYTE* CPrintServer::WirelessField(int offset, int width) const {
  return HasWireless() ? SectionField(m_pWireless, offset, width) : NULL;
}

BYTE* CPrintServer::SecurityField(BOOL gate, int offset, int width) const {
  return gate ? SectionField(m_pSecurity, offset, width) : NULL;
}

LPCSTR CPrintServer::FormatText(char* out, int outSize, const BYTE* field, int width) {
  std::memset(out, 0, static_cast<size_t>(outSize));
  if (field == NULL) return out;
  const int limit = width < outSize - 1 ? width : outSize - 1;
  for (int i = 0; i < limit && field[i] != 0; i++) out[i] = static_cast<char>(field[i]);
  return out;
}

void CPrintServer::WriteText(BYTE* field, int width, LPCSTR text) {
  std::memset(field, 0, static_cast<size_t>(width));
  if (text == NULL) return;
  const size_t n = strnlen(text, static_cast<size_t>(width));
  std::memcpy(field, text, n);
}
