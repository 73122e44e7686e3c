// One emulated print server: its configuration, its live state, and what it
// answers to a request. Answers are datagrams, each with the delay it is to be
// sent after; the emulator sends them from the device's own address.
//
// Besides searches and status it takes configurations (the whole reply, in
// blocks, or through the secured exchange), checks password logins, and
// restarts: silent for a while, then answering at its configured address (or an
// address from the DHCP pool). Every configuration it takes is applied to its
// state, so later answers show it.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/device_crypto.h"
#include "emulator/faults.h"

namespace vek::emu {

using SteadyClock = std::chrono::steady_clock;

struct Outgoing {
  std::vector<std::uint8_t> bytes;
  int delayMs = 0;
};

// How the device took a configuration, for tests.
enum class UploadPath { None, Whole, Blocks, Secured };

struct DeviceCounters {
  int configurations = 0;  // configurations applied
  UploadPath lastPath = UploadPath::None;
  int restarts = 0;
  int loginsAccepted = 0;
  int loginsRefused = 0;
  int secureRefused = 0;   // secured configurations refused (bad MAC or layout)
};

// The 2-byte key a host sends when no password is given.
constexpr std::uint8_t kFallbackKey[2] = {0x56, 0x4B};

class Device {
 public:
  // A device with the secured exchange and no modulus of its own gets a new key.
  explicit Device(DeviceConfig config);

  std::vector<Outgoing> Answer(std::span<const std::uint8_t> request, SteadyClock::time_point now);

  DeviceConfig Config() const;
  DeviceCounters Counters() const;
  void SetPortStatus(std::uint8_t status, std::uint8_t status2);
  // False when the key of the secured exchange could not be made.
  bool KeyReady() const;

  // Where it listens now (host order).
  std::uint32_t ListenAddress() const;
  bool Silent(SteadyClock::time_point now) const;
  // A restart whose silence is over: true, with whether the device takes its
  // address from DHCP and the static address otherwise. The emulator opens the
  // new socket and calls Resumed with the address it listens at.
  bool RestartDue(SteadyClock::time_point now, bool* dhcp, std::uint32_t* address) const;
  void Resumed(std::uint32_t address);

 private:
  struct SecureSession {
    int stage = 0;  // 0 none, 1 key answered, 2 nonce sent, 3 complete
    std::vector<std::uint8_t> keyCiphertext;
    std::uint8_t aesKey[16] = {};
    std::uint8_t nonce[16] = {};
    std::vector<std::uint8_t> keyAnswer, nonceAnswer, doneAnswer, firstAnswer;
    std::map<int, std::vector<std::uint8_t>> fragments;
  };

  std::vector<Outgoing> AnswerLocked(std::span<const std::uint8_t> request, MessageKind kind,
                                     SteadyClock::time_point now);
  std::vector<Outgoing> Search(bool multi);
  std::vector<Outgoing> WholeUpload(std::span<const std::uint8_t> request, SteadyClock::time_point now);
  std::vector<Outgoing> Block(std::span<const std::uint8_t> request);
  std::vector<Outgoing> Secure(std::span<const std::uint8_t> body);
  std::vector<Outgoing> Login(std::span<const std::uint8_t> body);
  std::vector<std::uint8_t> SecureAnswer(std::uint16_t type, std::uint8_t status,
                                         std::span<const std::uint8_t> payload = {}, int payloadLength = -1);
  std::vector<std::uint8_t> PasswordKey() const;
  bool Apply(std::span<const std::uint8_t> reply, UploadPath path);
  void ForeignMac(std::vector<std::uint8_t>& datagram, bool part) const;

  mutable std::mutex m_lock;
  DeviceConfig m_config;
  FaultSet m_faults;
  std::shared_ptr<DeviceKey> m_key;
  DeviceCounters m_counters;
  std::uint32_t m_listenAddress;
  bool m_restarting = false;
  SteadyClock::time_point m_resumeAt;
  // The last whole configuration, so its copies are answered once.
  std::vector<std::uint8_t> m_lastUpload;
  SteadyClock::time_point m_lastUploadAt;
  // Blocks of the configuration in assembly.
  int m_blockCount = 0;
  int m_nextBlock = 0;
  bool m_blockAckedEarly = false;
  std::vector<std::uint8_t> m_blocks;
  SecureSession m_secure;
};

}  // namespace vek::emu
