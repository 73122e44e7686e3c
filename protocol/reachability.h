// The reachability check before a port is made: ICMP echo requests to the print
// server's address, accepted only when an echo reply brings the request's data
// back unchanged within 500 ms. Five tries.
#pragma once

#include "kernel/types.h"

constexpr int PS_ECHO_LENGTH = 990;        // ICMP header and data
constexpr int PS_ECHO_HEADER_LENGTH = 8;
constexpr int PS_ECHO_TRIES = 5;
constexpr DWORD PS_ECHO_WAIT = 500;         // per try
constexpr DWORD PS_ECHO_RECEIVE_TIMEOUT = 20;
constexpr DWORD PS_ECHO_PAUSE = 100;        // after each try
constexpr int PS_ECHO_BUFFER = 1514;        // a whole IPv4 datagram
constexpr BYTE PS_ICMP_ECHO_REQUEST = 8;
constexpr BYTE PS_ICMP_ECHO_REPLY = 0;

// 1 when the server at address (4 bytes, first number first) answered, 0
// otherwise. Blocks for at most five times 600 ms and the sends. Shows "bind
// error!" when no ICMP socket can be had, "sendto error!" when a send times out.
int PingPrintServer(const BYTE* address);

// The echo request header (type 8, code 0, checksum 0, the process id's low 16
// bits as identifier, sequence 0) and length - 8 data bytes: 0 to 255, then, past
// 256 data bytes, low bytes of rand.
void FillEchoRequest(BYTE* packet, int length);

// The Internet checksum (RFC 1071) of the bytes, summed as little-endian words
// with an odd last byte as a low byte, complemented; stored as it is at bytes
// 2-3 it reads right on the wire.
USHORT IPChecksum(const BYTE* data, int length);
