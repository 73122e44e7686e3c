// Reading small records at once: every value of a key, or every subkey of a key
// with the values the caller names, in one statement instead of one call per value.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "registry/key_store.h"
#include "registry/registry.h"

namespace vek::registry {

// In name order without case; each subkey's values in name order, string data
// in the narrow form as RegQueryValueExA gives it. Every value when names is
// empty. except (data compared as stored: numbers and binary data as given)
// leaves out the subkeys not wanted before they are read.
LONG ReadSubKeyValues(HKEY key, std::span<const std::string_view> names,
                      std::vector<SubKeyValues>* subKeys, const ValueExclusion* except = nullptr);
// Every value of one key, the same way.
LONG ReadKeyValues(HKEY key, std::vector<ValueRow>* values);

}  // namespace vek::registry
