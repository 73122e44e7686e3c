// Information replies laid out byte by byte from the reply tables, independent of
// the code under test: every offset below is the table's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vek::test {

// Capability bits by their numbers in the table.
constexpr std::uint32_t Bit(int n) { return 1u << n; }
constexpr std::uint32_t kAllWireless = Bit(3) | Bit(14) | Bit(15) | Bit(16) | Bit(17) | Bit(18) | Bit(19) | Bit(20) |
                                       Bit(21) | Bit(22) | Bit(23);

// A reply being assembled; sections are appended in the order of the walk.
class ReplyBuilder {
 public:
  // Header, identity and a system section of length systemLength (32: extended,
  // with the capability word at its bytes 29-32).
  explicit ReplyBuilder(std::uint32_t capabilities, int systemLength = 32);

  // Appends a section with length byte L and L bytes of zeros; returns its start.
  int Section(int L);
  // Appends raw bytes; returns where they start.
  int Raw(std::vector<std::uint8_t> bytes);
  int Zeros(int count);
  void Put(int offset, std::uint8_t value) { m_bytes.at(static_cast<std::size_t>(offset)) = value; }
  void PutText(int offset, const std::string& text);
  void PutU32(int offset, std::uint32_t value);
  int Size() const { return static_cast<int>(m_bytes.size()); }
  std::vector<std::uint8_t>& Bytes() { return m_bytes; }

 private:
  std::vector<std::uint8_t> m_bytes;
};

// The full extended reply of a wireless server with every section, and where each
// section starts in it.
struct FullReply {
  std::vector<std::uint8_t> bytes;
  int general, ip, names, port, keyText, sixth, wireless, portTypes, security, text, key;
};

// Values of the full reply.
namespace full {
constexpr std::uint8_t kMac[6] = {0x02, 0x4E, 0x57, 0xAB, 0xCD, 0xEF};
constexpr std::uint8_t kMajor = 2;
constexpr std::uint8_t kMinor = 0x1A;
constexpr const char* kName = "Corvane Lab PS-18X";  // exactly 18 characters, no terminator
constexpr int kPorts = 3;
constexpr int kModel = 6;
constexpr std::uint8_t kAddress[4] = {192, 168, 1, 50};
constexpr std::uint8_t kMask[4] = {255, 255, 255, 0};
constexpr std::uint8_t kGateway[4] = {192, 168, 1, 1};
constexpr const char* kPassword = "pass1234";
constexpr const char* kVersionText = "2.1a-beta";
constexpr const char* kSSID = "corvane-lab-network-ssid-32bytes";  // exactly 32
constexpr const char* kUser = "user@example.lab";
constexpr const char* kUserPassword = "hunter2";
constexpr const char* kPSK = "a pre-shared key that is quite long";
constexpr std::uint8_t kKey64[5] = {0x11, 0x22, 0x33, 0x44, 0x55};
constexpr int kModulusLength = 128;
}  // namespace full

FullReply MakeFullReply();

}  // namespace vek::test
