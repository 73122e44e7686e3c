// The IPX segment's frame parser, fed with whatever a station on the segment may
// send. It must accept exactly the frames its header describes, its payload must
// lie inside the bytes received, and the declared part of an accepted frame must
// be what building the frame again gives (only the link padding after it is
// free). The same bytes also serve as the fields of a frame to build, which must
// parse back to itself.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "net/ipx_header.h"

using vek::net::BuildIpxFrame;
using vek::net::IpxAddress;
using vek::net::IpxFrame;
using vek::net::IpxHeader;
using vek::net::kIpxHeaderSize;
using vek::net::kIpxMaxPayload;
using vek::net::ParseIpxFrame;

namespace {

bool SameHeader(const IpxHeader& a, const IpxHeader& b) {
  return a.transportControl == b.transportControl && a.packetType == b.packetType && a.destination == b.destination &&
         a.source == b.source;
}

bool SamePayload(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

void ParseAnything(std::span<const std::uint8_t> bytes) {
  const auto frame = ParseIpxFrame(bytes);
  bool wellFormed = bytes.size() >= kIpxHeaderSize && bytes[0] == 0xFF && bytes[1] == 0xFF;
  std::size_t length = 0;
  if (wellFormed) {
    length = static_cast<std::size_t>((bytes[2] << 8) | bytes[3]);
    wellFormed = length >= kIpxHeaderSize && length <= kIpxHeaderSize + kIpxMaxPayload && length <= bytes.size();
  }
  if (frame.has_value() != wellFormed) __builtin_trap();
  if (!frame) return;

  const std::span<const std::uint8_t> payload = frame->payload;
  if (payload.size() != length - kIpxHeaderSize || payload.size() > kIpxMaxPayload) __builtin_trap();
  if (payload.data() != bytes.data() + kIpxHeaderSize) __builtin_trap();

  const std::vector<std::uint8_t> again = BuildIpxFrame(frame->header, payload);
  if (again.size() != length || !std::equal(again.begin(), again.end(), bytes.begin())) __builtin_trap();
  const auto back = ParseIpxFrame(again);
  if (!back || !SameHeader(back->header, frame->header) || !SamePayload(back->payload, payload)) __builtin_trap();
}

template <std::size_t N>
std::array<std::uint8_t, N> Take(std::span<const std::uint8_t>* bytes) {
  std::array<std::uint8_t, N> out{};
  const std::size_t n = std::min(N, bytes->size());
  std::copy_n(bytes->begin(), n, out.begin());
  *bytes = bytes->subspan(n);
  return out;
}

IpxAddress TakeAddress(std::span<const std::uint8_t>* bytes) {
  IpxAddress address;
  address.network = Take<4>(bytes);
  address.node = Take<6>(bytes);
  const auto socket = Take<2>(bytes);
  address.socket = static_cast<std::uint16_t>((socket[0] << 8) | socket[1]);
  return address;
}

void BuildFromFields(std::span<const std::uint8_t> bytes) {
  IpxHeader header;
  const auto control = Take<2>(&bytes);
  header.transportControl = control[0];
  header.packetType = control[1];
  header.destination = TakeAddress(&bytes);
  header.source = TakeAddress(&bytes);
  const std::span<const std::uint8_t> payload = bytes.first(std::min(bytes.size(), kIpxMaxPayload));
  const std::vector<std::uint8_t> built = BuildIpxFrame(header, payload);
  if (built.size() != kIpxHeaderSize + payload.size()) __builtin_trap();
  const auto back = ParseIpxFrame(built);
  if (!back || !SameHeader(back->header, header) || !SamePayload(back->payload, payload)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One UDP datagram of the segment; a frame is at most 1500 bytes.
  if (size > 2048) return 0;
  const std::span<const std::uint8_t> bytes(data, size);
  ParseAnything(bytes);
  BuildFromFields(bytes);
  return 0;
}
