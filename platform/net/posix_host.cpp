#include "net/posix_host.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "net/posix_socket.h"
#include "net/wsa_errors.h"

namespace vek::net::posix {

DWORD HostName(std::string* name) {
  char buffer[HOST_NAME_MAX + 1] = {};
  if (::gethostname(buffer, sizeof(buffer) - 1) != 0) return WsaErrorFromErrno(errno);
  *name = buffer;
  return 0;
}

DWORD ResolveIpv4(const char* name, std::string* canonicalName, std::vector<std::uint32_t>* addresses) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* results = nullptr;
  int status = ::getaddrinfo(name, nullptr, &hints, &results);
  switch (status) {
    case 0: break;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return WSANO_DATA;
#endif
    case EAI_AGAIN: return WSATRY_AGAIN;
    default: return WSANO_RECOVERY;
  }
  addresses->clear();
  *canonicalName = results->ai_canonname ? results->ai_canonname : name;
  for (addrinfo* entry = results; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in)) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    std::uint32_t value = address->sin_addr.s_addr;
    if (std::find(addresses->begin(), addresses->end(), value) == addresses->end()) addresses->push_back(value);
  }
  ::freeaddrinfo(results);
  return addresses->empty() ? static_cast<DWORD>(WSANO_DATA) : 0;
}

}  // namespace vek::net::posix
