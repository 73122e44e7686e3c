#include "kernel/machine_root.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace vek {
namespace {
std::mutex g_lock;
std::string g_override;
std::atomic<unsigned> g_generation{1};
}  // namespace

std::string MachineRoot() {
  {
    std::lock_guard guard(g_lock);
    if (!g_override.empty()) return g_override;
  }
  if (const char* root = std::getenv("VEK_ROOT"); root && *root) return root;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::string(data) + "/vek";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/vek";
}

void SetMachineRoot(const std::string& path) {
  std::lock_guard guard(g_lock);
  g_override = path;
  g_generation.fetch_add(1);
}

unsigned MachineRootGeneration() { return g_generation.load(); }

}  // namespace vek
