#include "protocol/secure_config.h"

#include <cstdio>
#include <cstring>

#include <openssl/core_names.h>
#include <openssl/param_build.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>

#include "protocol/shared_settings.h"

EVP_PKEY* g_ConfigRSA = NULL;
BYTE g_ConfigIV[16] = {};
BYTE g_ConfigKeyBlock[32] = {};
EVP_CIPHER_CTX* g_ConfigEncryptKey = NULL;
EVP_CIPHER_CTX* g_ConfigDecryptKey = NULL;
BYTE g_ConfigNonce[16] = {};
int g_ConfigLastType = 0;

BYTE g_PasswordKey[SECURE_PASSWORD_KEY_LENGTH] = {};
int g_PasswordKeyLength = 0;

namespace {

constexpr int kAesBlock = 16;
constexpr WORD kMacLengthField = SECURE_MAC_LENGTH;

// Values of 0 to 32767, each stored as 4 bytes little-endian: the form the
// device has always been sent.
BOOL FillGroups(BYTE* out, int groups) {
  WORD values[12];
  if (groups > 12 || RAND_bytes(reinterpret_cast<unsigned char*>(values), groups * 2) != 1) return FALSE;
  for (int i = 0; i < groups; i++) {
    const WORD v = values[i] & 0x7FFF;
    out[4 * i] = LOBYTE(v);
    out[4 * i + 1] = HIBYTE(v);
    out[4 * i + 2] = 0;
    out[4 * i + 3] = 0;
  }
  return TRUE;
}

// A body whose payload lies inside what arrived and inside the body; NULL for
// anything else.
const SecureConfigBody* ReceivedBody(const BYTE* in, int inLength) {
  if (in == NULL || inLength < SECURE_BODY_HEADER_LENGTH) return NULL;
  const auto* body = reinterpret_cast<const SecureConfigBody*>(in);
  if (body->PayloadLength > SECURE_PAYLOAD_LENGTH || SECURE_BODY_HEADER_LENGTH + body->PayloadLength > inLength)
    return NULL;
  return body;
}

// A modulus without its leading zero bytes, which do not change the number.
void SkipLeadingZeros(const BYTE** bytes, int* length) {
  while (*length > 0 && **bytes == 0) {
    (*bytes)++;
    (*length)--;
  }
}

SecureConfigBody* BodyAt(BYTE* out, int index) {
  return reinterpret_cast<SecureConfigBody*>(out + index * SECURE_BODY_LENGTH);
}

void ReplaceKey(EVP_PKEY* key) {
  EVP_PKEY_free(g_ConfigRSA);
  g_ConfigRSA = key;
}

// The type-7 answer: the key block under the device's key.
int KeyAnswer(BYTE* out) {
  BYTE ciphertext[SECURE_PAYLOAD_LENGTH];
  const int n = SecureConfigEncrypt(g_ConfigRSA, g_ConfigKeyBlock, sizeof(g_ConfigKeyBlock), ciphertext,
                                    sizeof(ciphertext));
  // Without a ciphertext there is nothing valid to send.
  if (n <= 0) return SECURE_FAILED;
  SecureConfigBody* body = BodyAt(out, 0);
  std::memset(body, 0, sizeof(*body));
  body->Type = SECURE_KEY;
  body->PayloadLength = static_cast<WORD>(n);
  std::memcpy(body->Payload, ciphertext, static_cast<size_t>(n));
  return SECURE_SEND;
}

// The type-9 answer: the configuration, encrypted, with its MAC.
int ConfigAnswer(BYTE* out, const BYTE* data, int length) {
  if (data == NULL || length < 0 || length > SECURE_MAX_DATA) return SECURE_FAILED;
  const int m = length < SECURE_MAC_DATA ? length : SECURE_MAC_DATA;
  BYTE signedData[SECURE_MAC_DATA + sizeof(g_ConfigNonce)];
  std::memcpy(signedData, data, static_cast<size_t>(m));
  std::memcpy(signedData + m, g_ConfigNonce, sizeof(g_ConfigNonce));
  BYTE mac[EVP_MAX_MD_SIZE];
  if (SecureConfigHMAC("SHA1", g_PasswordKey, g_PasswordKeyLength, signedData, m + static_cast<int>(sizeof(g_ConfigNonce)),
                       mac) != SECURE_MAC_LENGTH)
    return SECURE_FAILED;

  BYTE plaintext[SECURE_MAX_PLAINTEXT] = {};
  const int plainLength = length + 4 + SECURE_MAC_LENGTH;
  plaintext[0] = LOBYTE(kMacLengthField);
  plaintext[1] = HIBYTE(kMacLengthField);
  std::memcpy(plaintext + 4, data, static_cast<size_t>(length));
  std::memcpy(plaintext + 4 + length, mac, SECURE_MAC_LENGTH);
  // A last partial block is padded with zeros.
  const int padded = (plainLength + kAesBlock - 1) / kAesBlock * kAesBlock;

  BYTE ciphertext[SECURE_MAX_PLAINTEXT];
  int written = 0, tail = 0;
  if (g_ConfigEncryptKey == NULL || EVP_EncryptInit_ex(g_ConfigEncryptKey, NULL, NULL, NULL, g_ConfigIV) != 1 ||
      EVP_CIPHER_CTX_set_padding(g_ConfigEncryptKey, 0) != 1 ||
      EVP_EncryptUpdate(g_ConfigEncryptKey, ciphertext, &written, plaintext, padded) != 1 ||
      EVP_EncryptFinal_ex(g_ConfigEncryptKey, ciphertext + written, &tail) != 1 || written + tail != padded)
    return SECURE_FAILED;

  int offset = 0;
  for (int index = 0; index < SECURE_OUTPUT_BODIES; index++) {
    SecureConfigBody* body = BodyAt(out, index);
    std::memset(body, 0, sizeof(*body));
    body->Type = SECURE_CONFIG;
    body->FragmentIndex = static_cast<WORD>(index);
    const int rest = padded - offset;
    if (rest > SECURE_PAYLOAD_LENGTH) {
      body->More = 1;
      body->PayloadLength = SECURE_PAYLOAD_LENGTH;
      std::memcpy(body->Payload, ciphertext + offset, SECURE_PAYLOAD_LENGTH);
      offset += SECURE_PAYLOAD_LENGTH;
      continue;
    }
    // The last body carries the exchange's IV and the totals.
    std::memcpy(body->IV, g_ConfigIV, sizeof(body->IV));
    body->PlainTotal = static_cast<WORD>(plainLength);
    body->PaddedTotal = static_cast<WORD>(padded);
    body->PayloadLength = static_cast<WORD>(rest);
    std::memcpy(body->Payload, ciphertext + offset, static_cast<size_t>(rest));
    return SECURE_SEND;
  }
  return SECURE_FAILED;  // 2048 bytes always fit in three bodies
}

}  // namespace

EVP_PKEY* SecureConfigPublicKey(const BYTE* modulus, int length) {
  if (modulus == NULL || length <= 0) return NULL;
  BIGNUM* n = BN_bin2bn(modulus, length, NULL);
  BIGNUM* e = BN_new();
  OSSL_PARAM_BLD* build = OSSL_PARAM_BLD_new();
  OSSL_PARAM* params = NULL;
  EVP_PKEY_CTX* context = NULL;
  EVP_PKEY* key = NULL;
  // e = 3: bits 0 and 1.
  if (n != NULL && e != NULL && build != NULL && !BN_is_zero(n) && BN_set_bit(e, 0) == 1 && BN_set_bit(e, 1) == 1 &&
      OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_N, n) == 1 &&
      OSSL_PARAM_BLD_push_BN(build, OSSL_PKEY_PARAM_RSA_E, e) == 1 &&
      (params = OSSL_PARAM_BLD_to_param(build)) != NULL &&
      (context = EVP_PKEY_CTX_new_from_name(NULL, "RSA", NULL)) != NULL && EVP_PKEY_fromdata_init(context) == 1) {
    if (EVP_PKEY_fromdata(context, &key, EVP_PKEY_PUBLIC_KEY, params) != 1) key = NULL;
  }
  EVP_PKEY_CTX_free(context);
  OSSL_PARAM_free(params);
  OSSL_PARAM_BLD_free(build);
  BN_free(e);
  BN_free(n);
  return key;
}

int SecureConfigEncrypt(EVP_PKEY* key, const BYTE* in, int inLength, BYTE* out, int outSize) {
  if (key == NULL || in == NULL || inLength < 0 || out == NULL || outSize <= 0) return 0;
  EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_pkey(NULL, key, NULL);
  size_t size = 0;
  int result = 0;
  if (context != NULL && EVP_PKEY_encrypt_init(context) == 1 &&
      EVP_PKEY_CTX_set_rsa_padding(context, RSA_PKCS1_OAEP_PADDING) == 1 &&
      EVP_PKEY_CTX_set_rsa_oaep_md(context, EVP_sha1()) == 1 && EVP_PKEY_CTX_set_rsa_mgf1_md(context, EVP_sha1()) == 1 &&
      EVP_PKEY_encrypt(context, NULL, &size, in, static_cast<size_t>(inLength)) == 1 &&
      size <= static_cast<size_t>(outSize) &&
      EVP_PKEY_encrypt(context, out, &size, in, static_cast<size_t>(inLength)) == 1) {
    result = static_cast<int>(size);
  }
  EVP_PKEY_CTX_free(context);
  return result;
}

int SecureConfigHMAC(const char* digest, const BYTE* key, int keyLength, const BYTE* data, int length, BYTE* out) {
  if (digest == NULL || keyLength < 0 || length < 0 || out == NULL) return 0;
  // HMAC pads its key with zeros, so an empty key is the key of one zero byte,
  // which every provider takes.
  static const BYTE kZero = 0;
  if (key == NULL || keyLength == 0) {
    key = &kZero;
    keyLength = 1;
  }
  static const BYTE kNothing = 0;
  size_t size = 0;
  if (EVP_Q_mac(NULL, "HMAC", NULL, digest, NULL, key, static_cast<size_t>(keyLength), data ? data : &kNothing,
                static_cast<size_t>(length), out, EVP_MAX_MD_SIZE, &size) == NULL)
    return 0;
  return static_cast<int>(size);
}

int SecureConfigFallbackKey(BYTE* key) {
  // Built at run time rather than kept as text in the program.
  key[0] = static_cast<BYTE>('v' ^ 0x20);
  key[1] = static_cast<BYTE>('k' ^ 0x20);
  return SECURE_FALLBACK_KEY_LENGTH;
}

BOOL SecureConfigKeyFingerprint(const BYTE* nodeID, const BYTE* modulus, int length, char* text) {
  if (text == NULL) return FALSE;
  text[0] = 0;
  BYTE mac[EVP_MAX_MD_SIZE];
  if (nodeID == NULL || SecureConfigHMAC("MD5", nodeID, 6, modulus, length, mac) != 16) return FALSE;
  for (int i = 0; i < 16; i++) std::snprintf(text + 2 * i, 3, "%02X", mac[i]);
  return TRUE;
}

void SecureConfigOpenBody(BYTE* out) {
  SecureConfigBody* body = BodyAt(out, 0);
  std::memset(body, 0, sizeof(*body));
  body->Type = SECURE_OPEN;
}

int SecureConfigSessionInit() {
  ReplaceKey(NULL);
  g_ConfigLastType = 0;
  std::memset(g_ConfigNonce, 0, sizeof(g_ConfigNonce));
  if (g_ConfigEncryptKey == NULL) g_ConfigEncryptKey = EVP_CIPHER_CTX_new();
  if (g_ConfigDecryptKey == NULL) g_ConfigDecryptKey = EVP_CIPHER_CTX_new();
  if (g_ConfigEncryptKey == NULL || g_ConfigDecryptKey == NULL) return 0;
  if (!FillGroups(g_ConfigIV, 4) || !FillGroups(g_ConfigKeyBlock, 8)) return 0;
  if (EVP_EncryptInit_ex(g_ConfigEncryptKey, EVP_aes_128_cbc(), NULL, g_ConfigKeyBlock, g_ConfigIV) != 1 ||
      EVP_DecryptInit_ex(g_ConfigDecryptKey, EVP_aes_128_ecb(), NULL, g_ConfigKeyBlock, NULL) != 1 ||
      EVP_CIPHER_CTX_set_padding(g_ConfigEncryptKey, 0) != 1 || EVP_CIPHER_CTX_set_padding(g_ConfigDecryptKey, 0) != 1)
    return 0;
  return 1;
}

BOOL SecureConfigReadBody(const BYTE* in, int inLength, WORD* type, BYTE* status) {
  const SecureConfigBody* body = ReceivedBody(in, inLength);
  if (body == NULL) return FALSE;
  *type = body->Type;
  *status = body->Status;
  return TRUE;
}

BOOL SecureConfigOffersKey(const BYTE* in, int inLength, const BYTE* modulus, int length) {
  const SecureConfigBody* body = ReceivedBody(in, inLength);
  if (body == NULL || body->Status != 0 || modulus == NULL || length <= 0) return FALSE;
  if (body->Type == SECURE_USE_INFO_KEY) return length == SECURE_DEVICE_KEY_LENGTH;
  if (body->Type != SECURE_GIVE_KEY) return FALSE;
  const BYTE* given = body->Payload;
  int givenLength = body->PayloadLength;
  SkipLeadingZeros(&given, &givenLength);
  SkipLeadingZeros(&modulus, &length);
  return givenLength > 0 && givenLength == length && std::memcmp(given, modulus, static_cast<size_t>(length)) == 0;
}

int SecureConfigHandleMessage(const BYTE* in, int inLength, BYTE* out, const BYTE* data, int length) {
  // The payload must lie inside what arrived and inside the body.
  const SecureConfigBody* body = ReceivedBody(in, inLength);
  if (body == NULL || out == NULL) return SECURE_FAILED;
  if (body->Status != 0) return SECURE_FAILED;

  const int type = body->Type;
  if (type == 0) return SECURE_FAILED;
  // Not a type of this exchange: it must not hold back the ones that are. The
  // previous output is sent again.
  if (type > SECURE_LAST_TYPE) return SECURE_SEND;
  if (type <= g_ConfigLastType) return SECURE_IGNORE;
  g_ConfigLastType = type;

  switch (type) {
    case SECURE_KEY:
      return SECURE_FAILED;
    case SECURE_USE_INFO_KEY:
      ReplaceKey(SecureConfigPublicKey(WizardSettings::m_DeviceKey, SECURE_DEVICE_KEY_LENGTH));
      return KeyAnswer(out);
    case SECURE_GIVE_KEY:
      ReplaceKey(SecureConfigPublicKey(body->Payload, body->PayloadLength));
      return KeyAnswer(out);
    case SECURE_NONCE: {
      if (body->PayloadLength != kAesBlock) return SECURE_FAILED;
      int written = 0;
      if (g_ConfigDecryptKey == NULL ||
          EVP_DecryptUpdate(g_ConfigDecryptKey, g_ConfigNonce, &written, body->Payload, kAesBlock) != 1 ||
          written != kAesBlock)
        return SECURE_FAILED;
      return ConfigAnswer(out, data, length);
    }
    case SECURE_CONFIG:
      g_ConfigLastType = 0;
      return SECURE_DONE;
    default:
      // Types 1, 2, 3 and 5 ask for nothing new: the previous output goes again.
      return SECURE_SEND;
  }
}
