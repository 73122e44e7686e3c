// A program for the shell tests to start. Its first argument says what it does:
//   report FILE [ARG...]  writes what it was started with to FILE and ends with 0
//   exit CODE             ends with CODE
//   wait FILE             ends when FILE exists (at most after 60 s)
//   borrow LOG RELEASE    borrows the terminal, notes it in LOG, and gives it back
//                         when RELEASE exists
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "shell/terminal_lease.h"

namespace {

bool Exists(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0;
}

bool WaitForFile(const char* path) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Exists(path)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

int Report(int argc, char** argv) {
  std::string fds;  // before the report's own file is open
  if (DIR* folder = opendir("/proc/self/fd")) {
    int own = dirfd(folder);
    while (dirent* entry = readdir(folder)) {
      int fd = std::atoi(entry->d_name);
      if (entry->d_name[0] != '.' && fd > 2 && fd != own) fds += std::to_string(fd) + " ";
    }
    closedir(folder);
  }
  std::ofstream out(argv[2]);
  char cwd[4096] = {};
  out << "cwd=" << (getcwd(cwd, sizeof cwd) ? cwd : "?") << "\n";
  const char* root = std::getenv("VEK_ROOT");
  const char* language = std::getenv("VEK_LANGID");
  out << "root=" << (root ? root : "") << "\n";
  out << "language=" << (language ? language : "") << "\n";
  out << "argv0=" << argv[0] << "\n";
  out << "fds=" << fds << "\n";
  for (int i = 3; i < argc; ++i) out << "arg=" << argv[i] << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "report" && argc > 2) return Report(argc, argv);
  if (mode == "exit" && argc > 2) return std::atoi(argv[2]);
  if (mode == "wait" && argc > 2) return WaitForFile(argv[2]) ? 0 : 1;
  if (mode == "borrow" && argc > 3) {
    auto note = [&](const char* what) { std::ofstream(argv[2], std::ios::app) << what << " " << getpid() << "\n"; };
    note("asking");
    bool borrowed = vek::shell::BorrowTerminal();
    note(borrowed ? "borrowed" : "free");
    bool released = WaitForFile(argv[3]);
    note("returned");
    if (borrowed) vek::shell::ReturnTerminal();
    return released ? 0 : 1;
  }
  return 100;
}
