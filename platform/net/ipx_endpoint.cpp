#include "net/ipx_endpoint.h"

#include <cstring>

namespace vek::net {

DWORD ReadIpxAddress(const sockaddr* name, int nameLength, IpxAddress* address) {
  if (name == nullptr || nameLength < static_cast<int>(sizeof(SOCKADDR_IPX))) return WSAEFAULT;
  SOCKADDR_IPX ipx;
  std::memcpy(&ipx, name, sizeof(ipx));
  if (ipx.sa_family != AF_IPX) return WSAEAFNOSUPPORT;
  std::memcpy(address->network.data(), ipx.sa_netnum, address->network.size());
  std::memcpy(address->node.data(), ipx.sa_nodenum, address->node.size());
  address->socket = ntohs(ipx.sa_socket);
  return 0;
}

DWORD CheckIpxAddressBuffer(const sockaddr* name, const int* length) {
  if (name == nullptr || length == nullptr || *length < static_cast<int>(sizeof(SOCKADDR_IPX))) return WSAEFAULT;
  return 0;
}

DWORD WriteIpxAddress(const IpxAddress& address, sockaddr* name, int* length) {
  if (DWORD error = CheckIpxAddressBuffer(name, length)) return error;
  SOCKADDR_IPX ipx{};
  ipx.sa_family = AF_IPX;
  std::memcpy(ipx.sa_netnum, address.network.data(), address.network.size());
  std::memcpy(ipx.sa_nodenum, address.node.data(), address.node.size());
  ipx.sa_socket = htons(address.socket);
  std::memcpy(name, &ipx, sizeof(ipx));
  *length = sizeof(ipx);
  return 0;
}

}  // namespace vek::net
