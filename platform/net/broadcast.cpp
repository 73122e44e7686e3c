#include "net/broadcast.h"

#include <cstdlib>
#include <mutex>
#include <optional>

#include "net/address_text.h"
#include "net/byte_order.h"

namespace vek::net {
namespace {

constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

std::mutex g_lock;
std::optional<std::uint32_t> g_override;  // network byte order

}  // namespace

bool SetBroadcastAddress(const char* dotted) {
  if (dotted == nullptr) {
    ResetBroadcastAddress();
    return true;
  }
  std::uint32_t address = 0;
  if (!ParseDottedAddress(dotted, &address)) return false;
  std::lock_guard guard(g_lock);
  g_override = htonl(address);
  return true;
}

void ResetBroadcastAddress() {
  std::lock_guard guard(g_lock);
  g_override.reset();
}

std::uint32_t MappedBroadcastAddress() {
  {
    std::lock_guard guard(g_lock);
    if (g_override) return *g_override;
  }
  std::uint32_t address = 0;
  if (ParseDottedAddress(std::getenv("VEK_BROADCAST"), &address)) return htonl(address);
  return kLimitedBroadcast;
}

}  // namespace vek::net
