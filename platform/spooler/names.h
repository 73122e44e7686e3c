// Spooler names (printers, ports, monitors) compare without case.
#pragma once

#include <string>
#include <string_view>

#include "kernel/strings.h"

namespace vek::spooler {

inline bool SameName(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

// The rule for a port's name, as the VEK monitor keeps it too: 1 to 20
// characters; none of them a control character, ',' (it separates the ports of
// a printer) or '\' (it separates registry keys); no blank at either end, so a
// name of blanks alone is none either. Names are taken as they are, never trimmed.
inline constexpr std::size_t kMaxPortName = 20;
inline bool ValidPortName(std::string_view name) {
  std::u16string wide = ToWide(name);
  if (wide.empty() || wide.size() > kMaxPortName || wide.front() == u' ' || wide.back() == u' ') return false;
  for (char16_t c : wide)
    if (c < 0x20 || c == 0x7F || c == u',' || c == u'\\') return false;
  return true;
}

struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareNoCase(a, b) < 0; }
};

}  // namespace vek::spooler
