#include "shell/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "kernel/errors.h"
#include "shell/path_mapping.h"

namespace vek::shell {
namespace {

bool HasFolder(std::string_view name) { return name.find_first_of("\\/:") != std::string_view::npos; }

bool HasExtension(std::string_view name) {
  std::size_t last = name.find_last_of("\\/:");
  std::string_view file = last == std::string_view::npos ? name : name.substr(last + 1);
  return file.find('.') != std::string_view::npos;
}

enum class Found { No, Program, NotProgram };

Found Look(const std::string& hostPath) {
  struct stat info {};
  if (hostPath.empty() || stat(hostPath.c_str(), &info) != 0) return Found::No;
  return IsProgramFile(hostPath) ? Found::Program : Found::NotProgram;
}

std::vector<std::string> Spellings(std::string_view name) {
  if (HasExtension(name)) return {std::string(name)};
  return {std::string(name) + ".exe", std::string(name)};
}

bool FolderExists(const std::string& hostPath) {
  std::size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat info {};
  return stat(slash == 0 ? "/" : hostPath.substr(0, slash).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool IsProgramFile(const std::string& hostPath) {
  struct stat info {};
  return stat(hostPath.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(hostPath.c_str(), X_OK) == 0;
}

ProgramLookup FindProgram(std::string_view name) {
  ProgramLookup lookup;
  if (name.empty()) {
    lookup.error = ERROR_FILE_NOT_FOUND;
    return lookup;
  }
  std::vector<std::string> candidates;
  if (HasFolder(name)) {
    for (const std::string& spelling : Spellings(name)) candidates.push_back(HostPath(spelling));
  } else {
    std::vector<std::string> folders = {ProgramFolder(), HostPath("."), HostPath(SystemDirectory()),
                                        HostPath(WindowsDirectory())};
    for (const std::string& folder : folders) {
      if (folder.empty()) continue;
      for (const std::string& spelling : Spellings(name)) candidates.push_back(HostPathUnder(folder, spelling));
    }
  }
  bool sawFile = false;
  for (const std::string& candidate : candidates) {
    Found found = Look(candidate);
    if (found == Found::Program) {
      lookup.hostPath = candidate;
      return lookup;
    }
    sawFile |= found == Found::NotProgram;
  }
  if (sawFile) lookup.error = ERROR_ACCESS_DENIED;
  else if (HasFolder(name) && !candidates.empty() && !FolderExists(candidates.front())) lookup.error = ERROR_PATH_NOT_FOUND;
  else lookup.error = ERROR_FILE_NOT_FOUND;
  return lookup;
}

}  // namespace vek::shell
