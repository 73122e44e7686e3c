// Print data for tests: a byte pattern that shows where bytes went missing or
// came twice, and the SHA-256 that jobs are compared by.
#pragma once

#include <openssl/sha.h>

#include <cstddef>
#include <string>

namespace vek::test {

// Not periodic within a packet or a window, so a lost, doubled or reordered
// packet changes the digest; salt makes two jobs differ.
inline std::string Pattern(std::size_t size, unsigned salt = 0) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 251 + salt) & 0xFF);
  return data;
}

// Lower-case hex, as sha256sum and the emulator's job records give it.
inline std::string Sha256(const std::string& data) {
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest);
  static const char hex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : digest) {
    out += hex[b >> 4];
    out += hex[b & 15];
  }
  return out;
}

}  // namespace vek::test
