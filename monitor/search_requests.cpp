#include "search_requests.h"

#include <cstring>

#include "monitor_globals.h"

namespace {

void Word(BYTE* at, WORD value) {
  at[0] = static_cast<BYTE>(value);
  at[1] = static_cast<BYTE>(value >> 8);
}

}  // namespace

void BuildSearchRequest(int protocol, int index, BYTE request[kSearchRequestLength]) {
  std::memset(request, 0, kSearchRequestLength);
  if (index < 3) {
    std::memcpy(request, "NET", 3);
    request[3] = 0x70;
    const bool flagged = protocol == PACKET_TYPE_UDP && index < 2;
    Word(request + 4, flagged ? 0x0104 : 0x0004);
    return;
  }
  if (protocol == PACKET_TYPE_NETBEUI) {
    request[0] = request[1] = 0x70;
    Word(request + 2, 0x0004);
    return;
  }
  std::memcpy(request, "QI", 2);
  if (protocol == PACKET_TYPE_UDP) Word(request + 2, index < 5 ? 0x0100 : 0x0000);
  else Word(request + 2, 0x0004);
}
