// The secured exchange's handler, driven body by body as a device would: the type
// rules, the key answer under the device's key, the configuration chain at its
// limits (checked by decrypting it here), and the checks of what arrived.
#include <gtest/gtest.h>

#include <openssl/core_names.h>
#include <openssl/rsa.h>

#include <cstring>
#include <memory>
#include <vector>

#include "protocol/secure_config.h"
#include "protocol/shared_settings.h"

namespace {

using Bytes = std::vector<BYTE>;

struct PkeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;

// A device's key: 1024 bits, exponent 3.
Pkey DeviceKey(Bytes* modulus) {
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr);
  BIGNUM* e = BN_new();
  BN_set_word(e, 3);
  EVP_PKEY* key = nullptr;
  EVP_PKEY_keygen_init(context);
  EVP_PKEY_CTX_set_rsa_keygen_bits(context, 1024);
  EVP_PKEY_CTX_set1_rsa_keygen_pubexp(context, e);
  EVP_PKEY_generate(context, &key);
  EVP_PKEY_CTX_free(context);
  BN_free(e);
  BIGNUM* n = nullptr;
  EVP_PKEY_get_bn_param(key, OSSL_PKEY_PARAM_RSA_N, &n);
  modulus->assign(128, 0);
  BN_bn2binpad(n, modulus->data(), 128);
  BN_free(n);
  return Pkey(key);
}

Bytes Decrypt(EVP_PKEY* key, const BYTE* in, std::size_t length) {
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  EVP_PKEY_decrypt_init(context);
  EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_OAEP_PADDING);
  EVP_PKEY_CTX_set_rsa_oaep_md(context, EVP_sha1());
  EVP_PKEY_CTX_set_rsa_mgf1_md(context, EVP_sha1());
  std::size_t size = 256;
  Bytes out(size);
  if (EVP_PKEY_decrypt(context, out.data(), &size, in, length) != 1) size = 0;
  EVP_PKEY_CTX_free(context);
  out.resize(size);
  return out;
}

Bytes Cipher(const EVP_CIPHER* cipher, bool encrypt, const BYTE* key, const BYTE* iv, const Bytes& in) {
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  EVP_CipherInit_ex(context, cipher, nullptr, key, iv, encrypt ? 1 : 0);
  EVP_CIPHER_CTX_set_padding(context, 0);
  Bytes out(in.size() + 16);
  int n = 0, tail = 0;
  EVP_CipherUpdate(context, out.data(), &n, in.data(), static_cast<int>(in.size()));
  EVP_CipherFinal_ex(context, out.data() + n, &tail);
  EVP_CIPHER_CTX_free(context);
  out.resize(static_cast<std::size_t>(n + tail));
  return out;
}

// A device's body.
Bytes Body(WORD type, const Bytes& payload = {}, BYTE status = 0) {
  Bytes body(SECURE_BODY_LENGTH, 0);
  auto* b = reinterpret_cast<SecureConfigBody*>(body.data());
  b->Type = type;
  b->Status = status;
  b->PayloadLength = static_cast<WORD>(payload.size());
  if (!payload.empty()) std::memcpy(b->Payload, payload.data(), payload.size());
  return body;
}

const SecureConfigBody* Out(const Bytes& out, int index) {
  return reinterpret_cast<const SecureConfigBody*>(out.data() + index * SECURE_BODY_LENGTH);
}

class SecureHandler : public testing::Test {
 protected:
  void SetUp() override {
    m_key = DeviceKey(&m_modulus);
    std::memset(WizardSettings::m_DeviceKey, 0, sizeof(WizardSettings::m_DeviceKey));
    std::memcpy(WizardSettings::m_DeviceKey, m_modulus.data(), m_modulus.size());
    std::memcpy(g_PasswordKey, "secret\0\0", 8);
    g_PasswordKeyLength = 8;
    ASSERT_EQ(SecureConfigSessionInit(), 1);
    m_out.assign(SECURE_OUTPUT_LENGTH, 0);
    SecureConfigOpenBody(m_out.data());
  }

  int Handle(const Bytes& body, int length = -1) {
    return SecureConfigHandleMessage(body.data(), length < 0 ? static_cast<int>(body.size()) : length, m_out.data(),
                                     m_data.data(), static_cast<int>(m_data.size()));
  }

  // Through the key answer and the nonce to the configuration chain of data.
  void RunTo(int dataLength) {
    m_data.resize(static_cast<std::size_t>(dataLength));
    for (int i = 0; i < dataLength; i++) m_data[static_cast<std::size_t>(i)] = static_cast<BYTE>(i * 7);
    ASSERT_EQ(Handle(Body(SECURE_USE_INFO_KEY)), SECURE_SEND);
    ASSERT_EQ(Handle(Body(SECURE_NONCE, Cipher(EVP_aes_128_ecb(), true, g_ConfigKeyBlock, nullptr, m_nonce))),
              SECURE_SEND);
  }

  // Joins, decrypts and checks the chain in the output area as a device does;
  // returns the number of bodies.
  int CheckChain() {
    Bytes ciphertext;
    int bodies = 0;
    const SecureConfigBody* last = nullptr;
    for (int i = 0; i < SECURE_OUTPUT_BODIES; i++) {
      const SecureConfigBody* b = Out(m_out, i);
      EXPECT_EQ(b->Type, SECURE_CONFIG);
      EXPECT_EQ(b->FragmentIndex, i);
      ciphertext.insert(ciphertext.end(), b->Payload, b->Payload + b->PayloadLength);
      bodies++;
      if (b->More == 0) {
        last = b;
        break;
      }
      EXPECT_EQ(b->PayloadLength, SECURE_PAYLOAD_LENGTH);
      EXPECT_EQ(b->PlainTotal, 0);
      EXPECT_EQ(Bytes(b->IV, b->IV + 16), Bytes(16, 0));
    }
    EXPECT_NE(last, nullptr);
    if (!last) return bodies;
    const int plain = static_cast<int>(m_data.size()) + 24;
    EXPECT_EQ(last->PlainTotal, plain);
    EXPECT_EQ(last->PaddedTotal, (plain + 15) / 16 * 16);
    EXPECT_EQ(ciphertext.size(), last->PaddedTotal);
    EXPECT_EQ(Bytes(last->IV, last->IV + 16), Bytes(g_ConfigIV, g_ConfigIV + 16));
    const Bytes plaintext = Cipher(EVP_aes_128_cbc(), false, g_ConfigKeyBlock, last->IV, ciphertext);
    EXPECT_EQ(Bytes(plaintext.begin(), plaintext.begin() + 4), (Bytes{20, 0, 0, 0}));
    EXPECT_EQ(Bytes(plaintext.begin() + 4, plaintext.begin() + 4 + static_cast<std::ptrdiff_t>(m_data.size())), m_data);
    Bytes signedData(m_data.begin(), m_data.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(m_data.size(), 256)));
    signedData.insert(signedData.end(), m_nonce.begin(), m_nonce.end());
    BYTE mac[EVP_MAX_MD_SIZE];
    EXPECT_EQ(SecureConfigHMAC("SHA1", g_PasswordKey, 8, signedData.data(), static_cast<int>(signedData.size()), mac), 20);
    const auto macAt = plaintext.begin() + 4 + static_cast<std::ptrdiff_t>(m_data.size());
    EXPECT_EQ(Bytes(macAt, macAt + 20), Bytes(mac, mac + 20));
    return bodies;
  }

  Pkey m_key;
  Bytes m_modulus;
  Bytes m_out;
  Bytes m_data;
  Bytes m_nonce = {0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87, 0x98, 0xA9, 0xBA, 0xCB, 0xDC, 0xED, 0xFE, 0x0F};
};

TEST_F(SecureHandler, SessionKeysKeepTheirFormAndTheKeyAnswerCarriesTheKeyBlock) {
  for (int i = 0; i < 12; i++) {
    const BYTE* group = i < 4 ? g_ConfigIV + 4 * i : g_ConfigKeyBlock + 4 * (i - 4);
    EXPECT_EQ(group[2], 0) << i;
    EXPECT_EQ(group[3], 0) << i;
    EXPECT_LT(group[1], 0x80) << i;
  }
  const Bytes first(g_ConfigKeyBlock, g_ConfigKeyBlock + 32);
  ASSERT_EQ(SecureConfigSessionInit(), 1);
  EXPECT_NE(Bytes(g_ConfigKeyBlock, g_ConfigKeyBlock + 32), first) << "drawn afresh";

  // Type 3 echoed by a device asks for nothing new: the opening goes again.
  EXPECT_EQ(Handle(Body(SECURE_OPEN)), SECURE_SEND);
  EXPECT_EQ(Out(m_out, 0)->Type, SECURE_OPEN);
  // Type 4: the key of the information reply (its first 128 bytes).
  ASSERT_EQ(Handle(Body(SECURE_USE_INFO_KEY)), SECURE_SEND);
  const SecureConfigBody* key = Out(m_out, 0);
  EXPECT_EQ(key->Type, SECURE_KEY);
  EXPECT_EQ(key->More, 0);
  ASSERT_EQ(key->PayloadLength, 128);
  EXPECT_EQ(Decrypt(m_key.get(), key->Payload, key->PayloadLength), Bytes(g_ConfigKeyBlock, g_ConfigKeyBlock + 32));
  // A repeated type 4 is dropped; a type outside 1-9 does not advance the last
  // type, so the nonce that follows is still taken.
  EXPECT_EQ(Handle(Body(SECURE_USE_INFO_KEY)), SECURE_IGNORE);
  EXPECT_EQ(Handle(Body(0x30)), SECURE_SEND);
  EXPECT_EQ(g_ConfigLastType, SECURE_USE_INFO_KEY);
  m_data.assign(10, 1);
  ASSERT_EQ(Handle(Body(SECURE_NONCE, Cipher(EVP_aes_128_ecb(), true, g_ConfigKeyBlock, nullptr, m_nonce))), SECURE_SEND);
  EXPECT_EQ(Bytes(g_ConfigNonce, g_ConfigNonce + 16), m_nonce);
  EXPECT_EQ(Handle(Body(SECURE_CONFIG)), SECURE_DONE);
  EXPECT_EQ(g_ConfigLastType, 0) << "a new exchange may begin with type 4 again";
}

TEST_F(SecureHandler, TheChainAtItsLimits) {
  const struct {
    int data;
    int bodies;
  } cases[] = {{968, 1}, {969, 2}, {300, 1}, {2024, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.data);
    ASSERT_EQ(SecureConfigSessionInit(), 1);
    RunTo(c.data);
    EXPECT_EQ(CheckChain(), c.bodies);
  }
  const SecureConfigBody* third = Out(m_out, 2);
  EXPECT_EQ(third->PayloadLength, 64);
  // One byte more than the plaintext's room: refused, nothing new in the output.
  ASSERT_EQ(SecureConfigSessionInit(), 1);
  m_data.assign(2025, 0);
  ASSERT_EQ(Handle(Body(SECURE_USE_INFO_KEY)), SECURE_SEND);
  EXPECT_EQ(Handle(Body(SECURE_NONCE, Bytes(16, 1))), SECURE_FAILED);
  EXPECT_EQ(Out(m_out, 0)->Type, SECURE_KEY);
}

TEST_F(SecureHandler, BadBodiesFailTheExchange) {
  // A device reporting failure, type 0 and a type-7 body.
  EXPECT_EQ(Handle(Body(SECURE_USE_INFO_KEY, {}, 1)), SECURE_FAILED);
  EXPECT_EQ(Handle(Body(0)), SECURE_FAILED);
  EXPECT_EQ(Handle(Body(SECURE_KEY)), SECURE_FAILED);
  // The nonce must be one block.
  for (std::size_t n : {15u, 17u}) {
    ASSERT_EQ(SecureConfigSessionInit(), 1);
    ASSERT_EQ(Handle(Body(SECURE_USE_INFO_KEY)), SECURE_SEND);
    EXPECT_EQ(Handle(Body(SECURE_NONCE, Bytes(n, 0))), SECURE_FAILED) << n;
  }
  // Payload lengths past what arrived or past the body, and a body shorter than
  // its header.
  ASSERT_EQ(SecureConfigSessionInit(), 1);
  Bytes give = Body(SECURE_GIVE_KEY, m_modulus);
  EXPECT_EQ(Handle(give, SECURE_BODY_HEADER_LENGTH + 127), SECURE_FAILED);
  Bytes huge = Body(SECURE_GIVE_KEY);
  reinterpret_cast<SecureConfigBody*>(huge.data())->PayloadLength = 993;
  huge.resize(2000);
  EXPECT_EQ(Handle(huge), SECURE_FAILED);
  EXPECT_EQ(Handle(Body(SECURE_GIVE_KEY), SECURE_BODY_HEADER_LENGTH - 1), SECURE_FAILED);
  // A key RSA cannot use leaves nothing to send.
  ASSERT_EQ(SecureConfigSessionInit(), 1);
  SecureConfigOpenBody(m_out.data());
  EXPECT_EQ(Handle(Body(SECURE_GIVE_KEY, Bytes(16, 0xC5))), SECURE_FAILED);
  EXPECT_EQ(Out(m_out, 0)->Type, SECURE_OPEN);
  // The key given in a type-6 body is used.
  ASSERT_EQ(SecureConfigSessionInit(), 1);
  ASSERT_EQ(Handle(give), SECURE_SEND);
  EXPECT_EQ(Decrypt(m_key.get(), Out(m_out, 0)->Payload, Out(m_out, 0)->PayloadLength),
            Bytes(g_ConfigKeyBlock, g_ConfigKeyBlock + 32));
}

TEST(SecureHelpers, HmacVectorsFingerprintAndFallbackKey) {
  const char* data = "what do ya want for nothing?";
  BYTE mac[EVP_MAX_MD_SIZE];
  ASSERT_EQ(SecureConfigHMAC("SHA1", reinterpret_cast<const BYTE*>("Jefe"), 4, reinterpret_cast<const BYTE*>(data),
                             28, mac),
            20);
  const Bytes sha1 = {0xef, 0xfc, 0xdf, 0x6a, 0xe5, 0xeb, 0x2f, 0xa2, 0xd2, 0x74,
                      0x16, 0xd5, 0xf1, 0x84, 0xdf, 0x9c, 0x25, 0x9a, 0x7c, 0x79};
  EXPECT_EQ(Bytes(mac, mac + 20), sha1);
  ASSERT_EQ(SecureConfigHMAC("MD5", reinterpret_cast<const BYTE*>("Jefe"), 4, reinterpret_cast<const BYTE*>(data), 28,
                             mac),
            16);
  const Bytes md5 = {0x75, 0x0c, 0x78, 0x3e, 0x6a, 0xb0, 0xb5, 0x03, 0xea, 0xa8, 0x6e, 0x31, 0x0a, 0x5d, 0xb7, 0x38};
  EXPECT_EQ(Bytes(mac, mac + 16), md5);
  // An empty key is the key of one zero byte.
  BYTE empty[EVP_MAX_MD_SIZE], zero[EVP_MAX_MD_SIZE];
  const BYTE nul = 0;
  ASSERT_EQ(SecureConfigHMAC("SHA1", nullptr, 0, mac, 4, empty), 20);
  ASSERT_EQ(SecureConfigHMAC("SHA1", &nul, 1, mac, 4, zero), 20);
  EXPECT_EQ(Bytes(empty, empty + 20), Bytes(zero, zero + 20));

  const BYTE node[6] = {0x02, 0x4E, 0x57, 1, 2, 3};
  char text[33];
  ASSERT_TRUE(SecureConfigKeyFingerprint(node, md5.data(), 16, text));
  ASSERT_EQ(std::strlen(text), 32u);
  SecureConfigHMAC("MD5", node, 6, md5.data(), 16, mac);
  char expected[33];
  for (int i = 0; i < 16; i++) std::snprintf(expected + 2 * i, 3, "%02X", mac[i]);
  EXPECT_STREQ(text, expected);

  BYTE fallback[2];
  EXPECT_EQ(SecureConfigFallbackKey(fallback), 2);
}

}  // namespace
