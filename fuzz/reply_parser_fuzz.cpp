// The information-reply parser of the print-server record, fed with anything: the
// walk and every getter and setter must stay inside the copy, and an accepted reply
// must still be accepted after the setters have edited it (the edited copy is what
// an upload sends).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "protocol/print_server.h"
#include "support/accessor_sweep.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A reply arrives in one datagram of at most 1300 bytes; joined multi-part
  // replies stay below 6500.
  if (size > 6500) return 0;
  CPrintServer ps;
  const BOOL accepted = ps.ParseReply(data, static_cast<int>(size));
  if (accepted && ps.m_ReplyLength != static_cast<int>(size)) __builtin_trap();
  if (accepted && ps.m_Generation == 5 && std::memcmp(ps.m_NodeID, data + 6, 6) != 0) __builtin_trap();
  vek::test::SweepAccessors(ps);
  if (!accepted) return 0;
  CPrintServer again;
  if (!again.ParseReply(ps.m_pReply, ps.m_ReplyLength)) __builtin_trap();
  vek::test::SweepAccessors(again);
  return 0;
}
