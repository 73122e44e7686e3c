// The section walk of a "NET" information reply: where each section of the stored
// copy starts, with the in-place writes the walk makes (the port-type digit byte,
// a key-text length that runs past the end, the default port-type bytes).
//
// Device data is hostile: the walk never reads or writes outside the copy. Where a
// length byte it needs lies outside, the walk ends there.
#pragma once

#include "kernel/types.h"

enum PSSection {
  PS_SECTION_GENERAL = 0,
  PS_SECTION_IP,
  PS_SECTION_NAMES,
  PS_SECTION_PORT,
  PS_SECTION_KEY_TEXT,
  PS_SECTION_SIXTH,
  PS_SECTION_WIRELESS,
  PS_SECTION_PORT_TYPES,
  PS_SECTION_SECURITY,
  PS_SECTION_TEXT,
  PS_SECTION_KEY,
  PS_SECTION_COUNT
};

constexpr int PS_IDENTITY_OFFSET = 6;
constexpr int PS_SYSTEM_OFFSET = 38;
// The shortest "NET" reply the record takes: up to the system-section length byte.
constexpr int PS_MIN_NET_REPLY = PS_SYSTEM_OFFSET + 1;
constexpr int PS_NO_OFFSET = -1;
// A section length byte of this value ends the walk.
constexpr BYTE PS_SECTION_END = 0xFF;
// Steps of sections whose length byte is 0.
constexpr int PS_STEP_GENERAL = 316;
constexpr int PS_STEP_IP = 10;
constexpr int PS_STEP_PORT = 149;
constexpr int PS_STEP_WIRELESS = 87;
constexpr int PS_STEP_PORT_TYPES = 4;
constexpr int PS_STEP_SECURITY = 45;
constexpr int PS_STEP_SECURITY_WPA = 109;     // bit 19
constexpr int PS_STEP_SECURITY_TXMODE = 46;   // bit 22
constexpr int PS_STEP_SECURITY_BOTH = 111;    // bits 19 and 22
constexpr int PS_STEP_TEXT = 40;
constexpr int PS_STEP_KEY = 257;
// Key-text section: the length of the key text, and where the text begins.
constexpr int PS_KEY_TEXT_LENGTH = 34;
constexpr int PS_KEY_TEXT_DATA = 35;

// Length 3, no port types, the digits 1, 2, 3, byte 3 zero.
constexpr BYTE PS_DEFAULT_PORT_TYPES[4] = {3, 0, '9', 0};

struct PSSectionMap {
  int Section[PS_SECTION_COUNT];  // start offsets in the copy, or PS_NO_OFFSET
  // The bytes after the general section: a value, then two counted texts.
  int GeneralValue;
  int GeneralLength1;
  int GeneralText1;
  int GeneralLength2;
  int GeneralText2;
  int KeyTextData;  // start of the key text; PS_NO_OFFSET without one
  int End;          // the final walk position
  // No port-type section of non-zero length was found and the default bytes did
  // not fit into the copy at End: the record keeps them itself.
  BOOL DefaultPortTypesOutside;
};

// Walks the copy of a "NET" reply of length bytes, at least PS_MIN_NET_REPLY.
void PSWalkSections(BYTE* copy, int length, PSSectionMap* map);
