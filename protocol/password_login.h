// The password login of a print server that offers the secured exchange: the
// device checks the administrator password itself. The wizard sends the password
// key, RSA-OAEP encrypted under the device's public key (exponent 3), in a type-1
// body of the secured exchange's datagram; the device answers with a type-2 body
// whose status byte is 0 when it took the password.
//
// The password key stays in g_PasswordKey and g_PasswordKeyLength: it is the HMAC
// key of the configuration exchange that follows. All of it runs on the
// user-interface thread.
#pragma once

#include <openssl/evp.h>

#include "kernel/types.h"

class XUDPSocket;

// The login's public key, apart from the configuration exchange's.
extern EVP_PKEY* g_LoginRSA;

// LoginWithPassword results.
constexpr int LOGIN_ACCEPTED = 0;
constexpr int LOGIN_REFUSED = 1;
constexpr int LOGIN_NO_ANSWER = 2;  // no verdict from the device after every send
constexpr int LOGIN_NO_KEY = 3;     // the device's key cannot carry the password: nothing was sent

constexpr int LOGIN_SENDS = 3;
constexpr int LOGIN_TIMEOUT = 3500;  // ms each send waits for the verdict

// g_LoginRSA := the key of the first length bytes of modulus (big-endian) and
// exponent 3; the previous key is released. FALSE when no key can be made (no
// modulus, length 0), and g_LoginRSA is then NULL.
BOOL SetupRSAKey(const BYTE* modulus, int length);

// The password key: the typed password's first 8 characters, zero-padded (length
// 8); the 2-byte fallback key when the device needs no password or none was
// typed.
void SetPasswordKey(LPCSTR password, BOOL noPassword);

// The login datagram (PS_SECURE_DATAGRAM_LENGTH bytes) with the password key
// encrypted under g_LoginRSA: its length, or 0 when the encryption fails.
int BuildLoginDatagram(BYTE* datagram);

// A device's answer: LOGIN_ACCEPTED or LOGIN_REFUSED for a verdict ("NET", 0xA5
// at byte 4, body type 2), -1 for anything else.
int ReadLoginVerdict(const BYTE* datagram, int length);

// Sets the password key, sends the login to address (4 bytes, network order,
// port 20560) up to LOGIN_SENDS times over socket and waits LOGIN_TIMEOUT ms
// after each for a verdict; only datagrams from that address and port count, so
// stray datagrams are read past. g_LoginRSA must be set up.
int LoginWithPassword(XUDPSocket& socket, LPCSTR password, BOOL noPassword, const BYTE* address);
