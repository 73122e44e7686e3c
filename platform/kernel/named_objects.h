// Named events and mutexes: a second creation with the same name opens the same
// object and reports ERROR_ALREADY_EXISTS.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "kernel/errors.h"
#include "kernel/handle_table.h"
#include "kernel/lasterror.h"

namespace vek::kernel {

// Returns the live object of that name, or registers the one made by `make`.
std::shared_ptr<Waitable> FindOrAddNamed(const std::string& name, const std::function<std::shared_ptr<Waitable>()>& make,
                                         bool& existed);

template <typename T, typename Make>
HANDLE CreateOrOpenNamed(const std::string* name, Make make) {
  if (name == nullptr || name->empty()) {
    SetLastError(ERROR_SUCCESS);
    return RegisterHandle(make());
  }
  bool existed = false;
  auto object = FindOrAddNamed(*name, [&] { return std::shared_ptr<Waitable>(make()); }, existed);
  if (!std::dynamic_pointer_cast<T>(object)) {
    SetLastError(ERROR_INVALID_HANDLE);  // the name belongs to another kind of object
    return nullptr;
  }
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return RegisterHandle(std::move(object));
}

}  // namespace vek::kernel
