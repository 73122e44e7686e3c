#include "registry/store_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>

#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "registry/schema.h"

namespace vek::registry {

namespace {

constexpr const char* kDatabaseFile = "registry.db";

struct Session {
  std::mutex lock;
  std::unique_ptr<Database> database;
  unsigned generation = 0;
  pid_t owner = 0;  // the process that opened the connection
};

Session& TheSession() {
  static Session* session = new Session;  // lives until the process ends
  return *session;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

LONG EnsureOpen(Session& session) {
  if (session.database && session.owner != getpid()) {
    session.database->Abandon();
    session.database.reset();
  }
  // Read the generation before the root: a change in between is seen next call.
  unsigned generation = MachineRootGeneration();
  if (session.database && session.generation == generation) return ERROR_SUCCESS;
  session.database.reset();

  std::string root = MachineRoot();
  if (!IsFolder(root)) return ERROR_PATH_NOT_FOUND;
  auto database = std::make_unique<Database>();
  if (LONG error = database->Open(root + "/" + kDatabaseFile)) return error;
  if (LONG error = PrepareSchema(*database)) return error;
  session.database = std::move(database);
  session.generation = generation;
  session.owner = getpid();
  return ERROR_SUCCESS;
}

}  // namespace

LONG RunTransaction(Access access, const std::function<LONG(KeyStore&)>& work) {
  Session& session = TheSession();
  std::lock_guard guard(session.lock);
  if (LONG error = EnsureOpen(session)) return error;
  Database& database = *session.database;
  if (LONG error = database.Begin(access)) return error;

  KeyStore store(database, session.generation);
  LONG result = work(store);
  if (access == Access::Write && result == ERROR_SUCCESS) {
    result = database.Commit();
    if (result != ERROR_SUCCESS) database.Rollback();
  } else {
    database.Rollback();  // a read ends here as well
  }
  return result;
}

}  // namespace vek::registry
