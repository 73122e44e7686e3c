// Where a program named on a command line is. A name with a folder (or a drive) is
// taken where it says; a bare name is looked for, as Windows looks for it, in the
// folder of the running program, the current folder, the system folder and the
// Windows folder (the host's own search path is not used: the system's programs
// live in the machine). A name without an extension is tried with ".exe" first.
#pragma once

#include <string>
#include <string_view>

#include "kernel/types.h"

namespace vek::shell {

struct ProgramLookup {
  std::string hostPath;     // the program's file, when found
  DWORD error = 0;          // else ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_ACCESS_DENIED
};

ProgramLookup FindProgram(std::string_view name);

// Whether the path names a file that can be run as a program.
bool IsProgramFile(const std::string& hostPath);

}  // namespace vek::shell
