#include "protocol/reachability.h"

#include <cstdlib>
#include <cstring>

#include "framework/message_box.h"
#include "kernel/clock.h"
#include "kernel/thread.h"
#include "net/winsock.h"
#include "protocol/packet_header.h"
#include "protocol/trace.h"

namespace {

constexpr int kFirstDataPart = 256;

// The data of an echo reply in a whole IPv4 datagram, when it is the reply to
// request (same sequence); its header length is taken from the header itself.
const BYTE* EchoReplyData(const BYTE* datagram, int length, const BYTE* request) {
  if (length < 20) return NULL;
  const int header = (datagram[0] & 0x0F) * 4;
  if (header < 20 || length < header + PS_ECHO_LENGTH) return NULL;
  const BYTE* icmp = datagram + header;
  // Only a reply: on loopback the request itself comes back first.
  if (icmp[0] != PS_ICMP_ECHO_REPLY) return NULL;
  if (icmp[6] != request[6] || icmp[7] != request[7]) return NULL;
  return icmp + PS_ECHO_HEADER_LENGTH;
}

int Fail(SOCKET s, LPCSTR message) {
  if (s != INVALID_SOCKET) closesocket(s);
  if (message != NULL) AfxMessageBox(message, MB_OK);
  return 0;
}

}  // namespace

void FillEchoRequest(BYTE* packet, int length) {
  if (packet == NULL || length < PS_ECHO_HEADER_LENGTH) return;
  packet[0] = PS_ICMP_ECHO_REQUEST;
  packet[1] = 0;
  packet[2] = packet[3] = 0;
  PSPutWord(packet + 4, static_cast<WORD>(GetCurrentProcessId() & 0xFFFF));
  packet[6] = packet[7] = 0;
  const int data = length - PS_ECHO_HEADER_LENGTH;
  BYTE* p = packet + PS_ECHO_HEADER_LENGTH;
  for (int i = 0; i < data; i++)
    p[i] = data > kFirstDataPart && i >= kFirstDataPart ? static_cast<BYTE>(std::rand() & 0xFF) : static_cast<BYTE>(i);
}

USHORT IPChecksum(const BYTE* data, int length) {
  DWORD sum = 0;
  int i = 0;
  for (; i + 1 < length; i += 2) sum += static_cast<DWORD>(data[i] | (data[i + 1] << 8));
  if (i < length) sum += data[i];
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<USHORT>(~sum & 0xFFFF);
}

int PingPrintServer(const BYTE* address) {
  if (address == NULL) return 0;
  // The address of any interface: the host name's address may not be one the
  // system lets a socket bind to. The system learns the server's hardware
  // address afresh by itself, so no ARP entries are cleared first.
  SOCKET s = socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
  if (s == INVALID_SOCKET) return Fail(s, "bind error!");
  sockaddr_in local;
  std::memset(&local, 0, sizeof(local));
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == SOCKET_ERROR) return Fail(s, "bind error!");
  const DWORD timeout = PS_ECHO_RECEIVE_TIMEOUT;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));

  sockaddr_in target;
  std::memset(&target, 0, sizeof(target));
  target.sin_family = AF_INET;
  std::memcpy(&target.sin_addr.s_addr, address, 4);

  BYTE request[PS_ECHO_LENGTH];
  BYTE answer[PS_ECHO_BUFFER];
  for (int t = 0; t < PS_ECHO_TRIES; t++) {
    FillEchoRequest(request, sizeof(request));
    PSPutWord(request + 6, static_cast<WORD>(t));
    const USHORT checksum = IPChecksum(request, sizeof(request));
    std::memcpy(request + 2, &checksum, sizeof(checksum));
    if (sendto(s, reinterpret_cast<const char*>(request), sizeof(request), 0, reinterpret_cast<sockaddr*>(&target),
               sizeof(target)) == SOCKET_ERROR &&
        WSAGetLastError() == WSAETIMEDOUT)
      return Fail(s, "sendto error!");

    std::memset(answer, 0, sizeof(answer));
    const DWORD start = GetTickCount();
    while (GetTickCount() - start <= PS_ECHO_WAIT) {
      sockaddr_in from;
      int fromLength = sizeof(from);
      const int n = recvfrom(s, reinterpret_cast<char*>(answer), sizeof(answer), 0, reinterpret_cast<sockaddr*>(&from),
                             &fromLength);
      if (n == SOCKET_ERROR || from.sin_addr.s_addr != target.sin_addr.s_addr) continue;
      const BYTE* data = EchoReplyData(answer, n, request);
      if (data == NULL) continue;
      if (std::memcmp(data, request + PS_ECHO_HEADER_LENGTH, PS_ECHO_LENGTH - PS_ECHO_HEADER_LENGTH) == 0 &&
          GetTickCount() - start <= PS_ECHO_WAIT) {
        closesocket(s);
        return 1;
      }
      break;  // different data, or too late: this try is over
    }
    Sleep(PS_ECHO_PAUSE);
  }
  closesocket(s);
  DebugTrace("PingPrintServer() = 0\r\n");
  return 0;
}
