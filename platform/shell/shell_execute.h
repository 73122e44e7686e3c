// Opening a file the way the desktop shell does: a program is started, a document
// is opened with the program its type is associated with. Associations are the
// shell's own: "Software\Classes\.<ext>" names a file type, and the type's
// "shell\open\command" holds the command line, with %1 for the document (the user's
// classes under HKEY_CURRENT_USER first, then the machine's under
// HKEY_LOCAL_MACHINE). A document of a type without one opens with the desktop's
// opener (xdg-open) when there is a desktop (DISPLAY or WAYLAND_DISPLAY).
#pragma once

#include "framework/win_types.h"

constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_ACCESSDENIED = 5;
constexpr int SE_ERR_OOM = 8;
constexpr int SE_ERR_NOASSOC = 31;
constexpr DWORD ERROR_NO_ASSOCIATION_FOUND = 1155;

// Only the verb "open" (or none) is known. The file is taken relative to
// `directory` when that is given, which is also the started program's current
// folder. Above 32 when the program started; else ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, SE_ERR_ACCESSDENIED, ERROR_BAD_FORMAT, SE_ERR_NOASSOC (no
// program for the file's type, or another verb) or 0.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand);

namespace vek::shell {
// The number in a ShellExecute result (above 32 for success).
inline int ShellExecuteResult(HINSTANCE result) { return static_cast<int>(reinterpret_cast<std::intptr_t>(result)); }
}  // namespace vek::shell
