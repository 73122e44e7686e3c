// printf-style formatting for narrow and wide texts. In a wide format, %s and %c
// take wide arguments and %S and %C narrow ones, as the wide framework expects.
#pragma once

#include <cstdarg>
#include <string>

#include "kernel/types.h"

namespace vek {

std::string FormatV(const char* format, va_list args);
std::u16string FormatV(const char16_t* format, va_list args);

}  // namespace vek

int wsprintfA(LPSTR buffer, LPCSTR format, ...);
int wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
