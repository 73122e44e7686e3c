// The NetBIOS segment's frame decoder, fed with whatever a station on the segment
// may send. The format leaves no byte free, so a frame it accepts must be exactly
// the encoding of what it decoded. The same bytes also serve as the fields of a
// frame to encode: every frame a station may send must decode back to itself.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "net/netbios_frame.h"

using vek::net::DecodeNetbiosFrame;
using vek::net::EncodeNetbiosFrame;
using vek::net::FrameKind;
using vek::net::kNetbiosMaxDatagram;
using vek::net::NetbiosFrame;

namespace {

bool Same(const NetbiosFrame& a, const NetbiosFrame& b) {
  return a.kind == b.kind && a.station == b.station && a.name == b.name && a.group == b.group &&
         a.claimant == b.claimant && a.source == b.source && a.payload == b.payload;
}

// The fields a kind does not carry keep their defaults.
void CheckShape(const NetbiosFrame& frame) {
  if (frame.kind != FrameKind::Claim && frame.kind != FrameKind::Objection && frame.kind != FrameKind::Datagram)
    __builtin_trap();
  if (frame.payload.size() > kNetbiosMaxDatagram) __builtin_trap();
  if (frame.kind != FrameKind::Claim && frame.group) __builtin_trap();
  if (frame.kind != FrameKind::Objection && frame.claimant != vek::net::StationId{}) __builtin_trap();
  if (frame.kind != FrameKind::Datagram && (frame.source != vek::net::NetbiosName{} || !frame.payload.empty()))
    __builtin_trap();
}

void DecodeAnything(std::span<const std::uint8_t> bytes) {
  const auto frame = DecodeNetbiosFrame(bytes);
  if (!frame) return;
  CheckShape(*frame);
  const std::vector<std::uint8_t> again = EncodeNetbiosFrame(*frame);
  if (again.size() != bytes.size() || !std::equal(again.begin(), again.end(), bytes.begin())) __builtin_trap();
  const auto back = DecodeNetbiosFrame(again);
  if (!back || !Same(*back, *frame)) __builtin_trap();
}

template <std::size_t N>
std::array<std::uint8_t, N> Take(std::span<const std::uint8_t>* bytes) {
  std::array<std::uint8_t, N> out{};
  const std::size_t n = std::min(N, bytes->size());
  std::copy_n(bytes->begin(), n, out.begin());
  *bytes = bytes->subspan(n);
  return out;
}

void EncodeFromFields(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  NetbiosFrame frame;
  const std::uint8_t first = bytes[0];
  bytes = bytes.subspan(1);
  frame.kind = static_cast<FrameKind>(first % 3 + 1);
  frame.station = Take<8>(&bytes);
  frame.name = Take<16>(&bytes);
  if (frame.kind == FrameKind::Claim) frame.group = (first & 0x80) != 0;
  if (frame.kind == FrameKind::Objection) frame.claimant = Take<8>(&bytes);
  if (frame.kind == FrameKind::Datagram) {
    frame.source = Take<16>(&bytes);
    frame.payload.assign(bytes.begin(),
                         bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), kNetbiosMaxDatagram)));
  }
  const auto back = DecodeNetbiosFrame(EncodeNetbiosFrame(frame));
  if (!back || !Same(*back, frame)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One UDP datagram; a frame is at most 1550 bytes.
  if (size > 2048) return 0;
  const std::span<const std::uint8_t> bytes(data, size);
  DecodeAnything(bytes);
  EncodeFromFields(bytes);
  return 0;
}
