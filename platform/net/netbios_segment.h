// The simulated NetBIOS segments: configuration, the registry values through which
// the system finds its LANAs, and the test hooks.
//
// Each LANA is its own segment, built as the IPX segment is (net/segment_link.h): a
// UDP broadcast address and port on loopback that every station binds with
// SO_REUSEADDR. A process is one station per LANA, however many names it holds
// there (a program that plays several devices registers a name for each). A name
// that several stations answer to, such as a discovery name every print server
// listens on, is a group name: a datagram to it completes one pending receive at
// every holder. Frames are hostile input: what does not parse is dropped.
//
// Configuration:
//   VEK_NETBIOS_SEGMENT  "a.b.c.d:port", the segment of LANA 0; LANA n uses port + n.
//                        Default 127.255.255.255:28600 (below the ephemeral range, as
//                        for IPX). Read at each NCBRESET: a reset after a change moves
//                        the LANA to its new segment.
//   VEK_NETBIOS_LANAS    the LANA numbers that exist, decimal, comma-separated
//                        ("0", "0,1"); default "0". Entries that are not numbers
//                        0..254 are skipped. Read at each command.
//   VEK_NETBIOS_CLAIM_MS how long a name claim waits for objections; default 300.
//                        Read at each claim. An objection ends a claim at once; a
//                        name nobody holds costs the whole period.
// The setters override the environment for this process until reset (tests); they
// return false, changing nothing, for text the variable would not accept.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "kernel/types.h"

namespace vek::net {

bool SetNetbiosSegment(const char* text);
bool SetNetbiosLanas(const char* text);
void SetNetbiosClaimPeriod(DWORD milliseconds);
void ResetNetbiosConfiguration();

// The configured LANA numbers, ascending, without repeats.
std::vector<int> ConfiguredNetbiosLanas();

// The registry values (all REG_SZ, under HKEY_LOCAL_MACHINE) through which the
// system finds the configured LANAs, for the machine set-up to write:
//   SOFTWARE\Microsoft\Rpc\ClientProtocols  "ncacn_nb_nb" = a non-empty text under 30
//                                            bytes with its terminator (NetBIOS is there)
//   SOFTWARE\Microsoft\Rpc\Netbios           "ncacn_nb_nb<n>" = "<n>" for each LANA n
// Only value names beginning "ncacn_nb_nb" count, in the registry's (sorted) order,
// and the system takes the first 5 LANAs.
struct NetbiosRegistryValue {
  std::string key;   // below HKEY_LOCAL_MACHINE
  std::string name;
  std::string text;  // REG_SZ data, written with its terminator
};
std::vector<NetbiosRegistryValue> NetbiosRegistryValues();

// NCBs pending in the layer (asynchronous receives not yet completed, and
// synchronous receives waiting), over every LANA of this process.
std::size_t PendingNcbCount();

}  // namespace vek::net
