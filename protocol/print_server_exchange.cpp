// CPrintServer: the status query and the configuration upload.
#include <cstring>

#include "kernel/clock.h"
#include "protocol/generation.h"
#include "protocol/packet_header.h"
#include "protocol/print_server.h"
#include "protocol/secure_config.h"
#include "protocol/trace.h"
#include "protocol/xudp_socket.h"

namespace {

constexpr int kStatusTimeout = 3500;
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

BOOL CPrintServer::QueryStatus() {
  if (!(m_Transport & PS_TRANSPORT_UDP) || !HasIPSettings()) return FALSE;
  const BYTE* address = GetIPAddress();
  if (address == NULL) return FALSE;
  XUDPSocket socket;
  socket.Create(0);
  Aim(socket, address);
  socket.SetTimeout(kStatusTimeout);

  BYTE buffer[PS_BUFFER_LENGTH];
  std::memset(buffer, 0, sizeof(buffer));
  if (m_Generation == PS_GENERATION_QIM_SETUP) PSBuildOldHeader(buffer, PSCMD_STATUS);
  else PSBuildHeader(buffer, 0, PSCMD_STATUS);
  BOOL valid = FALSE;
  if (Send(socket, buffer, PS_REQUEST_LENGTH) > 0) {
    const int n = socket.Receive(reinterpret_cast<char*>(buffer), sizeof(buffer), XSOCKET_WAIT);
    if (m_Generation == PS_GENERATION_QIM_SETUP && n >= 5 && PSIsOldReplyWord(buffer, n, kStatusReply)) {
      m_PortStatus = buffer[4];
      m_PortStatus2 = 0;
      valid = TRUE;
    } else if (m_Generation == PS_GENERATION_NET && n >= 8 && PSIsReplyWord(buffer, n, kStatusReply)) {
      m_PortStatus = buffer[6];
      m_PortStatus2 = buffer[7];
      valid = TRUE;
    }
  }
  if (valid) m_StatusTick = GetTickCount();
  socket.Close();
  return valid;
}

int CPrintServer::ReceiveFromDevice(XUDPSocket& socket, BYTE* buffer, DWORD timeoutMs) {
  if (!socket.m_bCreated) return 0;
  const BOOL anySender = std::memcmp(m_IPAddress, kBroadcast, sizeof(kBroadcast)) == 0;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) return 0;
    socket.SetTimeout(static_cast<int>(timeoutMs - spent));
    const int n = socket.Receive(reinterpret_cast<char*>(buffer), PS_BUFFER_LENGTH, XSOCKET_WAIT);
    if (n <= 0) continue;  // a time-out ends at the top; an empty or refused datagram is no answer
    if (anySender || std::memcmp(&socket.m_FromAddress.sin_addr.s_addr, m_IPAddress, 4) == 0) return n;
  }
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

  if (accepted) {
    BYTE restart[PS_BUFFER_LENGTH];
    const int length = PSBuildPlainRequest(restart, PSTYPE_CONFIG, PSCMD_RESTART);
    std::memcpy(restart + PS_IDENTITY_OFFSET, m_NodeID, sizeof(m_NodeID));
    for (int i = 0; i < kRestartCopies; i++) Send(socket, restart, length);
  }
  socket.Close();
  return accepted;
}

BOOL CPrintServer::SecureUpload(XUDPSocket& socket) {
  SecureConfigSessionInit();
  BYTE out[SECURE_OUTPUT_LENGTH];
  std::memset(out, 0, sizeof(out));
  SecureConfigOpenBody(out);
  SendSecureOutput(socket, out);

  const DWORD start = GetTickCount();
  BYTE buffer[PS_BUFFER_LENGTH];
  int failures = 0;
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= kSecureDeadline) return FALSE;
    const DWORD wait = kSecureDeadline - spent < static_cast<DWORD>(kUploadTimeout) ? kSecureDeadline - spent
                                                                                    : static_cast<DWORD>(kUploadTimeout);
    const int n = ReceiveFromDevice(socket, buffer, wait);
    if (!PSIsReplyWord(buffer, n, kSecureReply)) {
      if (++failures >= kSecureAttempts) return FALSE;
      SendSecureOutput(socket, out);
      continue;
    }
    failures = 0;
    switch (SecureConfigHandleMessage(buffer + PS_HEADER_LENGTH, n - PS_HEADER_LENGTH, out, m_pReply, m_ReplyLength)) {
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
