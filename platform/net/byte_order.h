// Host/network byte order conversions under their socket names. Our own, so that
// system code never needs the C library's versions (and their macros).
#pragma once

#include <bit>
#include <cstdint>

constexpr std::uint16_t htons(std::uint16_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    return static_cast<std::uint16_t>((value << 8) | (value >> 8));
  } else {
    return value;
  }
}

constexpr std::uint32_t htonl(std::uint32_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
           ((value & 0xFF000000u) >> 24);
  } else {
    return value;
  }
}

constexpr std::uint16_t ntohs(std::uint16_t value) { return htons(value); }
constexpr std::uint32_t ntohl(std::uint32_t value) { return htonl(value); }
