// The registry database file of a machine root: made whole or not at all, and
// checked before it is trusted, so that a damaged file, an empty one, a folder
// or another program's database is reported, naming it, and left as it is.
#pragma once

#include <memory>
#include <string>

#include "kernel/types.h"
#include "registry/database.h"

namespace vek::registry {

// <root>/registry.db
std::string DatabaseFile(const std::string& root);

// Opens the root's database; when there is none, a new one is built beside it
// and put in place whole (readable and writable by its owner only, as are its
// log files). A file that is there but no sound registry database fails with
// ERROR_BADDB (not ours, empty, a folder) or ERROR_REGISTRY_CORRUPT (damaged),
// one that cannot be reached with ERROR_CANTOPEN; *problem then says why,
// naming the file. A file without write permission opens for reading only, and
// every write to it fails.
LONG OpenDatabaseFile(const std::string& root, std::unique_ptr<Database>* database, std::string* problem);

}  // namespace vek::registry
