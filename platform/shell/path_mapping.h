// Paths as the system's code writes them (drive letters, backslashes) and where they
// lie on this machine: every drive letter is a folder of the machine root, so the
// Windows folder, the program-files folders and everything installed into them live
// in <root>/drives/<letter>. Names are found without regard to case, as on Windows.
#pragma once

#include <string>
#include <string_view>

#include "kernel/types.h"

namespace vek::shell {

// The host path of a path:
//   "C:\dir\file" (or "C:/dir/file")  <root>/drives/c/dir/file
//   "\dir\file"                        the same on drive C, the system drive
//   "dir\file"                         relative to the current directory
//   "/dir/file"                        a host path already (the platform's own
//                                      tools and tests pass these)
// "." and ".." are resolved by name and never lead out of a drive's folder; a
// relative path climbs no higher than the drive of the current directory, or than
// the current directory itself when it lies on none of the drives. Each
// component that does not exist as written is matched without regard to case. A
// network path ("\\server\share") has no place here: the result is empty.
std::string HostPath(std::string_view path);

// A relative path (either separator) under a host folder, matched as HostPath does.
std::string HostPathUnder(const std::string& hostFolder, std::string_view relativePath);

// The folder that holds a drive's files ('c' or 'C').
std::string DriveFolder(char letter);

// A host path inside a drive's folder in its Windows form ("C:\dir\file"); any
// other path comes back as it is (HostPath takes it back unchanged).
std::string WindowsPathOf(const std::string& hostPath);

// "C:\WINNT" on Windows NT 3 to 2000, "C:\WINDOWS" otherwise; the system folder
// inside it is "system32" on Windows NT and "SYSTEM" on Windows 9x.
std::string WindowsDirectory();
std::string SystemDirectory();

// The folder of the running program's file, as a host path.
std::string ProgramFolder();

}  // namespace vek::shell

// Both return the length without the terminating NUL, or, when the buffer is too
// small, the size it needs with it (nothing is written then).
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
