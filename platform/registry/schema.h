// The tables of the registry database and its fixed root keys.
#pragma once

#include <cstdint>

#include "kernel/types.h"
#include "registry/database.h"

namespace vek::registry {

// Row ids of the predefined roots.
constexpr std::int64_t kLocalMachineId = 1;
constexpr std::int64_t kCurrentUserId = 2;

// Creates the tables and roots of a new database, accepts an existing one of
// this layout, and refuses any other with ERROR_BADDB.
LONG PrepareSchema(Database& database);

}  // namespace vek::registry
