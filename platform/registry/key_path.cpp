#include "registry/key_path.h"

#include "kernel/errors.h"

namespace vek::registry {

LONG SplitKeyPath(std::string_view path, std::vector<std::string_view>* levels) {
  levels->clear();
  if (path.empty()) return ERROR_SUCCESS;
  if (path.front() == '\\') return static_cast<LONG>(ERROR_BAD_PATHNAME);
  if (path.back() == '\\') path.remove_suffix(1);
  while (true) {
    std::size_t end = path.find('\\');
    std::string_view level = path.substr(0, end);
    if (level.empty()) return static_cast<LONG>(ERROR_BAD_PATHNAME);
    levels->push_back(level);
    if (end == std::string_view::npos) return ERROR_SUCCESS;
    path.remove_prefix(end + 1);
  }
}

}  // namespace vek::registry
