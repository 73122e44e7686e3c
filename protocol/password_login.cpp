#include "protocol/password_login.h"

#include <cstring>

#include "kernel/clock.h"
#include "protocol/packet_header.h"
#include "protocol/secure_config.h"
#include "protocol/trace.h"
#include "protocol/xudp_socket.h"

EVP_PKEY* g_LoginRSA = NULL;

namespace {

// A verdict carries the body's type (bytes 6-7) and status (byte 8).
constexpr int kVerdictLength = PS_HEADER_LENGTH + 3;

// Releases the login key when the program ends.
struct LoginKeyRelease {
  ~LoginKeyRelease() {
    EVP_PKEY_free(g_LoginRSA);
    g_LoginRSA = NULL;
  }
} g_LoginKeyRelease;

}  // namespace

BOOL SetupRSAKey(const BYTE* modulus, int length) {
  EVP_PKEY_free(g_LoginRSA);
  g_LoginRSA = SecureConfigPublicKey(modulus, length);
  return g_LoginRSA != NULL;
}

void SetPasswordKey(LPCSTR password, BOOL noPassword) {
  std::memset(g_PasswordKey, 0, sizeof(g_PasswordKey));
  const size_t typed = password ? std::strlen(password) : 0;
  std::memcpy(g_PasswordKey, password ? password : "", typed < sizeof(g_PasswordKey) ? typed : sizeof(g_PasswordKey));
  g_PasswordKeyLength = SECURE_PASSWORD_KEY_LENGTH;
  if (noPassword || typed == 0) {
    std::memset(g_PasswordKey, 0, sizeof(g_PasswordKey));
    g_PasswordKeyLength = SecureConfigFallbackKey(g_PasswordKey);
  }
}

int BuildLoginDatagram(BYTE* datagram) {
  std::memset(datagram, 0, PS_SECURE_DATAGRAM_LENGTH);
  PSBuildHeader(datagram, 0, PSCMD_SECURE_WORD);
  auto* body = reinterpret_cast<SecureConfigBody*>(datagram + PS_HEADER_LENGTH);
  const int n = SecureConfigEncrypt(g_LoginRSA, g_PasswordKey, g_PasswordKeyLength, body->Payload,
                                    SECURE_PAYLOAD_LENGTH);
  if (n <= 0) return 0;
  body->Type = SECURE_LOGIN;
  body->PayloadLength = static_cast<WORD>(n);
  return PS_SECURE_DATAGRAM_LENGTH;
}

int ReadLoginVerdict(const BYTE* datagram, int length) {
  if (datagram == NULL || length < kVerdictLength || std::memcmp(datagram, "NET", 3) != 0 ||
      datagram[4] != PSReplyCode(PSCMD_SECURE) || PSGetWord(datagram + PS_HEADER_LENGTH) != SECURE_LOGIN_VERDICT)
    return -1;
  return datagram[PS_HEADER_LENGTH + 2] == 0 ? LOGIN_ACCEPTED : LOGIN_REFUSED;
}

int LoginWithPassword(XUDPSocket& socket, LPCSTR password, BOOL noPassword, const BYTE* address) {
  SetPasswordKey(password, noPassword);
  BYTE datagram[PS_SECURE_DATAGRAM_LENGTH];
  // Without a ciphertext there is nothing the device could check.
  if (BuildLoginDatagram(datagram) == 0) {
    DebugTrace("LoginWithPassword() = %d[RSA]\r\n", LOGIN_NO_KEY);
    return LOGIN_NO_KEY;
  }

  socket.Create(0);
  socket.m_Address.sin_family = AF_INET;
  socket.m_Address.sin_port = htons(PS_PORT);
  std::memcpy(&socket.m_Address.sin_addr.s_addr, address, 4);
  socket.SetTimeout(LOGIN_TIMEOUT);
  socket.EnableBroadcast(TRUE);

  int result = LOGIN_NO_ANSWER;
  BYTE buffer[PS_BUFFER_LENGTH];
  for (int send = 0; send < LOGIN_SENDS && result == LOGIN_NO_ANSWER; send++) {
    // A send that fails cannot be answered.
    if (socket.Send(reinterpret_cast<const char*>(datagram), PS_SECURE_DATAGRAM_LENGTH, 0) <= 0) continue;
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; spent < LOGIN_TIMEOUT && result == LOGIN_NO_ANSWER; spent = GetTickCount() - start) {
      socket.SetTimeout(static_cast<int>(LOGIN_TIMEOUT - spent));
      std::memset(buffer, 0, sizeof(buffer));
      const int n = socket.Receive(reinterpret_cast<char*>(buffer), sizeof(buffer), XSOCKET_WAIT);
      if (n <= 0) continue;
      // Only the device's own answer counts; anything else is read past.
      if (std::memcmp(&socket.m_FromAddress.sin_addr.s_addr, address, 4) != 0 ||
          socket.m_FromAddress.sin_port != htons(PS_PORT))
        continue;
      const int verdict = ReadLoginVerdict(buffer, n);
      if (verdict >= 0) result = verdict;
    }
  }
  socket.Close();
  DebugTrace("LoginWithPassword() = %d\r\n", result);
  return result;
}
