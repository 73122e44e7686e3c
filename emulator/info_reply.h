// The replies a device builds about itself.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "emulator/device_config.h"

namespace vek::emu {

// Device port (UDP) of every print server.
constexpr std::uint16_t kDevicePort = 20560;

// Operations the device answers, and the reply bit.
constexpr std::uint8_t kOpUpload = 0x01;
constexpr std::uint8_t kOpRestart = 0x03;
constexpr std::uint8_t kOpSearch = 0x04;
constexpr std::uint8_t kOpStatus = 0x08;
constexpr std::uint8_t kOpPortInfo = 0x10;
constexpr std::uint8_t kOpBlock = 0x21;
constexpr std::uint8_t kOpSearchMulti = 0x24;
constexpr std::uint8_t kOpSecure = 0x25;
constexpr std::uint8_t kReplyBit = 0x80;

// The header of every answer: "NET", type 0, the reply word.
constexpr std::size_t kHeaderLength = 6;
// A part of a multi-part reply: the header, part number (from the device's
// part base, 0 or 1), last-part number, data length, the device's MAC, then the
// data.
constexpr std::size_t kPartHeaderLength = 16;

// The information reply, in one datagram (answer to a single-reply search).
std::vector<std::uint8_t> BuildInformationReply(const DeviceConfig& device);
// The same reply in parts of at most partSize data bytes: the reply after its
// header, cut in order.
std::vector<std::vector<std::uint8_t>> BuildMultipartReply(const DeviceConfig& device, std::size_t partSize);
// A plain 64-byte answer: the header with the reply word, then byte 6 and 7.
// The first part of a multi-part reply of another device (mac), numbered
// partBase of partBase + 1: it opens a reply whose rest never comes.
std::vector<std::uint8_t> BuildOpeningPart(const std::array<std::uint8_t, 6>& mac, int partBase);
std::vector<std::uint8_t> BuildPlainAnswer(std::uint16_t replyWord, std::uint8_t byte6 = 0, std::uint8_t byte7 = 0);

}  // namespace vek::emu
