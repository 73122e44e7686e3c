#include "registry/store_session.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>

#include "kernel/errors.h"
#include "kernel/machine_root.h"
#include "registry/database_file.h"

namespace vek::registry {

namespace {

struct Session {
  // Held by a scope from its beginning to its end; the calls inside take it again.
  std::recursive_mutex lock;
  std::unique_ptr<Database> database;
  unsigned generation = 0;
  pid_t owner = 0;  // the process that opened the connection
  int depth = 0;    // open levels: the transaction, then one savepoint per inner scope
  Access access = Access::Read;  // of the transaction
  // Set when the transaction ended under an open scope (SQLite rolls back by
  // itself on some failures): every later call of the scope fails with it, so
  // nothing of the scope is committed piecemeal.
  LONG broken = ERROR_SUCCESS;
  // Why the database last failed to open, naming the file; and with which error.
  std::string problem;
  LONG problemError = ERROR_SUCCESS;
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
  std::unique_ptr<Database> database;
  std::string problem;
  if (LONG error = OpenDatabaseFile(root, &database, &problem)) {
    session.problem = problem;
    session.problemError = error;
    return error;
  }
  session.problem.clear();
  session.problemError = ERROR_SUCCESS;
  session.database = std::move(database);
  session.generation = generation;
  session.owner = getpid();
  return ERROR_SUCCESS;
}

std::string SavepointName(int level) { return "level" + std::to_string(level); }

// Whether the open transaction is still there to work in.
LONG Usable(Session& session) {
  if (session.broken == ERROR_SUCCESS && !session.database->InTransaction())
    session.broken = ERROR_REGISTRY_IO_FAILED;
  return session.broken;
}

// Begins the transaction, or inside it the savepoint of the next level.
LONG Enter(Session& session, Access access) {
  if (session.depth == 0) {
    if (LONG error = EnsureOpen(session)) return error;
    if (LONG error = session.database->Begin(access)) return error;
    session.access = access;
    session.broken = ERROR_SUCCESS;
  } else {
    if (access == Access::Write && session.access == Access::Read) return ERROR_INVALID_FUNCTION;
    if (LONG error = Usable(session)) return error;
    std::string begin = "SAVEPOINT " + SavepointName(session.depth);
    if (LONG error = session.database->Run(begin.c_str())) return error;
  }
  ++session.depth;
  return ERROR_SUCCESS;
}

// Ends the innermost level: commits or undoes the transaction, or releases or
// rolls back to the savepoint.
LONG Leave(Session& session, bool commit) {
  Database& database = *session.database;
  --session.depth;
  if (session.depth == 0) {
    LONG error = session.broken;
    session.broken = ERROR_SUCCESS;
    if (error == ERROR_SUCCESS && commit && session.access == Access::Write)
      error = database.InTransaction() ? database.Commit() : static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);
    database.Rollback();  // a read, an undo, or a failed commit; nothing after a commit
    return error;
  }
  if (LONG error = Usable(session)) return error;
  std::string name = SavepointName(session.depth);
  if (!commit) {
    std::string undo = "ROLLBACK TO " + name;
    if (LONG error = database.Run(undo.c_str())) return session.broken = error;
  }
  std::string release = "RELEASE " + name;
  if (LONG error = database.Run(release.c_str())) return session.broken = error;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RunTransaction(Access access, const std::function<LONG(KeyStore&)>& work) {
  Session& session = TheSession();
  std::lock_guard guard(session.lock);
  // A read inside a scope needs no level of its own: it changes nothing.
  bool ownLevel = session.depth == 0 || access == Access::Write;
  if (ownLevel) {
    if (LONG error = Enter(session, access)) return error;
  } else if (LONG error = Usable(session)) {
    return error;
  }
  KeyStore store(*session.database, session.generation);
  LONG result = work(store);
  if (ownLevel) {
    LONG end = Leave(session, result == ERROR_SUCCESS);
    if (result == ERROR_SUCCESS) result = end;
  }
  return result;
}

LONG BeginScope(Access access) {
  Session& session = TheSession();
  session.lock.lock();
  LONG error = Enter(session, access);
  if (error != ERROR_SUCCESS) session.lock.unlock();
  return error;
}

LONG EndScope(bool commit) {
  Session& session = TheSession();
  LONG error = Leave(session, commit);
  session.lock.unlock();
  return error;
}

std::string OpenProblem(LONG error) {
  Session& session = TheSession();
  std::lock_guard guard(session.lock);
  return error != ERROR_SUCCESS && error == session.problemError ? session.problem : std::string();
}

}  // namespace vek::registry
