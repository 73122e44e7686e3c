// The process's connection to the registry database of the current machine root.
// There is one connection and one lock: a SQLite transaction belongs to its
// connection, so the process's threads take turns.
#pragma once

#include <functional>
#include <string>

#include "kernel/types.h"
#include "registry/database.h"
#include "registry/key_store.h"

namespace vek::registry {

// Runs work inside one transaction of the current root's database, opening or
// reopening it first when the root changed (or the process is a fresh fork).
// A write is committed only when work returns ERROR_SUCCESS. A missing root
// folder fails with ERROR_PATH_NOT_FOUND; nothing is created but the database file.
// Inside a scope this thread opened, work joins the scope's transaction instead;
// a write that fails there is undone on its own, leaving the scope's other work.
LONG RunTransaction(Access access, const std::function<LONG(KeyStore&)>& work);

// A scope: the calls of this thread between the two are one transaction, which
// the other threads of the process wait for. Scopes nest; an inner one ending
// without commit undoes only its own work. Writing inside a scope opened for
// reading fails with ERROR_INVALID_FUNCTION. Every successful BeginScope is
// matched by one EndScope.
LONG BeginScope(Access access);
// Commits (the outermost scope) or keeps (an inner one) the scope's work when
// commit is set, undoes it otherwise; the commit's error, if any, after which
// the scope's work is undone.
LONG EndScope(bool commit);

// Why the database last failed to open with this error, naming the file; empty
// when its last open did not fail so.
std::string OpenProblem(LONG error);

}  // namespace vek::registry
