// Configuration files of vek-emulator.
//
// An INI-like text, one setting per line:
//
//   # a comment (also ';'); blank lines are ignored; " # ..." ends a line
//   [emulator]                 optional; settings of the whole emulator
//   broadcast = 127.255.255.255
//
//   [device]                   one section per emulated print server
//   mac = 02:4E:57:00:00:01    required
//   address = 127.0.0.2        required: the device's own loopback address
//   name = "Office"            double quotes keep blanks and '#'; \" and \\ escape
//
// Numbers are decimal or 0x-hex; booleans yes/no, on/off, true/false, 1/0; lists
// are comma-separated. Every key may appear once per section. Keys of [device]:
//
//   identity   mac, address, name (18), firmware (MAJOR.MINOR, the minor in hex
//              as the wizard shows it: 1.0b), firmware_text (15), model (0-63),
//              ports (1-3), reply_flag (answer searches with 0x0184)
//   capability capabilities: numbers and names joined by '|', ',' or blanks:
//              port-length sixth wireless wireless-option g-rates 8021x
//              text-length wpa-psk security wpa2-psk tx-mode secure-config
//   system     system_flags, switches, setting (0-127), password (8)
//   general    general_value, general_text (8), general_extra, general_text1,
//              general_text2 (counted texts, 254 each)
//   TCP/IP     subnet, gateway, dhcp
//   names      names_text1 (15), names_text2 (24)
//   port       port_text1, port_text2 (32), port_text3 (12), port_names (list of
//              3 texts of 20), port_values (list of 3 values 0-2), port_info1,
//              port_info2, port_info3 (each the list of up to 3 texts of 40,
//              trimmed, that the port-information query answers for that port;
//              default empty; set system_flags bit 2 (0x04) so that hosts ask)
//   key text   key_label (32), key_text (200)
//   sixth      sixth (hex bytes, 200 at most)
//   wireless   comm_type (0 infrastructure, 1 ad hoc, 2 802.11b ad hoc), ssid
//              (32), domain, channel, tx_rate (rate mask 3, 4, 8 or 15),
//              auth_type (type + 1), wep_mode, wep_key_index, wep_key64 (list of
//              up to 4 keys of 5 hex bytes), wep_key128 (13 hex bytes),
//              wep_key_format, login_mode, wireless_option
//   port types port_types (list per port: P, U, - or 0-3), port_digits (list per
//              port: 0-3; when absent the host numbers the ports 1, 2, 3)
//   security   tx_rate_g (0, 255 or one rate bit), method_8021x, user_8021x (21),
//              password_8021x (21), wpa_psk (64), tx_mode, encryption
//   text       text1, text2, text3 (13 each)
//   key        rsa_modulus (hex bytes, big-endian, 254 at most; published as
//              given, with no private key); rsa_bits (512-2032, a multiple of 8;
//              the key a secure-config device makes at start, default 1024);
//              key_answer (4 or 6: how the device answers the opening of the
//              secured exchange)
//   status     port_status, port_status2
//   serving    search_replies (auto, single, multi or both), part_size (data
//              bytes per part of a multi-part reply, 16-1284), part_base (0 or
//              1: the number of the first part; default 1), restart_silence
//              (ms silent after a restart), faults (see emulator/faults.h), seed
//              (of the faults given with a rate; default 1)
//   printing   generation (1: "NET" devices, the default; 0: the older "QI"
//              devices), transports (list of udp, ipx, netbios; default udp),
//              ipx_network (8 hex digits; default the emulator's own network),
//              netbios_name (15 at most; default the name cut to 15),
//              data_length (1-65535, announced by a generation-1 connect answer;
//              default 1450), window (0-255, likewise; default 8), reack (ms of
//              silence after which the last acknowledgement goes again, the gap
//              doubling up to 8 times while the host stays silent; default 200, 0
//              never), ack_delay (ms from a short packet or a gap to its
//              acknowledgement; default 2), ack_latency (microseconds from
//              the packet that calls for an acknowledgement to the device's
//              answer; default 0, at once), session_timeout (ms a job's host may
//              be silent before the job is cut off; default 300000, 0 never),
//              stray_address (where stray datagrams come from on UDP; default
//              host 254 of the device's /24), stray_node (their IPX node; default
//              the MAC with its last byte inverted), port_word (the port count a
//              generation-0 search answer gives, 0-65535; default ports),
//              search_flag (any, flagged or unflagged: which UDP searches it
//              answers by the flag of their command word; default any)
//   many       copies (1-4096; default 1): the section plays that many devices,
//              each one's MAC and address one above the one before
//
// Keys of [emulator]: broadcast; dhcp_pool (addresses or FIRST-LAST ranges, for
// devices that restart with DHCP on); spool_dir (where each received job is
// written, one file per job); netbios_lanas (list of LANA numbers the devices
// are on; default every LANA of the NetBIOS layer).
//
// [router], when present, plays an IPX router answering routing-information
// requests: network (its own, 8 hex digits; default the emulator's own), node
// (default 02:00:52:54:00:01), networks (list of NETWORK[:HOPS[:TICKS]], hops
// and ticks 0-65535, default 1 and 2; default the networks of the IPX devices).
//
// Errors name the source and line: "two-devices.conf:12: unknown key 'nmae'".
#include "emulator/device_config.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "emulator/config_values.h"

namespace vek::emu {
namespace {

using namespace config;
using Handler = std::function<bool(DeviceConfig&, const std::string&, std::string*)>;

// The most devices one section plays.
constexpr std::uint64_t kMostCopies = 4096;

template <typename Get>
Handler TextKey(Get get, std::size_t width) {
  return [get, width](DeviceConfig& d, const std::string& value, std::string* why) {
    if (value.size() > width) {
      *why = "longer than " + std::to_string(width) + " characters";
      return false;
    }
    get(d) = value;
    return true;
  };
}

template <typename Get>
Handler ByteKey(Get get, std::uint64_t max = 255) {
  return [get, max](DeviceConfig& d, const std::string& value, std::string* why) {
    std::uint64_t n = 0;
    if (!ReadNumber(value, max, &n, why)) return false;
    get(d) = static_cast<std::uint8_t>(n);
    return true;
  };
}

template <typename Get>
Handler BoolKey(Get get) {
  return [get](DeviceConfig& d, const std::string& value, std::string* why) { return ReadBool(value, &get(d), why); };
}

template <typename Get>
Handler Ipv4Key(Get get) {
  return [get](DeviceConfig& d, const std::string& value, std::string* why) { return ReadIpv4(value, &get(d), why); };
}

const std::map<std::string, std::uint32_t>& CapabilityNames() {
  static const std::map<std::string, std::uint32_t> names = {
      {"port-length", cap::kPortLength}, {"sixth", cap::kSixth},         {"wireless", cap::kWireless},
      {"wireless-option", cap::kWirelessOption}, {"g-rates", cap::kGRates}, {"8021x", cap::k8021X},
      {"text-length", cap::kTextLength}, {"wpa-psk", cap::kWpaPsk},      {"security", cap::kSecurity},
      {"wpa2-psk", cap::kWpa2Psk},       {"tx-mode", cap::kTxMode},      {"secure-config", cap::kSecureConfig},
  };
  return names;
}

bool ReadCapabilities(const std::string& value, std::uint32_t* bits, std::string* why) {
  *bits = 0;
  for (const std::string& token : SplitList(value, "|, \t")) {
    if (token.empty()) continue;
    auto it = CapabilityNames().find(Lower(token));
    if (it != CapabilityNames().end()) {
      *bits |= it->second;
      continue;
    }
    std::uint64_t n = 0;
    std::string ignored;
    if (!ReadNumber(token, 0xFFFFFFFFu, &n, &ignored)) {
      *why = "unknown capability '" + token + "'";
      return false;
    }
    *bits |= static_cast<std::uint32_t>(n);
  }
  return true;
}

bool ReadFirmware(const std::string& value, DeviceConfig* d, std::string* why) {
  std::vector<std::string> parts = SplitList(value, ".");
  std::uint64_t major = 0, minor = 0;
  if (parts.size() != 2 || !ReadNumber(parts[0], 255, &major, why) ||
      !ReadNumber("0x" + parts[1], 255, &minor, why)) {
    *why = "'" + value + "' is not a firmware version like 1.0b (minor in hex)";
    return false;
  }
  d->firmwareMajor = static_cast<std::uint8_t>(major);
  d->firmwareMinor = static_cast<std::uint8_t>(minor);
  return true;
}

bool ReadPortInfo(const std::string& value, std::array<std::string, 3>* texts, std::string* why) {
  std::vector<std::string> items = SplitList(value);
  if (items.size() > 3) {
    *why = "more than 3 texts";
    return false;
  }
  *texts = {};
  for (std::size_t i = 0; i < items.size(); i++) {
    if (items[i].size() > width::kPortInfo) {
      *why = "text '" + items[i] + "' is longer than " + std::to_string(width::kPortInfo) + " characters";
      return false;
    }
    (*texts)[i] = items[i];
  }
  return true;
}

bool ReadPerPort(const std::string& value, std::uint64_t max, std::array<std::uint8_t, 3>* out, std::string* why,
                 bool letters) {
  std::vector<std::string> items = SplitList(value);
  if (items.size() > 3) {
    *why = "more than 3 ports";
    return false;
  }
  *out = {};
  for (std::size_t i = 0; i < items.size(); i++) {
    const std::string item = Lower(items[i]);
    if (letters && (item == "p" || item == "u" || item == "-")) {
      (*out)[i] = item == "p" ? 1 : item == "u" ? 2 : 0;
      continue;
    }
    std::uint64_t n = 0;
    if (!ReadNumber(item, max, &n, why)) return false;
    (*out)[i] = static_cast<std::uint8_t>(n);
  }
  return true;
}

template <std::size_t N>
bool ReadKeyBytes(const std::string& value, std::array<std::uint8_t, N>* key, std::string* why) {
  std::vector<std::uint8_t> bytes;
  if (!ReadHexBytes(value, &bytes, why)) return false;
  if (bytes.size() != N) {
    *why = "a key of " + std::to_string(N) + " bytes is needed, not " + std::to_string(bytes.size());
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), key->begin());
  return true;
}

bool ReadNetwork(const std::string& value, std::array<std::uint8_t, 4>* network, std::string* why) {
  std::vector<std::uint8_t> bytes;
  if (!ReadHexBytes(value, &bytes, why) || bytes.size() != 4 ||
      std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; }) ||
      std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0xFF; })) {
    *why = "'" + value + "' is not an IPX network number like 0000ABCD (not 0, not FFFFFFFF)";
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), network->begin());
  return true;
}

bool ReadRoutes(const std::string& value, std::vector<RipRoute>* routes, std::string* why) {
  routes->clear();
  for (const std::string& item : SplitList(value)) {
    std::vector<std::string> parts = SplitList(item, ":");
    RipRoute route;
    std::uint64_t n = 0;
    if (parts.empty() || parts.size() > 3 || !ReadNetwork(parts[0], &route.network, why)) {
      if (why->empty()) *why = "'" + item + "' is not NETWORK[:HOPS[:TICKS]]";
      return false;
    }
    if (parts.size() > 1) {
      if (!ReadNumber(parts[1], 0xFFFF, &n, why)) return false;
      route.hops = static_cast<std::uint16_t>(n);
    }
    if (parts.size() > 2) {
      if (!ReadNumber(parts[2], 0xFFFF, &n, why)) return false;
      route.ticks = static_cast<std::uint16_t>(n);
    }
    routes->push_back(route);
  }
  return true;
}

bool ReadTransports(const std::string& value, DeviceConfig::Transports* transports, std::string* why) {
  *transports = {false, false, false};
  std::vector<std::string> items = SplitList(value);
  if (items.empty()) {
    *why = "a device needs a transport: udp, ipx or netbios";
    return false;
  }
  for (const std::string& item : items) {
    const std::string name = Lower(item);
    if (name == "udp") transports->udp = true;
    else if (name == "ipx") transports->ipx = true;
    else if (name == "netbios") transports->netbios = true;
    else {
      *why = "unknown transport '" + item + "' (udp, ipx or netbios)";
      return false;
    }
  }
  return true;
}

template <typename Get>
Handler IntKey(Get get, std::uint64_t min, std::uint64_t max) {
  return [get, min, max](DeviceConfig& d, const std::string& value, std::string* why) {
    std::uint64_t n = 0;
    if (!ReadNumber(value, max, &n, why)) return false;
    if (n < min) {
      *why = "'" + value + "' is below " + std::to_string(min);
      return false;
    }
    get(d) = static_cast<int>(n);
    return true;
  };
}

bool ReadPool(const std::string& value, std::vector<std::uint32_t>* pool, std::string* why) {
  pool->clear();
  for (const std::string& item : SplitList(value)) {
    std::vector<std::string> ends = SplitList(item, "-");
    std::uint32_t first = 0, last = 0;
    if (ends.size() > 2 || ends.empty() || !ReadIpv4(ends[0], &first, why) ||
        !ReadIpv4(ends.size() == 2 ? ends[1] : ends[0], &last, why))
      return false;
    if (last < first || last - first > 1024) {
      *why = "'" + item + "' is not a range of at most 1024 addresses";
      return false;
    }
    for (std::uint32_t a = first; a <= last; a++) pool->push_back(a);
  }
  return true;
}

const std::map<std::string, Handler>& DeviceKeys() {
  static const std::map<std::string, Handler> keys = {
      {"mac", [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadMac(v, &d.mac, why); }},
      {"address", Ipv4Key([](DeviceConfig& d) -> std::uint32_t& { return d.address; })},
      {"name", TextKey([](DeviceConfig& d) -> std::string& { return d.name; }, width::kName)},
      {"firmware", [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadFirmware(v, &d, why); }},
      {"firmware_text", TextKey([](DeviceConfig& d) -> std::string& { return d.firmwareText; }, width::kFirmwareText)},
      {"model", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.model; }, 63)},
      {"ports",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 3, &n, why)) return false;
         if (n < 1) {
           *why = "a device has 1 to 3 ports";
           return false;
         }
         d.ports = static_cast<int>(n);
         return true;
       }},
      {"reply_flag", BoolKey([](DeviceConfig& d) -> bool& { return d.replyFlag; })},
      {"capabilities",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadCapabilities(v, &d.capabilities, why); }},
      {"system_flags", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.systemFlags; })},
      {"switches", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.switches; }, 127)},
      {"setting", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.settingValue; }, 127)},
      {"password", TextKey([](DeviceConfig& d) -> std::string& { return d.password; }, width::kPassword)},
      {"general_value", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.generalValue; })},
      {"general_text", TextKey([](DeviceConfig& d) -> std::string& { return d.generalText; }, width::kGeneralText)},
      {"general_extra", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.generalExtra; })},
      {"general_text1", TextKey([](DeviceConfig& d) -> std::string& { return d.generalText1; }, width::kCountedText)},
      {"general_text2", TextKey([](DeviceConfig& d) -> std::string& { return d.generalText2; }, width::kCountedText)},
      {"subnet", Ipv4Key([](DeviceConfig& d) -> std::uint32_t& { return d.subnetMask; })},
      {"gateway", Ipv4Key([](DeviceConfig& d) -> std::uint32_t& { return d.gateway; })},
      {"dhcp", BoolKey([](DeviceConfig& d) -> bool& { return d.dhcp; })},
      {"names_text1", TextKey([](DeviceConfig& d) -> std::string& { return d.namesText1; }, width::kNamesText1)},
      {"names_text2", TextKey([](DeviceConfig& d) -> std::string& { return d.namesText2; }, width::kNamesText2)},
      {"port_text1", TextKey([](DeviceConfig& d) -> std::string& { return d.portText1; }, width::kPortText)},
      {"port_text2", TextKey([](DeviceConfig& d) -> std::string& { return d.portText2; }, width::kPortText)},
      {"port_text3", TextKey([](DeviceConfig& d) -> std::string& { return d.portText3; }, width::kPortText3)},
      {"port_names",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::vector<std::string> items = SplitList(v);
         if (items.size() > 3) {
           *why = "more than 3 ports";
           return false;
         }
         d.portNames = {};
         for (std::size_t i = 0; i < items.size(); i++) {
           if (items[i].size() > width::kPortName) {
             *why = "port name '" + items[i] + "' is longer than 20 characters";
             return false;
           }
           d.portNames[i] = items[i];
         }
         return true;
       }},
      {"port_values",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         return ReadPerPort(v, 2, &d.portValues, why, false);
       }},
      {"port_info1",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadPortInfo(v, &d.portInfo[0], why); }},
      {"port_info2",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadPortInfo(v, &d.portInfo[1], why); }},
      {"port_info3",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadPortInfo(v, &d.portInfo[2], why); }},
      {"key_label", TextKey([](DeviceConfig& d) -> std::string& { return d.keyLabel; }, width::kKeyLabel)},
      {"key_text", TextKey([](DeviceConfig& d) -> std::string& { return d.keyText; }, width::kKeyText)},
      {"sixth",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         if (!ReadHexBytes(v, &d.sixth, why)) return false;
         if (d.sixth.size() > width::kSixth) {
           *why = "more than 200 bytes";
           return false;
         }
         return true;
       }},
      {"comm_type", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.commType; })},
      {"ssid", TextKey([](DeviceConfig& d) -> std::string& { return d.wireless.ssid; }, width::kSsid)},
      {"domain", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.domain; })},
      {"channel", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.channel; })},
      {"tx_rate", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.rateMask; })},
      {"auth_type", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.authType; })},
      {"wep_mode", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.wepMode; })},
      {"wep_key_index", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.wepKeyIndex; })},
      {"wep_key64",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::vector<std::string> items = SplitList(v);
         if (items.size() > 4) {
           *why = "more than 4 keys";
           return false;
         }
         d.wireless.wepKeys64 = {};
         for (std::size_t i = 0; i < items.size(); i++)
           if (!ReadKeyBytes(items[i], &d.wireless.wepKeys64[i], why)) return false;
         return true;
       }},
      {"wep_key128",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadKeyBytes(v, &d.wireless.wepKey128, why); }},
      {"wep_key_format", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.wepKeyFormat; })},
      {"login_mode", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.loginMode; })},
      {"wireless_option", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.wireless.wirelessOption; })},
      {"port_types",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         return ReadPerPort(v, 3, &d.portTypes, why, true);
       }},
      {"port_digits",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         d.digitsGiven = true;
         return ReadPerPort(v, 3, &d.portDigits, why, false);
       }},
      {"tx_rate_g", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.security.rateG; })},
      {"method_8021x", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.security.method8021X; })},
      {"user_8021x", TextKey([](DeviceConfig& d) -> std::string& { return d.security.user8021X; }, width::kUser8021X)},
      {"password_8021x",
       TextKey([](DeviceConfig& d) -> std::string& { return d.security.password8021X; }, width::kUser8021X)},
      {"wpa_psk", TextKey([](DeviceConfig& d) -> std::string& { return d.security.wpaPsk; }, width::kWpaPsk)},
      {"tx_mode", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.security.txMode; })},
      {"encryption", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.security.encryption; })},
      {"text1", TextKey([](DeviceConfig& d) -> std::string& { return d.texts[0]; }, width::kText)},
      {"text2", TextKey([](DeviceConfig& d) -> std::string& { return d.texts[1]; }, width::kText)},
      {"text3", TextKey([](DeviceConfig& d) -> std::string& { return d.texts[2]; }, width::kText)},
      {"rsa_modulus",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         if (!ReadHexBytes(v, &d.rsaModulus, why)) return false;
         if (d.rsaModulus.empty() || d.rsaModulus.size() > width::kModulus) {
           *why = "a modulus of 1 to 254 bytes is needed";
           return false;
         }
         return true;
       }},
      {"rsa_bits",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 2032, &n, why)) return false;
         if (n < 512 || n % 8 != 0) {
           *why = "a key of 512 to 2032 bits, a multiple of 8, is needed";
           return false;
         }
         d.rsaBits = static_cast<int>(n);
         return true;
       }},
      {"key_answer",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 6, &n, why)) return false;
         if (n != 4 && n != 6) {
           *why = "the key answer is 4 or 6";
           return false;
         }
         d.keyAnswer = static_cast<std::uint8_t>(n);
         return true;
       }},
      {"search_replies",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         const std::string kind = Lower(v);
         if (kind == "auto") d.searchReplies = DeviceConfig::SearchReplies::Auto;
         else if (kind == "single") d.searchReplies = DeviceConfig::SearchReplies::Single;
         else if (kind == "multi") d.searchReplies = DeviceConfig::SearchReplies::Multi;
         else if (kind == "both") d.searchReplies = DeviceConfig::SearchReplies::Both;
         else {
           *why = "'" + v + "' is not auto, single, multi or both";
           return false;
         }
         return true;
       }},
      {"part_size",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 1284, &n, why)) return false;
         if (n < 16) {
           *why = "a part carries 16 to 1284 bytes";
           return false;
         }
         d.partSize = static_cast<std::size_t>(n);
         return true;
       }},
      {"part_base", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.partBase; }, 1)},
      {"restart_silence",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 600000, &n, why)) return false;
         d.restartSilenceMs = static_cast<int>(n);
         return true;
       }},
      {"faults", [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadFaults(v, &d.faults, why); }},
      {"port_status", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.portStatus; })},
      {"port_status2", ByteKey([](DeviceConfig& d) -> std::uint8_t& { return d.portStatus2; })},
      {"seed",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         std::uint64_t n = 0;
         if (!ReadNumber(v, 0xFFFFFFFFFFFFull, &n, why)) return false;
         d.seed = n;
         return true;
       }},
      {"generation", IntKey([](DeviceConfig& d) -> int& { return d.generation; }, 0, 1)},
      {"transports",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadTransports(v, &d.transports, why); }},
      {"ipx_network",
       [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadNetwork(v, &d.ipxNetwork, why); }},
      {"netbios_name",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         if (v.empty() || v.size() > 15 || v[0] == '*') {
           *why = "a NetBIOS name has 1 to 15 characters and does not start with '*'";
           return false;
         }
         d.netbiosName = v;
         return true;
       }},
      {"data_length", IntKey([](DeviceConfig& d) -> int& { return d.dataLength; }, 1, 65535)},
      {"window", IntKey([](DeviceConfig& d) -> int& { return d.window; }, 0, 255)},
      {"reack", IntKey([](DeviceConfig& d) -> int& { return d.reackMs; }, 0, 600000)},
      {"ack_delay", IntKey([](DeviceConfig& d) -> int& { return d.ackDelayMs; }, 0, 10000)},
      {"ack_latency", IntKey([](DeviceConfig& d) -> int& { return d.ackLatencyUs; }, 0, 10000000)},
      {"session_timeout", IntKey([](DeviceConfig& d) -> int& { return d.sessionTimeoutMs; }, 0, 86400000)},
      {"stray_address", Ipv4Key([](DeviceConfig& d) -> std::uint32_t& { return d.strayAddress; })},
      {"stray_node", [](DeviceConfig& d, const std::string& v, std::string* why) { return ReadMac(v, &d.strayNode, why); }},
      {"port_word", IntKey([](DeviceConfig& d) -> int& { return d.portWord; }, 0, 65535)},
      {"search_flag",
       [](DeviceConfig& d, const std::string& v, std::string* why) {
         const std::string kind = Lower(v);
         if (kind == "any") d.searchFlag = DeviceConfig::SearchFlag::Any;
         else if (kind == "flagged") d.searchFlag = DeviceConfig::SearchFlag::Flagged;
         else if (kind == "unflagged") d.searchFlag = DeviceConfig::SearchFlag::Unflagged;
         else {
           *why = "'" + v + "' is not any, flagged or unflagged";
           return false;
         }
         return true;
       }},
  };
  return keys;
}

class Parser {
 public:
  Parser(const std::string& source, EmulatorConfig* config, std::string* error)
      : m_source(source), m_config(config), m_error(error) {}

  bool Run(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      m_line++;
      if (!Line(line)) return false;
    }
    return EndDevice();
  }

 private:
  enum class Section { None, Emulator, Router, Device };

  bool Fail(int line, const std::string& message) {
    *m_error = m_source + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  bool Line(const std::string& raw) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') return true;
    if (line[0] == '[') {
      if (line.back() != ']') return Fail(m_line, "a section header ends with ']'");
      const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
      if (!EndDevice()) return false;
      m_keys.clear();
      if (name == "device") {
        m_section = Section::Device;
        m_device = DeviceConfig{};
        m_device.line = m_line;
        m_copies = 1;
        m_inDevice = true;
        return true;
      }
      if (name == "emulator") {
        if (m_seenEmulator) return Fail(m_line, "[emulator] given twice");
        m_seenEmulator = true;
        m_section = Section::Emulator;
        return true;
      }
      if (name == "router") {
        if (m_config->router.enabled) return Fail(m_line, "[router] given twice");
        m_config->router.enabled = true;
        m_section = Section::Router;
        return true;
      }
      return Fail(m_line, "unknown section [" + name + "] (expected [emulator], [router] or [device])");
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return Fail(m_line, "expected 'key = value', '[device]' or a comment");
    const std::string key = Lower(Trim(line.substr(0, equals)));
    std::string value, why;
    if (key.empty()) return Fail(m_line, "a setting needs a key before '='");
    if (!UnquoteValue(line.substr(equals + 1), &value, &why)) return Fail(m_line, key + ": " + why);
    if (m_section == Section::None) return Fail(m_line, "'" + key + "' outside a section; start with [device]");
    if (!m_keys.insert(key).second) return Fail(m_line, "'" + key + "' given twice in this section");
    if (m_section == Section::Router) return RouterKey(key, value);
    if (m_section == Section::Emulator) {
      if (key == "dhcp_pool") {
        if (!ReadPool(value, &m_config->dhcpPool, &why)) return Fail(m_line, key + ": " + why);
        return true;
      }
      if (key == "spool_dir") {
        if (value.empty()) return Fail(m_line, key + ": a folder is needed");
        m_config->spoolDir = value;
        return true;
      }
      if (key == "netbios_lanas") {
        m_config->netbiosLanas.clear();
        for (const std::string& item : SplitList(value)) {
          std::uint64_t n = 0;
          if (!ReadNumber(item, 254, &n, &why)) return Fail(m_line, key + ": " + why);
          m_config->netbiosLanas.push_back(static_cast<int>(n));
        }
        if (m_config->netbiosLanas.empty()) return Fail(m_line, key + ": a LANA number is needed");
        return true;
      }
      if (key != "broadcast") return Fail(m_line, "unknown key '" + key + "' in [emulator]");
      std::uint32_t ignored = 0;
      if (!ReadIpv4(value, &ignored, &why)) return Fail(m_line, key + ": " + why);
      m_config->broadcast = value;
      return true;
    }
    if (key == "copies") {
      std::uint64_t n = 0;
      if (!ReadNumber(value, kMostCopies, &n, &why)) return Fail(m_line, key + ": " + why);
      if (n == 0) return Fail(m_line, key + ": at least 1");
      m_copies = static_cast<int>(n);
      return true;
    }
    auto it = DeviceKeys().find(key);
    if (it == DeviceKeys().end()) return Fail(m_line, "unknown key '" + key + "' in [device]");
    if (!it->second(m_device, value, &why)) return Fail(m_line, key + ": " + why);
    return true;
  }

  bool RouterKey(const std::string& key, const std::string& value) {
    RouterConfig& router = m_config->router;
    std::string why;
    bool ok = true;
    if (key == "network") ok = ReadNetwork(value, &router.network, &why);
    else if (key == "node") ok = ReadMac(value, &router.node, &why);
    else if (key == "networks") {
      ok = ReadRoutes(value, &router.routes, &why);
      router.routesGiven = true;
    } else return Fail(m_line, "unknown key '" + key + "' in [router]");
    if (!ok) return Fail(m_line, key + ": " + why);
    return true;
  }

  bool EndDevice() {
    if (!m_inDevice) return true;
    m_inDevice = false;
    const int line = m_device.line;
    if (!m_keys.count("mac")) return Fail(line, "this device has no mac");
    if (!m_keys.count("address")) return Fail(line, "this device has no address");
    for (int copy = 0; copy < m_copies; copy++) {
      DeviceConfig device = m_device;
      device.address += static_cast<std::uint32_t>(copy);
      const std::uint32_t low = ((device.mac[3] << 16) | (device.mac[4] << 8) | device.mac[5]) + copy;
      device.mac[3] = static_cast<std::uint8_t>(low >> 16);
      device.mac[4] = static_cast<std::uint8_t>(low >> 8);
      device.mac[5] = static_cast<std::uint8_t>(low);
      if (!AddDevice(device)) return false;
    }
    return true;
  }

  bool AddDevice(const DeviceConfig& device) {
    const int line = device.line;
    for (const DeviceConfig& other : m_config->devices) {
      if (other.mac == device.mac)
        return Fail(line, "mac " + FormatMac(device.mac) + " is taken by the device of line " +
                              std::to_string(other.line));
      if (other.address == device.address)
        return Fail(line, "address " + FormatIpv4(device.address) + " is taken by the device of line " +
                              std::to_string(other.line));
      if (other.transports.netbios && device.transports.netbios && NetbiosNameOf(other) == NetbiosNameOf(device))
        return Fail(line, "NetBIOS name \"" + NetbiosNameOf(device) + "\" is taken by the device of line " +
                              std::to_string(other.line));
    }
    m_config->devices.push_back(device);
    return true;
  }

  const std::string m_source;
  EmulatorConfig* m_config;
  std::string* m_error;
  int m_line = 0;
  Section m_section = Section::None;
  bool m_seenEmulator = false;
  bool m_inDevice = false;
  DeviceConfig m_device;
  int m_copies = 1;
  std::set<std::string> m_keys;
};

}  // namespace

bool ParseEmulatorConfig(const std::string& text, const std::string& source, EmulatorConfig* config,
                         std::string* error) {
  EmulatorConfig result;
  std::string message;
  if (!Parser(source, &result, &message).Run(text)) {
    if (error) *error = message;
    return false;
  }
  if (result.devices.empty()) {
    if (error) *error = source + ": no [device] section";
    return false;
  }
  *config = std::move(result);
  return true;
}

bool LoadEmulatorConfig(const std::string& path, EmulatorConfig* config, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    if (error) *error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseEmulatorConfig(text.str(), path, config, error);
}

std::string FormatMac(const std::array<std::uint8_t, 6>& mac) {
  char text[18];
  std::snprintf(text, sizeof(text), "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
  return text;
}

std::string FormatNetwork(const std::array<std::uint8_t, 4>& network) {
  char text[9];
  std::snprintf(text, sizeof(text), "%02X%02X%02X%02X", network[0], network[1], network[2], network[3]);
  return text;
}

std::string NetbiosNameOf(const DeviceConfig& device) {
  if (!device.netbiosName.empty()) return device.netbiosName;
  std::string name = device.name.substr(0, 15);
  // Trailing blanks would vanish in the padding; a leading '*' is no name.
  while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
  if (name.empty() || name[0] == '*') {
    char text[16];
    std::snprintf(text, sizeof(text), "VEK%02X%02X%02X", device.mac[3], device.mac[4], device.mac[5]);
    name = text;
  }
  return name;
}

std::string FormatIpv4(std::uint32_t hostOrder) {
  return std::to_string(hostOrder >> 24) + "." + std::to_string((hostOrder >> 16) & 0xFF) + "." +
         std::to_string((hostOrder >> 8) & 0xFF) + "." + std::to_string(hostOrder & 0xFF);
}

}  // namespace vek::emu
