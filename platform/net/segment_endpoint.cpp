#include "net/segment_endpoint.h"

#include <cstring>
#include <string>

#include "net/address_text.h"
#include "net/byte_order.h"

namespace vek::net {

bool ParseSegmentEndpoint(const char* text, Ipv4Endpoint* endpoint) {
  if (text == nullptr) return false;
  const char* colon = std::strrchr(text, ':');
  if (colon == nullptr || colon == text) return false;
  const std::string dotted(text, colon);
  std::uint32_t address = 0;
  // ParseDottedAddress stops at a space; the whole part before the colon must be it.
  if (dotted.find(' ') != std::string::npos || !ParseDottedAddress(dotted.c_str(), &address)) return false;
  const char* digits = colon + 1;
  if (*digits == '\0' || std::strlen(digits) > 5) return false;
  unsigned long port = 0;
  for (const char* p = digits; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    port = port * 10 + static_cast<unsigned long>(*p - '0');
  }
  if (port == 0 || port > 65535) return false;
  endpoint->address = htonl(address);
  endpoint->port = htons(static_cast<std::uint16_t>(port));
  return true;
}

}  // namespace vek::net
