#include "protocol/reply_joiner.h"

#include <cstring>

#include "protocol/packet_header.h"
#include "protocol/trace.h"

BOOL PSHasMakerPrefix(const BYTE* mac) {
  return mac != NULL && std::memcmp(mac, PS_MAC_PREFIX, sizeof(PS_MAC_PREFIX)) == 0 ? TRUE : FALSE;
}

XReplyJoiner::XReplyJoiner() : m_Openings(0) {
  std::memset(m_SlotNodeID, 0, sizeof(m_SlotNodeID));
  std::memset(m_SlotOpened, 0, sizeof(m_SlotOpened));
  for (int i = 0; i < PS_SLOT_COUNT; i++) {
    m_SlotIndex[i] = PS_SLOT_FREE;
    ResetSlot(i);
  }
}

void XReplyJoiner::ResetSlot(int slot) {
  m_SlotLength[slot] = 0;
  m_SlotNextPart[slot] = -1;
  m_SlotLastPart[slot] = 0;
  m_SlotTakenLength[slot] = 0;
}

int XReplyJoiner::ClaimSlot() {
  // A free slot; else one whose device has no reply in assembly; else the one
  // whose unfinished reply opened first, so that openings that never go on
  // cannot keep a device's reply out.
  int idle = -1, oldest = -1;
  for (int i = 0; i < PS_SLOT_COUNT; i++) {
    if (m_SlotIndex[i] == PS_SLOT_FREE) return i;
    if (m_SlotNextPart[i] < 0) {
      if (idle < 0) idle = i;
    } else if (oldest < 0 || m_SlotOpened[i] < m_SlotOpened[oldest]) {
      oldest = i;
    }
  }
  return idle >= 0 ? idle : oldest;
}

int XReplyJoiner::FindSlot(const BYTE* mac) const {
  for (int i = 0; i < PS_SLOT_COUNT; i++)
    if (m_SlotIndex[i] != PS_SLOT_FREE && std::memcmp(m_SlotNodeID[i], mac, 6) == 0) return i;
  return -1;
}

int XReplyJoiner::AddPart(const BYTE* datagram, int length, const BYTE** reply, int* replyLength) {
  if (reply != NULL) *reply = NULL;
  if (replyLength != NULL) *replyLength = 0;
  if (datagram == NULL || length < PS_PART_HEADER_LENGTH) return PS_PART_DROPPED;

  const BYTE* mac = datagram + 10;
  DebugTrace("PrintServer.m_NodeID : %02X:%02X:%02X:%02X:%02X:%02X\r\n", mac[0], mac[1], mac[2], mac[3], mac[4],
             mac[5]);
  if (!PSHasMakerPrefix(mac)) return PS_PART_DROPPED;

  const int part = datagram[6];
  const int last = datagram[7];
  const int dataLength = PSGetWord(datagram + 8);
  const BYTE* partData = datagram + PS_PART_HEADER_LENGTH;
  // The data must lie inside the datagram, and the numbers must make sense.
  if (dataLength > length - PS_PART_HEADER_LENGTH || part > last) return PS_PART_DROPPED;

  // The part that opens a reply carries the reply from its byte 6, the MAC.
  const bool opens = dataLength >= 6 && std::memcmp(partData, mac, 6) == 0;
  int slot = FindSlot(mac);
  if (slot < 0) {
    // Only a reply's opening claims a slot: a part that opens nothing could
    // not be completed anyway.
    if (!opens) return PS_PART_DROPPED;
    slot = ClaimSlot();
    std::memcpy(m_SlotNodeID[slot], mac, 6);
    m_SlotIndex[slot] = slot;
    ResetSlot(slot);
  }

  BYTE* data = m_SlotData[slot];
  const bool assembling = m_SlotNextPart[slot] >= 0 && m_SlotLastPart[slot] == last;
  if (opens) {
    ResetSlot(slot);
    m_SlotLastPart[slot] = last;
    m_SlotOpened[slot] = ++m_Openings;
  } else if (assembling && part == m_SlotNextPart[slot]) {
    // The next part of the reply in assembly.
  } else if (assembling && part == m_SlotNextPart[slot] - 1 && dataLength == m_SlotTakenLength[slot] &&
             std::memcmp(data + PS_HEADER_LENGTH + m_SlotLength[slot] - dataLength, partData,
                         static_cast<size_t>(dataLength)) == 0) {
    return PS_PART_DROPPED;  // the part just taken, again: the reply goes on
  } else {
    // A part was lost, or this one belongs to no reply in assembly: what is
    // assembled cannot be completed correctly.
    ResetSlot(slot);
    return PS_PART_DROPPED;
  }
  if (PS_HEADER_LENGTH + m_SlotLength[slot] + dataLength > PS_SLOT_SIZE) {
    ResetSlot(slot);
    return PS_PART_DROPPED;
  }

  std::memcpy(data, datagram, PS_HEADER_LENGTH);
  std::memcpy(data + PS_HEADER_LENGTH + m_SlotLength[slot], partData, static_cast<size_t>(dataLength));
  m_SlotLength[slot] += dataLength;
  m_SlotTakenLength[slot] = dataLength;
  m_SlotNextPart[slot] = part + 1;
  if (part != last) return PS_PART_STORED;

  const int joined = PS_HEADER_LENGTH + m_SlotLength[slot];
  // Emptied at once; the bytes stay in place until the device's next part.
  ResetSlot(slot);
  if (reply != NULL) *reply = data;
  if (replyLength != NULL) *replyLength = joined;
  return PS_PART_COMPLETE;
}
