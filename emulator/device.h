// One emulated print server: its configuration, its live state, and what it
// does with a datagram. Answers are datagrams, each with the delay it is to be
// sent after and the endpoint it leaves from; the emulator sends them.
//
// A device of generation 1 ("NET") answers the wizard on UDP: searches, status
// and the texts of its ports, configurations (the whole reply, in blocks, or
// through the secured exchange), password logins, and restarts: silent for a
// while, then answering at its configured address (or an address from the DHCP
// pool). A configuration it takes is kept at once (Config) but comes into
// force at its next restart: until then its searches report the settings it
// runs (InForce), and its logins check the password in force.
// On every transport it serves (UDP, IPX, NetBIOS), a device of either
// generation answers the host's search and status query and takes print jobs on
// its ports (print_service.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/device_config.h"
#include "emulator/device_crypto.h"
#include "emulator/faults.h"
#include "emulator/print_service.h"
#include "emulator/spool.h"
#include "emulator/transport.h"

namespace vek::emu {

// How the device took a configuration, for tests.
enum class UploadPath { None, Whole, Blocks, Secured };

struct DeviceCounters {
  int configurations = 0;  // configurations applied
  UploadPath lastPath = UploadPath::None;
  int restarts = 0;
  int loginsAccepted = 0;
  int loginsRefused = 0;
  std::vector<std::uint8_t> lastLoginKey;  // the password key of the last login, decrypted
  int secureRefused = 0;   // secured configurations refused (bad MAC or layout)
};

// The 2-byte key a host sends when no password is given.
constexpr std::uint8_t kFallbackKey[2] = {0x56, 0x4B};

// What a device made of a datagram.
struct Handling {
  std::vector<Outgoing> out;
  const char* kind = "other";  // search, status, connect, data, eoj, upload, ...
  std::uint16_t command = 0;   // its command word in the device's dialect; 0: not its dialect
  std::string note;            // what became of it, when there is more to say than the answers
};

class Device {
 public:
  // A device with the secured exchange and no modulus of its own gets a new key.
  // Jobs go to spool (none: they are taken and dropped); index names the device
  // in their records.
  explicit Device(DeviceConfig config, JobSpool* spool = nullptr, std::size_t index = 0);

  Handling Receive(const Inbound& datagram, SteadyClock::time_point now);
  // Acknowledgements and datagrams held back that fell due.
  std::vector<Outgoing> Tick(SteadyClock::time_point now);
  std::optional<SteadyClock::time_point> NextWake() const;
  // Cuts off the jobs still open.
  void Shutdown(SteadyClock::time_point now);
  PrintCounters PrintCounts() const;

  // The configuration it holds: its own, with every configuration it took.
  DeviceConfig Config() const;
  // The settings it runs and reports: Config once it has restarted after the
  // last configuration it took.
  DeviceConfig InForce() const;
  // Fixed for the device's life, so cheap to ask for every datagram.
  const DeviceConfig::Transports& Transports() const { return m_transports; }
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

  // Generation 1 on UDP: everything but the print messages.
  std::vector<Outgoing> AnswerNet(std::span<const std::uint8_t> request, MessageKind kind,
                                  SteadyClock::time_point now, std::string* note);
  std::vector<Outgoing> AnswerLocked(std::span<const std::uint8_t> request, MessageKind kind,
                                     SteadyClock::time_point now, std::string* note);
  void Restart(std::span<const std::uint8_t> request, SteadyClock::time_point now, std::string* note);
  const DeviceConfig& Running() const { return m_inForce ? *m_inForce : m_config; }
  void AnswerStatus(const Dialect& dialect, const Peer& to, SteadyClock::time_point now, Handling* handling);
  void AnswerSearch(const PrintRequest& request, const Inbound& datagram, const Dialect& dialect,
                    SteadyClock::time_point now, Handling* handling);
  std::vector<Outgoing> Search(bool multi);
  std::vector<Outgoing> WholeUpload(std::span<const std::uint8_t> request, SteadyClock::time_point now);
  std::vector<Outgoing> Block(std::span<const std::uint8_t> request);
  std::vector<Outgoing> PortInfo(std::span<const std::uint8_t> request) const;
  std::vector<Outgoing> Secure(std::span<const std::uint8_t> body);
  std::vector<Outgoing> Login(std::span<const std::uint8_t> body);
  std::vector<std::uint8_t> SecureAnswer(std::uint16_t type, std::uint8_t status,
                                         std::span<const std::uint8_t> payload = {}, int payloadLength = -1);
  std::vector<std::uint8_t> PasswordKey() const;
  bool Apply(std::span<const std::uint8_t> reply, UploadPath path);
  void ForeignMac(std::vector<std::uint8_t>& datagram, bool part) const;

  mutable std::mutex m_lock;
  DeviceConfig m_config;
  // The settings in force while a configuration taken waits for the restart.
  std::optional<DeviceConfig> m_inForce;
  const DeviceConfig::Transports m_transports;
  const int m_generation;
  FaultSet m_faults;
  std::uint32_t m_strangers = 0;  // the flood's strangers so far
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
  PrintService m_print;
};

}  // namespace vek::emu
