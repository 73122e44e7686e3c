// The capability word of a "NET" information reply (system-section bytes 29-32,
// reply bytes 67-70): its bits decide the record's sections, the discovery reply
// kind, the upload path and the wizard's pages.
#pragma once

#include "kernel/types.h"

constexpr DWORD PSCAP_PORT_LENGTH = 0x00000008;      // port section has its own length
constexpr DWORD PSCAP_FEATURE7 = 0x00000080;         // reads as set for older/non-extended replies
constexpr DWORD PSCAP_SIXTH = 0x00001000;            // the sixth section is meaningful
constexpr DWORD PSCAP_WIRELESS = 0x00004000;         // wireless section; a wireless print server
constexpr DWORD PSCAP_WIRELESS_OPTION = 0x00008000;  // wireless byte 86
constexpr DWORD PSCAP_G_RATES = 0x00010000;          // 802.11g transmit rates
constexpr DWORD PSCAP_8021X = 0x00020000;            // 802.1X settings
constexpr DWORD PSCAP_TEXT_LENGTH = 0x00040000;      // text section has its own length
constexpr DWORD PSCAP_WPA_PSK = 0x00080000;          // WPA-PSK settings
constexpr DWORD PSCAP_SECURITY = 0x00100000;         // security section, multi-part reply, block upload
constexpr DWORD PSCAP_WPA2_PSK = 0x00200000;         // WPA2-PSK
constexpr DWORD PSCAP_TX_MODE = 0x00400000;          // transmit mode B / G / auto
constexpr DWORD PSCAP_SECURE_CONFIG = 0x00800000;    // key section; the secured exchange

// Where the word lies in a "NET" reply.
constexpr int PS_CAPABILITIES_OFFSET = 67;

struct PSCapabilities {
  DWORD m_Bits = 0;

  BOOL IsSet(DWORD mask) const { return (m_Bits & mask) == mask ? TRUE : FALSE; }

  // The raw word of a reply; 0 when the reply is too short to hold it.
  static PSCapabilities FromReply(const BYTE* reply, int length);
};
