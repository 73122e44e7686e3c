// Dotted IPv4 text, read and written the way inet_addr and inet_ntoa do it.
#pragma once

#include <cstdint>

namespace vek::net {

// "a.b.c.d", "a.b.c" (c is 16 bits), "a.b" (b is 24 bits) or "a" (32 bits); each part
// decimal, octal (leading 0) or hex (0x). Text ends at the terminator or a space.
// Returns false for anything else. *address is in host byte order.
bool ParseDottedAddress(const char* text, std::uint32_t* address);

// Writes "a.b.c.d" with its terminator; out holds at least 16 characters. address is
// in network byte order.
void FormatDottedAddress(std::uint32_t address, char* out);

}  // namespace vek::net
