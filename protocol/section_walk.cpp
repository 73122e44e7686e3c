#include "protocol/section_walk.h"

#include <cstring>

#include "protocol/capabilities.h"

namespace {

int SecurityDefaultStep(const PSCapabilities& caps) {
  const BOOL wpa = caps.IsSet(PSCAP_WPA_PSK);
  const BOOL txMode = caps.IsSet(PSCAP_TX_MODE);
  if (wpa && txMode) return PS_STEP_SECURITY_BOTH;
  if (wpa) return PS_STEP_SECURITY_WPA;
  if (txMode) return PS_STEP_SECURITY_TXMODE;
  return PS_STEP_SECURITY;
}

void ClearMap(PSSectionMap* map) {
  for (int& offset : map->Section) offset = PS_NO_OFFSET;
  map->GeneralValue = map->GeneralLength1 = map->GeneralText1 = PS_NO_OFFSET;
  map->GeneralLength2 = map->GeneralText2 = PS_NO_OFFSET;
  map->KeyTextData = PS_NO_OFFSET;
  map->End = PS_NO_OFFSET;
  map->DefaultPortTypesOutside = FALSE;
}

class SectionWalk {
 public:
  SectionWalk(BYTE* copy, int length, PSSectionMap* map)
      : m_pCopy(copy), m_Length(length), m_pMap(map), m_Caps(PSCapabilities::FromReply(copy, length)) {}

  void Run() {
    m_Pos = PS_SYSTEM_OFFSET + m_pCopy[PS_SYSTEM_OFFSET] + 1;
    for (int s = 0; s < PS_SECTION_COUNT; s++) {
      if (s == PS_SECTION_SECURITY && !m_Caps.IsSet(PSCAP_SECURITY)) break;
      if (m_Pos >= m_Length || m_pCopy[m_Pos] == PS_SECTION_END) break;
      if (!Step(static_cast<PSSection>(s))) break;
    }
    m_pMap->End = m_Pos;
    if (!m_bPortTypes) PlaceDefaultPortTypes();
  }

 private:
  bool Inside(int offset) const { return offset >= 0 && offset < m_Length; }

  // One section at m_Pos; false ends the walk.
  bool Step(PSSection section) {
    const int start = m_Pos;
    const int L = m_pCopy[start];
    m_pMap->Section[section] = start;
    switch (section) {
      case PS_SECTION_GENERAL:
        if (L == 0) {
          m_Pos += PS_STEP_GENERAL;
          return true;
        }
        return GeneralExtras(start + L + 1);
      case PS_SECTION_IP:
        m_Pos += L > 0 ? L + 1 : PS_STEP_IP;
        return true;
      case PS_SECTION_NAMES:
      case PS_SECTION_SIXTH:
        m_Pos += L + 1;
        return true;
      case PS_SECTION_PORT:
        m_Pos += (m_Caps.IsSet(PSCAP_PORT_LENGTH) || L > 0) ? L + 1 : PS_STEP_PORT;
        return true;
      case PS_SECTION_KEY_TEXT:
        return KeyText(start, L);
      case PS_SECTION_WIRELESS:
        m_Pos += (m_Caps.IsSet(PSCAP_WIRELESS) || L > 0) ? L + 1 : PS_STEP_WIRELESS;
        return true;
      case PS_SECTION_PORT_TYPES:
        // Byte 3 zero means the device sent no digits: number the ports 1 to 3.
        if (Inside(start + 3) && m_pCopy[start + 3] == 0) m_pCopy[start + 2] = PS_DEFAULT_PORT_TYPES[2];
        if (L > 0) {
          m_bPortTypes = true;
          m_Pos += L + 1;
        } else {
          m_pMap->Section[section] = PS_NO_OFFSET;
          m_Pos += PS_STEP_PORT_TYPES;
        }
        return true;
      case PS_SECTION_SECURITY:
        m_Pos += L > 0 ? L + 1 : SecurityDefaultStep(m_Caps);
        return true;
      case PS_SECTION_TEXT:
        m_Pos += (m_Caps.IsSet(PSCAP_TEXT_LENGTH) || L > 0) ? L + 1 : PS_STEP_TEXT;
        return true;
      case PS_SECTION_KEY:
        m_Pos += (m_Caps.IsSet(PSCAP_SECURE_CONFIG) || L > 0) ? L + 1 : PS_STEP_KEY;
        return true;
      case PS_SECTION_COUNT:
        break;
    }
    return false;
  }

  // The value byte and the two counted texts after a general section. Each length
  // byte must lie in the copy, and a text counts only when all of it does.
  bool GeneralExtras(int q) {
    m_Pos = q;
    if (!Inside(q)) return false;
    m_pMap->GeneralValue = q++;
    int* lengths[2] = {&m_pMap->GeneralLength1, &m_pMap->GeneralLength2};
    int* texts[2] = {&m_pMap->GeneralText1, &m_pMap->GeneralText2};
    for (int i = 0; i < 2; i++) {
      m_Pos = q;
      if (!Inside(q)) return false;
      const int n = m_pCopy[q];
      *lengths[i] = q;
      if (n > 0 && q + 1 + n <= m_Length) *texts[i] = q + 1;
      q += 1 + n;
    }
    m_Pos = q;
    return true;
  }

  bool KeyText(int start, int L) {
    const int lengthAt = start + PS_KEY_TEXT_LENGTH;
    m_Pos = start + L + 1;
    // A section too short to hold its key-text length: no key text, and nothing
    // after it can be placed.
    if (!Inside(lengthAt)) return false;
    const int K = m_pCopy[lengthAt];
    if (m_Pos + K >= m_Length) {
      m_pCopy[lengthAt] = 0;
      return false;
    }
    if (K > 0 && start + PS_KEY_TEXT_DATA + K <= m_Length) m_pMap->KeyTextData = start + PS_KEY_TEXT_DATA;
    m_Pos += K + 1;
    return true;
  }

  void PlaceDefaultPortTypes() {
    if (m_Pos >= 0 && m_Pos + 4 <= m_Length) {
      std::memcpy(m_pCopy + m_Pos, PS_DEFAULT_PORT_TYPES, sizeof(PS_DEFAULT_PORT_TYPES));
      m_pMap->Section[PS_SECTION_PORT_TYPES] = m_Pos;
    } else {
      m_pMap->Section[PS_SECTION_PORT_TYPES] = PS_NO_OFFSET;
      m_pMap->DefaultPortTypesOutside = TRUE;
    }
  }

  BYTE* m_pCopy;
  const int m_Length;
  PSSectionMap* m_pMap;
  const PSCapabilities m_Caps;
  int m_Pos = 0;
  bool m_bPortTypes = false;
};

}  // namespace

void PSWalkSections(BYTE* copy, int length, PSSectionMap* map) {
  if (map == NULL) return;
  ClearMap(map);
  if (copy == NULL || length < PS_MIN_NET_REPLY) return;
  SectionWalk(copy, length, map).Run();
}
