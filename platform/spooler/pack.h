// Packing records into a caller's buffer the way the spooler's callers expect:
// the fixed records one after the other from the start, their strings from the end
// downwards, every pointer inside the buffer. A null or short buffer fails with
// ERROR_INSUFFICIENT_BUFFER and the size needed. Nothing beyond cbBuf is touched.
#pragma once

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "kernel/errors.h"
#include "kernel/lasterror.h"
#include "kernel/strings.h"
#include "kernel/types.h"

namespace vek::spooler {

// The text of the API's character type.
template <typename Char>
std::basic_string<Char> Encode(std::string_view utf8);
template <>
inline std::string Encode<char>(std::string_view utf8) { return std::string(utf8); }
template <>
inline std::u16string Encode<char16_t>(std::string_view utf8) { return ToWide(utf8); }

// Places strings from the end of the buffer downwards; while measuring it only counts.
template <typename Char>
class StringArea {
 public:
  StringArea() = default;  // measuring
  StringArea(BYTE* low, BYTE* high) : m_low(low), m_high(high), m_writing(true) {}

  Char* Put(std::string_view utf8) { return PutText(Encode<Char>(utf8)); }
  Char* PutOrNull(const std::optional<std::string>& utf8) { return utf8 ? Put(*utf8) : nullptr; }
  DWORD bytes() const { return m_bytes; }

 private:
  Char* PutText(const std::basic_string<Char>& text) {
    std::size_t size = (text.size() + 1) * sizeof(Char);
    m_bytes += static_cast<DWORD>(size);
    if (!m_writing) return nullptr;
    m_high -= size;
    std::memcpy(m_high, text.c_str(), size);
    return reinterpret_cast<Char*>(m_high);
  }

  BYTE* m_low = nullptr;
  BYTE* m_high = nullptr;
  bool m_writing = false;
  DWORD m_bytes = 0;
};

// fill(index, Record&, StringArea<Char>&) fills one record; it runs twice per record
// (once to measure). Sets *pcbNeeded (and *pcReturned, when given) as the caller
// protocol has it; returns TRUE with the last error 0.
template <typename Record, typename Char, typename Fill>
BOOL PackRecords(std::size_t count, Fill fill, LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded,
                 LPDWORD pcReturned) {
  if (pcReturned != nullptr) *pcReturned = 0;
  StringArea<Char> measure;
  for (std::size_t i = 0; i < count; ++i) {
    Record record{};
    fill(i, record, measure);
  }
  std::uint64_t needed = static_cast<std::uint64_t>(count) * sizeof(Record) + measure.bytes();
  if (needed > 0xFFFFFFFFu) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  *pcbNeeded = static_cast<DWORD>(needed);
  if (needed > 0 && (buffer == nullptr || cbBuf < needed)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (count > 0) {
    // Wide strings start at an even offset: needed is even, so the area still fits.
    BYTE* high = buffer + (cbBuf & ~static_cast<DWORD>(sizeof(Char) - 1));
    StringArea<Char> strings(buffer + count * sizeof(Record), high);
    for (std::size_t i = 0; i < count; ++i) {
      Record record{};
      fill(i, record, strings);
      std::memcpy(buffer + i * sizeof(Record), &record, sizeof(Record));
    }
  }
  if (pcReturned != nullptr) *pcReturned = static_cast<DWORD>(count);
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

}  // namespace vek::spooler
