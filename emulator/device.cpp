#include "emulator/device.h"

#include <cstring>

#include "emulator/info_reply.h"

namespace vek::emu {

std::optional<std::vector<std::uint8_t>> Device::Answer(std::span<const std::uint8_t> request) {
  // Requests of this generation: "NET", a type byte and the command word.
  if (request.size() < 6 || std::memcmp(request.data(), "NET", 3) != 0) return std::nullopt;
  const std::uint8_t operation = request[4];
  std::lock_guard guard(m_lock);
  switch (operation) {
    case kOpSearch:
      // Either flag byte: the single reply is the same.
      return BuildInformationReply(m_config);
    case kOpStatus:
      return BuildStatusReply(m_config);
    default:
      return std::nullopt;  // replies of other devices, and what this version does not serve
  }
}

DeviceConfig Device::Config() const {
  std::lock_guard guard(m_lock);
  return m_config;
}

void Device::SetPortStatus(std::uint8_t status, std::uint8_t status2) {
  std::lock_guard guard(m_lock);
  m_config.portStatus = status;
  m_config.portStatus2 = status2;
}

}  // namespace vek::emu
