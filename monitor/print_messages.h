// The messages of the print protocol as the monitor sends and reads them: the
// status query, the connect request that negotiates packet size and window, the
// data packets with their acknowledgements, and the end of the job.
//
// Generation 0 devices take "QI" (on NetBEUI the pair 50 50, or 60 60 for data and
// acknowledgements) and the command at byte 2; generation 1 devices take "NET", a
// type byte ('P', or 60 for data) and the command at byte 4. 16-bit words are
// little-endian. A reply carries the request's command with bit 0x80 set.
#pragma once

#include "kernel/types.h"

constexpr WORD kDevicePort = 0x5050;  // UDP port and IPX socket of every device
constexpr int kPrintPacketType = 90;  // IPX packet type of the device protocol

constexpr WORD kCommandStatus = 0x0008;
constexpr WORD kCommandConnect0 = 0x000A;
constexpr WORD kCommandConnect1 = 0x080A;
constexpr WORD kCommandData = 0x000B;
constexpr WORD kCommandEndOfJob = 0x000C;
constexpr BYTE kReplyStatus = 0x88;
constexpr BYTE kReplyConnect = 0x8A;
constexpr BYTE kReplyAck = 0x8B;
constexpr BYTE kReplyEndOfJob = 0x8C;

constexpr int kRequestLength = 30;
constexpr int kReplyBufferSize = 1200;
constexpr int kDataOverhead = 12;  // a data datagram is its data length + 12 bytes
constexpr int kMaxWindow = 8;
constexpr int kMinDataLength = 1024;
constexpr int kMaxDataLengthIPX = 1400;
constexpr int kMaxDataLengthUDP = 1450;
constexpr int kDataLengthNetBEUI = 1000;
constexpr char kEndOfJobText[] = "End Of Printer Job";

// Byte of the first field: 4 for generation 0, 6 for generation 1.
int FirstField(int model);
// Byte where a data packet's data begins: 9 or 11.
int DataOffset(int model);

// Requests of 30 bytes; the length written.
int BuildStatusQuery(BYTE* out, int model, int packetType);
int BuildConnect(BYTE* out, int model, int packetType, signed char portId);
int BuildEndOfJob(BYTE* out, int model, int packetType, signed char portId);
// The fixed part of a data packet: header, port number, the zero byte.
void BuildDataHeader(BYTE* out, int model, int packetType, signed char portId);
// One slot's sequence and length word; the data goes at DataOffset.
void SetDataSlot(BYTE* packet, int model, BYTE sequence, int length);

// Low byte: length mod 256; high byte: length / 256 rounded up.
WORD LengthWord(int length);

// Readers of replies: FALSE for another message, or one shorter than its fields.
BOOL ReadStatusReply(const BYTE* reply, int length, int model, int packetType, BYTE* statusByte);
BOOL ReadConnectReply(const BYTE* reply, int length, int model, int packetType, BYTE* status, int* dataLength,
                      int* packets);
BOOL ReadAck(const BYTE* reply, int length, int model, int packetType, BYTE* sequence);
BOOL IsEndOfJobReply(const BYTE* reply, int length, int model, int packetType);

// The window and packet length a port works with, from what the device offered.
void NegotiateConnection(int model, int packetType, int offeredLength, int offeredWindow, int* dataLength,
                         int* packets);
// A printer port's two bits of the status reply: 0 clear, 1 paper out, 2 offline, 3 busy.
int PortStatus(BYTE statusByte, int portId);
