#include "shell/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "kernel/errors.h"
#include "shell/path_mapping.h"

namespace vek::shell {

DWORD ReadFileContents(const char* path, std::size_t limit, std::vector<std::uint8_t>* bytes) {
  bytes->clear();
  std::string host = path ? HostPath(path) : std::string();
  if (host.empty()) return ERROR_PATH_NOT_FOUND;
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ERROR_FILE_NOT_FOUND : errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED;
  struct stat info {};
  DWORD result = ERROR_SUCCESS;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    result = ERROR_ACCESS_DENIED;
  } else {
    std::uint8_t chunk[8192];
    for (;;) {
      ssize_t got = read(fd, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        result = ERROR_ACCESS_DENIED;
        break;
      }
      if (got == 0) break;
      if (bytes->size() + static_cast<std::size_t>(got) > limit) {
        result = ERROR_FILE_TOO_LARGE;
        break;
      }
      bytes->insert(bytes->end(), chunk, chunk + got);
    }
  }
  close(fd);
  if (result != ERROR_SUCCESS) bytes->clear();
  return result;
}

}  // namespace vek::shell
