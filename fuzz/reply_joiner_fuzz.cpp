// The joiner of multi-part replies, fed with a stream of datagrams (each a 2-byte
// little-endian length and its bytes): it must never read past a datagram or
// write past a slot, a joined reply must fit in a slot and carry its device's
// MAC where the record reads it, and the record must take it safely.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "protocol/print_server.h"
#include "protocol/reply_joiner.h"
#include "support/accessor_sweep.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static XReplyJoiner* joiner = new XReplyJoiner;
  // A fresh joiner now and then, so inputs also start from free slots.
  if (size > 0 && data[0] == 0xFF) {
    delete joiner;
    joiner = new XReplyJoiner;
  }
  std::size_t pos = 0;
  while (pos + 2 <= size) {
    const std::size_t length = data[pos] | (data[pos + 1] << 8);
    pos += 2;
    const std::size_t n = length < size - pos ? length : size - pos;
    // Each datagram in a buffer of its own size, so a read past it is caught.
    std::unique_ptr<BYTE[]> datagram(new BYTE[n > 0 ? n : 1]);
    std::memcpy(datagram.get(), data + pos, n);
    pos += n;
    const BYTE* reply = nullptr;
    int replyLength = 0;
    const int result = joiner->AddPart(datagram.get(), static_cast<int>(n), &reply, &replyLength);
    if (result != PS_PART_COMPLETE) {
      if (reply != nullptr || replyLength != 0) __builtin_trap();
      continue;
    }
    if (reply == nullptr || replyLength < 6 || replyLength > PS_SLOT_SIZE) __builtin_trap();
    if (!PSHasMakerPrefix(datagram.get() + 10)) __builtin_trap();
    CPrintServer ps;
    ps.ParseReply(reply, replyLength);
    vek::test::SweepAccessors(ps);
  }
  for (int i = 0; i < PS_SLOT_COUNT; i++)
    if (joiner->m_SlotLength[i] < 0 || joiner->m_SlotLength[i] > PS_SLOT_SIZE - 6) __builtin_trap();
  return 0;
}
