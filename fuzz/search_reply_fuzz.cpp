// The port dialog's reader of search answers, fed with any datagram on every tab
// and at every point of the search. The datagram sits in a buffer of exactly its
// length, so a read past what arrived is caught; what it accepts must carry a
// search answer's header, one to three ports and a terminated name.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "monitor_globals.h"
#include "search_reply.h"

namespace {

bool HasSearchHeader(const BYTE* data, std::size_t length, int protocol) {
  if (length >= 5 && std::memcmp(data, "NET", 3) == 0 && data[4] == 0x84) return true;
  // The older NetBEUI answer is told by its magic alone.
  if (protocol == PACKET_TYPE_NETBEUI) return length >= 2 && data[0] == 0x70 && data[1] == 0x70;
  if (length < 3) return false;
  return data[0] == 'Q' && data[1] == 'I' && data[2] == (protocol == PACKET_TYPE_UDP ? 0x80 : 0x84);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto datagram = std::make_unique<BYTE[]>(size ? size : 1);
  if (size) std::memcpy(datagram.get(), data, size);
  for (int protocol = 0; protocol <= 3; ++protocol) {
    for (int sent = 1; sent <= 6; ++sent) {
      SearchReply reply;
      if (!ReadSearchReply(datagram.get(), size, protocol, sent, &reply)) continue;
      if (protocol > PACKET_TYPE_NETBEUI || !HasSearchHeader(datagram.get(), size, protocol)) __builtin_trap();
      if (reply.ports < 1 || reply.ports > kMaxServerPorts) __builtin_trap();
      if (std::memchr(reply.name, 0, sizeof reply.name) == nullptr) __builtin_trap();
      if (reply.late && protocol != PACKET_TYPE_UDP) __builtin_trap();
    }
  }
  return 0;
}
