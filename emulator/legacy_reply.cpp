#include "emulator/legacy_reply.h"

#include <algorithm>

namespace vek::emu {
namespace {

class Layout {
 public:
  explicit Layout(std::size_t size) : m_bytes(size, 0) {}
  void U8(std::size_t at, std::uint8_t value) { m_bytes.at(at) = value; }
  void U16(std::size_t at, std::uint16_t value) {
    U8(at, static_cast<std::uint8_t>(value));
    U8(at + 1, static_cast<std::uint8_t>(value >> 8));
  }
  void Text(std::size_t at, const std::string& text, std::size_t width) {
    std::copy_n(text.begin(), std::min(text.size(), width), m_bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void Mac(std::size_t at, const std::array<std::uint8_t, 6>& mac) {
    std::copy(mac.begin(), mac.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }
  void Ipv4(std::size_t at, std::uint32_t hostOrder) {
    for (int i = 0; i < 4; i++) U8(at + static_cast<std::size_t>(i), static_cast<std::uint8_t>(hostOrder >> (24 - 8 * i)));
  }
  std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

 private:
  std::vector<std::uint8_t> m_bytes;
};

std::uint16_t PortWord(const DeviceConfig& d) {
  return static_cast<std::uint16_t>(d.portWord >= 0 ? d.portWord : d.ports);
}

}  // namespace

std::vector<std::uint8_t> BuildLegacyIpxSearchAnswer(const DeviceConfig& d) {
  Layout l(512);
  l.Text(0, "QI", 2);
  l.U16(2, 0x0084);
  l.Text(0x04, d.name, width::kName);
  l.Mac(0x16, d.mac);
  l.U8(0x1DB, d.firmwareMajor);
  l.U8(0x1DC, d.firmwareMinor);
  l.U16(0x1E1, PortWord(d));
  return l.Take();
}

std::vector<std::uint8_t> BuildLegacyUdpSearchAnswer(const DeviceConfig& d) {
  Layout l(512);
  l.Text(0, "QI", 2);
  l.U16(2, 0x0080);
  l.Mac(0x06, d.mac);
  l.U8(0x0C, d.model);
  l.U8(0x14, d.firmwareMinor);
  l.U8(0x15, d.firmwareMajor);
  l.Text(0x48, d.name, width::kName);
  l.U8(0x1F3, static_cast<std::uint8_t>(PortWord(d)));
  l.Ipv4(0x1FC, d.address);
  return l.Take();
}

std::vector<std::uint8_t> BuildLegacyNetbiosSearchAnswer(const DeviceConfig& d) {
  Layout l(64);
  l.U8(0, 0x70);
  l.U8(1, 0x70);
  l.U16(2, 0x0084);
  l.Text(0x04, d.name, width::kName);
  l.Mac(0x16, d.mac);
  l.U8(0x1C, d.firmwareMajor);
  l.U8(0x1D, d.firmwareMinor);
  l.U16(0x1E, PortWord(d));
  return l.Take();
}

std::vector<std::uint8_t> BuildLegacySearchAnswer(const DeviceConfig& d, TransportKind transport) {
  switch (transport) {
    case TransportKind::Udp: return BuildLegacyUdpSearchAnswer(d);
    case TransportKind::Ipx: return BuildLegacyIpxSearchAnswer(d);
    case TransportKind::Netbios: return BuildLegacyNetbiosSearchAnswer(d);
  }
  return {};
}

}  // namespace vek::emu
