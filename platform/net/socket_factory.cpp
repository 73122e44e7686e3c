// One place that knows every transport. NetBIOS is reached through its NCB
// interface (net/netbios.h), not through sockets.
#include "net/socket_factory.h"

#include "net/icmp_socket.h"
#include "net/ipx_socket.h"
#include "net/udp_socket.h"

namespace vek::net {
namespace {

std::shared_ptr<SocketImpl> CreateInet(int type, int protocol, DWORD* error) {
  switch (type) {
    case SOCK_DGRAM:
      if (protocol != 0 && protocol != IPPROTO_UDP) break;
      return UdpSocket::Create(error);
    case SOCK_RAW:
      if (protocol != IPPROTO_ICMP) break;
      return IcmpSocket::Create(error);
    default:
      // Stream sockets are not part of this layer: the system uses none.
      *error = WSAESOCKTNOSUPPORT;
      return nullptr;
  }
  *error = WSAEPROTONOSUPPORT;
  return nullptr;
}

std::shared_ptr<SocketImpl> CreateIpx(int type, int protocol, DWORD* error) {
  if (type != SOCK_DGRAM) {
    // SPX (stream) is not part of this layer: the system sends datagrams only.
    *error = WSAESOCKTNOSUPPORT;
    return nullptr;
  }
  if (protocol != NSPROTO_IPX) {
    *error = WSAEPROTONOSUPPORT;
    return nullptr;
  }
  return IpxSocket::Create(error);
}

}  // namespace

std::shared_ptr<SocketImpl> CreateSocketImpl(int af, int type, int protocol, DWORD* error) {
  switch (af) {
    case AF_INET: return CreateInet(type, protocol, error);
    case AF_IPX: return CreateIpx(type, protocol, error);
    default:
      *error = WSAEAFNOSUPPORT;
      return nullptr;
  }
}

}  // namespace vek::net
