// gethostname and gethostbyname.
#include <cstring>
#include <string>
#include <vector>

#include "kernel/lasterror.h"
#include "net/posix_host.h"
#include "net/winsock.h"
#include "net/winsock_state.h"

namespace {

// What gethostbyname's result points into: one per thread, as on Windows.
struct HostEntryStorage {
  hostent entry{};
  std::string name;
  std::vector<std::uint32_t> addresses;
  std::vector<char*> addressList;
  char* aliasList[1] = {nullptr};
};

}  // namespace

int gethostname(char* name, int namelen) {
  if (!vek::net::WinsockStarted()) {
    SetLastError(WSANOTINITIALISED);
    return SOCKET_ERROR;
  }
  if (name == nullptr || namelen <= 0) {
    SetLastError(WSAEFAULT);
    return SOCKET_ERROR;
  }
  std::string host;
  if (DWORD error = vek::net::posix::HostName(&host)) {
    SetLastError(error);
    return SOCKET_ERROR;
  }
  if (host.size() + 1 > static_cast<std::size_t>(namelen)) {
    SetLastError(WSAEFAULT);
    return SOCKET_ERROR;
  }
  std::memcpy(name, host.c_str(), host.size() + 1);
  return 0;
}

extern "C" int gethostname(char* name, std::size_t namelen) noexcept {
  return gethostname(name, namelen > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(namelen));
}

hostent* gethostbyname(const char* name) {
  if (!vek::net::WinsockStarted()) {
    SetLastError(WSANOTINITIALISED);
    return nullptr;
  }
  std::string lookup;
  if (name == nullptr || name[0] == '\0') {
    // No name: this machine, as Windows does.
    if (DWORD error = vek::net::posix::HostName(&lookup)) {
      SetLastError(error);
      return nullptr;
    }
  } else {
    lookup = name;
  }

  thread_local HostEntryStorage storage;
  std::string canonical;
  std::vector<std::uint32_t> addresses;
  if (DWORD error = vek::net::posix::ResolveIpv4(lookup.c_str(), &canonical, &addresses)) {
    SetLastError(error);
    return nullptr;
  }
  storage.name = std::move(canonical);
  storage.addresses = std::move(addresses);
  storage.addressList.clear();
  for (std::uint32_t& address : storage.addresses) storage.addressList.push_back(reinterpret_cast<char*>(&address));
  storage.addressList.push_back(nullptr);

  storage.entry.h_name = storage.name.data();
  storage.entry.h_aliases = storage.aliasList;
  storage.entry.h_addrtype = AF_INET;
  storage.entry.h_length = 4;
  storage.entry.h_addr_list = storage.addressList.data();
  return &storage.entry;
}
