// The device's information reply, laid out from the device's side: a header with
// the identity, the system section with the capability word, then the sections in
// their fixed order. A section the device does not have is sent with length 0 and
// the room the host skips for it; the security, text and key sections follow only
// on devices with the security capability.
#include "emulator/info_reply.h"

#include <algorithm>

#include "emulator/wire_writer.h"

namespace vek::emu {
namespace {

// The room a host skips for a section sent with length 0, length byte included.
constexpr std::size_t kEmptyWirelessRoom = 87;
constexpr std::size_t kEmptyTextRoom = 40;
constexpr std::size_t kEmptyKeyRoom = 257;

std::span<const std::uint8_t> AsBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void Header(WireWriter& w, std::uint16_t replyWord) {
  w.Text("NET", 3);
  w.U8(0);
  w.U16(replyWord);
}

void Identity(WireWriter& w, const DeviceConfig& d) {
  w.Bytes(d.mac);
  w.U8(d.firmwareMajor);
  w.U8(d.firmwareMinor);
  w.Text(d.name, width::kName);
  w.U8(0);
  w.U8(static_cast<std::uint8_t>((d.ports << 6) | (d.model & 0x3F)));
  w.Ipv4(d.address);
}

void SystemSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.U8(d.systemFlags);
  w.U8(d.switches & 0x7F);
  w.U8(d.settingValue & 0x7F);
  w.Text(d.password, width::kPassword + 1);
  w.Text(d.firmwareText, width::kFirmwareText);
  w.U8(0);
  w.U32(d.capabilities);
  w.EndSection(s);
}

void CountedText(WireWriter& w, const std::string& text) {
  w.U8(static_cast<std::uint8_t>(text.size()));
  w.Bytes(AsBytes(text));
}

void GeneralSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.U8(d.generalValue);
  w.Text(d.generalText, width::kGeneralText + 1);
  w.EndSection(s);
  w.U8(d.generalExtra);
  CountedText(w, d.generalText1);
  CountedText(w, d.generalText2);
}

void IpSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.Ipv4(d.subnetMask);
  w.Ipv4(d.gateway);
  w.U8(d.dhcp ? 1 : 0);
  w.EndSection(s);
}

void NamesSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.Text(d.namesText1, width::kNamesText1 + 1);
  w.Text(d.namesText2, width::kNamesText2 + 1);
  w.EndSection(s);
}

void PortSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.Zeros(3);
  w.Text(d.portText1, width::kPortText + 1);
  w.Text(d.portText2, width::kPortText + 1);
  w.Text(d.portText3, width::kPortText3 + 1);
  for (const std::string& name : d.portNames) w.Text(name, width::kPortName + 1);
  for (std::uint8_t value : d.portValues) w.U8(value);
  w.EndSection(s);
}

void KeyTextSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.Text(d.keyLabel, width::kKeyLabel + 1);
  w.U8(static_cast<std::uint8_t>(d.keyText.size()));
  w.EndSection(s);
  // The key text follows the section, with its terminator.
  w.Bytes(AsBytes(d.keyText));
  w.U8(0);
}

void SixthSection(WireWriter& w, const DeviceConfig& d) {
  const std::size_t s = w.BeginSection();
  w.Bytes(d.sixth);
  w.EndSection(s);
}

void WirelessSection(WireWriter& w, const DeviceConfig& d) {
  if (!(d.capabilities & cap::kWireless)) {
    w.Zeros(kEmptyWirelessRoom);
    return;
  }
  const WirelessSettings& r = d.wireless;
  const std::size_t s = w.BeginSection();
  w.U8(r.commType);
  w.Text(r.ssid, width::kSsid);
  w.U8(r.domain);
  w.U8(r.channel);
  w.U8(r.rateMask);
  w.Zeros(5);
  w.U8(r.authType);
  w.U8(r.wepMode);
  w.U8(r.wepKeyIndex);
  for (const auto& key : r.wepKeys64) {
    w.Bytes(key);
    w.U8(0);
  }
  w.Bytes(r.wepKey128);
  w.Zeros(2);
  w.U8(r.wepKeyFormat);
  w.U8(r.loginMode);
  w.U8(r.wirelessOption);
  w.EndSection(s);
}

void PortTypeSection(WireWriter& w, const DeviceConfig& d) {
  std::uint8_t types = 0, digits = 0;
  for (int i = 0; i < 3; i++) {
    types = static_cast<std::uint8_t>(types | ((d.portTypes[static_cast<std::size_t>(i)] & 3) << (2 * i)));
    digits = static_cast<std::uint8_t>(digits | ((d.portDigits[static_cast<std::size_t>(i)] & 3) << (2 * i)));
  }
  const std::size_t s = w.BeginSection();
  w.U8(types);
  // Without digits of its own the device sends none and flags it with byte 3 = 0.
  w.U8(d.digitsGiven ? digits : 0);
  w.U8(d.digitsGiven ? 1 : 0);
  w.EndSection(s);
}

void SecuritySection(WireWriter& w, const DeviceConfig& d) {
  const SecuritySettings& r = d.security;
  const std::size_t s = w.BeginSection();
  w.U8(r.rateG);
  w.U8(r.method8021X);
  w.Text(r.user8021X, width::kUser8021X);
  w.Text(r.password8021X, width::kUser8021X);
  w.Text(r.wpaPsk, width::kWpaPsk);
  w.U8(r.txMode);
  w.U8(r.encryption);
  w.EndSection(s);
}

void TextSection(WireWriter& w, const DeviceConfig& d) {
  const bool any = !d.texts[0].empty() || !d.texts[1].empty() || !d.texts[2].empty();
  if (!(d.capabilities & cap::kTextLength) && !any) {
    w.Zeros(kEmptyTextRoom);
    return;
  }
  const std::size_t s = w.BeginSection();
  for (const std::string& text : d.texts) w.Text(text, width::kText);
  w.EndSection(s);
}

void KeySection(WireWriter& w, const DeviceConfig& d) {
  if (d.rsaModulus.empty()) {
    w.Zeros(kEmptyKeyRoom);
    return;
  }
  const std::size_t s = w.BeginSection();
  w.Bytes(d.rsaModulus);
  w.EndSection(s);
}

}  // namespace

std::vector<std::uint8_t> BuildInformationReply(const DeviceConfig& device) {
  WireWriter w;
  Header(w, static_cast<std::uint16_t>((device.replyFlag ? 0x0100 : 0) | (kOpSearch | kReplyBit)));
  Identity(w, device);
  SystemSection(w, device);
  GeneralSection(w, device);
  IpSection(w, device);
  NamesSection(w, device);
  PortSection(w, device);
  KeyTextSection(w, device);
  SixthSection(w, device);
  WirelessSection(w, device);
  PortTypeSection(w, device);
  if (device.capabilities & cap::kSecurity) {
    SecuritySection(w, device);
    TextSection(w, device);
    KeySection(w, device);
  }
  return std::move(w.Data());
}

std::vector<std::vector<std::uint8_t>> BuildMultipartReply(const DeviceConfig& device, std::size_t partSize) {
  const std::vector<std::uint8_t> reply = BuildInformationReply(device);
  const std::size_t data = reply.size() - kHeaderLength;
  const std::size_t count = (data + partSize - 1) / partSize;
  std::vector<std::vector<std::uint8_t>> parts;
  for (std::size_t i = 0; i < count; i++) {
    const std::size_t offset = kHeaderLength + i * partSize;
    const std::size_t n = std::min(partSize, reply.size() - offset);
    WireWriter w;
    Header(w, kOpSearchMulti | kReplyBit);
    w.U8(static_cast<std::uint8_t>(i + device.partBase));
    w.U8(static_cast<std::uint8_t>(count - 1 + device.partBase));
    w.U16(static_cast<std::uint16_t>(n));
    w.Bytes(device.mac);
    w.Bytes(std::span(reply).subspan(offset, n));
    parts.push_back(std::move(w.Data()));
  }
  return parts;
}

std::vector<std::uint8_t> BuildOpeningPart(const std::array<std::uint8_t, 6>& mac, int partBase) {
  constexpr std::size_t kData = 64;
  WireWriter w;
  Header(w, kOpSearchMulti | kReplyBit);
  w.U8(static_cast<std::uint8_t>(partBase));
  w.U8(static_cast<std::uint8_t>(partBase + 1));
  w.U16(static_cast<std::uint16_t>(kData));
  w.Bytes(mac);
  // An information reply begins with the MAC.
  w.Bytes(mac);
  w.Zeros(kData - mac.size());
  return std::move(w.Data());
}

std::vector<std::uint8_t> BuildPlainAnswer(std::uint16_t replyWord, std::uint8_t byte6, std::uint8_t byte7) {
  WireWriter w;
  Header(w, replyWord);
  w.U8(byte6);
  w.U8(byte7);
  w.Zeros(64 - w.Size());
  return std::move(w.Data());
}

}  // namespace vek::emu
