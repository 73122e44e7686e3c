// The secured configuration exchange: the wizard makes a random AES-128 key and
// sends it RSA-OAEP encrypted under the device's public key (exponent 3); the
// device answers with a nonce encrypted under that key; the wizard then sends the
// configuration AES-128-CBC encrypted, with an HMAC-SHA1 over the data and the
// nonce keyed with the password key of the login. The same body carries the
// password login (types 1 and 2).
//
// The exchange state is process-wide, one exchange at a time, on the
// user-interface thread. Cryptography is OpenSSL 3 through EVP.
#pragma once

#include <bit>
#include <cstddef>

#include <openssl/evp.h>

#include "kernel/types.h"

static_assert(std::endian::native == std::endian::little, "the body's integers are little-endian");

constexpr int SECURE_BODY_LENGTH = 1020;
constexpr int SECURE_BODY_HEADER_LENGTH = 28;
constexpr int SECURE_PAYLOAD_LENGTH = 992;
// Three bodies laid 1020 bytes apart: the most a configuration needs.
constexpr int SECURE_OUTPUT_BODIES = 3;
constexpr int SECURE_OUTPUT_LENGTH = SECURE_OUTPUT_BODIES * SECURE_BODY_LENGTH;
// Plaintext = the MAC length (4 bytes), the data, the 20-byte MAC; at most 2048.
constexpr int SECURE_MAX_PLAINTEXT = 2048;
constexpr int SECURE_MAC_LENGTH = 20;
constexpr int SECURE_MAX_DATA = SECURE_MAX_PLAINTEXT - 4 - SECURE_MAC_LENGTH;  // 2024
// Only this much of the data enters the MAC.
constexpr int SECURE_MAC_DATA = 256;
// The type-4 answer takes the key from the device's information reply: a
// 1024-bit modulus.
constexpr int SECURE_DEVICE_KEY_LENGTH = 128;
constexpr int SECURE_PASSWORD_KEY_LENGTH = 8;
constexpr int SECURE_FALLBACK_KEY_LENGTH = 2;

// Message types.
constexpr WORD SECURE_LOGIN = 1;          // wizard: RSA ciphertext of the password key
constexpr WORD SECURE_LOGIN_VERDICT = 2;  // device: status 0 accepted
constexpr WORD SECURE_OPEN = 3;           // wizard: opens a configuration exchange
constexpr WORD SECURE_USE_INFO_KEY = 4;   // device: use the key of the information reply
constexpr WORD SECURE_GIVE_KEY = 6;       // device: the modulus to use, in the payload
constexpr WORD SECURE_KEY = 7;            // wizard: RSA ciphertext of the 32-byte key block
constexpr WORD SECURE_NONCE = 8;          // device: its nonce, one AES block
constexpr WORD SECURE_CONFIG = 9;         // wizard: the configuration; device: complete
constexpr WORD SECURE_LAST_TYPE = 9;

#pragma pack(push, 1)
struct SecureConfigBody {
  WORD Type;
  BYTE Status;         // 0 good; else the sender reports failure
  BYTE More;           // 1: another body of the same message follows
  WORD FragmentIndex;  // 0, 1, 2 ... within one message
  BYTE IV[16];         // the last body of a type-9 message only
  WORD PlainTotal;     // type 9, last body: plaintext bytes before padding
  WORD PaddedTotal;    // type 9, last body: ciphertext bytes of all bodies
  WORD PayloadLength;
  BYTE Payload[SECURE_PAYLOAD_LENGTH];
};
#pragma pack(pop)
static_assert(sizeof(SecureConfigBody) == SECURE_BODY_LENGTH);
static_assert(offsetof(SecureConfigBody, Payload) == SECURE_BODY_HEADER_LENGTH);

// SecureConfigHandleMessage results.
constexpr int SECURE_FAILED = -1;   // end the exchange: the upload failed
constexpr int SECURE_SEND = 0;      // send the output area
constexpr int SECURE_DONE = 1;      // the exchange is complete
constexpr int SECURE_IGNORE = 2;    // a repeated or stale message: wait for the next

// Exchange state.
extern EVP_PKEY* g_ConfigRSA;                 // the device's public key for this exchange
extern BYTE g_ConfigIV[16];
extern BYTE g_ConfigKeyBlock[32];             // its first 16 bytes are the AES-128 key
extern EVP_CIPHER_CTX* g_ConfigEncryptKey;    // AES-128-CBC under that key
extern EVP_CIPHER_CTX* g_ConfigDecryptKey;    // single-block AES under that key
extern BYTE g_ConfigNonce[16];
extern int g_ConfigLastType;                  // highest device type accepted; 0 = none

// The password key of the last login: the HMAC key of the exchange.
extern BYTE g_PasswordKey[SECURE_PASSWORD_KEY_LENGTH];
extern int g_PasswordKeyLength;

// Starts a new exchange: a fresh key block and IV (from RAND_bytes, each 4-byte
// group holding a value of 0 to 32767 as the device expects), new cipher
// contexts, no device key yet, last type 0. 0 when something cannot be had.
int SecureConfigSessionInit();

// One body received from the device. in holds inLength bytes (the datagram from
// byte 6 on); out is the output area of SECURE_OUTPUT_LENGTH bytes, which keeps
// the previous output unless a new one is made; data and length are the
// configuration (the stored information reply, header included).
int SecureConfigHandleMessage(const BYTE* in, int inLength, BYTE* out, const BYTE* data, int length);

// Writes the opening body (type 3) into out (one body).
void SecureConfigOpenBody(BYTE* out);

// The type and status of a body received from the device, when its payload lies
// inside what arrived (inLength bytes); FALSE for anything else.
BOOL SecureConfigReadBody(const BYTE* in, int inLength, WORD* type, BYTE* status);
// Whether a received body answers the opening with a key that is the chosen
// device's (modulus, length bytes, from its information reply), status 0: type 4
// (use the key of the information reply, which is read as 1024 bits) when that
// key is of 1024 bits, or type 6 carrying that same modulus. Only the device that
// holds this key can answer the key sent under it.
BOOL SecureConfigOffersKey(const BYTE* in, int inLength, const BYTE* modulus, int length);

// An RSA public key of modulus n (big-endian bytes) and exponent 3, or NULL.
// Free it with EVP_PKEY_free.
EVP_PKEY* SecureConfigPublicKey(const BYTE* modulus, int length);
// RSA-OAEP (SHA-1, MGF1 with SHA-1) of in under key into out: the ciphertext
// length, or 0 when it fails or does not fit in outSize.
int SecureConfigEncrypt(EVP_PKEY* key, const BYTE* in, int inLength, BYTE* out, int outSize);

// HMAC of data under key with the named digest ("SHA1", "MD5") into out (at least
// EVP_MAX_MD_SIZE bytes): its length, or 0.
int SecureConfigHMAC(const char* digest, const BYTE* key, int keyLength, const BYTE* data, int length, BYTE* out);

// The 2-byte key a login sends when no password is to be given.
int SecureConfigFallbackKey(BYTE* key);

// The fingerprint of a device key as the save page shows it: HMAC-MD5 of the
// modulus keyed with the 6-byte MAC, 32 upper-case hex digits (text holds 33).
BOOL SecureConfigKeyFingerprint(const BYTE* nodeID, const BYTE* modulus, int length, char* text);
