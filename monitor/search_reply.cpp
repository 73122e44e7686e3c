#include "search_reply.h"

#include <algorithm>
#include <cstring>

#include "monitor_globals.h"

namespace {

// The datagram, with every byte past its end read as zero.
class Datagram {
 public:
  Datagram(const BYTE* data, std::size_t length) : m_data(data), m_length(data ? length : 0) {}
  BYTE At(std::size_t at) const { return at < m_length ? m_data[at] : 0; }
  WORD Word(std::size_t at) const { return static_cast<WORD>(At(at) | (At(at + 1) << 8)); }
  void Copy(std::size_t at, void* out, std::size_t count) const {
    auto* bytes = static_cast<BYTE*>(out);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = At(at + i);
  }
  bool Starts(const char* magic) const {
    for (std::size_t i = 0; magic[i]; ++i)
      if (At(i) != static_cast<BYTE>(magic[i])) return false;
    return true;
  }

 private:
  const BYTE* m_data;
  std::size_t m_length;
};

constexpr std::size_t kNameLength = 18;

// The port word of the older IPX and NetBEUI answers.
int OlderPortCount(WORD word) {
  if (word >= 1 && word <= 3) return word;
  return word == 5 ? 3 : 1;
}

// The older TCP/IP answer tells its ports by its model byte.
int OlderUdpPortCount(const Datagram& d) {
  const auto model = static_cast<signed char>(d.At(0x0C));
  if (model > 7) return std::clamp(static_cast<int>(static_cast<signed char>(d.At(0x1F3))), 0, kMaxServerPorts);
  return model == 6 || model == 7 ? 3 : 1;
}

}  // namespace

bool ReadSearchReply(const BYTE* data, std::size_t length, int protocol, int requestsSent, SearchReply* reply) {
  if (reply == nullptr) return false;
  *reply = SearchReply{};
  const Datagram d(data, length);
  std::size_t node = 0, name = 0;
  if (protocol == PACKET_TYPE_IPX && d.Starts("QI") && d.At(2) == 0x84) {
    node = 0x16;
    name = 0x04;
    reply->ports = OlderPortCount(d.Word(0x1E1));
    reply->version[0] = d.At(0x1DB);
    reply->version[1] = d.At(0x1DC);
  } else if (protocol == PACKET_TYPE_UDP && d.Starts("QI") && d.At(2) == 0x80) {
    node = 0x06;
    name = 0x48;
    reply->ports = OlderUdpPortCount(d);
    d.Copy(0x1FC, reply->ipAddress, 4);
    reply->version[0] = d.At(0x15);
    reply->version[1] = d.At(0x14);
    reply->keepsCopy = true;
    reply->late = requestsSent >= 6;
  } else if (protocol == PACKET_TYPE_NETBEUI && d.At(0) == 0x70 && d.At(1) == 0x70) {
    node = 0x16;
    name = 0x04;
    reply->ports = OlderPortCount(d.Word(0x1E));
    reply->version[0] = d.At(0x1C);
    reply->version[1] = d.At(0x1D);
  } else if (d.Starts("NET") && d.At(4) == 0x84 &&
             (protocol == PACKET_TYPE_IPX || protocol == PACKET_TYPE_UDP || protocol == PACKET_TYPE_NETBEUI)) {
    node = 0x06;
    name = 0x0E;
    reply->model = 1;
    reply->ports = d.At(0x21) >> 6;
    reply->version[0] = d.At(0x0C);
    reply->version[1] = d.At(0x0D);
    reply->keepsCopy = true;
    if (protocol == PACKET_TYPE_UDP) {
      d.Copy(0x22, reply->ipAddress, 4);
      reply->late = requestsSent >= 3;
    }
  } else {
    return false;
  }
  d.Copy(node, reply->nodeId, 6);
  d.Copy(name, reply->name, kNameLength);
  reply->name[kNameLength] = 0;
  return reply->ports > 0;
}
