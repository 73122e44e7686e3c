// CPrintServer: the status and port-information queries, the configuration
// upload and the restart.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "kernel/clock.h"
#include "protocol/generation.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/secure_config.h"
#include "protocol/trace.h"
#include "protocol/xudp_socket.h"

namespace {

constexpr int kStatusTimeout = 3500;
constexpr int kPortInfoTimeout = 3500;
// A port-information reply: the port at byte 6, its three texts from byte 7.
constexpr int kPortInfoPort = PS_HEADER_LENGTH;
constexpr int kPortInfoTexts = PS_HEADER_LENGTH + 1;
constexpr int kPortInfoTextCount = 3;
constexpr int kUploadTimeout = 5000;
constexpr int kSecureAttempts = 3;
// However the device answers, the secured exchange ends within this time: a
// stale body repeated over and over would otherwise keep it going.
constexpr DWORD kSecureDeadline = 20000;
constexpr int kRestartCopies = 2;
constexpr int kWholeCopies = 3;
constexpr WORD kStatusReply = 0x0088;
constexpr WORD kBlockReply = 0x00A1;
constexpr WORD kUploadReply = 0x0081;
constexpr WORD kSecureReply = 0x00A5;
constexpr BYTE kBroadcast[4] = {0xFF, 0xFF, 0xFF, 0xFF};

void Aim(XUDPSocket& socket, const BYTE* address) {
  socket.m_Address.sin_family = AF_INET;
  socket.m_Address.sin_port = htons(PS_PORT);
  std::memcpy(&socket.m_Address.sin_addr.s_addr, address, 4);
}

int Send(XUDPSocket& socket, const BYTE* data, int length) {
  return socket.Send(reinterpret_cast<const char*>(data), length, 0);
}

// One datagram from the address (any sender when from is NULL) that take
// accepts, within timeoutMs; 0 when none came.
template <typename Take>
int ReceiveMatching(XUDPSocket& socket, BYTE* buffer, DWORD timeoutMs, const BYTE* from, Take take) {
  if (!socket.m_bCreated) return 0;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return 0;
    socket.SetTimeout(static_cast<int>(timeoutMs - spent));
    const int n = socket.Receive(reinterpret_cast<char*>(buffer), PS_BUFFER_LENGTH, XSOCKET_WAIT);
    if (n <= 0) continue;  // a time-out ends at the top; an empty or refused datagram is no answer
    if (from != NULL && std::memcmp(&socket.m_FromAddress.sin_addr.s_addr, from, 4) != 0) continue;
    if (take(buffer, n)) return n;
  }
}

// "NET" and a port byte naming a port a record can have; whatever the command word.
BOOL IsPortInfoReply(const BYTE* reply, int length) {
  return length >= kPortInfoTexts && std::memcmp(reply, "NET", 3) == 0 && reply[kPortInfoPort] >= 1 &&
         reply[kPortInfoPort] <= PS_MAX_PORTS;
}

std::string TrimBlanks(const char* text, size_t length) {
  size_t first = 0;
  while (first < length && (text[first] == ' ' || text[first] == '\t')) first++;
  while (length > first && (text[length - 1] == ' ' || text[length - 1] == '\t')) length--;
  return std::string(text + first, length - first);
}

// The texts of a port-information reply. The device's word is trusted in
// nothing: a text without its NUL ends with the datagram, and texts the reply
// does not reach are empty.
void ReadPortTexts(const BYTE* reply, int length, std::string* texts) {
  int at = kPortInfoTexts;
  for (int i = 0; i < kPortInfoTextCount; i++) {
    texts[i].clear();
    if (at >= length) continue;
    int end = at;
    while (end < length && reply[end] != 0) end++;
    texts[i] = TrimBlanks(reinterpret_cast<const char*>(reply + at), static_cast<size_t>(end - at));
    at = end + 1;
  }
}

// The secured exchange's output: one datagram when the first body is the whole
// message, else one per body of the chain.
void SendSecureOutput(XUDPSocket& socket, const BYTE* out) {
  BYTE datagram[PS_SECURE_DATAGRAM_LENGTH];
  for (int i = 0; i < SECURE_OUTPUT_BODIES; i++) {
    const auto* body = reinterpret_cast<const SecureConfigBody*>(out + i * SECURE_BODY_LENGTH);
    if (i > 0 && body->PayloadLength == 0) break;
    std::memset(datagram, 0, sizeof(datagram));
    PSBuildHeader(datagram, PSTYPE_CONFIG, PSCMD_SECURE_WORD);
    std::memcpy(datagram + PS_HEADER_LENGTH, body, SECURE_BODY_LENGTH);
    Send(socket, datagram, sizeof(datagram));
    if (body->More == 0) break;
  }
}

}  // namespace

BOOL CPrintServer::BuildStatusRequest(BYTE* request, BYTE* address) {
  if (!(m_Transport & PS_TRANSPORT_UDP) || !HasIPSettings()) return FALSE;
  const BYTE* configured = GetIPAddress();
  if (configured == NULL) return FALSE;
  std::memcpy(address, configured, 4);
  std::memset(request, 0, PS_REQUEST_LENGTH);
  if (m_Generation == PS_GENERATION_QIM_SETUP) PSBuildOldHeader(request, PSCMD_STATUS);
  else PSBuildHeader(request, 0, PSCMD_STATUS);
  return TRUE;
}

BOOL CPrintServer::TakeStatusReply(const BYTE* reply, int length) {
  if (reply == NULL) return FALSE;
  if (m_Generation == PS_GENERATION_QIM_SETUP && length >= 5 && PSIsOldReplyWord(reply, length, kStatusReply)) {
    m_PortStatus = reply[4];
    m_PortStatus2 = 0;
  } else if (m_Generation == PS_GENERATION_NET && length >= 8 && PSIsReplyWord(reply, length, kStatusReply)) {
    m_PortStatus = reply[6];
    m_PortStatus2 = reply[7];
  } else {
    return FALSE;
  }
  m_StatusTick = GetTickCount();
  return TRUE;
}

BOOL CPrintServer::QueryStatus() {
  BYTE buffer[PS_BUFFER_LENGTH];
  BYTE address[4];
  if (!BuildStatusRequest(buffer, address)) return FALSE;
  XUDPSocket socket;
  socket.Create(0);
  Aim(socket, address);
  socket.SetTimeout(kStatusTimeout);
  BOOL valid = FALSE;
  if (Send(socket, buffer, PS_REQUEST_LENGTH) > 0) {
    const int n = socket.Receive(reinterpret_cast<char*>(buffer), sizeof(buffer), XSOCKET_WAIT);
    valid = TakeStatusReply(buffer, n);
  }
  socket.Close();
  return valid;
}

BOOL CPrintServer::QueryPortInfo() {
  if (!IsExtended() || !(m_Transport & PS_TRANSPORT_UDP)) return FALSE;
  const BYTE* flags = SectionField(m_pSystem, PSField::SystemFlags, 1);
  if (flags == NULL || !(*flags & PS_SYSTEM_PORT_INFO)) return FALSE;
  // The configured address: the one the device answered from may be the
  // broadcast address.
  const BYTE* address = GetIPAddress();
  if (address == NULL) return FALSE;

  m_PortInfoRead = 1;
  for (auto& port : m_PortInfo)
    for (std::string& text : port) text.clear();
  BOOL answered = FALSE;
  const int ports = GetPortCount();
  for (int p = 1; p <= ports && p <= PS_MAX_PORTS; p++) {
    if (((m_PortStatus >> (2 * (p - 1))) & 0x3) == PS_PORT_OFFLINE) continue;
    XUDPSocket socket;
    socket.Create(0);
    Aim(socket, address);
    BYTE buffer[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(buffer, PSTYPE_CONFIG, PSCMD_PORT_INFO);
    buffer[PS_HEADER_LENGTH] = static_cast<BYTE>(p);
    const int n = Send(socket, buffer, length) == length
                      ? ReceiveMatching(socket, buffer, kPortInfoTimeout, address, IsPortInfoReply)
                      : 0;
    if (n > 0) {
      // Read from a copy of its own length, so that a read past the datagram is
      // caught by the sanitizer rather than landing in the rest of the buffer.
      const std::vector<BYTE> reply(buffer, buffer + n);
      ReadPortTexts(reply.data(), n, m_PortInfo[reply[kPortInfoPort] - 1]);
      answered = TRUE;
    }
    socket.Close();
  }
  DebugTrace("CPrintServer::QueryPortInfo() = %d\r\n", answered);
  return answered;
}

int CPrintServer::ReceiveFromDevice(XUDPSocket& socket, BYTE* buffer, DWORD timeoutMs) {
  const BOOL anySender = std::memcmp(m_IPAddress, kBroadcast, sizeof(kBroadcast)) == 0;
  return ReceiveMatching(socket, buffer, timeoutMs, anySender ? NULL : m_IPAddress,
                         [](const BYTE*, int) { return TRUE; });
}

BOOL CPrintServer::SendRestart(XUDPSocket& socket) {
  BYTE restart[PS_BUFFER_LENGTH];
  const int length = PSBuildPlainRequest(restart, PSTYPE_CONFIG, PSCMD_RESTART);
  std::memcpy(restart + PS_IDENTITY_OFFSET, m_NodeID, sizeof(m_NodeID));
  BOOL sent = TRUE;
  for (int i = 0; i < kRestartCopies; i++)
    if (Send(socket, restart, length) != length) sent = FALSE;
  return sent;
}

BOOL CPrintServer::Restart() {
  if (!(m_Transport & PS_TRANSPORT_UDP)) return FALSE;
  XUDPSocket socket;
  socket.Create(0);
  // m_IPAddress is the broadcast address for a device found late in the search.
  socket.EnableBroadcast(TRUE);
  Aim(socket, m_IPAddress);
  const BOOL sent = SendRestart(socket);
  DebugTrace("CPrintServer::Restart() = %d\r\n", sent);
  socket.Close();
  return sent;
}

DWORD CPrintServer::SendConfigTimeLimit() const {
  const PSCapabilities caps = GetCapabilities();
  // The secured exchange ends by its deadline; an upload waits for one answer.
  return caps.IsSet(PSCAP_SECURE_CONFIG) ? kSecureDeadline : static_cast<DWORD>(kUploadTimeout);
}

BOOL CPrintServer::SendConfig() {
  if (!(m_Transport & PS_TRANSPORT_UDP)) return FALSE;
  if (m_pReply == NULL || m_ReplyLength < PS_IDENTITY_OFFSET + 6) return FALSE;
  XUDPSocket socket;
  socket.Create(0);
  socket.EnableBroadcast(TRUE);
  Aim(socket, m_IPAddress);
  socket.SetTimeout(kUploadTimeout);

  const PSCapabilities caps = GetCapabilities();
  BOOL accepted;
  if (caps.IsSet(PSCAP_SECURE_CONFIG)) accepted = SecureUpload(socket);
  else if (caps.IsSet(PSCAP_SECURITY)) accepted = BlockUpload(socket);
  else accepted = WholeUpload(socket);
  DebugTrace("CPrintServer::SendConfig() = %d\r\n", accepted);

  if (accepted) SendRestart(socket);
  socket.Close();
  return accepted;
}

BOOL CPrintServer::SecureUpload(XUDPSocket& socket) {
  SecureConfigSessionInit();
  BYTE opening[SECURE_OUTPUT_LENGTH];
  std::memset(opening, 0, sizeof(opening));
  SecureConfigOpenBody(opening);
  BYTE out[SECURE_OUTPUT_LENGTH];
  std::memcpy(out, opening, sizeof(out));
  SendSecureOutput(socket, out);

  // Aimed at the device's own address, the exchange is the device's alone. Opened
  // by broadcast, it is answered by every device that offers it: the key goes,
  // under this device's public key, to each that answers with that key, and the
  // exchange goes on with the first that answers the key, which only this device
  // can, and with that device alone.
  BYTE peer[4];
  std::memcpy(peer, m_IPAddress, sizeof(peer));
  BOOL havePeer = std::memcmp(m_IPAddress, kBroadcast, sizeof(kBroadcast)) != 0;
  std::vector<DWORD> keyHolders;  // sent the key, and not refused it yet
  BOOL keyMade = FALSE;
  int modulusLength = 0;
  const BYTE* modulus = GetRSAModulus(&modulusLength);

  const DWORD start = GetTickCount();
  BYTE buffer[PS_BUFFER_LENGTH];
  int failures = 0;
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= kSecureDeadline) return FALSE;
    const DWORD wait = kSecureDeadline - spent < static_cast<DWORD>(kUploadTimeout) ? kSecureDeadline - spent
                                                                                    : static_cast<DWORD>(kUploadTimeout);
    const int n = ReceiveMatching(socket, buffer, wait, havePeer ? peer : NULL, [](const BYTE*, int) { return TRUE; });
    if (!PSIsReplyWord(buffer, n, kSecureReply)) {
      if (++failures >= kSecureAttempts) return FALSE;
      // Before a device has answered the key, every device is asked again.
      if (!havePeer) Aim(socket, kBroadcast);
      SendSecureOutput(socket, havePeer ? out : opening);
      continue;
    }
    failures = 0;
    const BYTE* body = buffer + PS_HEADER_LENGTH;
    const int bodyLength = n - PS_HEADER_LENGTH;
    if (!havePeer) {
      const DWORD from = socket.m_FromAddress.sin_addr.s_addr;
      const auto holder = std::find(keyHolders.begin(), keyHolders.end(), from);
      WORD type = 0;
      BYTE status = 0;
      if (SecureConfigOffersKey(body, bodyLength, modulus, modulusLength)) {
        if (!keyMade && SecureConfigHandleMessage(body, bodyLength, out, m_pReply, m_ReplyLength) != SECURE_SEND)
          return FALSE;
        keyMade = TRUE;
        if (holder == keyHolders.end()) keyHolders.push_back(from);
        Aim(socket, reinterpret_cast<const BYTE*>(&from));
        SendSecureOutput(socket, out);
        continue;
      }
      if (holder == keyHolders.end() || !SecureConfigReadBody(body, bodyLength, &type, &status) ||
          type != SECURE_NONCE)
        continue;
      if (status != 0) {
        // Not the device whose key it was sent under.
        keyHolders.erase(holder);
        continue;
      }
      std::memcpy(peer, &from, sizeof(peer));
      havePeer = TRUE;
      Aim(socket, peer);
    }
    switch (SecureConfigHandleMessage(body, bodyLength, out, m_pReply, m_ReplyLength)) {
      case SECURE_SEND: SendSecureOutput(socket, out); break;
      case SECURE_DONE: return TRUE;
      case SECURE_IGNORE: break;
      default: return FALSE;
    }
  }
}

BOOL CPrintServer::BlockUpload(XUDPSocket& socket) {
  // The stream runs from byte 6 of the stored reply and counts m_ReplyLength
  // bytes, so its last six lie past the copy: those go as zeros.
  const int streamLength = m_ReplyLength;
  const int available = m_ReplyLength - PS_HEADER_LENGTH;
  const int count = (streamLength + PS_BLOCK_DATA_LENGTH - 1) / PS_BLOCK_DATA_LENGTH;
  if (count < 1 || count > 255) return FALSE;
  BYTE datagram[PS_BLOCK_HEADER_LENGTH + PS_BLOCK_DATA_LENGTH];
  for (int k = 1; k <= count; k++) {
    const int offset = (k - 1) * PS_BLOCK_DATA_LENGTH;
    const int n = k < count ? PS_BLOCK_DATA_LENGTH : streamLength - offset;
    std::memset(datagram, 0, sizeof(datagram));
    PSBuildHeader(datagram, PSTYPE_CONFIG, PSCMD_CONFIG_BLOCK);
    datagram[6] = static_cast<BYTE>(k);
    datagram[7] = static_cast<BYTE>(count);
    PSPutWord(datagram + 8, static_cast<WORD>(n));
    std::memcpy(datagram + 10, m_pReply + PS_IDENTITY_OFFSET, 6);
    const int copy = available - offset < n ? available - offset : n;
    if (copy > 0) std::memcpy(datagram + PS_BLOCK_HEADER_LENGTH, m_pReply + PS_HEADER_LENGTH + offset, static_cast<size_t>(copy));
    Send(socket, datagram, PS_BLOCK_HEADER_LENGTH + n);
  }
  BYTE buffer[PS_BUFFER_LENGTH];
  const int n = ReceiveFromDevice(socket, buffer, kUploadTimeout);
  if (n == 0) return std::memcmp(m_IPAddress, kBroadcast, sizeof(kBroadcast)) == 0;
  if (PSIsReplyWord(buffer, n, kBlockReply) && n >= 8 && buffer[6] == buffer[7]) return TRUE;
  return PSIsReplyWord(buffer, n, kUploadReply);
}

BOOL CPrintServer::WholeUpload(XUDPSocket& socket) {
  PSBuildHeader(m_pReply, PSTYPE_CONFIG, PSCMD_CONFIG_UPLOAD);
  for (int i = 0; i < kWholeCopies; i++) Send(socket, m_pReply, m_ReplyLength);
  BYTE buffer[PS_BUFFER_LENGTH];
  const int n = ReceiveFromDevice(socket, buffer, kUploadTimeout);
  if (n == 0) return std::memcmp(m_IPAddress, kBroadcast, sizeof(kBroadcast)) == 0;
  if (PSIsReplyWord(buffer, n, kBlockReply) && n >= 8 && buffer[6] == buffer[7]) return TRUE;
  return PSIsReplyWord(buffer, n, kUploadReply);
}
