// WSAStartup, WSACleanup and the socket error of the calling thread.
#include <cstdio>
#include <cstring>
#include <mutex>

#include "kernel/lasterror.h"
#include "net/socket_table.h"
#include "net/winsock.h"
#include "net/winsock_state.h"

namespace {

std::mutex g_lock;
int g_startups = 0;

constexpr WORD kHighestVersion = MAKEWORD(2, 2);

}  // namespace

namespace vek::net {

bool WinsockStarted() {
  std::lock_guard guard(g_lock);
  return g_startups > 0;
}

}  // namespace vek::net

int WSAStartup(WORD versionRequested, LPWSADATA data) {
  const BYTE major = LOBYTE(versionRequested);
  const BYTE minor = HIBYTE(versionRequested);
  WORD granted = versionRequested;
  if (major > 2 || (major == 2 && minor > 2)) granted = kHighestVersion;
  if (data != nullptr) {
    std::memset(data, 0, sizeof(*data));
    data->wVersion = granted;
    data->wHighVersion = kHighestVersion;
    std::snprintf(data->szDescription, sizeof(data->szDescription), "vek socket layer over BSD sockets");
    std::snprintf(data->szSystemStatus, sizeof(data->szSystemStatus), "Running");
    // Version 1.1 callers read the limits; later versions are told nothing.
    if (major == 1) {
      data->iMaxSockets = 32767;
      data->iMaxUdpDg = 65467;
    }
  }
  if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
  if (data == nullptr) return WSAEFAULT;
  std::lock_guard guard(g_lock);
  ++g_startups;
  return 0;
}

int WSACleanup() {
  {
    std::lock_guard guard(g_lock);
    if (g_startups == 0) {
      SetLastError(WSANOTINITIALISED);
      return SOCKET_ERROR;
    }
    if (--g_startups > 0) return 0;
  }
  for (auto& impl : vek::net::UnregisterAllSockets()) impl->Close();
  return 0;
}

int WSAGetLastError() { return static_cast<int>(GetLastError()); }

void WSASetLastError(int error) { SetLastError(static_cast<DWORD>(error)); }
