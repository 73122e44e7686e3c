// The machine root's spool folder, which holds the spooled jobs, the ports' lock
// files and the local ports' output: its owner's alone, and written only into
// files made there anew, never through a link another user left in it.
#pragma once

#include <string>

#include "kernel/types.h"

namespace vek::spooler {

// <root>/spool, and a folder inside it ("ports").
std::string SpoolFolder();
std::string SpoolFolder(const std::string& inside);
// Creates the spool folder and the one inside it named, each readable and
// writable by its owner only; folders already there are kept as they are.
// ERROR_SUCCESS, or ERROR_PATH_NOT_FOUND.
DWORD MakeSpoolFolder(const std::string& inside = "");

// Makes a new file in the spool folder, owner-only; a name already there (a
// file, or a link another user left) fails with EEXIST and is never written
// through. A file descriptor open for writing, or -1 with errno.
int CreateSpoolFile(const std::string& path);

}  // namespace vek::spooler
