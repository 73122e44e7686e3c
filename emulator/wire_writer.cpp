#include "emulator/wire_writer.h"

#include <algorithm>
#include <cassert>

namespace vek::emu {

void WireWriter::U16(std::uint16_t value) {
  U8(static_cast<std::uint8_t>(value));
  U8(static_cast<std::uint8_t>(value >> 8));
}

void WireWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(value >> shift));
}

void WireWriter::Ipv4(std::uint32_t hostOrder) {
  for (int shift = 24; shift >= 0; shift -= 8) U8(static_cast<std::uint8_t>(hostOrder >> shift));
}

void WireWriter::Bytes(std::span<const std::uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

void WireWriter::Text(std::string_view text, std::size_t width) {
  const std::size_t n = std::min(text.size(), width);
  m_bytes.insert(m_bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
  Zeros(width - n);
}

std::size_t WireWriter::BeginSection() {
  U8(0);
  return m_bytes.size() - 1;
}

void WireWriter::EndSection(std::size_t start) {
  const std::size_t length = m_bytes.size() - start - 1;
  // 255 would read as the end of the reply; the configuration never gets there.
  assert(length < 255);
  m_bytes[start] = static_cast<std::uint8_t>(length);
}

}  // namespace vek::emu
