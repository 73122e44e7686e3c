// UTF-8 and UTF-16. Bytes that are not UTF-8 (a device name in a legacy code page)
// travel as lone surrogates U+DC80..U+DCFF and come back unchanged.
#include "kernel/strings.h"

#include <cctype>

namespace vek {

std::u16string ToWide(std::string_view narrow) {
  std::u16string wide;
  wide.reserve(narrow.size());
  std::size_t i = 0;
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(narrow[k]); };
  while (i < narrow.size()) {
    unsigned char c = byte(i);
    std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    char32_t code = 0;
    bool valid = length != 0 && i + length <= narrow.size();
    if (valid) {
      code = length == 1 ? c : c & (0x7F >> length);
      for (std::size_t k = 1; k < length && valid; ++k) {
        valid = (byte(i + k) & 0xC0) == 0x80;
        code = (code << 6) | (byte(i + k) & 0x3F);
      }
      static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
      valid = valid && code >= smallest[length] && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    }
    if (!valid) {
      wide.push_back(static_cast<char16_t>(0xDC00 | c));
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      wide.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
      wide.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    } else {
      wide.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return wide;
}

std::string ToNarrow(std::u16string_view wide) {
  std::string narrow;
  narrow.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t code = wide[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xDC80 && code <= 0xDCFF) {
      narrow.push_back(static_cast<char>(code & 0xFF));  // an escaped byte
      continue;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      narrow.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      narrow.push_back(static_cast<char>(0xC0 | (code >> 6)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      narrow.push_back(static_cast<char>(0xE0 | (code >> 12)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      narrow.push_back(static_cast<char>(0xF0 | (code >> 18)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return narrow;
}

std::size_t WideLength(const WCHAR* text) {
  std::size_t n = 0;
  if (text)
    while (text[n]) ++n;
  return n;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    int x = std::tolower(static_cast<unsigned char>(a[i]));
    int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace vek
