// The tables of the registry database and its fixed root keys.
#pragma once

#include <cstdint>

#include "kernel/types.h"
#include "registry/database.h"

namespace vek::registry {

// Row ids of the predefined roots.
constexpr std::int64_t kLocalMachineId = 1;
constexpr std::int64_t kCurrentUserId = 2;

// Creates the tables and roots in a new, empty database.
LONG CreateSchema(Database& database);
// Accepts a database of this layout; another program's, or one of another
// layout, is refused with ERROR_BADDB. Reads only.
LONG CheckSchema(Database& database);

}  // namespace vek::registry
