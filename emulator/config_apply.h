// A configuration sent to the device: its own information reply, edited by the
// host, read back field by field in the device's layout. Only what a host may
// change is taken (names, passwords, TCP/IP, wireless and security settings,
// texts); the identity, firmware, model, ports, capabilities and key stay the
// device's own.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "emulator/device_config.h"

namespace vek::emu {

// Reads reply (header included; bytes after the last section are ignored) into
// *device. On failure *device is unchanged and *why says what did not read.
bool ApplyConfiguration(std::span<const std::uint8_t> reply, DeviceConfig* device, std::string* why);

}  // namespace vek::emu
