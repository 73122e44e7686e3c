// Appends the fields of a device datagram: little-endian integers, IPv4 addresses
// in dotted order, fixed-width NUL-padded texts, and sections that start with
// their own length byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vek::emu {

class WireWriter {
 public:
  void U8(std::uint8_t value) { m_bytes.push_back(value); }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  // Host-order address, written first number first.
  void Ipv4(std::uint32_t hostOrder);
  void Bytes(std::span<const std::uint8_t> bytes);
  void Zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
  // Exactly width bytes: the text cut to width, then NULs.
  void Text(std::string_view text, std::size_t width);

  // A section: its length byte now, filled in by EndSection with the number of
  // bytes written after it.
  std::size_t BeginSection();
  void EndSection(std::size_t start);

  std::size_t Size() const { return m_bytes.size(); }
  std::vector<std::uint8_t>& Data() { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace vek::emu
