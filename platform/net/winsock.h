// The socket API under its Windows names, over BSD sockets.
//
// System code includes this header and never the C library's socket headers: the
// names below (socket, bind, sockaddr_in, ...) would clash with them. Values of all
// constants and layouts of all structures are the Windows ones. Failures return
// SOCKET_ERROR or INVALID_SOCKET with the WSA code as the thread's last error.
//
// Supported: AF_INET datagram sockets (UDP), AF_INET raw ICMP sockets (echo) and
// AF_IPX datagram sockets on the simulated IPX segment (net/ipx_segment.h).
// WSAStartup must have been called before any socket or host call.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

#include "kernel/types.h"
#include "net/byte_order.h"
#include "net/ipx_address.h"
#include "net/wsa_errors.h"

// The C library's <sys/types.h>, which the standard library pulls in anyway,
// declares the BSD u_char, u_short, u_int (the same types as ours) and a 64-bit
// u_long. It is included first so those typedefs are settled; from here on u_long
// names our 32-bit type, as on Windows.
using u_char = unsigned char;
using u_short = unsigned short;
using u_int = unsigned int;
using vek_u_long = std::uint32_t;
#define u_long vek_u_long

using SOCKET = UINT_PTR;
constexpr SOCKET INVALID_SOCKET = ~static_cast<SOCKET>(0);
constexpr int SOCKET_ERROR = -1;

// Address families; the protocol families have the same values.
constexpr int AF_UNSPEC = 0;
constexpr int AF_INET = 2;
constexpr int AF_IPX = 6;
constexpr int AF_NETBIOS = 17;
constexpr int PF_UNSPEC = AF_UNSPEC;
constexpr int PF_INET = AF_INET;
constexpr int PF_IPX = AF_IPX;
constexpr int PF_NETBIOS = AF_NETBIOS;

constexpr int SOCK_STREAM = 1;
constexpr int SOCK_DGRAM = 2;
constexpr int SOCK_RAW = 3;

constexpr int IPPROTO_IP = 0;
constexpr int IPPROTO_ICMP = 1;
constexpr int IPPROTO_TCP = 6;
constexpr int IPPROTO_UDP = 17;

// setsockopt/getsockopt, level SOL_SOCKET. BOOL options take an int; the time-outs
// a DWORD in milliseconds (0 waits forever).
constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_REUSEADDR = 0x0004;
constexpr int SO_BROADCAST = 0x0020;
constexpr int SO_SNDBUF = 0x1001;
constexpr int SO_RCVBUF = 0x1002;
constexpr int SO_SNDTIMEO = 0x1005;
constexpr int SO_RCVTIMEO = 0x1006;
constexpr int SO_TYPE = 0x1008;

// ioctlsocket commands. The values are 32-bit; FIONBIO does not fit a signed 32-bit
// long, so ioctlsocket compares only the low 32 bits of the command.
constexpr long FIONREAD = 0x4004667FL;
constexpr long FIONBIO = static_cast<long>(0x8004667EUL);

constexpr int MSG_OOB = 0x1;
constexpr int MSG_PEEK = 0x2;
constexpr int MSG_DONTROUTE = 0x4;

// In host byte order, as on Windows: compare after ntohl, or pass through htonl.
constexpr u_long INADDR_ANY = 0x00000000u;
constexpr u_long INADDR_LOOPBACK = 0x7F000001u;
constexpr u_long INADDR_BROADCAST = 0xFFFFFFFFu;
constexpr u_long INADDR_NONE = 0xFFFFFFFFu;

struct in_addr {
  union {
    struct {
      u_char s_b1, s_b2, s_b3, s_b4;
    } S_un_b;
    struct {
      u_short s_w1, s_w2;
    } S_un_w;
    u_long S_addr;
  } S_un;
};
#define s_addr S_un.S_addr
using IN_ADDR = in_addr;
using PIN_ADDR = in_addr*;
using LPIN_ADDR = in_addr*;

struct sockaddr {
  u_short sa_family;
  char sa_data[14];
};
using SOCKADDR = sockaddr;
using PSOCKADDR = sockaddr*;
using LPSOCKADDR = sockaddr*;

struct sockaddr_in {
  short sin_family;
  u_short sin_port;  // network byte order
  in_addr sin_addr;  // network byte order
  char sin_zero[8];
};
using SOCKADDR_IN = sockaddr_in;
using PSOCKADDR_IN = sockaddr_in*;
using LPSOCKADDR_IN = sockaddr_in*;

static_assert(sizeof(in_addr) == 4);
static_assert(sizeof(sockaddr) == 16);
static_assert(sizeof(sockaddr_in) == 16);

struct hostent {
  char* h_name;
  char** h_aliases;
  short h_addrtype;
  short h_length;
  char** h_addr_list;
};
#define h_addr h_addr_list[0]
using HOSTENT = hostent;
using PHOSTENT = hostent*;
using LPHOSTENT = hostent*;

constexpr int WSADESCRIPTION_LEN = 256;
constexpr int WSASYS_STATUS_LEN = 128;

struct WSADATA {
  WORD wVersion;
  WORD wHighVersion;
  char szDescription[WSADESCRIPTION_LEN + 1];
  char szSystemStatus[WSASYS_STATUS_LEN + 1];
  unsigned short iMaxSockets;
  unsigned short iMaxUdpDg;
  char* lpVendorInfo;
};
using LPWSADATA = WSADATA*;

// Returns 0 or the error code itself (the last error is not used). Versions 1.1 and
// 2.x are accepted; a request above 2.2 is granted 2.2.
int WSAStartup(WORD versionRequested, LPWSADATA data);
// The last matching call closes every socket still open.
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int error);

SOCKET socket(int af, int type, int protocol);
int closesocket(SOCKET s);
int bind(SOCKET s, const sockaddr* name, int namelen);
int getsockname(SOCKET s, sockaddr* name, int* namelen);
int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int getsockopt(SOCKET s, int level, int optname, char* optval, int* optlen);
int ioctlsocket(SOCKET s, long cmd, u_long* argp);
int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen);
// A datagram longer than len fails with WSAEMSGSIZE and is dropped; buf is untouched.
int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen);
int recv(SOCKET s, char* buf, int len, int flags);

// <unistd.h>, which the standard library pulls in, declares the C library's
// gethostname(char*, size_t), and a call with a sizeof length would pick it over
// ours. The macro sends every call to ours, whichever header came first; the size_t
// form is declared as the C library declares it, so a later <unistd.h> only repeats it.
// (With _FORTIFY_SOURCE, a <unistd.h> read after this header inlines the C library's
// version for size_t lengths: include the standard headers first in fortified builds.)
#define gethostname vek_gethostname
int gethostname(char* name, int namelen);
extern "C" int gethostname(char* name, std::size_t namelen) noexcept;
// The result lives in storage of the calling thread, valid until its next call.
hostent* gethostbyname(const char* name);

// Dotted text (decimal, octal or hex parts; 1 to 4 parts) to a network-order address,
// or INADDR_NONE.
u_long inet_addr(const char* cp);
// The result lives in a buffer of the calling thread, valid until its next call.
char* inet_ntoa(in_addr in);
