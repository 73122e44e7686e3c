// The six requests of the port dialog's search on each transport, each 30 bytes,
// zero but for the header (command words little-endian):
//
// | request | IPX                     | TCP/IP                  | NetBEUI                   |
// |---------|-------------------------|-------------------------|---------------------------|
// | 0, 1    | "NET", 0x70, 0x0004 at 4 | "NET", 0x70, 0x0104 at 4 | "NET", 0x70, 0x0004 at 4   |
// | 2       | as 0                    | "NET", 0x70, 0x0004 at 4 | as 0                      |
// | 3, 4    | "QI", 0x0004 at 2       | "QI", 0x0100 at 2       | 0x70 0x70, 0x0004 at 2    |
// | 5       | as 3                    | "QI", 0x0000 at 2       | as 3                      |
//
// On TCP/IP the high byte 0x01 is a flag: requests 0, 1, 3 and 4 carry it, 2 and
// 5 do not, so a server that answers only the unflagged requests answers late.
#pragma once

#include "kernel/types.h"

constexpr int kSearchRequests = 6;
constexpr int kSearchRequestLength = 30;

// Writes request `index` (0 to 5) of the transport into the first 30 bytes.
void BuildSearchRequest(int protocol, int index, BYTE request[kSearchRequestLength]);
