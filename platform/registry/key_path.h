// Key paths: levels separated by backslashes, "System\\CurrentControlSet\\Control".
#pragma once

#include <string_view>
#include <vector>

#include "kernel/types.h"

namespace vek::registry {

// Splits a path into its levels; an empty path names the key itself (no levels).
// One trailing backslash is allowed. A leading backslash or an empty level
// between two backslashes is refused with ERROR_BAD_PATHNAME.
LONG SplitKeyPath(std::string_view path, std::vector<std::string_view>* levels);

}  // namespace vek::registry
