#include "net/netbios_config.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "net/byte_order.h"
#include "net/netbios_segment.h"
#include "net/segment_endpoint.h"

namespace vek::net {
namespace {

constexpr const char* kDefaultSegment = "127.255.255.255:28600";
constexpr const char* kDefaultLanas = "0";
constexpr DWORD kDefaultClaimMs = 300;
constexpr int kHighestLana = 254;

struct Overrides {
  std::mutex lock;
  std::optional<Ipv4Endpoint> segment;
  std::optional<std::vector<int>> lanas;
  std::optional<DWORD> claimMs;
};

Overrides& State() {
  static Overrides* state = new Overrides;  // read by the segment threads until the process ends
  return *state;
}

// Nothing when the text holds no valid entry at all.
std::optional<std::vector<int>> ParseLanas(const char* text) {
  if (text == nullptr) return std::nullopt;
  std::vector<int> lanas;
  std::string entry;
  const std::string all = std::string(text) + ",";
  for (char c : all) {
    if (c != ',') {
      entry += c;
      continue;
    }
    const bool digits = !entry.empty() && entry.size() <= 3 &&
                        std::all_of(entry.begin(), entry.end(), [](char d) { return d >= '0' && d <= '9'; });
    if (digits && std::stoi(entry) <= kHighestLana) lanas.push_back(std::stoi(entry));
    entry.clear();
  }
  if (lanas.empty()) return std::nullopt;
  std::sort(lanas.begin(), lanas.end());
  lanas.erase(std::unique(lanas.begin(), lanas.end()), lanas.end());
  return lanas;
}

Ipv4Endpoint BaseSegment() {
  {
    std::lock_guard guard(State().lock);
    if (State().segment) return *State().segment;
  }
  Ipv4Endpoint segment;
  if (ParseSegmentEndpoint(std::getenv("VEK_NETBIOS_SEGMENT"), &segment)) return segment;
  ParseSegmentEndpoint(kDefaultSegment, &segment);
  return segment;
}

}  // namespace

bool SetNetbiosSegment(const char* text) {
  Ipv4Endpoint segment;
  if (!ParseSegmentEndpoint(text, &segment)) return false;
  std::lock_guard guard(State().lock);
  State().segment = segment;
  return true;
}

bool SetNetbiosLanas(const char* text) {
  auto lanas = ParseLanas(text);
  if (!lanas) return false;
  std::lock_guard guard(State().lock);
  State().lanas = std::move(lanas);
  return true;
}

void SetNetbiosClaimPeriod(DWORD milliseconds) {
  std::lock_guard guard(State().lock);
  State().claimMs = milliseconds;
}

void ResetNetbiosConfiguration() {
  std::lock_guard guard(State().lock);
  State().segment.reset();
  State().lanas.reset();
  State().claimMs.reset();
}

std::vector<int> ConfiguredNetbiosLanas() {
  {
    std::lock_guard guard(State().lock);
    if (State().lanas) return *State().lanas;
  }
  if (auto lanas = ParseLanas(std::getenv("VEK_NETBIOS_LANAS"))) return *lanas;
  return *ParseLanas(kDefaultLanas);
}

std::vector<NetbiosRegistryValue> NetbiosRegistryValues() {
  std::vector<NetbiosRegistryValue> values;
  values.push_back({"SOFTWARE\\Microsoft\\Rpc\\ClientProtocols", "ncacn_nb_nb", "vek-netbios"});
  for (int lana : ConfiguredNetbiosLanas()) {
    values.push_back({"SOFTWARE\\Microsoft\\Rpc\\Netbios", "ncacn_nb_nb" + std::to_string(lana),
                      std::to_string(lana)});
  }
  return values;
}

std::optional<Ipv4Endpoint> NetbiosSegmentEndpoint(int lana) {
  Ipv4Endpoint segment = BaseSegment();
  const unsigned port = ntohs(segment.port) + static_cast<unsigned>(lana);
  if (lana < 0 || port > 65535) return std::nullopt;
  segment.port = htons(static_cast<std::uint16_t>(port));
  return segment;
}

bool NetbiosLanaConfigured(int lana) {
  const std::vector<int> lanas = ConfiguredNetbiosLanas();
  return std::binary_search(lanas.begin(), lanas.end(), lana);
}

DWORD NetbiosClaimPeriodMs() {
  {
    std::lock_guard guard(State().lock);
    if (State().claimMs) return *State().claimMs;
  }
  const char* text = std::getenv("VEK_NETBIOS_CLAIM_MS");
  if (text != nullptr && *text != '\0' && std::strlen(text) <= 6 &&
      std::all_of(text, text + std::strlen(text), [](char d) { return d >= '0' && d <= '9'; }))
    return static_cast<DWORD>(std::atol(text));
  return kDefaultClaimMs;
}

}  // namespace vek::net
