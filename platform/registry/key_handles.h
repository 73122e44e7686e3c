// The process's table of open registry keys. Handle values are never reused, so
// a closed handle is recognised rather than reaching another key.
#pragma once

#include <cstdint>

#include "registry/registry.h"

namespace vek::registry {

struct OpenKey {
  std::int64_t id = 0;      // row of the key
  unsigned generation = 0;  // machine root generation it was opened under
};

HKEY AddKeyHandle(OpenKey key);
// False when the handle is not open.
bool FindKeyHandle(HKEY handle, OpenKey* key);
bool RemoveKeyHandle(HKEY handle);

}  // namespace vek::registry
