// What stations say to each other on a NetBIOS segment, one frame per UDP datagram:
// name claims, objections to them, and datagrams. Our own format (all numbers
// big-endian):
//
//   0  4  "VNB1"
//   4  1  kind: 1 claim, 2 objection, 3 datagram
//   5  1  flags: claim, bit 0: a group name
//   6  2  zero
//   8  8  the sending station
//  16 16  claim and objection: the name; datagram: the destination name
//  32     claim: end (32 bytes)
//  32  8  objection: the claiming station it answers; end (40 bytes)
//  32 16  datagram: the sender's name
//  48  2  datagram: payload length, then the payload (end: 50 + length)
//
// Frames come from the segment, where anything may be sent: decoding trusts nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vek::net {

using NetbiosName = std::array<std::uint8_t, 16>;
using StationId = std::array<std::uint8_t, 8>;

// The largest datagram a station sends or accepts.
constexpr std::size_t kNetbiosMaxDatagram = 1500;

enum class FrameKind : std::uint8_t { Claim = 1, Objection = 2, Datagram = 3 };

struct NetbiosFrame {
  FrameKind kind = FrameKind::Claim;
  StationId station{};
  NetbiosName name{};
  bool group = false;      // claim
  StationId claimant{};    // objection
  NetbiosName source{};    // datagram
  std::vector<std::uint8_t> payload;  // datagram, at most kNetbiosMaxDatagram bytes
};

std::vector<std::uint8_t> EncodeNetbiosFrame(const NetbiosFrame& frame);
// Nothing for bytes that are not exactly one well-formed frame.
std::optional<NetbiosFrame> DecodeNetbiosFrame(std::span<const std::uint8_t> bytes);

}  // namespace vek::net
