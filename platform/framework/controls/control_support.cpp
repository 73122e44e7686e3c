#include "framework/controls/control_support.h"

#include <algorithm>
#include <cstring>

#include "kernel/strings.h"

namespace vek::framework {

LRESULT ControlBehaviour::CopyText(const std::string& text, char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<LRESULT>(n);
}

LRESULT ControlBehaviour::CopyText(const std::string& text, char16_t* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::u16string wide = ToWide(text);
  std::size_t n = std::min(wide.size(), size - 1);
  std::memcpy(buffer, wide.data(), n * sizeof(char16_t));
  buffer[n] = 0;
  return static_cast<LRESULT>(n);
}

}  // namespace vek::framework
