// The WEP keys of the wireless security pages: which characters a key format
// takes, how long a whole key is, and the key's bytes written straight into the
// wireless section of the chosen server's record, where the configuration upload
// sends them from.
#pragma once

#include "framework/cstring.h"
#include "kernel/types.h"

// m_WEPMode and m_WEPKeyFormat values.
constexpr int WEP_MODE_OFF = 0;
constexpr int WEP_MODE_64 = 1;
constexpr int WEP_MODE_128 = 2;
constexpr int WEP_FORMAT_ALPHANUMERIC = 0;
constexpr int WEP_FORMAT_HEXADECIMAL = 1;

// '0'-'9', 'A'-'Z', 'a'-'z' / '0'-'9', 'A'-'F', 'a'-'f'; nothing of 0x80 or above.
bool IsAlphanumericKeyChar(unsigned c);
bool IsHexadecimalKeyChar(unsigned c);
// The class of the format: hexadecimal for 1, alphanumeric for any other value.
bool IsKeyChar(unsigned c, int keyFormat);

// Characters of a whole key: 5 or 10 (64-bit), 13 or 26 (128-bit); 0 for off.
int WEPKeyLength(int wepMode, int keyFormat);
// A whole key: exactly that many characters, all of the format's class.
bool IsWholeWEPKey(const CStringA& key, int wepMode, int keyFormat);

// Two hexadecimal digits a byte, checked: FALSE, with nothing written, unless
// text holds exactly 2 * count hexadecimal digits.
BOOL ParseHexKey(const CStringA& text, BYTE* out, int count);

// Writes a whole key into the record of the server with that MAC: a hexadecimal
// key as its 5 or 13 bytes, an alphanumeric one as its characters and a zero
// when the section holds the byte after the key. FALSE, with nothing written,
// for a key that is not whole, WEP off, or no record or wireless section.
BOOL StoreWEPKey(const BYTE* nodeID, int wepMode, int keyFormat, const CStringA& key);
