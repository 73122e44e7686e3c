#include "wizard/wep_key.h"

#include <cstring>

#include "protocol/print_server_list.h"

bool IsAlphanumericKeyChar(unsigned c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsHexadecimalKeyChar(unsigned c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsKeyChar(unsigned c, int keyFormat) {
  return keyFormat == WEP_FORMAT_HEXADECIMAL ? IsHexadecimalKeyChar(c) : IsAlphanumericKeyChar(c);
}

int WEPKeyLength(int wepMode, int keyFormat) {
  const bool hex = keyFormat == WEP_FORMAT_HEXADECIMAL;
  if (wepMode == WEP_MODE_64) return hex ? 10 : 5;
  if (wepMode == WEP_MODE_128) return hex ? 26 : 13;
  return 0;
}

bool IsWholeWEPKey(const CStringA& key, int wepMode, int keyFormat) {
  const int length = WEPKeyLength(wepMode, keyFormat);
  if (length == 0 || key.GetLength() != length) return false;
  for (int i = 0; i < length; i++)
    if (!IsKeyChar(static_cast<unsigned char>(key[i]), keyFormat)) return false;
  return true;
}

namespace {

unsigned HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}

}  // namespace

BOOL ParseHexKey(const CStringA& text, BYTE* out, int count) {
  if (out == NULL || count < 1 || text.GetLength() != 2 * count) return FALSE;
  for (int i = 0; i < 2 * count; i++)
    if (!IsHexadecimalKeyChar(static_cast<unsigned char>(text[i]))) return FALSE;
  for (int i = 0; i < count; i++) out[i] = static_cast<BYTE>(HexValue(text[2 * i]) << 4 | HexValue(text[2 * i + 1]));
  return TRUE;
}

BOOL StoreWEPKey(const BYTE* nodeID, int wepMode, int keyFormat, const CStringA& key) {
  if (!IsWholeWEPKey(key, wepMode, keyFormat)) return FALSE;
  CPrintServer* record = FindPrintServer(nodeID);
  if (record == NULL) return FALSE;
  const bool is64 = wepMode == WEP_MODE_64;
  BYTE* field = is64 ? record->GetWEPKey64() : record->GetWEPKey128();
  if (field == NULL) return FALSE;
  const int bytes = is64 ? 5 : 13;
  if (keyFormat == WEP_FORMAT_HEXADECIMAL) return ParseHexKey(key, field, bytes);
  std::memcpy(field, key.GetString(), static_cast<size_t>(bytes));
  // The zero after the characters, only where the section has room for it.
  if (BYTE* text = is64 ? record->GetWEPKeyText64() : record->GetWEPKeyText128()) text[bytes] = 0;
  return TRUE;
}
