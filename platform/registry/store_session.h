// The process's connection to the registry database of the current machine root.
// There is one connection and one lock: a SQLite transaction belongs to its
// connection, so the process's threads take turns.
#pragma once

#include <functional>

#include "kernel/types.h"
#include "registry/database.h"
#include "registry/key_store.h"

namespace vek::registry {

// Runs work inside one transaction of the current root's database, opening or
// reopening it first when the root changed (or the process is a fresh fork).
// A write is committed only when work returns ERROR_SUCCESS. A missing root
// folder fails with ERROR_PATH_NOT_FOUND; nothing is created but the database file.
LONG RunTransaction(Access access, const std::function<LONG(KeyStore&)>& work);

}  // namespace vek::registry
