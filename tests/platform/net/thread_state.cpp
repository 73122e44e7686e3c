#include "thread_state.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <thread>

namespace vek::net::test {

int CurrentThreadId() { return static_cast<int>(::syscall(SYS_gettid)); }

bool WaitUntilThreadSleeps(int threadId, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  const std::string path = "/proc/self/task/" + std::to_string(threadId) + "/stat";
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream stat(path);
    std::string line;
    std::getline(stat, line);
    // The state follows the parenthesised command name.
    auto close = line.rfind(')');
    if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'S') return true;
    std::this_thread::yield();
  }
  return false;
}

}  // namespace vek::net::test
