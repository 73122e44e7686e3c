// The search answers of the older device generation ("QI", generation 0). They
// have fixed layouts, one per transport, holding the identity a host lists: name,
// MAC, firmware version, port count and, on UDP, the device's address.
#pragma once

#include <cstdint>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/transport.h"

namespace vek::emu {

// "QI", 0x84: 512 bytes; name at 4, MAC at 0x16, version at 0x1DB and 0x1DC, port
// word at 0x1E1.
std::vector<std::uint8_t> BuildLegacyIpxSearchAnswer(const DeviceConfig& device);
// "QI", 0x80: 512 bytes; MAC at 6, model byte at 0x0C, version minor at 0x14 and
// major at 0x15, name at 0x48, port count at 0x1F3, IPv4 address at 0x1FC.
std::vector<std::uint8_t> BuildLegacyUdpSearchAnswer(const DeviceConfig& device);
// 70 70, 0x84: 64 bytes; name at 4, MAC at 0x16, version at 0x1C and 0x1D, port
// word at 0x1E.
std::vector<std::uint8_t> BuildLegacyNetbiosSearchAnswer(const DeviceConfig& device);

std::vector<std::uint8_t> BuildLegacySearchAnswer(const DeviceConfig& device, TransportKind transport);

}  // namespace vek::emu
