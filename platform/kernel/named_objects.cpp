#include "kernel/named_objects.h"

#include <map>
#include <mutex>

namespace vek::kernel {

std::shared_ptr<Waitable> FindOrAddNamed(const std::string& name, const std::function<std::shared_ptr<Waitable>()>& make,
                                         bool& existed) {
  static std::mutex lock;
  static std::map<std::string, std::weak_ptr<Waitable>> objects;
  std::lock_guard guard(lock);
  if (auto live = objects[name].lock()) {
    existed = true;
    return live;
  }
  existed = false;
  auto object = make();
  objects[name] = object;
  return object;
}

}  // namespace vek::kernel
