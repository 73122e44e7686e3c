#include "emulator/config_apply.h"

#include <algorithm>
#include <functional>

#include "emulator/info_reply.h"

namespace vek::emu {
namespace {

// The room a section sent with length 0 takes, length byte included.
constexpr std::size_t kEmptyWirelessRoom = 87;
constexpr std::size_t kEmptyTextRoom = 40;
constexpr std::size_t kEmptyKeyRoom = 257;
constexpr std::size_t kIdentityOffset = 6;

class WireReader {
 public:
  explicit WireReader(std::span<const std::uint8_t> data) : m_data(data) {}

  bool Ok() const { return m_ok; }
  std::size_t Remaining() const { return m_ok ? m_data.size() - m_pos : 0; }

  std::uint8_t U8() {
    if (!Need(1)) return 0;
    return m_data[m_pos++];
  }
  std::uint32_t Ipv4() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; i++) value = (value << 8) | U8();
    return value;
  }
  // width bytes; the text ends at the first NUL.
  std::string Text(std::size_t width) {
    if (!Need(width)) return {};
    auto field = m_data.subspan(m_pos, width);
    m_pos += width;
    auto end = std::find(field.begin(), field.end(), 0);
    return std::string(field.begin(), end);
  }
  std::span<const std::uint8_t> Bytes(std::size_t n) {
    if (!Need(n)) return {};
    auto bytes = m_data.subspan(m_pos, n);
    m_pos += n;
    return bytes;
  }
  void Skip(std::size_t n) { Bytes(n); }
  std::uint8_t Peek() const { return m_ok && m_pos < m_data.size() ? m_data[m_pos] : 0; }

  // A section: its length byte, then body reads inside it; the reader moves past
  // the whole section whatever body read.
  void Section(const std::function<void(WireReader&)>& body) {
    const std::size_t length = U8();
    std::span<const std::uint8_t> inside = Bytes(length);
    if (!m_ok) return;
    WireReader reader(inside);
    body(reader);
    if (!reader.Ok()) m_ok = false;
  }

 private:
  bool Need(std::size_t n) {
    if (!m_ok || m_data.size() - m_pos < n) m_ok = false;
    return m_ok;
  }

  std::span<const std::uint8_t> m_data;
  std::size_t m_pos = 0;
  bool m_ok = true;
};

std::string CountedText(WireReader& r) {
  const std::size_t n = r.U8();
  auto bytes = r.Bytes(n);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

bool ApplyConfiguration(std::span<const std::uint8_t> reply, DeviceConfig* device, std::string* why) {
  DeviceConfig d = *device;
  const std::uint32_t caps = d.capabilities;
  WireReader r(reply);
  r.Skip(kIdentityOffset);
  auto mac = r.Bytes(6);
  if (!r.Ok() || !std::equal(mac.begin(), mac.end(), d.mac.begin())) {
    *why = "the configuration is not this device's";
    return false;
  }
  r.Skip(2);  // firmware
  d.name = r.Text(width::kName);
  r.Skip(2);  // not used; ports and model
  d.address = r.Ipv4();

  r.Section([&](WireReader& s) {
    d.systemFlags = s.U8();
    d.switches = s.U8() & 0x7F;
    d.settingValue = s.U8() & 0x7F;
    d.password = s.Text(width::kPassword + 1);
  });
  r.Section([&](WireReader& s) {
    d.generalValue = s.U8();
    d.generalText = s.Text(width::kGeneralText + 1);
  });
  d.generalExtra = r.U8();
  d.generalText1 = CountedText(r);
  d.generalText2 = CountedText(r);
  r.Section([&](WireReader& s) {
    d.subnetMask = s.Ipv4();
    d.gateway = s.Ipv4();
    d.dhcp = s.U8() != 0;
  });
  r.Section([&](WireReader& s) {
    d.namesText1 = s.Text(width::kNamesText1 + 1);
    d.namesText2 = s.Text(width::kNamesText2 + 1);
  });
  r.Section([&](WireReader& s) {
    s.Skip(3);
    d.portText1 = s.Text(width::kPortText + 1);
    d.portText2 = s.Text(width::kPortText + 1);
    d.portText3 = s.Text(width::kPortText3 + 1);
    for (std::string& name : d.portNames) name = s.Text(width::kPortName + 1);
    for (std::uint8_t& value : d.portValues) value = s.U8();
  });
  std::size_t keyTextLength = 0;
  r.Section([&](WireReader& s) {
    d.keyLabel = s.Text(width::kKeyLabel + 1);
    keyTextLength = s.U8();
  });
  {
    auto text = r.Bytes(keyTextLength);
    d.keyText.assign(text.begin(), text.end());
    r.Skip(1);
  }
  r.Section([&](WireReader& s) {
    auto bytes = s.Bytes(s.Remaining());
    d.sixth.assign(bytes.begin(), bytes.end());
  });
  if ((caps & cap::kWireless) && r.Peek() != 0) {
    r.Section([&](WireReader& s) {
      WirelessSettings& w = d.wireless;
      w.commType = s.U8();
      w.ssid = s.Text(width::kSsid);
      w.domain = s.U8();
      w.channel = s.U8();
      w.rateMask = s.U8();
      s.Skip(5);
      w.authType = s.U8();
      w.wepMode = s.U8();
      w.wepKeyIndex = s.U8();
      for (auto& key : w.wepKeys64) {
        auto bytes = s.Bytes(key.size());
        if (s.Ok()) std::copy(bytes.begin(), bytes.end(), key.begin());
        s.Skip(1);
      }
      auto key128 = s.Bytes(w.wepKey128.size());
      if (s.Ok()) std::copy(key128.begin(), key128.end(), w.wepKey128.begin());
      s.Skip(2);
      w.wepKeyFormat = s.U8();
      w.loginMode = s.U8();
      w.wirelessOption = s.U8();
    });
  } else {
    r.Skip(kEmptyWirelessRoom);
  }
  r.Section([&](WireReader& s) {
    const std::uint8_t types = s.U8();
    const std::uint8_t digits = s.U8();
    // Byte 3 zero: the device gave no digits and the host numbers the ports.
    d.digitsGiven = s.U8() != 0;
    for (int i = 0; i < 3; i++) {
      d.portTypes[static_cast<std::size_t>(i)] = (types >> (2 * i)) & 3;
      d.portDigits[static_cast<std::size_t>(i)] = d.digitsGiven ? (digits >> (2 * i)) & 3 : 0;
    }
  });
  if (caps & cap::kSecurity) {
    r.Section([&](WireReader& s) {
      SecuritySettings& sec = d.security;
      sec.rateG = s.U8();
      sec.method8021X = s.U8();
      sec.user8021X = s.Text(width::kUser8021X);
      sec.password8021X = s.Text(width::kUser8021X);
      sec.wpaPsk = s.Text(width::kWpaPsk);
      sec.txMode = s.U8();
      sec.encryption = s.U8();
    });
    if (r.Peek() == 0) {
      r.Skip(kEmptyTextRoom);
    } else {
      r.Section([&](WireReader& s) {
        for (std::string& text : d.texts) text = s.Text(width::kText);
      });
    }
    // The key section is the device's own; it is only stepped over.
    if (r.Peek() == 0) r.Skip(kEmptyKeyRoom);
    else r.Section([](WireReader&) {});
  }
  if (!r.Ok()) {
    *why = "the configuration ends inside a section";
    return false;
  }
  *device = std::move(d);
  return true;
}

}  // namespace vek::emu
