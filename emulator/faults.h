// Faults a device can be told to make, per kind of message it is sent. In a
// configuration:
//
//   faults = KIND:FAULT[:ARG][:RATE%][*TIMES], ...
//
// KIND   search (0x04), search-multi (0x24), status, upload (whole configuration),
//        block, secure (the configuration exchange), login, restart, port-info
//        (0x10, the texts of one port); and the print messages: connect, data,
//        ack (the device's acknowledgements), eoj (end of job). On a request
//        kind, drop loses the request; duplicate, delay, reorder and empty act
//        on its answer, except on data (no answer of its own), where they act
//        on the packet as it arrives.
// FAULT  drop            no answer at all; on data: the packet is lost on its way
//                        in; on ack: the acknowledgement is lost on its way out
//        duplicate       the answer twice; on data: the packet arrives twice
//        delay:MS        the answer MS milliseconds late; on data: the packet
//                        arrives MS milliseconds late
//        reorder         connect, data, ack, eoj, status: the datagram goes after
//                        the next one between the same two parties (50 ms late
//                        when none follows that soon)
//        empty           an empty datagram before the answer
//        foreign-mac     search answers carry a MAC outside the maker's prefix
//        lose-part:N     search-multi: the N-th part of the answer (counted
//                        from 1, whatever the part numbers) is not sent
//        flood:N         search-multi: ahead of the answer, N parts that open
//                        a reply of a stranger (each time new MACs of the
//                        maker's prefix) and never go on, from the stray address
//        ack-non-last    block: the first block is acknowledged, the last is not
//        stale           secure: every answer after the first repeats the first
//        malformed       secure: the key answer's payload length is out of range
//        bad-nonce       secure: the nonce answer's payload is 15 bytes
//        ignore          restart: the device hears the request but goes on
//                        running the settings in force; a configuration it
//                        took stays pending, and its searches go on reporting
//                        the settings in force
//        busy            connect: the answer says busy (0x10), no job starts;
//                        status: the port reports busy (3)
//        refuse          connect: the answer carries the refusal bit 0x01 (a host of
//                        generation 0 reads no refusal, so that device takes the job)
//        paper-out[:P]   status: port P (every port without P) reports paper out;
//        offline[:P]     the device takes no data on it meanwhile. Each status
//                        answer uses up one time
//        withhold[:MS]   ack: from the first data packet of a job, no
//                        acknowledgement for MS milliseconds (for the whole job
//                        without MS or with 0); each job uses up one time
//        invalid         ack: sent with its flag byte 0
//        out-of-window   ack: sent with a sequence below any window the host can
//                        hold (base - window - 1), which it must leave alone
//        truncated       ack: cut before its flag byte
//        truncated-ahead ack: a copy cut before its flag byte, naming the next
//                        sequence, goes just before it (a host that reads past
//                        the datagram takes a packet as acknowledged that is not)
//        other-port      ack: sent from another UDP port or IPX socket of the device
//                        (which takes what the host sends there); none on NetBIOS
//        stray           connect, ack, eoj, status: after the answer, a datagram
//                        that looks like the device's data but is no answer comes
//                        from another address (UDP: stray_address), station (IPX:
//                        stray_node) or name (NetBIOS: the group name); what the
//                        host sends back there is logged and lost. login: before
//                        the verdict, one that refuses comes from stray_address
//        impostor        ack: just before it, a well-formed acknowledgement two
//                        sequences further comes from the stray address,
//                        station or name
// RATE   the fault hits each message with this probability (e.g. 5% or 2.5%),
//        drawn from the device's seed; without it every message is hit
// TIMES  how many messages the fault applies to (default: all)
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vek::emu {

enum class MessageKind {
  Search, SearchMulti, Status, Upload, Block, Secure, Login, Restart, PortInfo,
  Connect, Data, Ack, EndOfJob,
};
enum class FaultKind {
  Drop, Duplicate, Delay, Empty, ForeignMac, LosePart, AckNonLast, Stale, Malformed, BadNonce,
  Reorder, Busy, Refuse, PaperOut, Offline, Withhold, Invalid, OutOfWindow, Truncated, OtherPort, Stray,
  TruncatedAhead, Impostor, Ignore, Flood,
};

struct Fault {
  MessageKind message = MessageKind::Search;
  FaultKind fault = FaultKind::Drop;
  int argument = 0;
  int times = -1;   // -1: always
  bool hasArgument = false;
  double rate = 0;  // 0: every message; else the chance per message, 0 to 1
};

// Parses the list of a "faults" value.
bool ReadFaults(const std::string& text, std::vector<Fault>* faults, std::string* why);
const char* MessageKindName(MessageKind kind);
// Whether any of the faults sends from the device's stray address, station or name.
bool UsesStrayAddress(const std::vector<Fault>& faults);

// The faults of one device while it serves, with their counts. A fault with a
// rate draws from a generator of its own, seeded from the device's seed and its
// place in the list, so its hits depend only on the messages of its kind.
class FaultSet {
 public:
  FaultSet() = default;
  explicit FaultSet(std::vector<Fault> faults, std::uint64_t seed = 1);

  // Whether the fault applies to this message; uses up one of its times. Its
  // argument goes to *argument (0 when it has none).
  bool Take(MessageKind message, FaultKind fault, int* argument = nullptr);
  // Whether it would apply, without using it up (rates not drawn).
  bool Has(MessageKind message, FaultKind fault) const;
  // The arguments of every fault of this kind still in force (-1 for one given
  // without an argument), and using one time of each.
  std::vector<int> Arguments(MessageKind message, FaultKind fault) const;
  void TakeAll(MessageKind message, FaultKind fault);

 private:
  std::vector<Fault> m_faults;
  std::vector<std::mt19937_64> m_draws;
};

}  // namespace vek::emu
