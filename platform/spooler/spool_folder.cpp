#include "spooler/spool_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "kernel/errors.h"
#include "kernel/machine_root.h"

namespace vek::spooler {

namespace {

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST; }

}  // namespace

std::string SpoolFolder() { return MachineRoot() + "/spool"; }

std::string SpoolFolder(const std::string& inside) { return SpoolFolder() + "/" + inside; }

DWORD MakeSpoolFolder(const std::string& inside) {
  if (!MakeFolder(SpoolFolder())) return ERROR_PATH_NOT_FOUND;
  if (!inside.empty() && !MakeFolder(SpoolFolder(inside))) return ERROR_PATH_NOT_FOUND;
  return ERROR_SUCCESS;
}

int CreateSpoolFile(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

}  // namespace vek::spooler
