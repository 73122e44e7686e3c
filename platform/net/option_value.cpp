#include "net/option_value.h"

#include <cstring>

#include "net/wsa_errors.h"

namespace vek::net {

DWORD ReadBoolOption(const char* value, int length, bool* on) {
  if (value == nullptr || length < 1) return WSAEFAULT;
  if (length >= static_cast<int>(sizeof(int))) {
    int v;
    std::memcpy(&v, value, sizeof(v));
    *on = v != 0;
  } else {
    *on = value[0] != 0;
  }
  return 0;
}

DWORD ReadDwordOption(const char* value, int length, DWORD* out) {
  if (value == nullptr || length < static_cast<int>(sizeof(DWORD))) return WSAEFAULT;
  std::memcpy(out, value, sizeof(DWORD));
  return 0;
}

DWORD WriteDwordOption(DWORD value, char* out, int* length) {
  if (out == nullptr || length == nullptr || *length < static_cast<int>(sizeof(DWORD))) return WSAEFAULT;
  std::memcpy(out, &value, sizeof(value));
  *length = sizeof(value);
  return 0;
}

}  // namespace vek::net
