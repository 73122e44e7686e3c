// The 30-byte IPX header, big-endian as on the wire, and the frames the IPX
// segment carries: the header followed by the payload.
//
// Frames come from the segment, where anything may be sent: parsing trusts nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "net/ipx_endpoint.h"

namespace vek::net {

constexpr std::size_t kIpxHeaderSize = 30;
// An Ethernet frame's 1500 bytes less the header.
constexpr std::size_t kIpxMaxPayload = 1470;
// The checksum field of every frame: IPX leaves checksums to the link layer.
constexpr std::uint16_t kIpxNoChecksum = 0xFFFF;

struct IpxHeader {
  std::uint8_t transportControl = 0;
  std::uint8_t packetType = 0;
  IpxAddress destination;
  IpxAddress source;
};

struct IpxFrame {
  IpxHeader header;
  // Points into the parsed bytes.
  std::span<const std::uint8_t> payload;
};

// payload holds at most kIpxMaxPayload bytes (the caller checks).
std::vector<std::uint8_t> BuildIpxFrame(const IpxHeader& header, std::span<const std::uint8_t> payload);

// Nothing for bytes that are not an IPX frame: shorter than the header, a checksum
// other than FFFF, a length field below the header size, above the largest frame or
// beyond the bytes received. Bytes after the declared length (link padding) are
// ignored.
std::optional<IpxFrame> ParseIpxFrame(std::span<const std::uint8_t> bytes);

}  // namespace vek::net
