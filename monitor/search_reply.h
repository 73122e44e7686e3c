// What a print server's answer to the port dialog's search says, read from the
// datagram alone. The search sends six requests per transport (search_requests.h);
// a server answers in its generation's layout:
//
// | answer                     | tab     | MAC at | ports                                   | name | version       | more |
// |----------------------------|---------|--------|-----------------------------------------|------|---------------|------|
// | "QI", 0x84 at 2            | IPX     | 0x16   | word at 0x1E1: 1-3, 5 gives 3, else 1   | 0x04 | 0x1DB, 0x1DC  | |
// | "QI", 0x80 at 2            | TCP/IP  | 0x06   | model byte 0x0C (signed): 6, 7 give 3;  | 0x48 | 0x15, 0x14    | IP at 0x1FC; late after request 6 |
// |                            |         |        | above 7 the signed byte at 0x1F3        |      |               | |
// | 0x70 0x70                  | NetBEUI | 0x16   | word at 0x1E as for IPX                 | 0x04 | 0x1C, 0x1D    | |
// | "NET", 0x84 at 4           | any     | 0x06   | bits 6-7 of the byte at 0x21            | 0x0E | 0x0C, 0x0D    | TCP/IP: IP at 0x22; late after request 3 |
//
// Bytes past the end of the datagram read as zero. The sender's IPX network and
// NetBIOS name are the socket's to tell.
#pragma once

#include <cstddef>

#include "kernel/types.h"

// An older answer may announce many ports; a server has at most three.
constexpr int kMaxServerPorts = 3;

struct SearchReply {
  int model = 0;             // 0 an older layout, 1 "NET"
  BYTE nodeId[6] = {};
  char name[19] = {};        // 18 bytes and a zero
  BYTE version[2] = {};      // major, minor as shown
  BYTE ipAddress[4] = {};    // TCP/IP
  int ports = 0;             // 1 to 3
  bool keepsCopy = false;    // the record keeps a copy of the whole answer
  bool late = false;
};

// Reads one datagram received on the tab of `protocol` (0 IPX, 1 TCP/IP,
// 2 NetBEUI) after `requestsSent` requests went out. False when it is no search
// answer for that tab, or announces no port.
bool ReadSearchReply(const BYTE* data, std::size_t length, int protocol, int requestsSent, SearchReply* reply);
