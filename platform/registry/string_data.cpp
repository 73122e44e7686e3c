#include "registry/string_data.h"

#include <string>

#include "kernel/strings.h"
#include "registry/registry.h"

namespace vek::registry {

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::vector<BYTE> StoredFromNarrow(std::span<const BYTE> utf8) {
  std::u16string wide =
      ToWide(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
  std::vector<BYTE> stored;
  stored.reserve(wide.size() * 2);
  for (char16_t unit : wide) {
    stored.push_back(static_cast<BYTE>(unit & 0xFF));
    stored.push_back(static_cast<BYTE>(unit >> 8));
  }
  return stored;
}

std::vector<BYTE> NarrowFromStored(std::span<const BYTE> utf16le) {
  std::u16string wide;
  wide.reserve(utf16le.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    wide.push_back(static_cast<char16_t>(utf16le[i] | (utf16le[i + 1] << 8)));
  }
  std::string narrow = ToNarrow(wide);
  return std::vector<BYTE>(narrow.begin(), narrow.end());
}

}  // namespace vek::registry
