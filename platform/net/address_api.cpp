// inet_addr and inet_ntoa.
#include "net/address_text.h"
#include "net/winsock.h"

u_long inet_addr(const char* cp) {
  std::uint32_t address = 0;
  if (!vek::net::ParseDottedAddress(cp, &address)) return INADDR_NONE;
  return htonl(address);
}

char* inet_ntoa(in_addr in) {
  thread_local char buffer[16];
  vek::net::FormatDottedAddress(in.s_addr, buffer);
  return buffer;
}
