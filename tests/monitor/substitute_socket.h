// A socket the tests feed: what the port sends is recorded, what it receives is
// queued by the test with the address it comes from. A receive with nothing
// queued is counted: a real socket would wait there for the next datagram, up to
// its time-out.
#pragma once

#include <cstring>
#include <deque>
#include <vector>

#include "xudp_socket.h"

namespace vek::test {

using Bytes = std::vector<BYTE>;

class SubstituteSocket : public XUDPSocket {
 public:
  struct Incoming {
    Bytes data;
    BYTE from[4];
    u_short port;
  };

  BOOL Create(int) override {
    m_bCreated = TRUE;
    return TRUE;
  }
  BOOL Close() override {
    m_bCreated = FALSE;
    return TRUE;
  }
  BOOL IsEmpty() override { return incoming.empty(); }
  int Send(const BYTE* data, int length) override {
    sent.emplace_back(data, data + length);
    sentTo.push_back(m_Address);
    return TRUE;
  }
  int Receive(BYTE* buffer, int size) override {
    if (incoming.empty()) {
      waits++;
      return 0;
    }
    Incoming next = incoming.front();
    incoming.pop_front();
    if (static_cast<int>(next.data.size()) > size) return 0;
    if (!next.data.empty()) std::memcpy(buffer, next.data.data(), next.data.size());
    m_Address.sin_family = AF_INET;
    std::memcpy(&m_Address.sin_addr, next.from, 4);
    m_Address.sin_port = next.port;
    return static_cast<int>(next.data.size());
  }

  void Queue(const Bytes& data, const BYTE (&from)[4], u_short port = htons(0x5050)) {
    Incoming in{data, {}, port};
    std::memcpy(in.from, from, 4);
    incoming.push_back(in);
  }

  std::deque<Incoming> incoming;
  std::vector<Bytes> sent;
  std::vector<sockaddr_in> sentTo;
  int waits = 0;
};

// The device's acknowledgement of a generation.
inline Bytes AckOf(int model, BYTE sequence) {
  if (model == 1) return {'N', 'E', 'T', 0x60, 0x8B, 0, 1, sequence, 0, 1};
  return {'Q', 'I', 0x8B, 0, 1, sequence, 0, 1};
}

}  // namespace vek::test
