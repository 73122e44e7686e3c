// Joins the numbered parts of multi-part information replies (reply code 0xA4),
// one assembly slot per device. A part is 16 header bytes ("NET", type, code,
// part number, last-part number, data length, MAC) and its data; the joined reply
// is the 6 header bytes of the latest part followed by the data of all parts.
//
// Devices number their parts from 0 or from 1 up to the last-part number. A reply
// starts with the part that opens it, whatever its number: the first part's data
// begins with the device's MAC, as the information reply does at its byte 6. The
// parts after it must follow with consecutive numbers and the same last-part
// number, and a slot is emptied once its reply is complete. A repeat of the part
// just taken is ignored. A gap, a part that does not fit, or one whose numbers do
// not agree drops the reply in assembly, and a part that opens nothing cannot
// start one, so a lost part never yields a misaligned reply; the device's next
// round starts afresh.
//
// Only an opening part takes a slot. With every slot taken, a new opening takes
// the place of a device with no reply in assembly, else of the unfinished reply
// that opened first: a flood of openings that never go on cannot keep a real
// device's reply out for long.
#pragma once

#include "kernel/types.h"

constexpr int PS_SLOT_COUNT = 64;
// 6 header bytes and up to 6494 data bytes.
constexpr int PS_SLOT_SIZE = 6500;
constexpr int PS_PART_HEADER_LENGTH = 16;
constexpr int PS_SLOT_FREE = 255;

// The maker's MAC prefix; devices outside it are never listed.
constexpr BYTE PS_MAC_PREFIX[3] = {0x02, 0x4E, 0x57};
BOOL PSHasMakerPrefix(const BYTE* mac);

// AddPart results.
constexpr int PS_PART_DROPPED = 0;
constexpr int PS_PART_STORED = 1;
constexpr int PS_PART_COMPLETE = 2;

class XReplyJoiner {
 public:
  XReplyJoiner();

  // Takes one datagram that was recognised as a part ("NET", byte 4 0xA4). On
  // PS_PART_COMPLETE *reply and *replyLength give the joined reply, valid until the
  // next call.
  int AddPart(const BYTE* datagram, int length, const BYTE** reply, int* replyLength);

  // The slot of a device, or -1.
  int FindSlot(const BYTE* mac) const;

  BYTE m_SlotNodeID[PS_SLOT_COUNT][6];
  BYTE m_SlotData[PS_SLOT_COUNT][PS_SLOT_SIZE];
  int m_SlotLength[PS_SLOT_COUNT];     // data bytes assembled (header not counted)
  int m_SlotIndex[PS_SLOT_COUNT];      // PS_SLOT_FREE, or the slot's own index
  int m_SlotNextPart[PS_SLOT_COUNT];   // part expected next; -1 while no reply is in assembly
  int m_SlotLastPart[PS_SLOT_COUNT];   // last-part number of the reply in assembly
  int m_SlotTakenLength[PS_SLOT_COUNT];  // data bytes of the part taken last
  unsigned m_SlotOpened[PS_SLOT_COUNT];  // when the reply in assembly opened, by m_Openings

 private:
  void ResetSlot(int slot);
  // The slot a new device's reply goes to.
  int ClaimSlot();

  unsigned m_Openings;  // replies opened so far
};
