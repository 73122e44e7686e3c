// Option values as setsockopt and getsockopt pass them: a byte buffer and a length.
#pragma once

#include "kernel/types.h"

namespace vek::net {

// A BOOL option: an int, or a single byte when the caller passes one. WSAEFAULT when
// value is null or length is below 1.
DWORD ReadBoolOption(const char* value, int length, bool* on);
// A DWORD or int option. WSAEFAULT when shorter than 4 bytes.
DWORD ReadDwordOption(const char* value, int length, DWORD* out);
// Writes a 4-byte value and sets *length. WSAEFAULT when the buffer is too short.
DWORD WriteDwordOption(DWORD value, char* out, int* length);

}  // namespace vek::net
