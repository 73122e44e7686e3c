// String values are stored as UTF-16LE, as the wide form gives and takes them;
// the narrow form's UTF-8 is converted on the way in and out.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "kernel/types.h"

namespace vek::registry {

// REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ.
bool IsStringType(DWORD type);

// Every byte counts, terminators included, so a counted terminator survives the
// round trip. A stored odd trailing byte has no character and is dropped.
std::vector<BYTE> StoredFromNarrow(std::span<const BYTE> utf8);
std::vector<BYTE> NarrowFromStored(std::span<const BYTE> utf16le);

}  // namespace vek::registry
