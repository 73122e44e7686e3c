#include "net/netbios_frame.h"

#include <algorithm>

namespace vek::net {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'V', 'N', 'B', '1'};
constexpr std::size_t kNameOffset = 16;
constexpr std::size_t kClaimSize = 32;
constexpr std::size_t kObjectionSize = 40;
constexpr std::size_t kDatagramHeaderSize = 50;
constexpr std::uint8_t kGroupFlag = 0x01;

template <std::size_t N>
void Put(std::vector<std::uint8_t>* out, std::size_t offset, const std::array<std::uint8_t, N>& bytes) {
  std::copy(bytes.begin(), bytes.end(), out->begin() + static_cast<std::ptrdiff_t>(offset));
}

template <std::size_t N>
std::array<std::uint8_t, N> Get(std::span<const std::uint8_t> bytes, std::size_t offset) {
  std::array<std::uint8_t, N> out;
  std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), N, out.begin());
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeNetbiosFrame(const NetbiosFrame& frame) {
  std::size_t size = kClaimSize;
  if (frame.kind == FrameKind::Objection) size = kObjectionSize;
  if (frame.kind == FrameKind::Datagram) size = kDatagramHeaderSize + frame.payload.size();
  std::vector<std::uint8_t> out(size);
  Put(&out, 0, kMagic);
  out[4] = static_cast<std::uint8_t>(frame.kind);
  out[5] = frame.kind == FrameKind::Claim && frame.group ? kGroupFlag : 0;
  Put(&out, 8, frame.station);
  Put(&out, kNameOffset, frame.name);
  if (frame.kind == FrameKind::Objection) Put(&out, 32, frame.claimant);
  if (frame.kind == FrameKind::Datagram) {
    Put(&out, 32, frame.source);
    out[48] = static_cast<std::uint8_t>(frame.payload.size() >> 8);
    out[49] = static_cast<std::uint8_t>(frame.payload.size());
    std::copy(frame.payload.begin(), frame.payload.end(), out.begin() + kDatagramHeaderSize);
  }
  return out;
}

std::optional<NetbiosFrame> DecodeNetbiosFrame(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kClaimSize || Get<4>(bytes, 0) != kMagic) return std::nullopt;
  // Reserved: a frame with anything there is of some other making.
  if (bytes[6] != 0 || bytes[7] != 0) return std::nullopt;
  NetbiosFrame frame;
  const std::uint8_t flags = bytes[5];
  frame.station = Get<8>(bytes, 8);
  frame.name = Get<16>(bytes, kNameOffset);
  switch (bytes[4]) {
    case static_cast<std::uint8_t>(FrameKind::Claim):
      if (bytes.size() != kClaimSize || (flags & ~kGroupFlag) != 0) return std::nullopt;
      frame.kind = FrameKind::Claim;
      frame.group = (flags & kGroupFlag) != 0;
      return frame;
    case static_cast<std::uint8_t>(FrameKind::Objection):
      if (bytes.size() != kObjectionSize || flags != 0) return std::nullopt;
      frame.kind = FrameKind::Objection;
      frame.claimant = Get<8>(bytes, 32);
      return frame;
    case static_cast<std::uint8_t>(FrameKind::Datagram): {
      if (bytes.size() < kDatagramHeaderSize || flags != 0) return std::nullopt;
      const std::size_t length = static_cast<std::size_t>((bytes[48] << 8) | bytes[49]);
      if (length > kNetbiosMaxDatagram || bytes.size() != kDatagramHeaderSize + length) return std::nullopt;
      frame.kind = FrameKind::Datagram;
      frame.source = Get<16>(bytes, 32);
      frame.payload.assign(bytes.begin() + kDatagramHeaderSize, bytes.end());
      return frame;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace vek::net
