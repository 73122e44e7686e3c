// Spooler names (printers, ports, monitors) compare without case.
#pragma once

#include <string>
#include <string_view>

#include "kernel/strings.h"

namespace vek::spooler {

inline bool SameName(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase(a, b) < 0; }
};

}  // namespace vek::spooler
