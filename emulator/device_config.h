// What an emulated print server is: its identity and every setting it reports in
// its information reply, in the device's own terms (raw register values, not the
// wizard's list indexes).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "emulator/faults.h"

namespace vek::emu {

// Capability bits the device announces (bit numbers of the capability word).
namespace cap {
constexpr std::uint32_t kPortLength = 1u << 3;
constexpr std::uint32_t kSixth = 1u << 12;
constexpr std::uint32_t kWireless = 1u << 14;
constexpr std::uint32_t kWirelessOption = 1u << 15;
constexpr std::uint32_t kGRates = 1u << 16;
constexpr std::uint32_t k8021X = 1u << 17;
constexpr std::uint32_t kTextLength = 1u << 18;
constexpr std::uint32_t kWpaPsk = 1u << 19;
constexpr std::uint32_t kSecurity = 1u << 20;
constexpr std::uint32_t kWpa2Psk = 1u << 21;
constexpr std::uint32_t kTxMode = 1u << 22;
constexpr std::uint32_t kSecureConfig = 1u << 23;
}  // namespace cap

// Widths of the device's text registers (characters, without terminator).
namespace width {
constexpr std::size_t kName = 18;
constexpr std::size_t kPassword = 8;
constexpr std::size_t kFirmwareText = 15;
constexpr std::size_t kGeneralText = 8;
constexpr std::size_t kCountedText = 254;
constexpr std::size_t kNamesText1 = 15;
constexpr std::size_t kNamesText2 = 24;
constexpr std::size_t kPortText = 32;
constexpr std::size_t kPortText3 = 12;
constexpr std::size_t kPortName = 20;
constexpr std::size_t kPortInfo = 40;
constexpr std::size_t kKeyLabel = 32;
constexpr std::size_t kKeyText = 200;
constexpr std::size_t kSsid = 32;
constexpr std::size_t kUser8021X = 21;
constexpr std::size_t kWpaPsk = 64;
constexpr std::size_t kText = 13;
constexpr std::size_t kSixth = 200;
constexpr std::size_t kModulus = 254;
}  // namespace width

struct WirelessSettings {
  std::uint8_t commType = 0;       // 0 infrastructure, 1 ad hoc, 2 802.11b ad hoc
  std::string ssid;
  std::uint8_t domain = 0;         // channel domain code
  std::uint8_t channel = 1;
  std::uint8_t rateMask = 15;      // 802.11b rates: 3, 4, 8 or 15
  std::uint8_t authType = 2;       // authentication type + 1
  std::uint8_t wepMode = 0;        // 0 off, 1 64-bit, 2 128-bit
  std::uint8_t wepKeyIndex = 0;
  std::array<std::array<std::uint8_t, 5>, 4> wepKeys64{};
  std::array<std::uint8_t, 13> wepKey128{};
  std::uint8_t wepKeyFormat = 0;   // 0 alphanumeric, 1 hexadecimal
  std::uint8_t loginMode = 0;
  std::uint8_t wirelessOption = 0;
};

struct SecuritySettings {
  std::uint8_t rateG = 255;        // 0 none, 255 auto, else one rate bit
  std::uint8_t method8021X = 0;
  std::string user8021X;
  std::string password8021X;
  std::string wpaPsk;
  std::uint8_t txMode = 0;         // 1 B only, 2 G only, other auto
  std::uint8_t encryption = 0;
};

struct DeviceConfig {
  int line = 0;  // where the [device] section began, for messages
  std::array<std::uint8_t, 6> mac{};
  std::string name;
  std::uint8_t firmwareMajor = 1;
  std::uint8_t firmwareMinor = 0;
  std::string firmwareText;
  std::uint8_t model = 0;  // 0 to 63
  int ports = 1;           // 1 to 3
  std::uint32_t address = 0;  // host order; the device's own loopback address
  std::uint32_t capabilities = 0;
  bool replyFlag = false;  // answer searches with 0x0184 instead of 0x0084

  // System section.
  std::uint8_t systemFlags = 0;
  std::uint8_t switches = 0;
  std::uint8_t settingValue = 0;
  std::string password;

  // General section and the bytes after it.
  std::uint8_t generalValue = 2;
  std::string generalText;
  std::uint8_t generalExtra = 0;
  std::string generalText1;
  std::string generalText2;

  // IP section.
  std::uint32_t subnetMask = 0xFF000000u;
  std::uint32_t gateway = 0;
  bool dhcp = false;

  // Names section.
  std::string namesText1;
  std::string namesText2;

  // Port section.
  std::string portText1;
  std::string portText2;
  std::string portText3;
  std::array<std::string, 3> portNames;
  std::array<std::uint8_t, 3> portValues{};
  // The three texts of each port that the port-information query (0x10) answers.
  std::array<std::array<std::string, 3>, 3> portInfo;

  // Key-text section.
  std::string keyLabel;
  std::string keyText;

  std::vector<std::uint8_t> sixth;

  WirelessSettings wireless;

  // Port-type section: per port, type 0 to 3 and digit 0 to 3.
  std::array<std::uint8_t, 3> portTypes{};
  std::array<std::uint8_t, 3> portDigits{};
  bool digitsGiven = false;  // else the device leaves the numbering to the host

  SecuritySettings security;

  std::array<std::string, 3> texts;

  // The device's RSA public modulus, big-endian. Left empty on a device with the
  // secured exchange, it is taken from a key of rsaBits (exponent 3) that the
  // emulator makes at start; a modulus given here is published as it is, with
  // no private key behind it, so such a device refuses every secured message.
  std::vector<std::uint8_t> rsaModulus;
  int rsaBits = 1024;
  // The answer to the opening of the secured exchange: 4 (use the key of the
  // information reply, which the host reads as 1024 bits) or 6 (the modulus in
  // the answer); 0 picks 4 for a 128-byte modulus, else 6.
  std::uint8_t keyAnswer = 0;

  // Live state reported by the status query.
  std::uint8_t portStatus = 0;
  std::uint8_t portStatus2 = 0;

  // Which searches it answers: Auto answers the single-reply search always and
  // the multi-part one with the security capability.
  enum class SearchReplies { Auto, Single, Multi, Both };
  SearchReplies searchReplies = SearchReplies::Auto;
  // Data bytes per part of a multi-part reply.
  std::size_t partSize = 400;
  // The number of its first part (0 or 1); the last part's number follows on.
  std::uint8_t partBase = 1;
  // After a restart request the device is silent this long, then answers at its
  // configured address (or one from the DHCP pool when DHCP is on).
  int restartSilenceMs = 1500;
  std::vector<Fault> faults;
  std::uint64_t seed = 1;  // of the faults given with a rate

  // Print service.
  int generation = 1;  // 0: the older "QI" devices; 1: "NET" devices
  struct Transports {
    bool udp = true;
    bool ipx = false;
    bool netbios = false;
  } transports;
  std::array<std::uint8_t, 4> ipxNetwork{};  // zero: the emulator's own network
  std::string netbiosName;                   // empty: made from the name (NetbiosNameOf)
  int dataLength = 1450;                     // announced by a generation-1 connect answer
  int window = 8;                            // likewise; hosts take 1 to 8
  int reackMs = 200;                         // idle gap before the last acknowledgement goes again
                                             // (doubling up to 8 times while the host is silent)
  int ackDelayMs = 2;                        // after a short packet or a gap, before acknowledging
  // From the packet that completes a window (or calls for an acknowledgement
  // otherwise) to its acknowledgement, in microseconds: the device's turnaround.
  // 0, the default, answers from the receive path at once, as the device does
  // on its own segment: its turnaround is a few tens of microseconds, about what
  // handling the datagram here already costs, so adding more would only model a
  // slower device and slow every test's jobs. Set it to play a slow device or a
  // long path (1000: a millisecond).
  int ackLatencyUs = 0;
  int sessionTimeoutMs = 300000;             // a job whose host is silent this long is cut off
  std::uint32_t strayAddress = 0;            // zero: host 254 of the device's /24
  std::array<std::uint8_t, 6> strayNode{};   // zero: the MAC with its last byte inverted
  int portWord = -1;                         // generation-0 search answers; -1: ports
  // Which UDP searches it answers, by the flag in the command word's high byte.
  enum class SearchFlag { Any, Flagged, Unflagged };
  SearchFlag searchFlag = SearchFlag::Any;
};

// The device's unique NetBIOS name, as given or made from its name (cut to 15
// characters; "VEK" and the MAC's last three bytes when it has none).
std::string NetbiosNameOf(const DeviceConfig& device);

// A network the router announces: network number, hops, ticks.
struct RipRoute {
  std::array<std::uint8_t, 4> network{};
  std::uint16_t hops = 1;
  std::uint16_t ticks = 2;
};

// The IPX router the emulator can play: a station that answers routing-
// information requests with its list of networks.
struct RouterConfig {
  bool enabled = false;
  std::array<std::uint8_t, 4> network{};  // its own; zero: the emulator's own network
  std::array<std::uint8_t, 6> node = {0x02, 0x00, 0x52, 0x54, 0x00, 0x01};
  std::vector<RipRoute> routes;
  bool routesGiven = false;  // else: the networks of the devices on IPX
};

struct EmulatorConfig {
  std::string broadcast;  // dotted; empty: take the net layer's mapping
  // Addresses (host order) a device with DHCP on is given when it restarts.
  std::vector<std::uint32_t> dhcpPool;
  std::string spoolDir;           // where received jobs go; empty: the program picks
  std::vector<int> netbiosLanas;  // empty: the LANAs the NetBIOS layer has
  RouterConfig router;
  std::vector<DeviceConfig> devices;
};

// Parses a configuration text (format at the top of device_config.cpp). On
// failure returns false and sets *error to "SOURCE:LINE: message".
bool ParseEmulatorConfig(const std::string& text, const std::string& source, EmulatorConfig* config,
                         std::string* error);
bool LoadEmulatorConfig(const std::string& path, EmulatorConfig* config, std::string* error);

std::string FormatMac(const std::array<std::uint8_t, 6>& mac);
std::string FormatNetwork(const std::array<std::uint8_t, 4>& network);
std::string FormatIpv4(std::uint32_t hostOrder);

}  // namespace vek::emu
