// The narrow and wide forms of the spooler's records, picked by character type, and
// the text of API arguments in UTF-8.
#pragma once

#include <optional>
#include <string>

#include "kernel/strings.h"
#include "spooler/winspool.h"

namespace vek::spooler {

template <typename Char>
struct Records;

template <>
struct Records<char> {
  using PrinterInfo1 = PRINTER_INFO_1A;
  using PrinterInfo2 = PRINTER_INFO_2A;
  using PortInfo1 = PORT_INFO_1A;
  using PortInfo2 = PORT_INFO_2A;
  using PortInfo3 = PORT_INFO_3A;
  using JobInfo1 = JOB_INFO_1A;
  using DocInfo1 = DOC_INFO_1A;
  using PrinterDefaults = PRINTER_DEFAULTSA;
};

template <>
struct Records<char16_t> {
  using PrinterInfo1 = PRINTER_INFO_1W;
  using PrinterInfo2 = PRINTER_INFO_2W;
  using PortInfo1 = PORT_INFO_1W;
  using PortInfo2 = PORT_INFO_2W;
  using PortInfo3 = PORT_INFO_3W;
  using JobInfo1 = JOB_INFO_1W;
  using DocInfo1 = DOC_INFO_1W;
  using PrinterDefaults = PRINTER_DEFAULTSW;
};

// An argument's text; nothing for a null pointer.
inline std::optional<std::string> Text(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}
inline std::optional<std::string> Text(const char16_t* text) {
  if (text == nullptr) return std::nullopt;
  return ToNarrow(text);
}

// Server names: only the local spooler, null or empty.
template <typename Char>
bool IsLocalServer(const Char* name) {
  return name == nullptr || name[0] == 0;
}

}  // namespace vek::spooler
