// Text conversions between the narrow (UTF-8) and wide (UTF-16) forms of the API.
#pragma once

#include <string>
#include <string_view>

#include "kernel/types.h"

namespace vek {

std::u16string ToWide(std::string_view narrow);
std::string ToNarrow(std::u16string_view wide);
std::size_t WideLength(const WCHAR* text);
// Case-insensitive comparison for names (ASCII letters fold).
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace vek
