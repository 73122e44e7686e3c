#include "shell/file_attributes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "shell/path_mapping.h"

DWORD GetFileAttributesA(LPCSTR path) {
  std::string host = path ? vek::shell::HostPath(path) : std::string();
  if (host.empty()) {
    SetLastError(path && *path ? ERROR_BAD_PATHNAME : ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info {};
  if (stat(host.c_str(), &info) != 0) {
    int error = errno;
    SetLastError(error == ENOENT ? ERROR_FILE_NOT_FOUND : error == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
    if (error == ENOENT) {
      std::size_t slash = host.find_last_of('/');
      std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : host.substr(0, slash);
      struct stat folderInfo {};
      if (stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) SetLastError(ERROR_PATH_NOT_FOUND);
    }
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) {
    attributes = FILE_ATTRIBUTE_DIRECTORY;
  } else if (S_ISREG(info.st_mode)) {
    attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (access(host.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
  } else {
    attributes = FILE_ATTRIBUTE_SYSTEM;
  }
  std::size_t slash = host.find_last_of('/');
  std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes;
}
