// The simulated IPX segment: its configuration, and the two socket options of our
// own that the emulator (and the tests) use.
//
// Linux has no IPX. An AF_IPX socket (socket(AF_IPX, SOCK_DGRAM, NSPROTO_IPX)) is a
// station on a simulated segment: each IPX datagram travels, with its genuine
// 30-byte IPX header, as one UDP datagram sent to the segment's broadcast address
// and port. Every station binds that address and port with SO_REUSEADDR, hears every
// frame, and keeps those addressed to its network, node (or the broadcast node
// FF-FF-FF-FF-FF-FF) and socket number, as stations on a shared medium do; a socket
// never hears its own frames. All networks share the one segment: a frame for
// another network reaches the stations that claim that network number, as if a
// router had carried it. Routing information (RIP, socket 0x0453) is answered by
// whoever plays the router (the emulator).
//
// Addresses as the socket calls take them:
//  - bind: network 0 and node 0 mean the station's own; anything else must equal
//    them (else WSAEADDRNOTAVAIL). Socket number 0 picks a free dynamic number in
//    0x4000-0x7FFF; a number another socket of this process holds on the same
//    station fails with WSAEADDRINUSE. An unbound socket is bound by its first send.
//  - sendto: network 0 in a destination means this network: the frame carries our
//    real network number. Node FF-FF-FF-FF-FF-FF needs SO_BROADCAST (else WSAEACCES).
//    At most 1470 bytes of payload (else WSAEMSGSIZE).
//  - recvfrom: the payload only (see VEK_IPX_RECEIVE_HEADER); the sender's real
//    network, node and socket. A payload longer than the buffer: WSAEMSGSIZE, dropped.
//  - setsockopt(NSPROTO_IPX, IPX_PTYPE, 4-byte value 0..255): the packet type of
//    outgoing frames (default 0). SO_RCVTIMEO in milliseconds, SO_BROADCAST,
//    FIONREAD and FIONBIO as for UDP.
//
// Configuration, read when a socket is made:
//   VEK_IPX_SEGMENT  "a.b.c.d:port"; default 127.255.255.255:28500. The address must
//                    be a broadcast address of a local interface (see above). The
//                    default port lies below the ephemeral range, so no socket the
//                    system picks a port for can be holding it. Parallel tests each
//                    use a port of their own.
//   VEK_IPX_NETWORK  the station's network number, 8 hex digits; default 00000001.
//   VEK_IPX_NODE     the station's node, 12 hex digits, optionally '-' or ':' between
//                    bytes; default 02-00 followed by the process id (big-endian), a
//                    locally administered address unique per process.
// A network of 0 or FF-FF-FF-FF and a node of 0 or FF-FF-FF-FF-FF-FF are nobody's:
// such a value counts as unset. The setters override the environment for this
// process until reset (tests); they return false, changing nothing, for text the
// variable would not accept.
#pragma once

#include "net/winsock.h"

namespace vek::net {

bool SetIpxSegment(const char* text);
bool SetIpxNetwork(const char* hex);
bool SetIpxNode(const char* hex);
// Returns all three to the environment.
void ResetIpxConfiguration();

}  // namespace vek::net

// setsockopt level NSPROTO_IPX, before bind: a SOCKADDR_IPX (14 bytes; sa_socket is
// ignored) whose network and node the socket takes as its station instead of the
// process's. Lets one process play several stations, on one network or several:
// the emulator's print servers and its router. Network 0 or FF-FF-FF-FF and node 0
// or the broadcast node are refused (WSAEINVAL), as is a call after bind.
constexpr int VEK_IPX_STATION = 0x4F00;

// setsockopt/getsockopt level NSPROTO_IPX, a BOOL: while on, recvfrom returns each
// frame's 30-byte IPX header before its payload, so a receiver can see the packet
// type and the addresses as sent. It applies to frames not yet counted by FIONREAD
// or read.
constexpr int VEK_IPX_RECEIVE_HEADER = 0x4F01;
