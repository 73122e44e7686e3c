// What differs between the narrow (char, UTF-8) and wide (char16_t, UTF-16) forms
// of the API: how names arrive and leave, how they are measured, and whether
// string data is converted. The store itself keeps names in UTF-8.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/strings.h"
#include "kernel/types.h"
#include "registry/string_data.h"

namespace vek::registry {

template <typename Char>
struct TextForm;

template <>
struct TextForm<char> {
  static std::string Name(const char* text) { return text == nullptr ? std::string() : text; }
  static std::string Out(const std::string& name) { return name; }
  static std::vector<BYTE> DataIn(DWORD type, std::span<const BYTE> data) {
    if (IsStringType(type)) return StoredFromNarrow(data);
    return std::vector<BYTE>(data.begin(), data.end());
  }
  static std::vector<BYTE> DataOut(DWORD type, std::vector<BYTE> stored) {
    if (IsStringType(type)) return NarrowFromStored(stored);
    return stored;
  }
};

template <>
struct TextForm<char16_t> {
  static std::string Name(const char16_t* text) {
    return text == nullptr ? std::string() : ToNarrow(std::u16string_view(text, WideLength(text)));
  }
  static std::u16string Out(const std::string& name) { return ToWide(name); }
  static std::vector<BYTE> DataIn(DWORD, std::span<const BYTE> data) {
    return std::vector<BYTE>(data.begin(), data.end());
  }
  static std::vector<BYTE> DataOut(DWORD, std::vector<BYTE> stored) { return stored; }
};

}  // namespace vek::registry
