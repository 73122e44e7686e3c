#include "net/inet_endpoint.h"

#include <cstring>

namespace vek::net {

DWORD ReadInetAddress(const sockaddr* name, int nameLength, Ipv4Endpoint* endpoint) {
  if (name == nullptr || nameLength < static_cast<int>(sizeof(sockaddr_in))) return WSAEFAULT;
  sockaddr_in address;
  std::memcpy(&address, name, sizeof(address));
  if (address.sin_family != AF_INET) return WSAEAFNOSUPPORT;
  endpoint->address = address.sin_addr.s_addr;
  endpoint->port = address.sin_port;
  return 0;
}

DWORD CheckInetAddressBuffer(const sockaddr* name, const int* length) {
  if (name == nullptr || length == nullptr || *length < static_cast<int>(sizeof(sockaddr_in))) return WSAEFAULT;
  return 0;
}

DWORD WriteInetAddress(const Ipv4Endpoint& endpoint, sockaddr* name, int* length) {
  if (DWORD error = CheckInetAddressBuffer(name, length)) return error;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = endpoint.port;
  address.sin_addr.s_addr = endpoint.address;
  std::memcpy(name, &address, sizeof(address));
  *length = sizeof(address);
  return 0;
}

}  // namespace vek::net
