// A whole file read by a path as the system's code writes it (see path_mapping.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/types.h"

namespace vek::shell {

// ERROR_SUCCESS, or ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND / ERROR_ACCESS_DENIED,
// or ERROR_FILE_TOO_LARGE when the file holds more than `limit` bytes (nothing read).
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
DWORD ReadFileContents(const char* path, std::size_t limit, std::vector<std::uint8_t>* bytes);

}  // namespace vek::shell
