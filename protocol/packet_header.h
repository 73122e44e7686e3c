// The device packet framing: the header forms of the device generations, the
// command codes of the wizard's exchanges and the conventions of its requests.
#pragma once

#include "kernel/types.h"

// UDP port and IPX socket of every print server (the same in both byte orders).
constexpr WORD PS_PORT = 0x5050;

// A plain request is this long; requests are built in, and replies received into,
// a buffer of PS_BUFFER_LENGTH bytes.
constexpr int PS_REQUEST_LENGTH = 64;
constexpr int PS_BUFFER_LENGTH = 1300;
// The largest datagram UDP carries: an information reply may be this long, so a
// receive that must take every reply whole has room for it.
constexpr int PS_MAX_DATAGRAM_LENGTH = 65507;
// A configuration block carries up to this many data bytes after its 16-byte header.
constexpr int PS_BLOCK_HEADER_LENGTH = 16;
constexpr int PS_BLOCK_DATA_LENGTH = 1014;
// Every datagram of the secured exchange.
constexpr int PS_SECURE_DATAGRAM_LENGTH = 1030;

// Operations (low byte of the command word).
constexpr BYTE PSCMD_CONFIG_UPLOAD = 0x01;
constexpr BYTE PSCMD_RESTART = 0x03;
constexpr BYTE PSCMD_SEARCH = 0x04;
constexpr BYTE PSCMD_STATUS = 0x08;
constexpr BYTE PSCMD_PORT_INFO = 0x10;
constexpr BYTE PSCMD_CONFIG_BLOCK = 0x21;
constexpr BYTE PSCMD_SEARCH_MULTI = 0x24;
constexpr BYTE PSCMD_SECURE = 0x25;
// A reply's operation is the request's with this bit set.
constexpr BYTE PSCMD_REPLY = 0x80;
// The secured exchange and the password login send their operation with flag 1.
constexpr WORD PSCMD_SECURE_WORD = 0x0125;

// Type byte of the configuration-class requests; the status query, the searches
// and the password login send 0.
constexpr BYTE PSTYPE_CONFIG = 'P';

// Header of the "NET" generation (current devices). Byte 6 holds the first field.
#pragma pack(push, 1)
struct PSPacketHeader {
  char Magic[3];  // "NET"
  BYTE Type;
  WORD Command;  // little-endian on the wire
};
// Header of the older devices: "QI" and the command; byte 4 holds the first field.
struct PSOldPacketHeader {
  char Magic[2];  // "QI"
  WORD Command;
};
#pragma pack(pop)
static_assert(sizeof(PSPacketHeader) == 6);
static_assert(sizeof(PSOldPacketHeader) == 4);

constexpr int PS_HEADER_LENGTH = sizeof(PSPacketHeader);
constexpr int PS_OLD_HEADER_LENGTH = sizeof(PSOldPacketHeader);

// Little-endian fields of the device protocol, whatever the host's byte order.
WORD PSGetWord(const BYTE* p);
DWORD PSGetDword(const BYTE* p);
void PSPutWord(BYTE* p, WORD value);
void PSPutDword(BYTE* p, DWORD value);

constexpr BYTE PSReplyCode(BYTE operation) { return static_cast<BYTE>(operation | PSCMD_REPLY); }

// Writes the "NET" header at buffer[0..5].
void PSBuildHeader(BYTE* buffer, BYTE type, WORD command);
// Writes the "QI" header at buffer[0..3].
void PSBuildOldHeader(BYTE* buffer, WORD command);
// Zero-fills a PS_BUFFER_LENGTH buffer and writes a "NET" header into it; returns
// the length to send (PS_REQUEST_LENGTH).
int PSBuildPlainRequest(BYTE* buffer, BYTE type, WORD command);

// A "NET" datagram of at least a header whose command word is exactly word.
BOOL PSIsReplyWord(const BYTE* data, int length, WORD word);
// A "NET" datagram of at least a header whose operation byte (byte 4) is code,
// whatever its flag byte.
BOOL PSIsReplyCode(const BYTE* data, int length, BYTE code);
// A "QI" datagram of at least its header whose command word is exactly word.
BOOL PSIsOldReplyWord(const BYTE* data, int length, WORD word);
