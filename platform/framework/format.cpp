// One walker for narrow and wide formats. Lengths follow the system's 32-bit model:
// "l" is 32 bits (LONG, DWORD), "ll" and "I64" 64 bits; numbers are printed by the C
// library in narrow form, texts and characters converted between the two forms.
#include "framework/format.h"

#include <cstdio>
#include <cstring>
#include <type_traits>

#include "kernel/strings.h"

namespace vek {
namespace {

// Takes the pattern as a plain pointer: va_start needs a parameter that is not a reference.
std::string PrintfC(const char* pattern, ...) {
  va_list args;
  va_start(args, pattern);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, pattern, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), pattern, args);
    out.resize(static_cast<std::size_t>(needed));
  }
  va_end(args);
  return out;
}

template <typename... Args>
std::string Printf(const std::string& pattern, Args... args) {
  return PrintfC(pattern.c_str(), args...);
}

template <typename Char>
std::basic_string<Char> FromNarrow(const std::string& text) {
  if constexpr (std::is_same_v<Char, char>) return text;
  else return ToWide(text);
}

template <typename Char>
std::basic_string<Char> FromWide(const std::u16string& text) {
  if constexpr (std::is_same_v<Char, char>) return ToNarrow(text);
  else return text;
}

template <typename Char>
std::basic_string<Char> Pad(std::basic_string<Char> text, bool leftAlign, int width, int precision) {
  if (precision >= 0 && text.size() > static_cast<std::size_t>(precision)) text.resize(static_cast<std::size_t>(precision));
  if (width > 0 && text.size() < static_cast<std::size_t>(width)) {
    std::basic_string<Char> pad(static_cast<std::size_t>(width) - text.size(), Char(' '));
    text = leftAlign ? text + pad : pad + text;
  }
  return text;
}

template <typename Char>
std::basic_string<Char> Walk(const Char* format, va_list args) {
  constexpr bool kWideFormat = std::is_same_v<Char, char16_t>;
  std::basic_string<Char> out;
  if (format == nullptr) return out;
  for (const Char* p = format; *p;) {
    if (*p != Char('%')) {
      out.push_back(*p++);
      continue;
    }
    const Char* start = p++;
    if (*p == Char('%')) {
      out.push_back(Char('%'));
      ++p;
      continue;
    }
    std::string pattern = "%";
    bool leftAlign = false;
    while (*p == Char('-') || *p == Char('+') || *p == Char(' ') || *p == Char('#') || *p == Char('0')) {
      if (*p == Char('-')) leftAlign = true;
      pattern.push_back(static_cast<char>(*p++));
    }
    int width = -1;
    if (*p == Char('*')) {
      width = va_arg(args, int);
      if (width < 0) {
        leftAlign = true;
        width = -width;
        pattern.push_back('-');
      }
      pattern += std::to_string(width);
      ++p;
    } else {
      while (*p >= Char('0') && *p <= Char('9')) {
        width = (width < 0 ? 0 : width * 10) + static_cast<int>(*p - Char('0'));
        pattern.push_back(static_cast<char>(*p++));
      }
    }
    int precision = -1;
    if (*p == Char('.')) {
      pattern.push_back('.');
      ++p;
      precision = 0;
      if (*p == Char('*')) {
        precision = va_arg(args, int);
        pattern += std::to_string(precision);
        ++p;
      } else {
        while (*p >= Char('0') && *p <= Char('9')) {
          precision = precision * 10 + static_cast<int>(*p - Char('0'));
          pattern.push_back(static_cast<char>(*p++));
        }
      }
    }
    enum class Length { Default, Short, Long, LongLong, Size } length = Length::Default;
    for (;;) {
      if (*p == Char('h')) {
        length = Length::Short;
        ++p;
      } else if (*p == Char('l')) {
        length = length == Length::Long ? Length::LongLong : Length::Long;
        ++p;
      } else if (*p == Char('I') && p[1] == Char('6') && p[2] == Char('4')) {
        length = Length::LongLong;
        p += 3;
      } else if (*p == Char('z') || *p == Char('I')) {
        length = Length::Size;
        ++p;
      } else {
        break;
      }
    }
    Char conversion = *p;
    if (conversion == 0) {
      out.append(start, p);
      break;
    }
    ++p;
    switch (conversion) {
      case Char('s'):
      case Char('S'): {
        // %s is the format's own width unless "h" or "l" says otherwise; %S the other one.
        bool wideArg = conversion == Char('s') ? (kWideFormat ? length != Length::Short : length == Length::Long)
                                               : (kWideFormat ? length == Length::Long : length != Length::Short);
        std::basic_string<Char> text;
        if (wideArg) {
          const char16_t* s = va_arg(args, const char16_t*);
          text = FromWide<Char>(s ? std::u16string(s) : u"(null)");
        } else {
          const char* s = va_arg(args, const char*);
          text = FromNarrow<Char>(s ? std::string(s) : "(null)");
        }
        out += Pad(std::move(text), leftAlign, width, precision);
        break;
      }
      case Char('c'):
      case Char('C'): {
        int c = va_arg(args, int);
        std::basic_string<Char> text;
        if constexpr (kWideFormat) text.push_back(static_cast<char16_t>(c));
        else if (conversion == Char('C')) text = ToNarrow(std::u16string(1, static_cast<char16_t>(c)));
        else text.push_back(static_cast<char>(c));
        out += Pad(std::move(text), leftAlign, width, -1);
        break;
      }
      case Char('d'):
      case Char('i'):
      case Char('u'):
      case Char('x'):
      case Char('X'):
      case Char('o'): {
        bool isSigned = conversion == Char('d') || conversion == Char('i');
        std::string text;
        if (length == Length::LongLong || length == Length::Size) {
          long long value = va_arg(args, long long);
          text = Printf(pattern + "ll" + static_cast<char>(conversion), value);
        } else {
          int value = va_arg(args, int);
          if (length == Length::Short) value = isSigned ? static_cast<short>(value) : static_cast<unsigned short>(value);
          text = Printf(pattern + static_cast<char>(conversion), value);
        }
        out += FromNarrow<Char>(text);
        break;
      }
      case Char('e'):
      case Char('E'):
      case Char('f'):
      case Char('g'):
      case Char('G'):
        out += FromNarrow<Char>(Printf(pattern + static_cast<char>(conversion), va_arg(args, double)));
        break;
      case Char('p'):
        out += FromNarrow<Char>(Printf(pattern + "p", va_arg(args, void*)));
        break;
      default:
        out.append(start, p);  // unknown conversion: kept as written
        break;
    }
  }
  return out;
}

}  // namespace

std::string FormatV(const char* format, va_list args) { return Walk(format, args); }

std::u16string FormatV(const char16_t* format, va_list args) { return Walk(format, args); }

}  // namespace vek

int wsprintfA(LPSTR buffer, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = vek::FormatV(format, args);
  va_end(args);
  if (text.size() > 1023) text.resize(1023);  // the call's limit is 1024 characters
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size());
}

int wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string text = vek::FormatV(format, args);
  va_end(args);
  if (text.size() > 1023) text.resize(1023);
  std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(char16_t));
  return static_cast<int>(text.size());
}
