// The object behind one SOCKET handle. Each transport implements it: UDP and ICMP
// echo here; the IPX and NetBIOS segments add their own. socket() picks the
// implementation (socket_factory.cpp); the Winsock functions look the handle up in
// the socket table and call it.
//
// Contract for implementations:
//  - Every method returns 0 on success or a WSA error code; none throws, none sets
//    the last error (the Winsock function does that).
//  - The Winsock layer has already checked the handle and the generic arguments:
//    buffers are non-null when their length is positive, lengths are not negative,
//    a length pointer that comes with an address pointer is non-null. Address
//    formats and option values are the implementation's to check.
//  - Methods may be called from several threads at once (one thread blocked in
//    RecvFrom while another sends is the common case).
//  - Close is called once, by closesocket or the last WSACleanup, after the handle
//    has left the table. It must wake any thread blocked in the object; that call
//    then fails with WSAEINTR. Resources may be released in the destructor, which
//    runs when the last caller has returned.
#pragma once

#include "kernel/types.h"
#include "net/winsock.h"

namespace vek::net {

class SocketImpl {
 public:
  virtual ~SocketImpl() = default;

  virtual DWORD Bind(const sockaddr* name, int nameLength) = 0;
  // The bound local address; WSAEINVAL when not bound yet.
  virtual DWORD GetSockName(sockaddr* name, int* nameLength) = 0;
  // flags as sendto takes them; *sent is the number of bytes sent.
  virtual DWORD SendTo(const char* buffer, int length, int flags, const sockaddr* to, int toLength,
                       int* sent) = 0;
  // Waits as the socket's time-out and blocking mode say (WSAETIMEDOUT,
  // WSAEWOULDBLOCK). from may be null. A datagram longer than length fails with
  // WSAEMSGSIZE, is dropped and leaves buffer untouched.
  virtual DWORD RecvFrom(char* buffer, int length, int flags, sockaddr* from, int* fromLength,
                         int* received) = 0;
  // Unknown level or option: WSAENOPROTOOPT.
  virtual DWORD SetOption(int level, int name, const char* value, int length) = 0;
  virtual DWORD GetOption(int level, int name, char* value, int* length) = 0;
  // command is the low 32 bits of the ioctlsocket command. Unknown: WSAEINVAL.
  virtual DWORD Ioctl(u_long command, u_long* argument) = 0;
  virtual void Close() = 0;
};

}  // namespace vek::net
