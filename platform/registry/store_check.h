// Whether the machine root's registry database can be used, and what to tell a
// person when it cannot: callers report such a failure as what it is, never as
// keys or values that are not there.
#pragma once

#include <string>

#include "kernel/types.h"

namespace vek::registry {

// Opens the current root's database, checking it, and reads nothing else:
// ERROR_SUCCESS, or why it cannot be used (ERROR_PATH_NOT_FOUND without a root).
LONG CheckStore();
// Whether the error is the database file's own: damaged, not a registry
// database, or not to be opened, read or written.
bool IsStoreError(LONG error);
// Such an error as a sentence naming the file ("/root/registry.db is damaged
// (...)"); empty for any other error.
std::string DescribeStoreError(LONG error);

}  // namespace vek::registry
