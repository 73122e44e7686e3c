// One emulated print server: its configuration, its live state, and what it
// answers to a request.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "emulator/device_config.h"

namespace vek::emu {

class Device {
 public:
  explicit Device(DeviceConfig config) : m_config(std::move(config)) {}

  // The reply to one datagram, or nothing when the device does not answer it.
  std::optional<std::vector<std::uint8_t>> Answer(std::span<const std::uint8_t> request);

  DeviceConfig Config() const;
  void SetPortStatus(std::uint8_t status, std::uint8_t status2);

 private:
  mutable std::mutex m_lock;
  DeviceConfig m_config;
};

}  // namespace vek::emu
