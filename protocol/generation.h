// Device generations, told from the leading bytes of an information reply.
#pragma once

#include "kernel/types.h"

constexpr int PS_GENERATION_NONE = 0;
constexpr int PS_GENERATION_QIM = 3;        // "QIM": fixed layout
constexpr int PS_GENERATION_QIM_SETUP = 4;  // "QIM-R4410KX-SETUP": fixed layout
constexpr int PS_GENERATION_NET = 5;        // "NET": header and sections

// The generation of a reply, or PS_GENERATION_NONE when it is refused. Only the
// leading bytes are looked at; a reply shorter than a magic does not match it.
int PSReplyGeneration(const BYTE* reply, int length);

// Byte offsets of the fixed layouts of the older generations.
struct PSFixedLayout {
  int Name;           // 18 characters
  int FirmwareMajor;
  int FirmwareMinor;
  int ModelCode;
};
constexpr PSFixedLayout PS_LAYOUT_QIM = {5, 86, 87, 40};
constexpr PSFixedLayout PS_LAYOUT_QIM_SETUP = {87, 36, 35, 27};
// Generation 4 only: the TCP/IP settings.
constexpr int PS_QIM_SETUP_SUBNET = 515;
constexpr int PS_QIM_SETUP_GATEWAY = 519;
constexpr int PS_QIM_SETUP_ADDRESS = 523;
constexpr int PS_QIM_SETUP_DHCP = 527;  // bit 7
constexpr BYTE PS_QIM_SETUP_DHCP_BIT = 0x80;
