// How results reach the caller: names and data copied into the caller's buffers
// with the counts the system's code expects, and failures noted as last error.
#pragma once

#include <cstring>
#include <span>
#include <string_view>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/types.h"

namespace vek::registry {

// Failures also become the thread's last error, for callers that look there.
inline LONG Report(LONG result) {
  if (result != static_cast<LONG>(ERROR_SUCCESS)) SetLastError(static_cast<DWORD>(result));
  return result;
}

// Copies a name and its terminator into a buffer of *count characters. On success
// *count is the length without the terminator. When the name does not fit, the
// result is ERROR_MORE_DATA and neither the buffer nor *count is touched.
template <typename Char>
LONG CopyName(std::basic_string_view<Char> name, Char* buffer, DWORD* count) {
  if (buffer == nullptr || count == nullptr) return ERROR_INVALID_PARAMETER;
  if (name.size() >= *count) return ERROR_MORE_DATA;
  std::memcpy(buffer, name.data(), name.size() * sizeof(Char));
  buffer[name.size()] = Char(0);
  *count = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// Copies data into a buffer of *size bytes. Without a buffer, *size becomes the
// size of the data; with too small a buffer as well, and the result is
// ERROR_MORE_DATA with the buffer untouched.
inline LONG CopyData(std::span<const BYTE> data, BYTE* buffer, DWORD* size) {
  if (size == nullptr) return buffer == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
  DWORD needed = static_cast<DWORD>(data.size());
  if (buffer == nullptr) {
    *size = needed;
    return ERROR_SUCCESS;
  }
  if (needed > *size) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  *size = needed;
  return ERROR_SUCCESS;
}

}  // namespace vek::registry
