#include "shell/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"
#include "kernel/machine_root.h"
#include "kernel/sync.h"
#include "kernel/thread.h"
#include "kernel/thread_object.h"
#include "kernel/version.h"
#include "kernel/waitable.h"
#include "shell/command_line.h"
#include "shell/path_mapping.h"
#include "shell/program_search.h"
#include "shell/terminal_lease.h"

extern char** environ;

namespace vek::shell {
namespace {

// A started program: signalled once it has ended and been reaped.
class ProcessObject : public kernel::Waitable {
 public:
  explicit ProcessObject(pid_t pid) : m_pid(pid) {}
  bool IsSignaled(DWORD) const override { return m_finished; }
  pid_t pid() const { return m_pid; }

  // Guarded by WaitLock.
  bool m_finished = false;
  DWORD m_exitCode = STILL_ACTIVE;
  std::optional<DWORD> m_terminatedWith;

 private:
  pid_t m_pid;
};

DWORD ErrorOfErrno(int error) {
  switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOEXEC:
    case ELIBBAD: return ERROR_BAD_EXE_FORMAT;
    default: return ERROR_NOT_ENOUGH_MEMORY;
  }
}

bool IsMachineVariable(std::string_view entry) {
  for (std::string_view name : {"VEK_ROOT=", "VEK_LANGID=", "VEK_TERMINAL_LEASE="})
    if (entry.substr(0, name.size()) == name) return true;
  return false;
}

// The started program's environment: the given block or ours, and the machine the
// program runs on (the machine root and language may be set inside this process).
std::vector<std::string> ChildEnvironment(LPVOID block, int lease) {
  std::vector<std::string> entries;
  if (block) {
    for (const char* entry = static_cast<const char*>(block); *entry; entry += std::strlen(entry) + 1)
      if (!IsMachineVariable(entry)) entries.emplace_back(entry);
  } else {
    for (char** entry = environ; entry && *entry; ++entry)
      if (!IsMachineVariable(*entry)) entries.emplace_back(*entry);
  }
  entries.push_back("VEK_ROOT=" + MachineRoot());
  char language[32];
  std::snprintf(language, sizeof language, "VEK_LANGID=0x%04X", static_cast<unsigned>(GetUserDefaultLangID()));
  entries.emplace_back(language);
  if (lease >= 0) entries.push_back(std::string(kLeaseVariable) + "=" + std::to_string(kLeaseDescriptor));
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Waits for the program on a thread of its own and records how it ended. The
// program is reaped only after that, so while the record says it runs its id is
// still its own (TerminateProcess relies on that).
bool WatchProcess(const std::shared_ptr<ProcessObject>& process) {
  try {
    std::thread([process] {
      siginfo_t info{};
      int result;
      do {
        result = waitid(P_PID, static_cast<id_t>(process->pid()), &info, WEXITED | WNOWAIT);
      } while (result < 0 && errno == EINTR);
      DWORD code = 1;  // reaped elsewhere: how it ended is unknown
      if (result == 0) {
        if (info.si_code == CLD_EXITED) code = static_cast<DWORD>(info.si_status);
        else code = 128u + static_cast<DWORD>(info.si_status);
      }
      {
        std::lock_guard lock(kernel::WaitLock());
        process->m_exitCode = process->m_terminatedWith.value_or(code);
        process->m_finished = true;
        process->NotifyLocked();
      }
      if (result == 0) waitpid(process->pid(), nullptr, 0);
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

struct Spawned {
  pid_t pid = -1;
  DWORD error = 0;
};

Spawned Spawn(const std::string& program, std::vector<std::string> arguments, LPVOID environment,
              const std::string& directory) {
  int lease = OpenChildLease();
  std::vector<std::string> variables = ChildEnvironment(environment, lease);
  std::vector<char*> argv = Pointers(arguments);
  std::vector<char*> envp = Pointers(variables);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (lease >= 0) posix_spawn_file_actions_adddup2(&actions, lease, kLeaseDescriptor);
  posix_spawn_file_actions_addclosefrom_np(&actions, lease >= 0 ? kLeaseDescriptor + 1 : kLeaseDescriptor);
  if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2}) sigaddset(&defaults, signal);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  Spawned spawned;
  int result = posix_spawn(&spawned.pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (lease >= 0) close(lease);
  if (result != 0) {
    spawned.pid = -1;
    spawned.error = ErrorOfErrno(result);
  }
  return spawned;
}

bool IsFolder(const std::string& hostPath) {
  struct stat info {};
  return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace
}  // namespace vek::shell

using vek::shell::ProcessObject;

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA,
                    LPPROCESS_INFORMATION processInformation) {
  namespace shell = vek::shell;
  bool named = applicationName && *applicationName;
  if ((!named && (commandLine == nullptr || *commandLine == '\0')) || (creationFlags & CREATE_SUSPENDED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string_view rest;
  std::string first = commandLine ? shell::ProgramOf(commandLine, &rest) : std::string();
  std::string program;
  if (named) {
    program = shell::HostPath(applicationName);
    if (!shell::IsProgramFile(program)) {
      struct stat info {};
      SetLastError(stat(program.c_str(), &info) == 0 ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
      return FALSE;
    }
    if (first.empty()) first = applicationName;
  } else {
    shell::ProgramLookup lookup = shell::FindProgram(first);
    if (lookup.hostPath.empty()) {
      SetLastError(lookup.error);
      return FALSE;
    }
    program = lookup.hostPath;
  }
  std::string directory;
  if (currentDirectory && *currentDirectory) {
    directory = shell::HostPath(currentDirectory);
    if (!shell::IsFolder(directory)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
  }
  std::vector<std::string> arguments{first};
  for (std::string& argument : shell::ArgumentsOf(rest)) arguments.push_back(std::move(argument));

  shell::Spawned spawned = shell::Spawn(program, std::move(arguments), environment, directory);
  if (spawned.pid < 0) {
    SetLastError(spawned.error);
    return FALSE;
  }
  auto process = std::make_shared<ProcessObject>(spawned.pid);
  if (!shell::WatchProcess(process)) {
    kill(spawned.pid, SIGKILL);
    waitpid(spawned.pid, nullptr, 0);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  HANDLE processHandle = vek::kernel::RegisterHandle(process);
  if (processInformation) {
    processInformation->hProcess = processHandle;
    processInformation->hThread = vek::kernel::RegisterHandle(process);
    processInformation->dwProcessId = static_cast<DWORD>(spawned.pid);
    processInformation->dwThreadId = vek::kernel::NewThreadId();
  } else {
    CloseHandle(processHandle);
  }
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
  auto object = vek::kernel::LookupHandleAs<ProcessObject>(process);
  if (!object || exitCode == nullptr) {
    SetLastError(object ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(vek::kernel::WaitLock());
  *exitCode = object->m_exitCode;
  return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
  auto object = vek::kernel::LookupHandleAs<ProcessObject>(process);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard lock(vek::kernel::WaitLock());
    if (object->m_finished) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    object->m_terminatedWith = exitCode;
    kill(object->pid(), SIGKILL);  // not yet reaped: the id is still the program's
  }
  return TRUE;
}

DWORD GetProcessId(HANDLE process) {
  auto object = vek::kernel::LookupHandleAs<ProcessObject>(process);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(object->pid());
}

UINT WinExec(LPCSTR commandLine, UINT showCommand) {
  if (commandLine == nullptr) return ERROR_FILE_NOT_FOUND;
  std::string line = commandLine;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return error;
    if (error == ERROR_BAD_EXE_FORMAT || error == ERROR_ACCESS_DENIED) return ERROR_BAD_FORMAT;
    return 0;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 33;
}
