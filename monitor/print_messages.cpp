#include "print_messages.h"

#include <algorithm>
#include <cstring>

#include "monitor_globals.h"

namespace {

bool IsNet(int model) { return model == 1; }

void PutWord(BYTE* at, WORD value) {
  at[0] = static_cast<BYTE>(value & 0xFF);
  at[1] = static_cast<BYTE>(value >> 8);
}

// dataKind: data packets and acknowledgements, which differ in their magic.
void WriteHeader(BYTE* out, int model, int packetType, bool dataKind, WORD command) {
  if (IsNet(model)) {
    out[0] = 'N';
    out[1] = 'E';
    out[2] = 'T';
    out[3] = dataKind ? 0x60 : 'P';
    PutWord(out + 4, command);
    return;
  }
  if (packetType == PACKET_TYPE_NETBEUI) {
    out[0] = out[1] = dataKind ? 0x60 : 0x50;
  } else {
    out[0] = 'Q';
    out[1] = 'I';
  }
  PutWord(out + 2, command);
}

// The leading magic and the reply code; the other header bytes are not examined.
bool IsReply(const BYTE* reply, int length, int model, int packetType, bool dataKind, BYTE code) {
  if (reply == nullptr) return false;
  if (IsNet(model)) return length >= 5 && reply[0] == 'N' && reply[1] == 'E' && reply[2] == 'T' && reply[4] == code;
  if (length < 3) return false;
  if (packetType == PACKET_TYPE_NETBEUI) {
    BYTE magic = dataKind ? 0x60 : 0x50;
    if (reply[0] != magic || reply[1] != magic) return false;
  } else if (reply[0] != 'Q' || reply[1] != 'I') {
    return false;
  }
  return reply[2] == code;
}

int Request(BYTE* out, int model, int packetType, WORD command) {
  std::memset(out, 0, kRequestLength);
  WriteHeader(out, model, packetType, false, command);
  return kRequestLength;
}

}  // namespace

int FirstField(int model) { return IsNet(model) ? 6 : 4; }

int DataOffset(int model) { return FirstField(model) + 5; }

int BuildStatusQuery(BYTE* out, int model, int packetType) { return Request(out, model, packetType, kCommandStatus); }

int BuildConnect(BYTE* out, int model, int packetType, signed char portId) {
  int n = Request(out, model, packetType, IsNet(model) ? kCommandConnect1 : kCommandConnect0);
  out[FirstField(model)] = static_cast<BYTE>(portId);
  return n;
}

int BuildEndOfJob(BYTE* out, int model, int packetType, signed char portId) {
  int n = Request(out, model, packetType, kCommandEndOfJob);
  int f = FirstField(model);
  out[f] = static_cast<BYTE>(portId);
  std::memcpy(out + f + 1, kEndOfJobText, sizeof kEndOfJobText);
  return n;
}

void BuildDataHeader(BYTE* out, int model, int packetType, signed char portId) {
  std::memset(out, 0, kRequestLength);
  WriteHeader(out, model, packetType, true, kCommandData);
  int f = FirstField(model);
  out[f] = static_cast<BYTE>(portId);
  out[f + 2] = 0;
}

void SetDataSlot(BYTE* packet, int model, BYTE sequence, int length) {
  int f = FirstField(model);
  packet[f + 1] = sequence;
  PutWord(packet + f + 3, LengthWord(length));
}

WORD LengthWord(int length) {
  int low = length % 256;
  int high = length / 256 + (low != 0 ? 1 : 0);
  return static_cast<WORD>((high << 8) | low);
}

BOOL ReadStatusReply(const BYTE* reply, int length, int model, int packetType, BYTE* statusByte) {
  int f = FirstField(model);
  if (!IsReply(reply, length, model, packetType, false, kReplyStatus) || length <= f) return FALSE;
  *statusByte = reply[f];
  return TRUE;
}

BOOL ReadConnectReply(const BYTE* reply, int length, int model, int packetType, BYTE* status, int* dataLength,
                      int* packets) {
  if (!IsReply(reply, length, model, packetType, false, kReplyConnect)) return FALSE;
  if (IsNet(model)) {
    if (length < 12) return FALSE;
    *status = reply[7];
    *dataLength = reply[9] | (reply[10] << 8);
    *packets = reply[11];
  } else {
    if (length < 6) return FALSE;
    *status = reply[5];
    *dataLength = 0;
    *packets = 1;
  }
  return TRUE;
}

BOOL ReadAck(const BYTE* reply, int length, int model, int packetType, BYTE* sequence) {
  if (!IsReply(reply, length, model, packetType, true, kReplyAck)) return FALSE;
  int at = IsNet(model) ? 7 : 5;
  int flag = IsNet(model) ? 9 : 7;
  if (length <= flag || reply[flag] == 0) return FALSE;
  *sequence = reply[at];
  return TRUE;
}

BOOL IsEndOfJobReply(const BYTE* reply, int length, int model, int packetType) {
  return IsReply(reply, length, model, packetType, false, kReplyEndOfJob) ? TRUE : FALSE;
}

void NegotiateConnection(int model, int packetType, int offeredLength, int offeredWindow, int* dataLength,
                         int* packets) {
  if (!IsNet(model)) {
    *packets = 1;
    *dataLength = packetType == PACKET_TYPE_NETBEUI ? kDataLengthNetBEUI : kMinDataLength;
    return;
  }
  *packets = std::clamp(offeredWindow, 1, kMaxWindow);
  int length = std::max(offeredLength, kMinDataLength);
  int ceiling = packetType == PACKET_TYPE_IPX ? kMaxDataLengthIPX
                : packetType == PACKET_TYPE_UDP ? kMaxDataLengthUDP
                                                : kDataLengthNetBEUI;
  *dataLength = std::min(length, ceiling);
}

int PortStatus(BYTE statusByte, int portId) {
  if (portId < 1 || portId > 4) return 0;
  return (statusByte >> (2 * (portId - 1))) & 3;
}
