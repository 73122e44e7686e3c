// The monitor's readers of what a device or a router sends back, fed with any
// datagram: the print protocol's replies for both device generations over every
// transport, and the routers' RIP answers the IPX network table is built from.
// Each reader gets the datagram in a buffer of exactly its length, so a read past
// what arrived is caught; what they accept must carry the header they look for,
// and what they hand on must stay within what the print path relies on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "ipx_networks.h"
#include "monitor_globals.h"
#include "print_messages.h"

namespace {

// Whether the reply begins as a reply of that kind: the magic of the generation
// and transport, and the reply code where the command goes.
bool HasHeader(const BYTE* reply, int length, int model, int packetType, bool dataKind, BYTE code) {
  if (model == 1) return length >= 5 && std::memcmp(reply, "NET", 3) == 0 && reply[4] == code;
  if (length < 3) return false;
  if (packetType == PACKET_TYPE_NETBEUI) {
    const BYTE magic = dataKind ? 0x60 : 0x50;
    if (reply[0] != magic || reply[1] != magic) return false;
  } else if (reply[0] != 'Q' || reply[1] != 'I') {
    return false;
  }
  return reply[2] == code;
}

int DataCeiling(int packetType) {
  if (packetType == PACKET_TYPE_IPX) return kMaxDataLengthIPX;
  if (packetType == PACKET_TYPE_UDP) return kMaxDataLengthUDP;
  return kDataLengthNetBEUI;
}

void ReadReplies(const BYTE* reply, int length, int model, int packetType) {
  int accepted = 0;

  BYTE statusByte = 0;
  if (const BOOL ok = ReadStatusReply(reply, length, model, packetType, &statusByte)) {
    if (ok != TRUE) __builtin_trap();
    accepted++;
    const int field = FirstField(model);
    if (!HasHeader(reply, length, model, packetType, false, kReplyStatus) || length <= field) __builtin_trap();
    if (statusByte != reply[field]) __builtin_trap();
    for (int port = -1; port <= 6; port++) {
      const int status = PortStatus(statusByte, port);
      if (status < 0 || status > 3 || ((port < 1 || port > 4) && status != 0)) __builtin_trap();
    }
  }

  BYTE connectStatus = 0;
  int offeredLength = -1;
  int offeredWindow = -1;
  if (const BOOL ok =
          ReadConnectReply(reply, length, model, packetType, &connectStatus, &offeredLength, &offeredWindow)) {
    if (ok != TRUE) __builtin_trap();
    accepted++;
    if (!HasHeader(reply, length, model, packetType, false, kReplyConnect)) __builtin_trap();
    if (model == 1 &&
        (length < 12 || offeredLength < 0 || offeredLength > 0xFFFF || offeredWindow < 0 || offeredWindow > 0xFF))
      __builtin_trap();
    if (model == 0 && (length < 6 || offeredLength != 0 || offeredWindow != 1)) __builtin_trap();
    // What the port then sends with: its window slots and its packet buffer.
    int dataLength = -1;
    int packets = -1;
    NegotiateConnection(model, packetType, offeredLength, offeredWindow, &dataLength, &packets);
    if (packets < 1 || packets > kMaxWindow) __builtin_trap();
    const int ceiling = DataCeiling(packetType);
    if (dataLength > ceiling || dataLength < std::min(kMinDataLength, ceiling)) __builtin_trap();
    if (model == 0 && packets != 1) __builtin_trap();
  }

  BYTE sequence = 0;
  if (const BOOL ok = ReadAck(reply, length, model, packetType, &sequence)) {
    if (ok != TRUE) __builtin_trap();
    accepted++;
    const int at = model == 1 ? 7 : 5;
    if (!HasHeader(reply, length, model, packetType, true, kReplyAck) || length <= at) __builtin_trap();
    if (sequence != reply[at]) __builtin_trap();
  }

  if (const BOOL ok = IsEndOfJobReply(reply, length, model, packetType)) {
    if (ok != TRUE) __builtin_trap();
    accepted++;
    if (!HasHeader(reply, length, model, packetType, false, kReplyEndOfJob)) __builtin_trap();
  }

  // The reply codes differ, so a datagram is one kind of reply at most.
  if (accepted > 1) __builtin_trap();
}

using Table = BYTE[kMaxIPXNetworks][kIPXNetworkEntrySize];

bool IsZero(const BYTE* bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; i++)
    if (bytes[i] != 0) return false;
  return true;
}

void AddAnswer(const BYTE* answer, int length) {
  Table table = {};
  int count = 1;
  AddRIPEntries(answer, length, table, &count);
  if (count < 1 || count > kMaxIPXNetworks) __builtin_trap();
  // Entry 0, the local network, never goes; nothing is written past the count.
  if (!IsZero(table[0], kIPXNetworkEntrySize)) __builtin_trap();
  for (int i = count; i < kMaxIPXNetworks; i++)
    if (!IsZero(table[i], kIPXNetworkEntrySize)) __builtin_trap();

  const bool isAnswer = length >= 10 && answer[0] == 0x00 && answer[1] == 0x02;
  if (!isAnswer && count != 1) __builtin_trap();
  const int entries = isAnswer ? (length - 2) / kIPXNetworkEntrySize : 0;
  const BYTE* first = answer + 2;

  for (int i = 1; i < count; i++) {
    for (int j = 0; j < i; j++)
      if (std::memcmp(table[i], table[j], 4) == 0) __builtin_trap();
    // A whole routing entry of the answer.
    bool found = false;
    for (int e = 0; e < entries && !found; e++)
      found = std::memcmp(table[i], first + e * kIPXNetworkEntrySize, kIPXNetworkEntrySize) == 0;
    if (!found) __builtin_trap();
  }
  // Every network the answer lists is known now, unless the table filled up.
  if (count < kMaxIPXNetworks) {
    for (int e = 0; e < entries; e++) {
      bool known = false;
      for (int i = 0; i < count && !known; i++) known = std::memcmp(table[i], first + e * kIPXNetworkEntrySize, 4) == 0;
      if (!known) __builtin_trap();
    }
  }

  // Routers repeat themselves: the same answer again changes nothing.
  Table before;
  std::memcpy(before, table, sizeof before);
  const int countBefore = count;
  AddRIPEntries(answer, length, table, &count);
  if (count != countBefore || std::memcmp(before, table, sizeof before) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The port receives into kReplyBufferSize bytes, the RIP search into less.
  if (size > static_cast<std::size_t>(kReplyBufferSize)) return 0;
  const int length = static_cast<int>(size);
  std::unique_ptr<BYTE[]> reply(new BYTE[size]);
  if (size > 0) std::memcpy(reply.get(), data, size);
  for (int model = 0; model <= 1; model++)
    for (int packetType : {PACKET_TYPE_IPX, PACKET_TYPE_UDP, PACKET_TYPE_NETBEUI})
      ReadReplies(reply.get(), length, model, packetType);
  AddAnswer(reply.get(), length);
  return 0;
}
