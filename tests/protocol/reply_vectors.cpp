#include "reply_vectors.h"

#include <cstring>

namespace vek::test {

ReplyBuilder::ReplyBuilder(std::uint32_t capabilities, int systemLength) {
  m_bytes.assign(38, 0);
  std::memcpy(m_bytes.data(), "NET", 3);
  m_bytes[4] = 0x84;
  std::memcpy(&m_bytes[6], full::kMac, 6);
  m_bytes[12] = full::kMajor;
  m_bytes[13] = full::kMinor;
  std::memcpy(&m_bytes[14], full::kName, 18);
  m_bytes[33] = static_cast<std::uint8_t>((full::kPorts << 6) | full::kModel);
  std::memcpy(&m_bytes[34], full::kAddress, 4);
  const int system = Section(systemLength);
  // A shorter system section leaves bytes 67-70 to whatever follows it.
  if (systemLength >= 32) PutU32(system + 29, capabilities);
}

int ReplyBuilder::Section(int L) {
  const int start = Size();
  m_bytes.push_back(static_cast<std::uint8_t>(L));
  m_bytes.insert(m_bytes.end(), static_cast<std::size_t>(L), 0);
  return start;
}

int ReplyBuilder::Raw(std::vector<std::uint8_t> bytes) {
  const int start = Size();
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
  return start;
}

int ReplyBuilder::Zeros(int count) { return Raw(std::vector<std::uint8_t>(static_cast<std::size_t>(count), 0)); }

void ReplyBuilder::PutText(int offset, const std::string& text) {
  for (std::size_t i = 0; i < text.size(); i++) Put(offset + static_cast<int>(i), static_cast<std::uint8_t>(text[i]));
}

void ReplyBuilder::PutU32(int offset, std::uint32_t value) {
  for (int i = 0; i < 4; i++) Put(offset + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

FullReply MakeFullReply() {
  ReplyBuilder b(kAllWireless);
  FullReply r{};
  // System section: flags, on/off bits, setting value with bit 7 set, password,
  // version text.
  b.Put(39, 0x04);
  b.Put(40, 0x15);
  b.Put(41, 0x85);
  b.PutText(42, full::kPassword);
  b.PutText(51, full::kVersionText);

  r.general = b.Section(10);
  b.Put(r.general + 1, 7);
  b.PutText(r.general + 2, "GENTEXT");
  b.Raw({0x33, 3, 'a', 'b', 'c', 2, 'x', 'y'});  // value, then two counted texts

  r.ip = b.Section(9);
  for (int i = 0; i < 4; i++) {
    b.Put(r.ip + 1 + i, full::kMask[i]);
    b.Put(r.ip + 5 + i, full::kGateway[i]);
  }
  b.Put(r.ip + 9, 1);

  r.names = b.Section(41);
  b.PutText(r.names + 1, "names one");
  r.port = b.Section(148);
  b.PutText(r.port + 4, "port text");

  r.keyText = b.Section(34);
  b.PutText(r.keyText + 1, "key label");
  b.Put(r.keyText + 34, 5);
  b.Raw({'K', 'E', 'Y', '4', '5', 0});  // K = 5 bytes and one more

  r.sixth = b.Section(2);

  r.wireless = b.Section(86);
  const int w = r.wireless;
  b.Put(w + 1, 2);
  b.PutText(w + 2, full::kSSID);
  b.Put(w + 34, 3);
  b.Put(w + 35, 11);
  b.Put(w + 36, 8);
  b.Put(w + 42, 4);
  b.Put(w + 43, 2);
  b.Put(w + 44, 3);
  for (int i = 0; i < 5; i++) b.Put(w + 45 + i, full::kKey64[i]);
  for (int i = 0; i < 13; i++) b.Put(w + 69 + i, static_cast<std::uint8_t>(0xA0 + i));
  b.Put(w + 84, 1);
  b.Put(w + 85, 1);
  b.Put(w + 86, 1);

  r.portTypes = b.Section(3);
  b.Put(r.portTypes + 1, 0x09);  // port 1 type 1 'P', port 2 type 2 'U', port 3 none
  b.Put(r.portTypes + 2, 0x1B);  // digits 3, 2, 1
  b.Put(r.portTypes + 3, 1);     // the device numbered its ports itself

  r.security = b.Section(110);
  const int s = r.security;
  b.Put(s + 1, 16);
  b.Put(s + 2, 1);
  b.PutText(s + 3, full::kUser);
  b.PutText(s + 24, full::kUserPassword);
  b.PutText(s + 45, full::kPSK);
  b.Put(s + 109, 2);
  b.Put(s + 110, 1);

  r.text = b.Section(39);
  b.PutText(r.text + 1, "text one");

  r.key = b.Section(full::kModulusLength);
  for (int i = 0; i < full::kModulusLength; i++) b.Put(r.key + 1 + i, static_cast<std::uint8_t>(0xC0 ^ i));

  r.bytes = b.Bytes();
  return r;
}

}  // namespace vek::test
