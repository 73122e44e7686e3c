// One place that knows every transport. The IPX and NetBIOS segments add their
// address families here.
#include "net/socket_factory.h"

#include "net/icmp_socket.h"
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

}  // namespace

std::shared_ptr<SocketImpl> CreateSocketImpl(int af, int type, int protocol, DWORD* error) {
  switch (af) {
    case AF_INET: return CreateInet(type, protocol, error);
    default:
      *error = WSAEAFNOSUPPORT;
      return nullptr;
  }
}

}  // namespace vek::net
