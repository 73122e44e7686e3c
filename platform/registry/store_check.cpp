#include "registry/store_check.h"

#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "registry/database_file.h"
#include "registry/store_session.h"

namespace vek::registry {

LONG CheckStore() {
  return RunTransaction(Access::Read, [](KeyStore&) { return static_cast<LONG>(ERROR_SUCCESS); });
}

bool IsStoreError(LONG error) {
  switch (error) {
    case ERROR_BADDB:
    case ERROR_CANTOPEN:
    case ERROR_CANTREAD:
    case ERROR_CANTWRITE:
    case ERROR_REGISTRY_CORRUPT:
    case ERROR_REGISTRY_IO_FAILED:
      return true;
    default:
      return false;
  }
}

std::string DescribeStoreError(LONG error) {
  if (!IsStoreError(error)) return {};
  // The open's own finding says most; an error met later is told by its kind.
  if (std::string problem = OpenProblem(error); !problem.empty()) return problem;
  const std::string file = DatabaseFile(MachineRoot());
  switch (error) {
    case ERROR_BADDB: return file + " is not a registry database (damaged, or another program's file)";
    case ERROR_REGISTRY_CORRUPT: return file + " is damaged";
    case ERROR_CANTOPEN: return file + " cannot be opened";
    case ERROR_CANTREAD: return file + " cannot be read";
    case ERROR_CANTWRITE: return file + " cannot be written: it is read-only";
    default: return file + " cannot be read or written";
  }
}

}  // namespace vek::registry
