// The replies a device builds about itself.
#pragma once

#include <cstdint>
#include <vector>

#include "emulator/device_config.h"

namespace vek::emu {

// Device port (UDP) of every print server.
constexpr std::uint16_t kDevicePort = 20560;

// Operations the device answers, and the reply bit.
constexpr std::uint8_t kOpSearch = 0x04;
constexpr std::uint8_t kOpStatus = 0x08;
constexpr std::uint8_t kReplyBit = 0x80;

// The information reply, in one datagram (answer to a single-reply search).
std::vector<std::uint8_t> BuildInformationReply(const DeviceConfig& device);
// The status reply: port status and second status byte.
std::vector<std::uint8_t> BuildStatusReply(const DeviceConfig& device);

}  // namespace vek::emu
