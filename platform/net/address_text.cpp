#include "net/address_text.h"

#include <cstdio>

namespace vek::net {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// One part of the address; advances text past it. False when there are no digits,
// a digit is out of the base or the value exceeds 32 bits.
bool ParsePart(const char*& text, std::uint64_t* value) {
  unsigned base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  } else if (text[0] == '0') {
    base = 8;
  }
  std::uint64_t result = 0;
  int digits = 0;
  for (;; ++text, ++digits) {
    char c = *text;
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      break;
    }
    if (digit >= base) return false;
    result = result * base + digit;
    if (result > 0xFFFFFFFFu) return false;
  }
  if (digits == 0) return false;
  *value = result;
  return true;
}

}  // namespace

bool ParseDottedAddress(const char* text, std::uint32_t* address) {
  if (text == nullptr) return false;
  std::uint64_t parts[4];
  int count = 0;
  for (;;) {
    if (count == 4) return false;
    if (!ParsePart(text, &parts[count])) return false;
    ++count;
    if (*text == '.') {
      ++text;
      continue;
    }
    if (*text == '\0' || IsSpace(*text)) break;
    return false;
  }
  // The last part fills all the bytes the earlier parts leave.
  std::uint64_t result = 0;
  for (int i = 0; i < count - 1; ++i) {
    if (parts[i] > 0xFF) return false;
    result |= parts[i] << (24 - 8 * i);
  }
  const std::uint64_t lastLimit = 0xFFFFFFFFull >> (8 * (count - 1));
  if (parts[count - 1] > lastLimit) return false;
  result |= parts[count - 1];
  *address = static_cast<std::uint32_t>(result);
  return true;
}

void FormatDottedAddress(std::uint32_t address, char* out) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
  std::snprintf(out, 16, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
}

}  // namespace vek::net
