// Datagrams already taken from the operating system but not yet read by the caller.
// Lets FIONREAD count every queued datagram (as Windows does) and lets a receive
// refuse an oversize datagram without writing the caller's buffer.
//
// Not thread-safe: the owning socket guards it with its own lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <utility>
#include <vector>

#include "kernel/types.h"
#include "net/wsa_errors.h"

namespace vek::net {

template <typename Address>
struct Datagram {
  std::vector<std::uint8_t> data;
  Address from{};
};

template <typename Address>
class DatagramQueue {
 public:
  bool Empty() const { return m_items.empty(); }
  std::size_t Count() const { return m_items.size(); }
  // Sum of the sizes of all queued datagrams (empty ones count 0).
  std::size_t TotalBytes() const { return m_bytes; }

  void Push(Datagram<Address> datagram) {
    m_bytes += datagram.data.size();
    m_items.push_back(std::move(datagram));
  }

  // Copies the head datagram into buffer and removes it (kept when peeking).
  // Longer than length: WSAEMSGSIZE, buffer untouched, and the datagram is dropped
  // unless peeking: Windows never hands out part of a datagram.
  DWORD Take(char* buffer, int length, bool peek, Address* from, int* received) {
    if (m_items.empty()) return static_cast<DWORD>(WSAEWOULDBLOCK);
    Datagram<Address>& head = m_items.front();
    const std::size_t size = head.data.size();
    if (length < 0 || size > static_cast<std::size_t>(length)) {
      if (!peek) PopFront();
      return static_cast<DWORD>(WSAEMSGSIZE);
    }
    if (size > 0) std::memcpy(buffer, head.data.data(), size);
    if (from) *from = head.from;
    *received = static_cast<int>(size);
    if (!peek) PopFront();
    return 0;
  }

 private:
  void PopFront() {
    m_bytes -= m_items.front().data.size();
    m_items.pop_front();
  }

  std::deque<Datagram<Address>> m_items;
  std::size_t m_bytes = 0;
};

}  // namespace vek::net
