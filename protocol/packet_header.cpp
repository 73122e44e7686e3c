#include "protocol/packet_header.h"

#include <cstring>

WORD PSGetWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

DWORD PSGetDword(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
         (static_cast<DWORD>(p[3]) << 24);
}

void PSPutWord(BYTE* p, WORD value) {
  p[0] = LOBYTE(value);
  p[1] = HIBYTE(value);
}

void PSPutDword(BYTE* p, DWORD value) {
  for (int i = 0; i < 4; i++) p[i] = static_cast<BYTE>(value >> (8 * i));
}

void PSBuildHeader(BYTE* buffer, BYTE type, WORD command) {
  std::memcpy(buffer, "NET", 3);
  buffer[3] = type;
  PSPutWord(buffer + 4, command);
}

void PSBuildOldHeader(BYTE* buffer, WORD command) {
  std::memcpy(buffer, "QI", 2);
  PSPutWord(buffer + 2, command);
}

int PSBuildPlainRequest(BYTE* buffer, BYTE type, WORD command) {
  std::memset(buffer, 0, PS_BUFFER_LENGTH);
  PSBuildHeader(buffer, type, command);
  return PS_REQUEST_LENGTH;
}

static BOOL IsNet(const BYTE* data, int length) {
  return data != NULL && length >= PS_HEADER_LENGTH && std::memcmp(data, "NET", 3) == 0;
}

BOOL PSIsReplyWord(const BYTE* data, int length, WORD word) {
  return IsNet(data, length) && PSGetWord(data + 4) == word;
}

BOOL PSIsReplyCode(const BYTE* data, int length, BYTE code) { return IsNet(data, length) && data[4] == code; }

BOOL PSIsOldReplyWord(const BYTE* data, int length, WORD word) {
  return data != NULL && length >= PS_OLD_HEADER_LENGTH && std::memcmp(data, "QI", 2) == 0 &&
         PSGetWord(data + 2) == word;
}
