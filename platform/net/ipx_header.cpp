#include "net/ipx_header.h"

#include <algorithm>

namespace vek::net {
namespace {

void PutWord(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value >> 8);
  out[1] = static_cast<std::uint8_t>(value);
}

std::uint16_t GetWord(const std::uint8_t* in) { return static_cast<std::uint16_t>((in[0] << 8) | in[1]); }

// network 4, node 6, socket 2: 12 bytes.
void PutAddress(std::uint8_t* out, const IpxAddress& address) {
  std::copy(address.network.begin(), address.network.end(), out);
  std::copy(address.node.begin(), address.node.end(), out + 4);
  PutWord(out + 10, address.socket);
}

IpxAddress GetAddress(const std::uint8_t* in) {
  IpxAddress address;
  std::copy(in, in + 4, address.network.begin());
  std::copy(in + 4, in + 10, address.node.begin());
  address.socket = GetWord(in + 10);
  return address;
}

}  // namespace

std::vector<std::uint8_t> BuildIpxFrame(const IpxHeader& header, std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> frame(kIpxHeaderSize + payload.size());
  PutWord(&frame[0], kIpxNoChecksum);
  PutWord(&frame[2], static_cast<std::uint16_t>(frame.size()));
  frame[4] = header.transportControl;
  frame[5] = header.packetType;
  PutAddress(&frame[6], header.destination);
  PutAddress(&frame[18], header.source);
  std::copy(payload.begin(), payload.end(), frame.begin() + kIpxHeaderSize);
  return frame;
}

std::optional<IpxFrame> ParseIpxFrame(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kIpxHeaderSize) return std::nullopt;
  if (GetWord(&bytes[0]) != kIpxNoChecksum) return std::nullopt;
  const std::size_t length = GetWord(&bytes[2]);
  if (length < kIpxHeaderSize || length > kIpxHeaderSize + kIpxMaxPayload || length > bytes.size())
    return std::nullopt;
  IpxFrame frame;
  frame.header.transportControl = bytes[4];
  frame.header.packetType = bytes[5];
  frame.header.destination = GetAddress(&bytes[6]);
  frame.header.source = GetAddress(&bytes[18]);
  frame.payload = bytes.subspan(kIpxHeaderSize, length - kIpxHeaderSize);
  return frame;
}

}  // namespace vek::net
