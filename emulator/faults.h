// Faults a device can be told to make, per kind of message it is sent. In a
// configuration:
//
//   faults = KIND:FAULT[:ARG][*TIMES], ...
//
// KIND   search (0x04), search-multi (0x24), status, upload (whole configuration),
//        block, secure (the configuration exchange), login, restart
// FAULT  drop            no answer at all
//        duplicate       the answer twice
//        delay:MS        the answer MS milliseconds late
//        empty           an empty datagram before the answer
//        foreign-mac     search answers carry a MAC outside the maker's prefix
//        lose-part:N     search-multi: part N of the answer is not sent
//        ack-non-last    block: the first block is acknowledged, the last is not
//        stale           secure: every answer after the first repeats the first
//        malformed       secure: the key answer's payload length is out of range
//        bad-nonce       secure: the nonce answer's payload is 15 bytes
// TIMES  how many messages the fault applies to (default: all)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vek::emu {

enum class MessageKind { Search, SearchMulti, Status, Upload, Block, Secure, Login, Restart };
enum class FaultKind { Drop, Duplicate, Delay, Empty, ForeignMac, LosePart, AckNonLast, Stale, Malformed, BadNonce };

struct Fault {
  MessageKind message = MessageKind::Search;
  FaultKind fault = FaultKind::Drop;
  int argument = 0;
  int times = -1;  // -1: always
};

// Parses the list of a "faults" value.
bool ReadFaults(const std::string& text, std::vector<Fault>* faults, std::string* why);

// The faults of one device while it serves, with their counts.
class FaultSet {
 public:
  FaultSet() = default;
  explicit FaultSet(std::vector<Fault> faults) : m_faults(std::move(faults)) {}

  // Whether the fault applies to this message; uses up one of its times. Its
  // argument goes to *argument.
  bool Take(MessageKind message, FaultKind fault, int* argument = nullptr);
  // Whether it would apply, without using it up.
  bool Has(MessageKind message, FaultKind fault) const;

 private:
  std::vector<Fault> m_faults;
};

}  // namespace vek::emu
