#include "shell/shell_execute.h"

#include <sys/stat.h>

#include <cstdlib>

#include <string>
#include <vector>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/sync.h"
#include "registry/registry.h"
#include "shell/command_line.h"
#include "shell/file_attributes.h"
#include "shell/path_mapping.h"
#include "shell/process.h"
#include "shell/program_search.h"

namespace vek::shell {
namespace {

HINSTANCE Result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

bool ReadDefault(HKEY root, const std::string& path, std::string* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[1024] = {};
  DWORD type = 0, size = sizeof buffer - 1;
  LONG error = RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  *value = buffer;
  return !value->empty();
}

// The "open" command of a file type, the user's association first.
bool OpenCommandFor(const std::string& extension, std::string* command) {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    std::string type;
    if (!ReadDefault(root, "Software\\Classes\\" + extension, &type)) continue;
    for (HKEY typeRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      if (ReadDefault(typeRoot, "Software\\Classes\\" + type + "\\shell\\open\\command", command)) return true;
  }
  return false;
}

// The command with %1 (or %L) for the document and %* for the parameters; a
// command without %1 gets the document at its end. The document is quoted unless
// the command already quotes it.
std::string FillCommand(const std::string& command, const std::string& document, const std::string& parameters) {
  std::string filled;
  bool placed = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '%' && i + 1 < command.size()) {
      char what = command[i + 1];
      if (what == '1' || what == 'l' || what == 'L') {
        bool quoted = i > 0 && command[i - 1] == '"';
        filled += quoted ? document : QuoteArgument(document);
        placed = true;
        ++i;
        continue;
      }
      if (what == '*') {
        filled += parameters;
        ++i;
        continue;
      }
    }
    filled += command[i];
  }
  if (!placed) filled += " " + QuoteArgument(document);
  return filled;
}

std::string ExtensionOf(const std::string& hostPath) {
  std::size_t slash = hostPath.find_last_of('/');
  std::size_t dot = hostPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return hostPath.substr(dot);
}

int Start(const std::string& commandLine, LPCSTR directory, int showCommand) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      directory && *directory ? directory : nullptr, &startup, &started)) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
      case ERROR_PATH_NOT_FOUND:
      case ERROR_DIRECTORY: return SE_ERR_PNF;
      case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
      case ERROR_BAD_EXE_FORMAT: return ERROR_BAD_FORMAT;
      default: return 0;
    }
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 42;
}

// A document of a type the machine has no program for opens as the desktop opens
// it, when the user has a desktop.
int OpenOnDesktop(const std::string& hostPath, LPCSTR directory, int showCommand) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return SE_ERR_NOASSOC;
  for (const char* opener : {"/usr/bin/xdg-open", "/usr/local/bin/xdg-open"})
    if (IsProgramFile(opener)) return Start(QuoteProgram(opener) + " " + QuoteArgument(hostPath), directory, showCommand);
  return SE_ERR_NOASSOC;
}

int Open(LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand) {
  if (verb && *verb && CompareNoCase(verb, "open") != 0) return SE_ERR_NOASSOC;
  if (file == nullptr || *file == '\0') return SE_ERR_FNF;
  std::string params = parameters ? parameters : "";
  std::string name = file;
  bool relative = name.front() != '/' && name.front() != '\\' && !(name.size() >= 2 && name[1] == ':');
  if (relative && directory && *directory) name = std::string(directory) + "\\" + name;

  bool bare = std::string_view(file).find_first_of("\\/:") == std::string_view::npos;
  std::string host = HostPath(name);
  struct stat info {};
  bool exists = !host.empty() && stat(host.c_str(), &info) == 0;
  if (!exists && bare) {
    ProgramLookup lookup = FindProgram(file);  // a program by its bare name
    if (!lookup.hostPath.empty()) return Start(QuoteProgram(lookup.hostPath) + (params.empty() ? "" : " " + params), directory, showCommand);
  }
  if (!exists) {
    bool folderMissing = GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_PATH_NOT_FOUND;
    return folderMissing ? SE_ERR_PNF : SE_ERR_FNF;
  }
  if (S_ISDIR(info.st_mode)) return SE_ERR_NOASSOC;
  if (IsProgramFile(host)) return Start(QuoteProgram(host) + (params.empty() ? "" : " " + params), directory, showCommand);
  std::string command;
  if (!OpenCommandFor(ExtensionOf(host), &command)) return OpenOnDesktop(host, directory, showCommand);
  return Start(FillCommand(command, WindowsPathOf(host), params), directory, showCommand);
}

}  // namespace
}  // namespace vek::shell

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand) {
  int result = vek::shell::Open(verb, file, parameters, directory, showCommand);
  if (result <= 32) SetLastError(result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION_FOUND : static_cast<DWORD>(result));
  return vek::shell::Result(result);
}
