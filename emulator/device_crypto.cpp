#include "emulator/device_crypto.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

namespace vek::emu {
namespace {

EVP_PKEY* Key(void* key) { return static_cast<EVP_PKEY*>(key); }

}  // namespace

std::shared_ptr<DeviceKey> DeviceKey::Generate(int bits) {
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  BIGNUM* exponent = BN_new();
  EVP_PKEY* key = nullptr;
  const bool made = context && exponent && BN_set_word(exponent, 3) == 1 && EVP_PKEY_keygen_init(context) == 1 &&
                    EVP_PKEY_CTX_set_rsa_keygen_bits(context, bits) == 1 &&
                    EVP_PKEY_CTX_set1_rsa_keygen_pubexp(context, exponent) == 1 &&
                    EVP_PKEY_generate(context, &key) == 1;
  BN_free(exponent);
  EVP_PKEY_CTX_free(context);
  if (!made) {
    EVP_PKEY_free(key);
    return nullptr;
  }
  std::shared_ptr<DeviceKey> result(new DeviceKey(key));
  BIGNUM* n = nullptr;
  if (EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n) != 1) return nullptr;
  result->m_modulus.resize(static_cast<std::size_t>(bits / 8));
  const bool written = BN_bn2binpad(n, result->m_modulus.data(), static_cast<int>(result->m_modulus.size())) > 0;
  BN_free(n);
  return written ? result : nullptr;
}

DeviceKey::~DeviceKey() { EVP_PKEY_free(Key(m_key)); }

bool DeviceKey::Decrypt(std::span<const std::uint8_t> ciphertext, std::vector<std::uint8_t>* plaintext) const {
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_pkey(nullptr, Key(m_key), nullptr);
  std::size_t size = 0;
  bool ok = context && EVP_PKEY_decrypt_init(context) == 1 &&
            EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_OAEP_PADDING) == 1 &&
            EVP_PKEY_CTX_set_rsa_oaep_md(context, EVP_sha1()) == 1 &&
            EVP_PKEY_CTX_set_rsa_mgf1_md(context, EVP_sha1()) == 1 &&
            EVP_PKEY_decrypt(context, nullptr, &size, ciphertext.data(), ciphertext.size()) == 1;
  if (ok) {
    plaintext->resize(size);
    ok = EVP_PKEY_decrypt(context, plaintext->data(), &size, ciphertext.data(), ciphertext.size()) == 1;
    plaintext->resize(ok ? size : 0);
  }
  EVP_PKEY_CTX_free(context);
  return ok;
}

bool RandomBytes(std::span<std::uint8_t> out) { return RAND_bytes(out.data(), static_cast<int>(out.size())) == 1; }

bool AesEncryptBlock(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t, 16> in,
                     std::span<std::uint8_t, 16> out) {
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int written = 0;
  const bool ok = context && EVP_EncryptInit_ex(context, EVP_aes_128_ecb(), nullptr, key.data(), nullptr) == 1 &&
                  EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
                  EVP_EncryptUpdate(context, out.data(), &written, in.data(), 16) == 1 && written == 16;
  EVP_CIPHER_CTX_free(context);
  return ok;
}

bool AesCbcDecrypt(std::span<const std::uint8_t, 16> key, std::span<const std::uint8_t, 16> iv,
                   std::span<const std::uint8_t> in, std::vector<std::uint8_t>* out) {
  if (in.size() % 16 != 0) return false;
  out->assign(in.size() + 16, 0);
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int written = 0, tail = 0;
  const bool ok = context && EVP_DecryptInit_ex(context, EVP_aes_128_cbc(), nullptr, key.data(), iv.data()) == 1 &&
                  EVP_CIPHER_CTX_set_padding(context, 0) == 1 &&
                  EVP_DecryptUpdate(context, out->data(), &written, in.data(), static_cast<int>(in.size())) == 1 &&
                  EVP_DecryptFinal_ex(context, out->data() + written, &tail) == 1;
  EVP_CIPHER_CTX_free(context);
  out->resize(ok ? static_cast<std::size_t>(written + tail) : 0);
  return ok;
}

std::vector<std::uint8_t> HmacSha1(std::span<const std::uint8_t> key, std::span<const std::uint8_t> data) {
  static const std::uint8_t kZero = 0;
  std::vector<std::uint8_t> mac(EVP_MAX_MD_SIZE);
  std::size_t size = 0;
  // An empty key is HMAC's key of one zero byte.
  const std::uint8_t* k = key.empty() ? &kZero : key.data();
  const std::size_t kLength = key.empty() ? 1 : key.size();
  if (!EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA1", nullptr, k, kLength, data.empty() ? &kZero : data.data(),
                 data.size(), mac.data(), mac.size(), &size))
    return {};
  mac.resize(size);
  return mac;
}

}  // namespace vek::emu
