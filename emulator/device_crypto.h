// The device's own cryptography for the secured exchange and the password login
// (OpenSSL 3, EVP): its RSA key with exponent 3, OAEP decryption, one-block AES
// encryption of its nonce, AES-128-CBC decryption of a configuration, and the
// HMAC-SHA1 it checks.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vek::emu {

class DeviceKey {
 public:
  // A new key of bits bits and public exponent 3; null when it cannot be made.
  static std::shared_ptr<DeviceKey> Generate(int bits);
  ~DeviceKey();
  DeviceKey(const DeviceKey&) = delete;
  DeviceKey& operator=(const DeviceKey&) = delete;

  // The public modulus, big-endian, bits / 8 bytes.
  const std::vector<std::uint8_t>& Modulus() const { return m_modulus; }
  // RSA-OAEP (SHA-1, MGF1 SHA-1) decryption; false when the ciphertext is not one.
  bool Decrypt(std::span<const std::uint8_t> ciphertext, std::vector<std::uint8_t>* plaintext) const;

 private:
  explicit DeviceKey(void* key) : m_key(key) {}
  void* m_key;  // EVP_PKEY
  std::vector<std::uint8_t> m_modulus;
};

bool RandomBytes(std::span<std::uint8_t> out);
// One AES-128 block.
bool AesEncryptBlock(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t, 16> in,
                     std::span<std::uint8_t, 16> out);
// AES-128-CBC without padding; the input is a whole number of blocks.
bool AesCbcDecrypt(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t, 16> iv,
                   std::span<const std::uint8_t> in, std::vector<std::uint8_t>* out);
std::vector<std::uint8_t> HmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data);

}  // namespace vek::emu
