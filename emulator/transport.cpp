#include "emulator/transport.h"

#include <algorithm>
#include <cstdio>

namespace vek::emu {

const char* TransportName(TransportKind kind) {
  switch (kind) {
    case TransportKind::Udp: return "udp";
    case TransportKind::Ipx: return "ipx";
    case TransportKind::Netbios: return "netbios";
  }
  return "?";
}

std::string Peer::Text() const {
  char text[96];
  switch (kind) {
    case TransportKind::Udp:
      std::snprintf(text, sizeof(text), "%u.%u.%u.%u:%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                    address & 0xFF, port);
      return text;
    case TransportKind::Ipx:
      std::snprintf(text, sizeof(text), "%02X%02X%02X%02X:%02X-%02X-%02X-%02X-%02X-%02X:%04X", network[0], network[1],
                    network[2], network[3], node[0], node[1], node[2], node[3], node[4], node[5], port);
      return text;
    case TransportKind::Netbios: {
      std::string shown;
      for (std::uint8_t c : name) shown += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '.';
      return "lana " + std::to_string(lana) + " \"" + shown + "\"";
    }
  }
  return "?";
}

Peer UdpPeer(std::uint32_t address, std::uint16_t port) {
  Peer p;
  p.kind = TransportKind::Udp;
  p.address = address;
  p.port = port;
  return p;
}

Peer IpxPeer(const std::array<std::uint8_t, 4>& network, const std::array<std::uint8_t, 6>& node,
             std::uint16_t socket) {
  Peer p;
  p.kind = TransportKind::Ipx;
  p.network = network;
  p.node = node;
  p.port = socket;
  return p;
}

Peer NetbiosPeer(int lana, std::span<const std::uint8_t> name) {
  Peer p;
  p.kind = TransportKind::Netbios;
  p.lana = lana;
  std::copy_n(name.begin(), std::min(name.size(), p.name.size()), p.name.begin());
  return p;
}

}  // namespace vek::emu
